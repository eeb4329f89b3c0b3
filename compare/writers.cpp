// The two forms of a comparison, as the two forms of the report: lines for people, one line of
// JSON for programs.
#include <nlohmann/json.hpp>

#include "compare/compare.h"
#include "report/writers.h"
#include "text/terminal.h"

namespace moravel {
namespace {

const char* const kArrow = " \xE2\x86\x92 ";  // " → "

using Json = nlohmann::ordered_json;  // keys in the order they are written

// Which part of the output a difference belongs in; nowhere for a value that changed by itself
// when only the hardware is asked for.
enum class Part { Changed, Expected, NotCompared, Nowhere };

Part partOf(Difference difference, bool hardwareOnly) {
    switch (difference) {
    case Difference::Changed: return Part::Changed;
    case Difference::ByItself: return hardwareOnly ? Part::Nowhere : Part::Expected;
    case Difference::Unknown: return Part::NotCompared;
    }
    return Part::Nowhere;
}

// A value as the terminal may show it; an empty one stays visible as "".
std::string shown(const std::string& text) { return text.empty() ? "\"\"" : visibleText(text); }

std::string withoutColon(std::string caption) {
    if (!caption.empty() && caption.back() == ':') caption.pop_back();
    return caption;
}

std::string fieldName(const FieldChange& field) { return visibleText(field.group) + " / " + visibleText(field.label); }

std::string itemName(const ItemChange& item) {
    return visibleText(item.kind) + (item.name.empty() ? "" : " " + visibleText(item.name));
}

// The lines of each part, in the order the differences come.
struct TextParts {
    std::vector<std::string> changed, expected, notCompared;
    void add(Part part, std::string line) {
        if (part == Part::Changed) changed.push_back(std::move(line));
        if (part == Part::Expected) expected.push_back(std::move(line));
        if (part == Part::NotCompared) notCompared.push_back(std::move(line));
    }
};

void addFieldLines(const Comparison& comparison, bool hardwareOnly, TextParts& parts) {
    for (const FieldChange& field : comparison.fields) {
        const Part part = partOf(field.difference, hardwareOnly);
        if (part == Part::NotCompared) {
            parts.add(part, withoutColon(fieldName(field)));
            continue;
        }
        const std::string newCaption = field.newLabel != field.label ? visibleText(field.newLabel) + " " : "";
        parts.add(part, fieldName(field) + " " + shown(field.before) + kArrow + newCaption + shown(field.after));
    }
}

void addItemLines(const Comparison& comparison, bool hardwareOnly, TextParts& parts) {
    for (const ItemChange& item : comparison.items) {
        if (item.change != ItemChange::Kind::Changed) {
            parts.add(Part::Changed,
                      itemName(item) + (item.change == ItemChange::Kind::Added ? ": added" : ": removed"));
            continue;
        }
        for (const PropertyChange& property : item.properties) {
            const Part part = partOf(property.difference, hardwareOnly);
            const std::string name = itemName(item) + " / " + visibleText(property.label);
            parts.add(part, part == Part::NotCompared
                                ? name
                                : name + ": " + shown(property.before) + kArrow + shown(property.after));
        }
    }
}

Json fieldJson(const FieldChange& field) {
    Json entry = {{"group", field.group}, {"label", field.label}};
    if (field.newLabel != field.label) entry["newLabel"] = field.newLabel;
    entry["old"] = field.before;
    entry["new"] = field.after;
    return entry;
}

const char* changeName(ItemChange::Kind kind) {
    return kind == ItemChange::Kind::Added ? "added" : kind == ItemChange::Kind::Removed ? "removed" : "changed";
}

// One JSON object per part: {"fields":[...],"items":[...]}, an item with the properties that
// belong in that part.
struct JsonParts {
    Json parts[3] = {{{"fields", Json::array()}, {"items", Json::array()}},
                     {{"fields", Json::array()}, {"items", Json::array()}},
                     {{"fields", Json::array()}, {"items", Json::array()}}};
    Json& operator[](Part part) { return parts[static_cast<int>(part)]; }
};

void addItemJson(const ItemChange& item, bool hardwareOnly, JsonParts& parts) {
    Json entry = {{"kind", item.kind}, {"name", item.name}, {"change", changeName(item.change)}};
    if (item.change != ItemChange::Kind::Changed) {
        Json properties = Json::array();
        for (const PropertyChange& property : item.properties)
            properties.push_back({{"label", property.label},
                                  {"text", item.change == ItemChange::Kind::Added ? property.after : property.before}});
        entry["properties"] = std::move(properties);
        parts[Part::Changed]["items"].push_back(std::move(entry));
        return;
    }
    for (Part part : {Part::Changed, Part::Expected, Part::NotCompared}) {
        Json properties = Json::array();
        for (const PropertyChange& property : item.properties) {
            if (partOf(property.difference, hardwareOnly) != part) continue;
            Json change = {{"label", property.label}};
            if (part != Part::NotCompared) change.update({{"old", property.before}, {"new", property.after}});
            properties.push_back(std::move(change));
        }
        if (properties.empty()) continue;
        Json changed = entry;
        changed["properties"] = std::move(properties);
        parts[part]["items"].push_back(std::move(changed));
    }
}

}  // namespace

void writeTextComparison(const Comparison& comparison, bool hardwareOnly, std::ostream& out) {
    TextParts parts;
    addFieldLines(comparison, hardwareOnly, parts);
    addItemLines(comparison, hardwareOnly, parts);
    if (!comparison.differs(hardwareOnly)) out << "No differences.\n";
    for (const std::string& line : parts.changed) out << line << '\n';
    if (!parts.expected.empty()) out << "Expected to change:\n";
    for (const std::string& line : parts.expected) out << "  " << line << '\n';
    if (!parts.notCompared.empty()) out << "Hidden in a snapshot, not compared:\n";
    for (const std::string& line : parts.notCompared) out << "  " << line << '\n';
    out.flush();
}

void writeJsonComparison(const Comparison& comparison, bool hardwareOnly, std::ostream& out) {
    JsonParts parts;
    for (const FieldChange& field : comparison.fields) {
        const Part part = partOf(field.difference, hardwareOnly);
        if (part == Part::Nowhere) continue;
        Json entry = fieldJson(field);
        if (part == Part::NotCompared) entry.erase("old"), entry.erase("new");
        parts[part]["fields"].push_back(std::move(entry));
    }
    for (const ItemChange& item : comparison.items) addItemJson(item, hardwareOnly, parts);
    Json document = {{"old", comparison.before},
                     {"new", comparison.after},
                     {"differs", comparison.differs(hardwareOnly)},
                     {"changed", std::move(parts[Part::Changed])}};
    if (!hardwareOnly) document["expectedToChange"] = std::move(parts[Part::Expected]);
    document["notCompared"] = std::move(parts[Part::NotCompared]);
    out << escapeDelAndC1(document.dump(-1, ' ', false, Json::error_handler_t::replace)) << '\n';
    out.flush();
}

}  // namespace moravel
