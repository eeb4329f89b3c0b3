#include "compare/compare.h"

#include <algorithm>
#include <sstream>

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

// The items of one side at the places `wanted` (sorted), as `lens` shows them.
class HeldItems {
public:
    HeldItems(const CompareSide& side, Lens lens, std::vector<std::uint32_t> wanted) : wanted_(std::move(wanted)) {
        if (wanted_.empty()) return;
        items_.resize(wanted_.size());
        std::uint32_t at = 0;
        std::size_t next = 0;
        side.visitItems(lens, [&](const InventoryItem& item) {
            if (next < wanted_.size() && wanted_[next] == at) items_[next++] = item;
            ++at;
        });
    }
    const InventoryItem& at(std::uint32_t place) const {
        static const InventoryItem none;
        auto it = std::lower_bound(wanted_.begin(), wanted_.end(), place);
        return it != wanted_.end() && *it == place ? items_[static_cast<std::size_t>(it - wanted_.begin())] : none;
    }

private:
    std::vector<std::uint32_t> wanted_;
    std::vector<InventoryItem> items_;
};

// Each side's items at the places a comparison looks at closely, through every lens it needs.
class CloseLook {
public:
    CloseLook(const CompareSide& side, const Lenses& lenses, std::vector<std::uint32_t> wanted) {
        std::sort(wanted.begin(), wanted.end());
        wanted.erase(std::unique(wanted.begin(), wanted.end()), wanted.end());
        for (Lens lens : {kAsRead, lenses.shown, lenses.key, lenses.steady})
            if (!held_[lens]) held_[lens].emplace(side, lens, wanted);
    }
    const InventoryItem& item(Lens lens, std::uint32_t place) const { return held_[lens]->at(place); }

private:
    std::optional<HeldItems> held_[kLensCount];
};

std::string propertyText(const InventoryItem& item, const std::string& label) {
    for (const ItemProperty& property : item.properties)
        if (property.label == label) return property.text;
    return {};
}

const ItemProperty* findProperty(const InventoryItem& item, const std::string& label) {
    for (const ItemProperty& property : item.properties)
        if (property.label == label) return &property;
    return nullptr;
}

std::vector<std::string> propertyLabels(const InventoryItem& before, const InventoryItem& after) {
    std::vector<std::string> labels;
    for (const InventoryItem* item : {&before, &after})
        for (const ItemProperty& property : item->properties)
            if (std::find(labels.begin(), labels.end(), property.label) == labels.end())
                labels.push_back(property.label);
    return labels;
}

std::vector<PropertyChange> allProperties(const InventoryItem& item, bool added, Difference difference) {
    std::vector<PropertyChange> properties;
    for (const ItemProperty& property : item.properties)
        properties.push_back({property.label, added ? "" : property.text, added ? property.text : "", difference});
    return properties;
}

ItemChange itemChange(ItemChange::Kind change, const std::string& kind, const std::string& name,
                      std::vector<PropertyChange> properties = {}, Difference difference = Difference::Changed) {
    ItemChange made;
    made.change = change, made.kind = kind, made.name = name, made.difference = difference;
    made.properties = std::move(properties);
    return made;
}

