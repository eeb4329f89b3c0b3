// The two forms of a comparison, as the two forms of the report: lines for people, one line of
// JSON for programs; and the sentences the window shows.
#include <array>
#include <optional>

#include <nlohmann/json.hpp>

#include "compare/compare.h"
#include "report/writers.h"
#include "text/terminal.h"

namespace moravel {
namespace {

const char* const kArrow = " \xE2\x86\x92 ";  // " → "

using Json = nlohmann::ordered_json;  // keys in the order they are written

// Which part of the output a difference belongs in; nowhere for what --hardware-only leaves out.
enum class Part { Hardware, Attached, Software, Programs, Expected, NotCompared, Nowhere };
constexpr int kParts = 6;

Part partOf(Difference difference, bool hardwareOnly) {
    switch (difference) {
    case Difference::Changed: return Part::Hardware;
    case Difference::Attached: return hardwareOnly ? Part::Nowhere : Part::Attached;
    case Difference::Software: return hardwareOnly ? Part::Nowhere : Part::Software;
    case Difference::Program: return hardwareOnly ? Part::Nowhere : Part::Programs;
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

constexpr Part kTextParts[] = {Part::Hardware, Part::Attached, Part::Software, Part::Programs, Part::Expected,
                               Part::NotCompared};

// Hands each line of the text to `add` with its part, in the order the differences come, as a
// function that makes it: a pass that only counts lines makes none, and no line is kept.
template <class Add>
void eachLine(const Comparison& comparison, bool hardwareOnly, Add add) {
    for (const FieldChange& field : comparison.fields) {
        if (!field.toldBy.empty()) continue;
        const Part part = partOf(field.difference, hardwareOnly);
        add(part, [&] {
            if (part == Part::NotCompared) return withoutColon(fieldName(field));
            const std::string newCaption = field.newLabel != field.label ? visibleText(field.newLabel) + " " : "";
            return fieldName(field) + " " + shown(field.before) + kArrow + newCaption + shown(field.after);
        });
    }
    // One line per item and part: "Disk X: removed", "Disk X: replaced; Serial number: a → b",
    // "Firmware / Version: a → b; Release date: c → d".
    for (const ItemChange& item : comparison.items) {
        const Part itemPart = partOf(item.difference, hardwareOnly);
        if (item.change != ItemChange::Kind::Changed) {
            add(itemPart, [&] {
                std::vector<const PropertyChange*> told;  // what tells a replacement from the one it replaced
                if (item.change == ItemChange::Kind::Replaced)
                    for (const PropertyChange& property : item.properties) told.push_back(&property);
                const std::string line = itemName(item) + ": " + changeName(item.change);
                return told.empty() ? line : line + "; " + propertyList(told, false);
            });
            continue;
        }
        for (Part part : kTextParts) {
            std::vector<const PropertyChange*> inPart;
            for (const PropertyChange& property : item.properties)
                if (partOf(property.difference, hardwareOnly) == part) inPart.push_back(&property);
            if (!inPart.empty())
                add(part, [&] { return itemName(item) + " / " + propertyList(inPart, part == Part::NotCompared); });
        }
    }
}

using LineCounts = std::array<std::size_t, kParts>;

// The first line when the hardware does not differ. With values that change by themselves and
// nothing else, it heads their list.
std::string headline(const Comparison& comparison, bool hardwareOnly, const LineCounts& lines) {
    auto any = [&](Part part) { return lines[static_cast<int>(part)] > 0; };
    const bool partial = comparison.partial();
    const std::string hardware = partial ? "No differences in the hardware compared" : "No differences in hardware";
    const bool others = any(Part::Attached) || any(Part::Software) || any(Part::Programs);
    if (!others && any(Part::Expected)) return hardware + "; expected to change:";
    const bool leftOut =
        hardwareOnly && (comparison.has(Difference::Attached) || comparison.has(Difference::Software) ||
                         comparison.has(Difference::Program) || comparison.has(Difference::ByItself));
    if (others || leftOut) return hardware + ".";
    return partial ? "No differences in what was compared." : "No differences.";
}

// ---- JSON ---------------------------------------------------------------------------------

Json fieldJson(const FieldChange& field, bool withValues) {
    Json entry = {{"group", field.group}, {"label", field.label}};
    if (field.newLabel != field.label) entry["newLabel"] = field.newLabel;
    if (withValues) entry.update({{"old", field.before}, {"new", field.after}});
    if (!field.toldBy.empty()) entry["toldBy"] = field.toldBy;
    return entry;
}

// The entry of an item in one part: the item with the properties that belong there; none when
// nothing of it does.
std::optional<Json> itemJson(const ItemChange& item, Part part, bool hardwareOnly) {
    const Part itemPart = partOf(item.difference, hardwareOnly);
    Json entry = {{"kind", item.kind}, {"name", item.name}, {"change", changeName(item.change)}};
    Json properties = Json::array();
    if (item.change == ItemChange::Kind::Added || item.change == ItemChange::Kind::Removed) {
        if (itemPart != part) return std::nullopt;
        for (const PropertyChange& property : item.properties)
            properties.push_back({{"label", property.label},
                                  {"text", item.change == ItemChange::Kind::Added ? property.after : property.before}});
        entry["properties"] = std::move(properties);
        return entry;
    }
    const bool replaced = item.change == ItemChange::Kind::Replaced;
    for (const PropertyChange& property : item.properties) {
        if ((replaced ? itemPart : partOf(property.difference, hardwareOnly)) != part) continue;
        Json change = {{"label", property.label}};
        if (part != Part::NotCompared) change.update({{"old", property.before}, {"new", property.after}});
        if (property.notRecordedBy) change["notRecordedBy"] = property.notRecordedBy;
        properties.push_back(std::move(change));
    }
    if (properties.empty() && !(replaced && part == itemPart)) return std::nullopt;
    entry["properties"] = std::move(properties);
    return entry;
}

// One value as JSON text, as the report's JSON writes it.
std::string jsonText(const Json& value) {
    return escapeDelAndC1(value.dump(-1, ' ', false, Json::error_handler_t::replace));
}

// {"fields":[...],"items":[...]} of one part, written entry by entry: a comparison of a million
// items is never one document in memory.
void writeJsonPart(const Comparison& comparison, Part part, bool hardwareOnly, std::ostream& out) {
    const char* separator = "";
    out << "{\"fields\":[";
    for (const FieldChange& field : comparison.fields)
        if (partOf(field.difference, hardwareOnly) == part)
            out << separator << jsonText(fieldJson(field, part != Part::NotCompared)), separator = ",";
    out << "],\"items\":[";
    separator = "";
    for (const ItemChange& item : comparison.items)
        if (std::optional<Json> entry = itemJson(item, part, hardwareOnly))
            out << separator << jsonText(*entry), separator = ",";
    out << ']';
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

// The heading of what was not compared: values a snapshot hides, values one side does not record.
const char* notComparedHeading(const Comparison& comparison) {
    bool hidden = false, unrecorded = false;
    for (const FieldChange& field : comparison.fields) hidden = hidden || field.difference == Difference::Unknown;
    for (const ItemChange& item : comparison.items)
        for (const PropertyChange& property : item.properties)
            if (property.difference == Difference::Unknown) (property.notRecordedBy ? unrecorded : hidden) = true;
    if (hidden && unrecorded) return "Hidden in a snapshot or empty on one side, not compared:";
    return unrecorded ? "Empty on one side, not compared:" : "Hidden in a snapshot, not compared:";
}

}  // namespace

const char* changeName(ItemChange::Kind kind) {
    switch (kind) {
    case ItemChange::Kind::Added: return "added";
    case ItemChange::Kind::Removed: return "removed";
    case ItemChange::Kind::Replaced: return "replaced";
    case ItemChange::Kind::Changed: break;
    }
    return "changed";
}

void writeTextComparison(const Comparison& comparison, bool hardwareOnly, std::ostream& out) {
    LineCounts lines{};
    eachLine(comparison, hardwareOnly, [&](Part part, const auto&) {
        if (part != Part::Nowhere) ++lines[static_cast<int>(part)];
    });
    bool expectedHeaded = false;
    if (lines[static_cast<int>(Part::Hardware)] == 0) {
        const std::string first = headline(comparison, hardwareOnly, lines);
        out << first << '\n';
        expectedHeaded = first.back() == ':';
    }
    for (Part part : kTextParts) {
        if (part == Part::NotCompared)
            for (const std::string& sentence : uncomparedSentences(comparison)) out << sentence << '\n';
        if (lines[static_cast<int>(part)] == 0) continue;
        const char* heading = part == Part::Attached      ? "Removable media and virtual adapters:"
                              : part == Part::Software    ? "Drivers and operating system:"
                              : part == Part::Programs    ? "Installed software:"
                              : part == Part::Expected    ? (expectedHeaded ? nullptr : "Expected to change:")
                              : part == Part::NotCompared ? notComparedHeading(comparison)
                                                          : nullptr;
        if (heading) out << heading << '\n';
        const char* indent = part == Part::Hardware ? "" : "  ";
        eachLine(comparison, hardwareOnly, [&](Part of, const auto& line) {
            if (of == part) out << indent << line() << '\n';
        });
    }
    out.flush();
}

void writeJsonComparison(const Comparison& comparison, bool hardwareOnly, std::ostream& out) {
    out << "{\"old\":" << jsonText(comparison.before) << ",\"new\":" << jsonText(comparison.after)
        << ",\"differs\":" << (comparison.differs(hardwareOnly) ? "true" : "false");
    const std::pair<Part, const char*> parts[] = {{Part::Hardware, "changed"},
                                                  {Part::Attached, "removableOrVirtual"},
                                                  {Part::Software, "software"},
                                                  {Part::Programs, "installedSoftware"},
                                                  {Part::Expected, "expectedToChange"},
                                                  {Part::NotCompared, "notCompared"}};
    for (const auto& [part, key] : parts) {
        if (hardwareOnly && part != Part::Hardware && part != Part::NotCompared) continue;
        out << ",\"" << key << "\":";
        writeJsonPart(comparison, part, hardwareOnly, out);
        if (part == Part::NotCompared) out << ",\"kinds\":" << jsonText(uncomparedJson(comparison));
        out << '}';
    }
    out << "}\n";
    out.flush();
}

std::vector<std::string> uncomparedSentences(const Comparison& comparison) {
    std::vector<std::string> byOld, byNew, byBoth;
    for (const UncomparedKind& kind : comparison.uncompared) {
        auto& list = kind.unrecordedBefore && kind.unrecordedAfter ? byBoth : kind.unrecordedBefore ? byOld : byNew;
        list.push_back(kindInPlural(kind.kind));
    }
    std::vector<std::string> sentences;
    for (const auto& [kinds, why] : {std::pair(&byOld, "the older snapshot does not record them"),
                                     std::pair(&byNew, "the newer snapshot does not record them"),
                                     std::pair(&byBoth, "neither snapshot records them")})
        if (!kinds->empty()) sentences.push_back("Not compared: " + joined(*kinds) + " (" + why + ")");
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
