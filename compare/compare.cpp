#include "compare/compare.h"

#include <algorithm>
#include <iterator>
#include <map>

#include "compare/pairing.h"

namespace moravel {
namespace {

// ---- fields -------------------------------------------------------------------------------

struct PlacedField {
    const std::string* group;
    const FieldRecord* field;
};

std::vector<PlacedField> inWindowOrder(const std::vector<GroupRecord>& groups) {
    std::vector<PlacedField> fields;
    for (const GroupRecord& group : groups)
        for (const FieldRecord& field : group.fields) fields.push_back({&group.label, &field});
    return fields;
}

bool sameField(const std::vector<PlacedField>& a, const std::vector<PlacedField>& b, std::size_t at) {
    if (at >= a.size() || at >= b.size()) return at >= a.size() && at >= b.size();
    return a[at].field->label == b[at].field->label && a[at].field->text == b[at].field->text;
}

// The lenses one comparison looks through.
struct Lenses {
    Lens shown;  // what the output shows
    Lens key;    // what decides whether two values are the same
    Lens steady;
};

// Where a side hides values, both are compared as hidden: a hidden value is unknown, so it
// equals anything. Output hidden on request still compares the values as read.
Lenses lensesFor(const CompareSide& before, const CompareSide& after, bool hidden) {
    const bool masked = before.hidesValues() || after.hidesValues();
    return {hidden ? kHidden : kAsRead, masked ? kHidden : kAsRead, masked ? kHiddenSteady : kSteady};
}

// How two values differ, given whether they are the same as read, compared and held still.
std::optional<Difference> differenceOf(bool sameAsRead, bool sameKey, bool sameSteady) {
    if (sameKey) return sameAsRead ? std::nullopt : std::optional<Difference>(Difference::Unknown);
    return sameSteady ? Difference::ByItself : Difference::Changed;
}

// What a field shows, when it is not the hardware: its own nature, and the kind of item that
// tells the same (the BIOS fields and the firmware, the drives and the disks).
struct FieldNature {
    const char* group;
    const char* label;  // null: every field of the group
    const char* kind;   // the items that tell the same; null: none
    Difference own = Difference::Changed;
};

const FieldNature kFieldNatures[] = {
    {"System", "Computer Name:", nullptr, Difference::Software},  // the system's set-up, not the hardware
    {"System", "Type:", "Computer"},
    {"System", "Domain:", nullptr, Difference::Software},
    {"System", "Memory:", "Memory module"},
    {"System", "MAC Address:", "Network adapter"},
    {"BIOS", nullptr, "Firmware"},
    {"OS", "Name:", "Operating system", Difference::Software},
    {"OS", "Product ID:", "Operating system", Difference::Software},
    {"OS", "Version:", "Operating system", Difference::Software},
    {"CPU", nullptr, "Processor"},
    {"MotherBoard", "Manufacturer:", "Board"},
    {"MotherBoard", "Unique Serial No.:", "Board"},
    {"MotherBoard", "Model:", "Board"},
    {"VGA", "Driver Version:", "Video adapter", Difference::Software},
    {"VGA", nullptr, "Video adapter"},
    {"Drives", "USB Drive:", "Disk", Difference::Attached},
    {"Drives", nullptr, "Disk"},
    {"Other", "Network:", "Network adapter"},
};

const FieldNature* natureOf(const FieldChange& field) {
    for (const FieldNature& nature : kFieldNatures)
        if (field.group == nature.group && (!nature.label || field.label == nature.label)) return &nature;
    return nullptr;
}

// Changed, then Attached, then Software: the one a person must hear of first.
bool stronger(Difference a, Difference b) { return static_cast<int>(a) < static_cast<int>(b); }

std::vector<FieldChange> compareFields(const CompareSide& before, const CompareSide& after, const Lenses& lenses) {
    const std::vector<PlacedField> asRead[2] = {inWindowOrder(before.groups(kAsRead)),
                                                inWindowOrder(after.groups(kAsRead))};
    const std::size_t count = std::max(asRead[0].size(), asRead[1].size());
    std::vector<std::size_t> differing;
    for (std::size_t at = 0; at < count; ++at)
        if (!sameField(asRead[0], asRead[1], at)) differing.push_back(at);
    if (differing.empty()) return {};  // the other lenses are looked through only where needed
    std::vector<PlacedField> fields[2][kLensCount];
    for (Lens lens : {lenses.shown, lenses.key, lenses.steady}) {
        fields[0][lens] = inWindowOrder(before.groups(lens));
        fields[1][lens] = inWindowOrder(after.groups(lens));
    }
    const auto& shownBefore = fields[0][lenses.shown];
    const auto& shownAfter = fields[1][lenses.shown];
    std::vector<FieldChange> changes;
    for (std::size_t at : differing) {
        auto same = [&](Lens lens) { return sameField(fields[0][lens], fields[1][lens], at); };
        std::optional<Difference> difference = differenceOf(false, same(lenses.key), same(lenses.steady));
        if (!difference) continue;
        const PlacedField* b = at < shownBefore.size() ? &shownBefore[at] : nullptr;
        const PlacedField* a = at < shownAfter.size() ? &shownAfter[at] : nullptr;
        const PlacedField& either = b ? *b : *a;
        FieldChange change;
        change.position = at, change.group = *either.group, change.label = either.field->label;
        change.newLabel = a ? a->field->label : either.field->label;
        change.before = b ? b->field->text : std::string(), change.after = a ? a->field->text : std::string();
        change.difference = *difference;
        const FieldNature* nature = natureOf(change);
        if (nature && change.difference == Difference::Changed) change.difference = nature->own;
        changes.push_back(std::move(change));
    }
    return changes;
}

// A field whose change an item tells too takes that item's nature, and the text tells it once:
// a USB stick's field is no hardware when the stick is what came or went.
void tellOnce(std::vector<FieldChange>& fields, const std::vector<ItemChange>& items) {
    for (FieldChange& field : fields) {
        const FieldNature* nature = natureOf(field);
        if (!nature || !nature->kind || !counts(field.difference, false)) continue;
        std::optional<Difference> told;
        for (const ItemChange& item : items)
            if (item.kind == nature->kind && counts(item.difference, false) &&
                (!told || stronger(item.difference, *told)))
                told = item.difference;
        if (!told) continue;
        field.difference = *told;
        field.toldBy = nature->kind;
    }
}

// ---- items --------------------------------------------------------------------------------

// The items of one kind of one side at the places `wanted` (sorted), as `lens` shows them, and
// where each stands among the items of its own kind.
class HeldItems {
public:
    HeldItems(const CompareSide& side, InventoryKind kind, Lens lens, const std::vector<std::uint32_t>& wanted)
        : wanted_(wanted) {
        if (wanted_.empty()) return;
        items_.resize(wanted_.size());
        ordinals_.resize(wanted_.size());
        std::map<std::string, std::size_t> ofKind;
        std::uint32_t at = 0;
        std::size_t next = 0;
        side.visitItems(lens, kind, [&](const InventoryItem& item) {
            const std::size_t ordinal = ofKind[item.kind]++;
            if (next < wanted_.size() && wanted_[next] == at) items_[next] = item, ordinals_[next++] = ordinal;
            ++at;
        });
    }
    const InventoryItem& at(std::uint32_t place) const {
        static const InventoryItem none;
        const std::size_t found = find(place);
        return found < items_.size() ? items_[found] : none;
    }
    // The item at `place`, handed over: it is not looked at again.
    InventoryItem take(std::uint32_t place) {
        const std::size_t found = find(place);
        return found < items_.size() ? std::move(items_[found]) : InventoryItem();
    }
    std::size_t ordinal(std::uint32_t place) const {
        const std::size_t found = find(place);
        return found < ordinals_.size() ? ordinals_[found] : 0;
    }

private:
    std::size_t find(std::uint32_t place) const {
        auto it = std::lower_bound(wanted_.begin(), wanted_.end(), place);
        return it != wanted_.end() && *it == place ? static_cast<std::size_t>(it - wanted_.begin()) : wanted_.size();
    }
    std::vector<std::uint32_t> wanted_;
    std::vector<InventoryItem> items_;
    std::vector<std::size_t> ordinals_;
};

// One side's items of one kind at the places a comparison looks at closely, each through the
// lenses it needs: an item paired with a changed one through all of them, one replaced as read,
// shown and compared, one alone (gone or come) as read and shown. A lens no place needs is not
// looked through at all.
class CloseLook {
public:
    struct Places {
        std::vector<std::uint32_t> changed, replaced, alone;
    };
    CloseLook(const CompareSide& side, InventoryKind kind, const Lenses& lenses, const Places& places) {
        for (Lens lens : {kAsRead, lenses.shown, lenses.key, lenses.steady}) {
            if (held_[lens]) continue;
            std::vector<std::uint32_t> wanted = places.changed;
            if (lens != lenses.steady)  // as read, shown, compared
                wanted.insert(wanted.end(), places.replaced.begin(), places.replaced.end());
            if (lens == kAsRead || lens == lenses.shown)
                wanted.insert(wanted.end(), places.alone.begin(), places.alone.end());
            std::sort(wanted.begin(), wanted.end());
            wanted.erase(std::unique(wanted.begin(), wanted.end()), wanted.end());
            held_[lens].emplace(side, kind, lens, wanted);
        }
    }
    const InventoryItem& item(Lens lens, std::uint32_t place) const { return held_[lens]->at(place); }
    InventoryItem take(Lens lens, std::uint32_t place) { return held_[lens]->take(place); }
    std::size_t ordinal(std::uint32_t place) const { return held_[kAsRead]->ordinal(place); }

private:
    std::optional<HeldItems> held_[kLensCount];
};

const ItemProperty* findProperty(const InventoryItem& item, const std::string& label) {
    for (const ItemProperty& property : item.properties)
        if (property.label == label) return &property;
    return nullptr;
}

std::string propertyText(const InventoryItem& item, const std::string& label) {
    const ItemProperty* property = findProperty(item, label);
    return property ? property->text : std::string();
}

std::vector<std::string> propertyLabels(const InventoryItem& before, const InventoryItem& after) {
    std::vector<std::string> labels;
    for (const InventoryItem* item : {&before, &after})
        for (const ItemProperty& property : item->properties)
            if (std::find(labels.begin(), labels.end(), property.label) == labels.end())
                labels.push_back(property.label);
    return labels;
}

std::vector<PropertyChange> allProperties(InventoryItem& item, bool added, Difference difference) {
    std::vector<PropertyChange> properties;
    properties.reserve(item.properties.size());
    for (ItemProperty& property : item.properties) {
        PropertyChange& change = properties.emplace_back();
        change.label = std::move(property.label), change.difference = difference;
        (added ? change.after : change.before) = std::move(property.text);
    }
    return properties;
}

ItemChange itemChange(ItemChange::Kind change, const std::string& kind, const std::string& name,
                      std::vector<PropertyChange> properties = {}, Difference difference = Difference::Changed) {
    ItemChange made;
    made.change = change, made.kind = kind, made.name = name, made.difference = difference;
    made.properties = std::move(properties);
    return made;
}

// The item's own nature: removable media and virtual adapters are not the machine's hardware,
// installed software is not the machine at all.
Difference natureOf(const InventoryItem& before, const InventoryItem& after) {
    if (before.program || after.program) return Difference::Program;
    return before.fixed && after.fixed ? Difference::Changed : Difference::Attached;
}

Difference strongestOf(const std::vector<PropertyChange>& properties) {
    Difference strongest = Difference::Unknown;
    for (const PropertyChange& property : properties)
        if (stronger(property.difference, strongest)) strongest = property.difference;
    return strongest;
}

// Both sides' items, the places of a pair and the lenses: what one pair's change is made of.
struct PairLook {
    const CloseLook& before;
    const CloseLook& after;
    const Lenses& lenses;
    const InventoryItem& shownBefore(std::uint32_t at) const { return before.item(lenses.shown, at); }
    const InventoryItem& shownAfter(std::uint32_t at) const { return after.item(lenses.shown, at); }
    // Where a side hides values, the item is named as hidden whichever side is the older.
    const std::string& name(std::uint32_t at) const {
        return before.item(lenses.key == kHidden ? kHidden : lenses.shown, at).name;
    }
};

// What one side does not say about an item is unknown: only properties both sides give are
// compared, and one that a side leaves out is named as not compared (unless it changes by itself).
ItemChange changedItem(const PairLook& look, std::uint32_t i, std::uint32_t j) {
    const InventoryItem& shownBefore = look.shownBefore(i);
    const InventoryItem& shownAfter = look.shownAfter(j);
    const Difference nature = natureOf(look.before.item(kAsRead, i), look.after.item(kAsRead, j));
    ItemChange change = itemChange(ItemChange::Kind::Changed, shownBefore.kind, look.name(i));
    for (const std::string& label : propertyLabels(shownBefore, shownAfter)) {
        auto text = [&](const CloseLook& side, Lens lens, std::uint32_t at) {
            return propertyText(side.item(lens, at), label);
        };
        const bool noneBefore = text(look.before, kAsRead, i).empty(), noneAfter = text(look.after, kAsRead, j).empty();
        if (noneBefore && noneAfter) continue;
        auto same = [&](Lens lens) { return text(look.before, lens, i) == text(look.after, lens, j); };
        std::optional<Difference> difference =
            differenceOf(same(kAsRead), same(look.lenses.key), same(look.lenses.steady));
        if (!difference) continue;
        if (noneBefore || noneAfter) {
            if (*difference != Difference::ByItself)
                change.properties.push_back({label, {}, {}, Difference::Unknown, noneBefore ? "old" : "new"});
            continue;
        }
        const ItemProperty* property = findProperty(shownAfter, label);
        if (*difference == Difference::Changed)
            difference = property && property->software ? Difference::Software : nature;
        change.properties.push_back(
            {label, propertyText(shownBefore, label), propertyText(shownAfter, label), *difference});
    }
    change.difference = strongestOf(change.properties);
    return change;
}

// Another item where one was: the properties that tell them apart, as compared.
ItemChange replacedItem(const PairLook& look, std::uint32_t i, std::uint32_t j) {
    const InventoryItem& shownBefore = look.shownBefore(i);
    const InventoryItem& shownAfter = look.shownAfter(j);
    const Difference nature = natureOf(look.before.item(kAsRead, i), look.after.item(kAsRead, j));
    ItemChange change = itemChange(ItemChange::Kind::Replaced, shownBefore.kind, look.name(i), {}, nature);
    for (const std::string& label : propertyLabels(shownBefore, shownAfter)) {
        const std::string keyBefore = propertyText(look.before.item(look.lenses.key, i), label);
        const std::string keyAfter = propertyText(look.after.item(look.lenses.key, j), label);
        if (keyBefore.empty() || keyAfter.empty() || keyBefore == keyAfter) continue;
        change.properties.push_back({label, propertyText(shownBefore, label), propertyText(shownAfter, label), nature});
    }
    return change;
}

// Which pairs need a close look: those not wholly equal as compared, or (where a side hides
// values) as read.
std::vector<std::pair<std::size_t, std::size_t>> unequalPairs(const ItemPairs& pairs, const CompareSide& before,
                                                              const CompareSide& after, InventoryKind kind,
                                                              const Lenses& lenses) {
    const ItemDigests& keyBefore = before.digests(lenses.key, kind);
    const ItemDigests& keyAfter = after.digests(lenses.key, kind);
    const ItemDigests& readBefore = before.digests(kAsRead, kind);
    const ItemDigests& readAfter = after.digests(kAsRead, kind);
    std::vector<std::pair<std::size_t, std::size_t>> unequal;
    for (const auto& [i, j] : pairs.same)
        if (keyBefore[i].content != keyAfter[j].content || readBefore[i].content != readAfter[j].content)
            unequal.emplace_back(i, j);
    return unequal;
}

std::uint32_t place(std::size_t index) { return static_cast<std::uint32_t>(index); }

// The changes of one kind: its items paired by their digests, then those that differ looked at
// closely.
std::vector<ItemChange> compareKind(const CompareSide& before, const CompareSide& after, InventoryKind kind,
                                    const Lenses& lenses) {
    const ItemDigests& digestsBefore = before.digests(lenses.key, kind);
    const ItemDigests& digestsAfter = after.digests(lenses.key, kind);
    const ItemPairs pairs = pairItems(digestsBefore, digestsAfter);
    const auto unequal = unequalPairs(pairs, before, after, kind, lenses);

    CloseLook::Places placesBefore, placesAfter;
    for (const auto& [i, j] : unequal)
        placesBefore.changed.push_back(place(i)), placesAfter.changed.push_back(place(j));
    for (const auto& [i, j] : pairs.replaced)
        placesBefore.replaced.push_back(place(i)), placesAfter.replaced.push_back(place(j));
    for (std::size_t i : pairs.removed) placesBefore.alone.push_back(place(i));
    for (std::size_t j : pairs.added) placesAfter.alone.push_back(place(j));
    CloseLook lookBefore(before, kind, lenses, placesBefore);
    CloseLook lookAfter(after, kind, lenses, placesAfter);
    const PairLook look{lookBefore, lookAfter, lenses};

    std::vector<ItemChange> changes;
    auto placed = [&](ItemChange change, std::optional<std::size_t> i, std::optional<std::size_t> j) {
        if (i) change.before = lookBefore.ordinal(place(*i));
        if (j) change.after = lookAfter.ordinal(place(*j));
        changes.push_back(std::move(change));
    };
    for (const auto& [i, j] : unequal) {
        ItemChange change = changedItem(look, place(i), place(j));
        if (!change.properties.empty()) placed(std::move(change), i, j);
    }
    for (const auto& [i, j] : pairs.replaced) placed(replacedItem(look, place(i), place(j)), i, j);
    auto unpaired = [&](const std::vector<std::size_t>& places, CloseLook& side, ItemChange::Kind change) {
        const bool added = change == ItemChange::Kind::Added;
        for (std::size_t p : places) {
            const InventoryItem& asRead = side.item(kAsRead, place(p));
            const Difference nature = natureOf(asRead, asRead);
            InventoryItem item = side.take(lenses.shown, place(p));
            placed(itemChange(change, item.kind, item.name, allProperties(item, added, nature), nature),
                   added ? std::nullopt : std::optional<std::size_t>(p),
                   added ? std::optional<std::size_t>(p) : std::nullopt);
        }
    };
    unpaired(pairs.removed, lookBefore, ItemChange::Kind::Removed);
    unpaired(pairs.added, lookAfter, ItemChange::Kind::Added);

    // Each kind of item together, in the inventory's order: what changed, then what went, then
    // what came.
    std::vector<std::uint16_t> kinds;
    for (const ItemDigests* digests : {&digestsBefore, &digestsAfter})
        for (const ItemDigest& digest : *digests)
            if (std::find(kinds.begin(), kinds.end(), digest.kind) == kinds.end()) kinds.push_back(digest.kind);
    auto rank = [&](const ItemChange& change) {
        return std::find(kinds.begin(), kinds.end(), itemKindNumber(change.kind)) - kinds.begin();
    };
    std::stable_sort(changes.begin(), changes.end(),
                     [&](const ItemChange& a, const ItemChange& b) { return rank(a) < rank(b); });
    return changes;
}

// The kinds both sides record and whose answers differ: only those need their items read.
std::vector<InventoryKind> kindsToCompare(const CompareSide& before, const CompareSide& after) {
    std::vector<InventoryKind> kinds;
    for (InventoryKind kind : comparedKinds()) {
        const char* items = unrecordedItems(kind);
        if (items && (!before.tellsOf(items) || !after.tellsOf(items))) continue;
        if (!before.answersAlike(after, kind)) kinds.push_back(kind);
    }
    return kinds;
}

std::vector<ItemChange> compareItems(const CompareSide& before, const CompareSide& after,
                                     const std::vector<InventoryKind>& kinds, const Lenses& lenses) {
    std::vector<ItemChange> changes;
    for (InventoryKind kind : kinds) {
        std::vector<ItemChange> ofKind = compareKind(before, after, kind, lenses);
        std::move(ofKind.begin(), ofKind.end(), std::back_inserter(changes));
    }
    return changes;
}

// The kinds either side says nothing about, the older side's first.
std::vector<UncomparedKind> uncomparedKinds(const CompareSide& before, const CompareSide& after) {
    std::vector<UncomparedKind> kinds;
    for (const CompareSide* side : {&before, &after})
        for (const std::string& kind : side->silentKinds())
            if (std::none_of(kinds.begin(), kinds.end(), [&](const UncomparedKind& k) { return k.kind == kind; }))
                kinds.push_back({kind, !before.tellsOf(kind), !after.tellsOf(kind)});
    return kinds;
}

}  // namespace

// In the enum's order: the first four count, the first alone with --hardware-only.
bool counts(Difference difference, bool hardwareOnly) {
    return hardwareOnly ? difference == Difference::Changed : difference < Difference::ByItself;
}

bool Comparison::differs(bool hardwareOnly) const {
    for (const FieldChange& field : fields)
        if (counts(field.difference, hardwareOnly)) return true;
    for (const ItemChange& item : items) {
        if (item.change != ItemChange::Kind::Changed && counts(item.difference, hardwareOnly)) return true;
        for (const PropertyChange& property : item.properties)
            if (item.change == ItemChange::Kind::Changed && counts(property.difference, hardwareOnly)) return true;
    }
    return false;
}

bool Comparison::has(Difference difference) const {
    for (const FieldChange& field : fields)
        if (field.difference == difference) return true;
    for (const ItemChange& item : items) {
        if (item.difference == difference) return true;
        for (const PropertyChange& property : item.properties)
            if (property.difference == difference) return true;
    }
    return false;
}

// An item is Unknown only where all its properties are, so has() looks at no more than it should.
bool Comparison::partial() const { return !uncompared.empty() || has(Difference::Unknown); }

Comparison compareSides(const CompareSide& before, const CompareSide& after, bool hidden) {
    const std::vector<InventoryKind> kinds = kindsToCompare(before, after);
    for (InventoryKind kind : kinds) {  // as read first: what a side holds tells whether it hides values
        before.digests(kAsRead, kind);
        after.digests(kAsRead, kind);
    }
    const Lenses lenses = lensesFor(before, after, hidden);
    Comparison comparison{before.name(), after.name(), compareFields(before, after, lenses),
                          compareItems(before, after, kinds, lenses), uncomparedKinds(before, after)};
    tellOnce(comparison.fields, comparison.items);
    return comparison;
}

}  // namespace moravel