// The item's own nature: removable media and virtual adapters are not the machine's hardware.
Difference natureOf(const InventoryItem& before, const InventoryItem& after) {
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
// compared.
ItemChange changedItem(const PairLook& look, std::uint32_t i, std::uint32_t j) {
    const InventoryItem& shownBefore = look.shownBefore(i);
    const InventoryItem& shownAfter = look.shownAfter(j);
    const Difference nature = natureOf(look.before.item(kAsRead, i), look.after.item(kAsRead, j));
    ItemChange change = itemChange(ItemChange::Kind::Changed, shownBefore.kind, look.name(i));
    for (const std::string& label : propertyLabels(shownBefore, shownAfter)) {
        auto text = [&](const CloseLook& side, Lens lens, std::uint32_t at) {
            return propertyText(side.item(lens, at), label);
        };
        if (text(look.before, kAsRead, i).empty() || text(look.after, kAsRead, j).empty()) continue;
        auto same = [&](Lens lens) { return text(look.before, lens, i) == text(look.after, lens, j); };
        std::optional<Difference> difference =
            differenceOf(same(kAsRead), same(look.lenses.key), same(look.lenses.steady));
        if (!difference) continue;
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

// The digests of the kinds both sides tell of; the places stay those of the side's items.
std::vector<ItemDigest> toldOf(const std::vector<ItemDigest>& digests, const std::vector<std::string>& silent) {
    if (silent.empty()) return digests;
    std::vector<ItemDigest> told;
    for (const ItemDigest& digest : digests)
        if (std::find(silent.begin(), silent.end(), itemKindName(digest.kind)) == silent.end()) told.push_back(digest);
    return told;
}

std::vector<std::string> silentOnEither(const CompareSide& before, const CompareSide& after) {
    std::vector<std::string> silent = before.silentKinds();
    for (const std::string& kind : after.silentKinds())
        if (std::find(silent.begin(), silent.end(), kind) == silent.end()) silent.push_back(kind);
    return silent;
}

// Which pairs need a close look: those not wholly equal as compared, or (where a side hides
// values) as read.
std::vector<std::pair<std::size_t, std::size_t>> unequalPairs(const ItemPairs& pairs,
                                                              const std::vector<ItemDigest>& before,
                                                              const std::vector<ItemDigest>& after,
                                                              const CompareSide& sideBefore,
                                                              const CompareSide& sideAfter, const Lenses& lenses) {
    const std::vector<ItemDigest>* asReadBefore = lenses.key == kAsRead ? nullptr : &sideBefore.digests(kAsRead);
    const std::vector<ItemDigest>* asReadAfter = lenses.key == kAsRead ? nullptr : &sideAfter.digests(kAsRead);
    std::vector<std::pair<std::size_t, std::size_t>> unequal;
    for (const auto& [i, j] : pairs.same) {
        bool equal = before[i].content == after[j].content;
        if (equal && asReadBefore) equal = (*asReadBefore)[before[i].at].content == (*asReadAfter)[after[j].at].content;
        if (!equal) unequal.emplace_back(i, j);
    }
    return unequal;
}

std::vector<ItemChange> compareItems(const CompareSide& before, const CompareSide& after, const Lenses& lenses) {
    const std::vector<std::string> silent = silentOnEither(before, after);
    const std::vector<ItemDigest> digestsBefore = toldOf(before.digests(lenses.key), silent);
    const std::vector<ItemDigest> digestsAfter = toldOf(after.digests(lenses.key), silent);
    const ItemPairs pairs = pairItems(digestsBefore, digestsAfter);
    const auto unequal = unequalPairs(pairs, digestsBefore, digestsAfter, before, after, lenses);

    std::vector<std::uint32_t> wantedBefore, wantedAfter;
    for (const auto* list : {&unequal, &pairs.replaced})
        for (const auto& [i, j] : *list)
            wantedBefore.push_back(digestsBefore[i].at), wantedAfter.push_back(digestsAfter[j].at);
    for (std::size_t i : pairs.removed) wantedBefore.push_back(digestsBefore[i].at);
    for (std::size_t j : pairs.added) wantedAfter.push_back(digestsAfter[j].at);
    const CloseLook lookBefore(before, lenses, std::move(wantedBefore)),
        lookAfter(after, lenses, std::move(wantedAfter));
    const PairLook look{lookBefore, lookAfter, lenses};

    std::vector<ItemChange> changes;
    auto placed = [&](ItemChange change, const ItemDigest* b, const ItemDigest* a) {
        if (b) change.before = b->ordinal;
        if (a) change.after = a->ordinal;
        changes.push_back(std::move(change));
    };
    for (const auto& [i, j] : unequal) {
        ItemChange change = changedItem(look, digestsBefore[i].at, digestsAfter[j].at);
        if (!change.properties.empty()) placed(std::move(change), &digestsBefore[i], &digestsAfter[j]);
    }
    for (const auto& [i, j] : pairs.replaced)
        placed(replacedItem(look, digestsBefore[i].at, digestsAfter[j].at), &digestsBefore[i], &digestsAfter[j]);
    auto unpaired = [&](const std::vector<std::size_t>& places, const std::vector<ItemDigest>& digests,
                        const CloseLook& side, ItemChange::Kind kind) {
        for (std::size_t p : places) {
            const InventoryItem& item = side.item(lenses.shown, digests[p].at);
            const Difference nature =
                side.item(kAsRead, digests[p].at).fixed ? Difference::Changed : Difference::Attached;
            const bool added = kind == ItemChange::Kind::Added;
            placed(itemChange(kind, item.kind, item.name, allProperties(item, added, nature), nature),
                   added ? nullptr : &digests[p], added ? &digests[p] : nullptr);
        }
    };
    unpaired(pairs.removed, digestsBefore, lookBefore, ItemChange::Kind::Removed);
    unpaired(pairs.added, digestsAfter, lookAfter, ItemChange::Kind::Added);

    // Each kind together, in the inventory's order: what changed, then what went, then what came.
    std::vector<std::uint16_t> kinds;
    for (const auto* digests : {&digestsBefore, &digestsAfter})
        for (const ItemDigest& digest : *digests)
            if (kinds.empty() || kinds.back() != digest.kind)
                if (std::find(kinds.begin(), kinds.end(), digest.kind) == kinds.end()) kinds.push_back(digest.kind);
    auto rank = [&](const ItemChange& change) {
        return std::find(kinds.begin(), kinds.end(), itemKindNumber(change.kind)) - kinds.begin();
    };
    std::stable_sort(changes.begin(), changes.end(),
                     [&](const ItemChange& a, const ItemChange& b) { return rank(a) < rank(b); });
    return changes;
}

std::vector<UncomparedKind> uncomparedKinds(const CompareSide& before, const CompareSide& after) {
    std::vector<UncomparedKind> kinds;
    for (const std::string& kind : silentOnEither(before, after))
        kinds.push_back({kind, !before.tellsOf(kind), !after.tellsOf(kind)});
    return kinds;
}

}  // namespace

bool CompareSide::tellsOf(const std::string& kind) const {
    return std::find(silentKinds_.begin(), silentKinds_.end(), kind) == silentKinds_.end();
}

bool counts(Difference difference, bool hardwareOnly) {
    switch (difference) {
    case Difference::Changed: return true;
    case Difference::Attached:
    case Difference::Software: return !hardwareOnly;
    case Difference::ByItself:
    case Difference::Unknown: break;
    }
    return false;
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

bool Comparison::partial() const {
    if (!uncompared.empty()) return true;
    for (const FieldChange& field : fields)
        if (field.difference == Difference::Unknown) return true;
    for (const ItemChange& item : items)
        for (const PropertyChange& property : item.properties)
            if (property.difference == Difference::Unknown) return true;
    return false;
}

Comparison compareSides(const CompareSide& before, const CompareSide& after, bool hidden) {
    const Lenses lenses = lensesFor(before, after, hidden);
    Comparison comparison{before.name(), after.name(), compareFields(before, after, lenses),
                          compareItems(before, after, lenses), uncomparedKinds(before, after)};
    tellOnce(comparison.fields, comparison.items);
    return comparison;
}

}  // namespace moravel
