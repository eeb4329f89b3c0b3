#include "details/marks.h"

#include <algorithm>

namespace moravel {
namespace {

// Where the `index`-th item of `kind` stands in the list: the list keeps each kind's items in
// the inventory's order, as the comparison counts them.
struct Place {
    std::size_t group = 0, item = 0;
    bool found = false;
};

Place placeOf(const DetailsList& list, const std::string& kind, std::size_t index) {
    std::size_t seen = 0;
    for (std::size_t group = 0; group < list.size(); ++group)
        for (std::size_t item = 0; item < list[group].items.size(); ++item)
            if (list[group].items[item].kind == kind && seen++ == index) return {group, item, true};
    return {};
}

// What the tooltip of a marked item says, as a marked field's does: the snapshot's side of it.
std::string itemWas(const ItemChange& change, const std::string& name) {
    const char* byItself = change.difference == Difference::ByItself ? " (changes by itself)" : "";
    switch (change.change) {
    case ItemChange::Kind::Added: return "Not in " + name + ": added";
    case ItemChange::Kind::Removed: return "Only in " + name + ": not in this machine";
    case ItemChange::Kind::Replaced: return "In " + name + byItself + ":\n" + change.name + " (replaced)";
    case ItemChange::Kind::Changed: break;
    }
    return "In " + name + byItself + ":\n" + change.name;
}

// The snapshot's item, as it is shown where this machine has none.
InventoryItem removedItem(const ItemChange& change) {
    InventoryItem item{change.kind, change.name, {}, {}};
    for (const PropertyChange& property : change.properties) item.properties.push_back({property.label, property.before});
    return item;
}

// Marks the properties that differ; one this machine has no value for any more is shown empty.
void markProperties(const ItemChange& change, const std::string& name, InventoryItem& item, ItemMark& mark) {
    for (const PropertyChange& property : change.properties) {
        const DifferenceMark marked = markOf(property.difference);
        if (marked == DifferenceMark::Plain) continue;
        auto same = [&](const ItemProperty& p) { return p.label == property.label; };
        auto at = std::find_if(item.properties.begin(), item.properties.end(), same);
        if (at == item.properties.end()) {
            item.properties.push_back({property.label, ""});
            mark.properties.emplace_back();
            at = item.properties.end() - 1;
        }
        const char* byItself = property.difference == Difference::ByItself ? " (changes by itself)" : "";
        mark.properties[static_cast<std::size_t>(at - item.properties.begin())] = {
            marked, "In " + name + byItself + ":\n" + property.before};
    }
}

// The snapshot's item put back in its group of the list, with a mark of its own.
Place putBack(const ItemChange& change, MarkedDetails& marked) {
    const std::size_t groups = marked.list.size();
    const std::size_t group = addToGroup(marked.list, removedItem(change));
    if (marked.list.size() > groups) {
        marked.marks.insert(marked.marks.begin() + static_cast<long>(group), std::vector<ItemMark>());
        marked.uncompared.insert(marked.uncompared.begin() + static_cast<long>(group), std::string());
    }
    marked.marks[group].emplace_back();
    return {group, marked.list[group].items.size() - 1, true};
}

void markItem(const ItemChange& change, const std::string& name, MarkedDetails& marked) {
    const DifferenceMark mark = markOf(change.difference);
    if (mark == DifferenceMark::Plain) return;
    Place place;
    if (change.change == ItemChange::Kind::Removed)
        place = putBack(change, marked);
    else if (change.after)
        place = placeOf(marked.list, change.kind, *change.after);
    if (!place.found) return;
    InventoryItem& item = marked.list[place.group].items[place.item];
    ItemMark& itemMark = marked.marks[place.group][place.item];
    itemMark = {mark, changeName(change.change), itemWas(change, name), {}};
    itemMark.properties.resize(item.properties.size());
    if (change.change == ItemChange::Kind::Changed || change.change == ItemChange::Kind::Replaced)
        markProperties(change, name, item, itemMark);
}

// What group `group` cannot show marks for: its kinds of item that a side does not record.
std::string uncomparedIn(const DetailsGroup& group, const Comparison& comparison, const std::string& name) {
    std::string kinds;
    bool byThisMachine = false;
    for (const UncomparedKind& kind : comparison.uncompared) {
        const auto held = [&kind](const InventoryItem& item) { return item.kind == kind.kind; };
        if (std::none_of(group.items.begin(), group.items.end(), held)) continue;
        kinds += (kinds.empty() ? "" : ", ") + kindInPlural(kind.kind);
        byThisMachine = byThisMachine || !kind.unrecordedBefore;
    }
    if (kinds.empty()) return {};
    return "not compared: " + kinds + " (" + (byThisMachine ? "the shown snapshot" : name) + " does not record them)";
}

}  // namespace

DifferenceMark markOf(Difference difference) {
    if (difference == Difference::Unknown) return DifferenceMark::Plain;
    return difference == Difference::ByItself ? DifferenceMark::ByItself : DifferenceMark::Changed;
}

std::size_t MarkedDetails::marked() const {
    std::size_t count = 0;
    for (const std::vector<ItemMark>& group : marks)
        for (const ItemMark& item : group) count += item.mark != DifferenceMark::Plain;
    return count;
}

MarkedDetails markedDetails(const DetailsList& machine, const Comparison* comparison, const std::string& name) {
    MarkedDetails marked{machine, {}, std::vector<std::string>(machine.size()), {}};
    for (const DetailsGroup& group : marked.list) marked.marks.emplace_back(group.items.size());
    if (!comparison) return marked;
    marked.comparedWith = name;
    for (std::size_t group = 0; group < machine.size(); ++group)
        marked.uncompared[group] = uncomparedIn(machine[group], *comparison, name);
    // The machine's items first, while the list still counts each kind as the inventory does;
    // then the removed ones, each put back in its group.
    for (const ItemChange& change : comparison->items)
        if (change.change != ItemChange::Kind::Removed) markItem(change, name, marked);
    for (const ItemChange& change : comparison->items)
        if (change.change == ItemChange::Kind::Removed) markItem(change, name, marked);
    return marked;
}

}  // namespace moravel
