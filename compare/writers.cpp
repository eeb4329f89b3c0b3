// The two forms of a comparison, as the two forms of the report: lines for people, one line of
// JSON for programs; and the sentences the window shows.
#include <nlohmann/json.hpp>

#include "compare/compare.h"
#include "report/writers.h"
#include "text/terminal.h"

namespace moravel {
namespace {

const char* const kArrow = " \xE2\x86\x92 ";  // " → "

using Json = nlohmann::ordered_json;  // keys in the order they are written

// Which part of the output a difference belongs in; nowhere for what --hardware-only leaves out.
enum class Part { Hardware, Attached, Software, Expected, NotCompared, Nowhere };
constexpr int kParts = 5;

Part partOf(Difference difference, bool hardwareOnly) {
    switch (difference) {
    case Difference::Changed: return Part::Hardware;
    case Difference::Attached: return hardwareOnly ? Part::Nowhere : Part::Attached;
    case Difference::Software: return hardwareOnly ? Part::Nowhere : Part::Software;
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

// "Label: old → new; Label: old → new", or the labels alone for what was not compared.
std::string propertyList(const std::vector<const PropertyChange*>& properties, bool labelsOnly) {
    std::string text;
    for (const PropertyChange* property : properties) {
        if (!text.empty()) text += labelsOnly ? ", " : "; ";
        text += visibleText(property->label);
        if (!labelsOnly) text += ": " + shown(property->before) + kArrow + shown(property->after);
    }
    return text;
}

// The lines of each part, in the order the differences come.
struct TextParts {
    std::vector<std::string> lines[kParts];
    std::vector<std::string>& operator[](Part part) { return lines[static_cast<int>(part)]; }
    void add(Part part, std::string line) {
        if (part != Part::Nowhere) (*this)[part].push_back(std::move(line));
    }
};

void addFieldLines(const Comparison& comparison, bool hardwareOnly, TextParts& parts) {
    for (const FieldChange& field : comparison.fields) {
        if (!field.toldBy.empty()) continue;
        const Part part = partOf(field.difference, hardwareOnly);
        if (part == Part::NotCompared) {
            parts.add(part, withoutColon(fieldName(field)));
            continue;
        }
        const std::string newCaption = field.newLabel != field.label ? visibleText(field.newLabel) + " " : "";
        parts.add(part, fieldName(field) + " " + shown(field.before) + kArrow + newCaption + shown(field.after));
    }
}

// One line per item and part: "Disk X: removed", "Disk X: replaced; Serial number: a → b",
// "Firmware / Version: a → b; Release date: c → d".
void addItemLines(const Comparison& comparison, bool hardwareOnly, TextParts& parts) {
    for (const ItemChange& item : comparison.items) {
        const Part itemPart = partOf(item.difference, hardwareOnly);
        std::vector<const PropertyChange*> all;
        for (const PropertyChange& property : item.properties) all.push_back(&property);
        switch (item.change) {
        case ItemChange::Kind::Added: parts.add(itemPart, itemName(item) + ": added"); continue;
        case ItemChange::Kind::Removed: parts.add(itemPart, itemName(item) + ": removed"); continue;
        case ItemChange::Kind::Replaced:
            parts.add(itemPart, itemName(item) + ": replaced" + (all.empty() ? "" : "; " + propertyList(all, false)));
            continue;
        case ItemChange::Kind::Changed: break;
        }
        for (Part part : {Part::Hardware, Part::Attached, Part::Software, Part::Expected, Part::NotCompared}) {
            std::vector<const PropertyChange*> inPart;
            for (const PropertyChange* property : all)
                if (partOf(property->difference, hardwareOnly) == part) inPart.push_back(property);
            if (!inPart.empty())
                parts.add(part, itemName(item) + " / " + propertyList(inPart, part == Part::NotCompared));
        }
    }
}

bool anyDifference(const Comparison& comparison, Difference difference) {
    for (const FieldChange& field : comparison.fields)
        if (field.difference == difference) return true;
    for (const ItemChange& item : comparison.items) {
        if (item.difference == difference) return true;
        for (const PropertyChange& property : item.properties)
            if (property.difference == difference) return true;
    }
    return false;
}

// The first line when the hardware does not differ. With values that change by themselves and
// nothing else, it heads their list.
std::string headline(const Comparison& comparison, bool hardwareOnly, TextParts& parts) {
    const bool partial = comparison.partial();
    const std::string hardware = partial ? "No differences in the hardware compared" : "No differences in hardware";
    const bool others = !parts[Part::Attached].empty() || !parts[Part::Software].empty();
    if (!others && !parts[Part::Expected].empty()) return hardware + "; expected to change:";
    const bool leftOut = hardwareOnly && (anyDifference(comparison, Difference::Attached) ||
                                          anyDifference(comparison, Difference::Software) ||
                                          anyDifference(comparison, Difference::ByItself));
    if (others || leftOut) return hardware + ".";
    return partial ? "No differences in what was compared." : "No differences.";
}

void writeSection(std::ostream& out, const char* heading, const std::vector<std::string>& lines) {
    if (lines.empty()) return;
    if (heading) out << heading << '\n';
    for (const std::string& line : lines) out << "  " << line << '\n';
}

// ---- JSON ---------------------------------------------------------------------------------

Json fieldJson(const FieldChange& field, bool withValues) {
    Json entry = {{"group", field.group}, {"label", field.label}};
    if (field.newLabel != field.label) entry["newLabel"] = field.newLabel;
    if (withValues) entry.update({{"old", field.before}, {"new", field.after}});
    if (!field.toldBy.empty()) entry["toldBy"] = field.toldBy;
    return entry;
}

const char* changeName(ItemChange::Kind kind) {
    switch (kind) {
    case ItemChange::Kind::Added: return "added";
    case ItemChange::Kind::Removed: return "removed";
    case ItemChange::Kind::Replaced: return "replaced";
    case ItemChange::Kind::Changed: break;
    }
    return "changed";
}

// One JSON object per part: {"fields":[...],"items":[...]}, an item with the properties that
// belong in that part.
struct JsonParts {
    Json parts[kParts];
    JsonParts() {
        for (Json& part : parts) part = {{"fields", Json::array()}, {"items", Json::array()}};
    }
    Json& operator[](Part part) { return parts[static_cast<int>(part)]; }
};

void addItemJson(const ItemChange& item, bool hardwareOnly, JsonParts& parts) {
    Json entry = {{"kind", item.kind}, {"name", item.name}, {"change", changeName(item.change)}};
    const Part itemPart = partOf(item.difference, hardwareOnly);
    if (item.change == ItemChange::Kind::Added || item.change == ItemChange::Kind::Removed) {
        if (itemPart == Part::Nowhere) return;
        Json properties = Json::array();
        for (const PropertyChange& property : item.properties)
            properties.push_back({{"label", property.label},
                                  {"text", item.change == ItemChange::Kind::Added ? property.after : property.before}});
        entry["properties"] = std::move(properties);
        parts[itemPart]["items"].push_back(std::move(entry));
        return;
    }
    for (Part part : {Part::Hardware, Part::Attached, Part::Software, Part::Expected, Part::NotCompared}) {
        Json properties = Json::array();
        for (const PropertyChange& property : item.properties) {
            const Part propertyPart =
                item.change == ItemChange::Kind::Replaced ? itemPart : partOf(property.difference, hardwareOnly);
            if (propertyPart != part) continue;
            Json change = {{"label", property.label}};
            if (part != Part::NotCompared) change.update({{"old", property.before}, {"new", property.after}});
            properties.push_back(std::move(change));
        }
        if (properties.empty() && !(item.change == ItemChange::Kind::Replaced && part == itemPart)) continue;
        Json changed = entry;
        changed["properties"] = std::move(properties);
        parts[part]["items"].push_back(std::move(changed));
    }
}

Json uncomparedJson(const Comparison& comparison) {
    Json kinds = Json::array();
    for (const UncomparedKind& kind : comparison.uncompared)
        kinds.push_back({{"kind", kind.kind},
                         {"notRecordedBy", kind.unrecordedBefore && kind.unrecordedAfter ? "both"
                                           : kind.unrecordedBefore                       ? "old"
                                                                                         : "new"}});
    return kinds;
}

std::string joined(const std::vector<std::string>& words) {
    std::string text;
    for (const std::string& word : words) text += (text.empty() ? "" : ", ") + word;
    return text;
}

}  // namespace

void writeTextComparison(const Comparison& comparison, bool hardwareOnly, std::ostream& out) {
    TextParts parts;
    addFieldLines(comparison, hardwareOnly, parts);
    addItemLines(comparison, hardwareOnly, parts);
    bool expectedHeaded = false;
    if (parts[Part::Hardware].empty()) {
        const std::string line = headline(comparison, hardwareOnly, parts);
        out << line << '\n';
        expectedHeaded = line.back() == ':';
    }
    for (const std::string& line : parts[Part::Hardware]) out << line << '\n';
    writeSection(out, "Removable media and virtual adapters:", parts[Part::Attached]);
    writeSection(out, "Drivers and operating system:", parts[Part::Software]);
    writeSection(out, expectedHeaded ? nullptr : "Expected to change:", parts[Part::Expected]);
    for (const std::string& sentence : uncomparedSentences(comparison)) out << sentence << '\n';
    writeSection(out, "Hidden in a snapshot, not compared:", parts[Part::NotCompared]);
    out.flush();
}

void writeJsonComparison(const Comparison& comparison, bool hardwareOnly, std::ostream& out) {
    JsonParts parts;
    for (const FieldChange& field : comparison.fields) {
        const Part part = partOf(field.difference, hardwareOnly);
        if (part != Part::Nowhere) parts[part]["fields"].push_back(fieldJson(field, part != Part::NotCompared));
    }
    for (const ItemChange& item : comparison.items) addItemJson(item, hardwareOnly, parts);
    Json document = {{"old", comparison.before},
                     {"new", comparison.after},
                     {"differs", comparison.differs(hardwareOnly)},
                     {"changed", std::move(parts[Part::Hardware])}};
    if (!hardwareOnly) {
        document["removableOrVirtual"] = std::move(parts[Part::Attached]);
        document["software"] = std::move(parts[Part::Software]);
        document["expectedToChange"] = std::move(parts[Part::Expected]);
    }
    document["notCompared"] = std::move(parts[Part::NotCompared]);
    document["notCompared"]["kinds"] = uncomparedJson(comparison);
    out << escapeDelAndC1(document.dump(-1, ' ', false, Json::error_handler_t::replace)) << '\n';
    out.flush();
}

std::vector<std::string> uncomparedSentences(const Comparison& comparison) {
    std::vector<std::string> byOld, byNew, byBoth;
    for (const UncomparedKind& kind : comparison.uncompared) {
        auto& list = kind.unrecordedBefore && kind.unrecordedAfter ? byBoth : kind.unrecordedBefore ? byOld : byNew;
        list.push_back(kindInPlural(kind.kind));
    }
    std::vector<std::string> sentences;
    if (!byOld.empty())
        sentences.push_back("Not compared: " + joined(byOld) + " (the older snapshot does not record them)");
    if (!byNew.empty())
        sentences.push_back("Not compared: " + joined(byNew) + " (the newer snapshot does not record them)");
    if (!byBoth.empty()) sentences.push_back("Not compared: " + joined(byBoth) + " (neither snapshot records them)");
    return sentences;
}

std::string itemChangeNote(const ItemChange& change, const std::string& name) {
    switch (change.change) {
    case ItemChange::Kind::Added: return "Not in " + name;
    case ItemChange::Kind::Removed: return "In " + name + " only";
    case ItemChange::Kind::Replaced:
    case ItemChange::Kind::Changed: break;
    }
    bool byItself = true;
    std::string values;
    for (const PropertyChange& property : change.properties) {
        if (property.difference == Difference::Unknown) continue;
        byItself = byItself && property.difference == Difference::ByItself;
        values += "\n" + property.label + ": " + property.before;
    }
    if (change.change == ItemChange::Kind::Replaced) return "In " + name + ", another one:" + values;
    return "In " + name + (byItself ? " (changes by itself)" : "") + ":" + values;
}

}  // namespace moravel
