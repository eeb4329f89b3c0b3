#include "compare/compare.h"

#include <algorithm>
#include <map>
#include <optional>
#include <sstream>

#include "inventory/read_inventory.h"
#include "query/snapshot/snapshot_provider.h"
#include "query/views/provider_tap.h"
#include "query/views/recording.h"
#include "query/views/redaction.h"
#include "query/views/steady_values.h"
#include "query/wmi_names.h"
#include "query/wmi_query.h"
#include "sections/sections.h"

namespace moravel {
namespace {

// Notes whether any value read is one that redaction had already hidden.
class HiddenValueSpotter : public ProviderTap {
public:
    void valueRead(const std::string& query, std::size_t, const std::string& property, WmiValue& value) override {
        spotted = spotted || isHiddenValue(queriedClassName(query), property, value);
    }
    bool spotted = false;
};

// The 38 fields and the inventory, as a report and an inventory read them.
SideView readView(WmiProvider& provider, SystemProbes& probes, std::ostream& diagnostics) {
    QueryContext context{&provider, &probes, &diagnostics};
    ReportCollector report;
    buildAllGroups(context, report);
    return {std::move(report.groups), inventoryItems(readInventory(&provider, &probes))};
}

// ---- fields -------------------------------------------------------------------------------

struct PlacedField {
    const std::string* group;
    const FieldRecord* field;
};

std::vector<PlacedField> inWindowOrder(const SideView& view) {
    std::vector<PlacedField> fields;
    for (const GroupRecord& group : view.groups)
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

std::vector<FieldChange> compareFields(const CompareSide& before, const CompareSide& after, const Lenses& lenses) {
    std::vector<PlacedField> fields[2][kLensCount];
    for (Lens lens : {kAsRead, lenses.shown, lenses.key, lenses.steady}) {
        fields[0][lens] = inWindowOrder(before.view(lens));
        fields[1][lens] = inWindowOrder(after.view(lens));
    }
    const auto& shownBefore = fields[0][lenses.shown];
    const auto& shownAfter = fields[1][lenses.shown];
    std::vector<FieldChange> changes;
    for (std::size_t at = 0; at < std::max(shownBefore.size(), shownAfter.size()); ++at) {
        auto same = [&](Lens lens) { return sameField(fields[0][lens], fields[1][lens], at); };
        std::optional<Difference> difference = differenceOf(same(kAsRead), same(lenses.key), same(lenses.steady));
        if (!difference) continue;
        const PlacedField* b = at < shownBefore.size() ? &shownBefore[at] : nullptr;
        const PlacedField* a = at < shownAfter.size() ? &shownAfter[at] : nullptr;
        const PlacedField& either = b ? *b : *a;
        changes.push_back({at, *either.group, either.field->label, a ? a->field->label : either.field->label,
                           b ? b->field->text : std::string(), a ? a->field->text : std::string(), *difference});
    }
    return changes;
}

// ---- items --------------------------------------------------------------------------------

// An identity key tells nothing when it is missing or redaction has hidden it.
bool knownKey(const std::string& key) {
    return !key.empty() && key.find(kHiddenText) == std::string::npos && key.find("XX:XX:XX") == std::string::npos &&
           key.find("XX-XX-XX") == std::string::npos;
}

enum class Verdict { Same, Different, CannotTell };

// Two items are the same one when the first identity key both know is equal.
Verdict identify(const InventoryItem& a, const InventoryItem& b) {
    if (a.kind != b.kind) return Verdict::Different;
    for (std::size_t level = 0; level < std::min(a.identity.size(), b.identity.size()); ++level) {
        if (!knownKey(a.identity[level]) || !knownKey(b.identity[level])) continue;
        return a.identity[level] == b.identity[level] ? Verdict::Same : Verdict::Different;
    }
    return Verdict::CannotTell;
}

using Pairs = std::vector<std::pair<std::size_t, std::size_t>>;  // (before, after) item indexes

// Pairs items by identity, then pairs what cannot be told apart in order; the rest was added
// or removed. Candidates are looked up by key, so a long list costs no more than its length.
Pairs pairItems(const std::vector<InventoryItem>& before, const std::vector<InventoryItem>& after,
                std::vector<bool>& pairedBefore, std::vector<bool>& pairedAfter) {
    std::map<std::string, std::vector<std::size_t>> byKey;
    auto keyOf = [](const InventoryItem& item, std::size_t level) {
        return item.kind + '\n' + std::to_string(level) + '\n' + item.identity[level];
    };
    for (std::size_t j = after.size(); j-- > 0;)
        for (std::size_t level = 0; level < after[j].identity.size(); ++level)
            if (knownKey(after[j].identity[level])) byKey[keyOf(after[j], level)].push_back(j);
    Pairs pairs;
    auto pair = [&](std::size_t i, std::size_t j) {
        pairs.emplace_back(i, j);
        pairedBefore[i] = pairedAfter[j] = true;
    };
    for (std::size_t i = 0; i < before.size(); ++i)
        for (std::size_t level = 0; level < before[i].identity.size() && !pairedBefore[i]; ++level) {
            if (!knownKey(before[i].identity[level])) continue;
            auto candidates = byKey.find(keyOf(before[i], level));
            if (candidates == byKey.end()) continue;
            auto& list = candidates->second;
            while (!list.empty() && pairedAfter[list.back()]) list.pop_back();
            for (auto j = list.rbegin(); j != list.rend(); ++j)
                if (!pairedAfter[*j] && identify(before[i], after[*j]) == Verdict::Same) {
                    pair(i, *j);
                    break;
                }
        }
    std::size_t next = 0;  // in order: the first unpaired item after it that cannot be told apart
    for (std::size_t i = 0; i < before.size(); ++i) {
        if (pairedBefore[i]) continue;
        for (std::size_t j = next; j < after.size(); ++j)
            if (!pairedAfter[j] && identify(before[i], after[j]) == Verdict::CannotTell) {
                pair(i, j);
                next = j + 1;
                break;
            }
    }
    std::sort(pairs.begin(), pairs.end());
    return pairs;
}

const InventoryItem* itemAt(const SideView& view, std::size_t index) {
    return index < view.items.size() ? &view.items[index] : nullptr;
}

std::string propertyText(const InventoryItem* item, const std::string& label) {
    if (!item) return {};
    for (const ItemProperty& property : item->properties)
        if (property.label == label) return property.text;
    return {};
}

std::vector<std::string> propertyLabels(const InventoryItem& before, const InventoryItem& after) {
    std::vector<std::string> labels;
    for (const InventoryItem* item : {&before, &after})
        for (const ItemProperty& property : item->properties)
            if (std::find(labels.begin(), labels.end(), property.label) == labels.end())
                labels.push_back(property.label);
    return labels;
}

std::vector<PropertyChange> allProperties(const InventoryItem& item, bool added) {
    std::vector<PropertyChange> properties;
    for (const ItemProperty& property : item.properties)
        properties.push_back(
            {property.label, added ? "" : property.text, added ? property.text : "", Difference::Changed});
    return properties;
}

// What one side does not say about an item is unknown: only properties both sides give are
// compared.
ItemChange changedItem(const CompareSide& before, std::size_t i, const CompareSide& after, std::size_t j,
                       const Lenses& lenses) {
    const InventoryItem& shownBefore = before.view(lenses.shown).items[i];
    const InventoryItem& shownAfter = after.view(lenses.shown).items[j];
    // Where a side hides values, the item is named as hidden whichever side is the older.
    const InventoryItem& named = before.view(lenses.key == kHidden ? kHidden : lenses.shown).items[i];
    ItemChange change{ItemChange::Kind::Changed, named.kind, named.name, {}};
    for (const std::string& label : propertyLabels(shownBefore, shownAfter)) {
        auto text = [&](const CompareSide& side, Lens lens, std::size_t at) {
            return propertyText(itemAt(side.view(lens), at), label);
        };
        if (text(before, kAsRead, i).empty() || text(after, kAsRead, j).empty()) continue;
        auto same = [&](Lens lens) { return text(before, lens, i) == text(after, lens, j); };
        std::optional<Difference> difference = differenceOf(same(kAsRead), same(lenses.key), same(lenses.steady));
        if (difference)
            change.properties.push_back(
                {label, propertyText(&shownBefore, label), propertyText(&shownAfter, label), *difference});
    }
    return change;
}

// Items of a kind one side says nothing about are left out on both sides.
std::vector<InventoryItem> toldOf(const std::vector<InventoryItem>& items, const CompareSide& before,
                                  const CompareSide& after, std::vector<std::size_t>& places) {
    std::vector<InventoryItem> told;
    for (std::size_t i = 0; i < items.size(); ++i)
        if (before.tellsOf(items[i].kind) && after.tellsOf(items[i].kind)) {
            told.push_back(items[i]);
            places.push_back(i);
        }
    return told;
}

std::vector<ItemChange> compareItems(const CompareSide& before, const CompareSide& after, const Lenses& lenses) {
    std::vector<std::size_t> placesBefore, placesAfter;
    const auto itemsBefore = toldOf(before.view(kAsRead).items, before, after, placesBefore);
    const auto itemsAfter = toldOf(after.view(kAsRead).items, before, after, placesAfter);
    std::vector<bool> pairedBefore(itemsBefore.size()), pairedAfter(itemsAfter.size());
    std::vector<ItemChange> changes;
    for (const auto& [i, j] : pairItems(itemsBefore, itemsAfter, pairedBefore, pairedAfter)) {
        ItemChange change = changedItem(before, placesBefore[i], after, placesAfter[j], lenses);
        if (!change.properties.empty()) changes.push_back(std::move(change));
    }
    auto unpaired = [&](const CompareSide& side, const std::vector<bool>& paired,
                        const std::vector<std::size_t>& places, ItemChange::Kind kind) {
        for (std::size_t i = 0; i < paired.size(); ++i)
            if (!paired[i])
                if (const InventoryItem* item = itemAt(side.view(lenses.shown), places[i]))
                    changes.push_back(
                        {kind, item->kind, item->name, allProperties(*item, kind == ItemChange::Kind::Added)});
    };
    unpaired(before, pairedBefore, placesBefore, ItemChange::Kind::Removed);
    unpaired(after, pairedAfter, placesAfter, ItemChange::Kind::Added);
    // Each kind together, in the inventory's order: what changed, then what went, then what came.
    std::vector<std::string> kinds;
    for (const auto* items : {&itemsBefore, &itemsAfter})
        for (const InventoryItem& item : *items)
            if (std::find(kinds.begin(), kinds.end(), item.kind) == kinds.end()) kinds.push_back(item.kind);
    auto rank = [&](const ItemChange& change) {
        return std::find(kinds.begin(), kinds.end(), change.kind) - kinds.begin();
    };
    std::stable_sort(changes.begin(), changes.end(),
                     [&](const ItemChange& a, const ItemChange& b) { return rank(a) < rank(b); });
    return changes;
}

}  // namespace

CompareSide::CompareSide(std::string name, bool hides, std::array<SideView, kLensCount> views,
                         std::vector<std::string> silentKinds)
    : name_(std::move(name)), hides_(hides), views_(std::move(views)), silentKinds_(std::move(silentKinds)) {}

// Every view replays the kept answers; their diagnostic lines were written when they were read.
CompareSide::CompareSide(Backend answers, std::string name, std::vector<std::string> silentKinds)
    : name_(std::move(name)), silentKinds_(std::move(silentKinds)) {
    std::ostringstream discarded;
    WmiProvider& provider = *answers.provider;
    SystemProbes& probes = *answers.probes;
    auto spotter = std::make_shared<HiddenValueSpotter>();
    views_[kAsRead] = readView(*makeTappedProvider(provider, spotter), probes, discarded);
    hides_ = spotter->spotted || probes.addressesHidden();
    Backend hidden = makeRedactedView(provider, probes);
    views_[kHidden] = readView(*hidden.provider, *hidden.probes, discarded);
    Backend steady = makeSteadyView(provider, probes);
    views_[kSteady] = readView(*steady.provider, *steady.probes, discarded);
    Backend hiddenSteady = makeRedactedView(*steady.provider, *steady.probes);
    views_[kHiddenSteady] = readView(*hiddenSteady.provider, *hiddenSteady.probes, discarded);
}

CompareSide CompareSide::fromFile(const std::string& path) {
    SnapshotData snapshot = readSnapshotFile(path);
    std::vector<std::string> silent = unlistedKinds(snapshot);
    return CompareSide(makeSnapshotBackend(std::move(snapshot)), path, std::move(silent));
}

CompareSide CompareSide::fromAnswers(SnapshotData answers, std::string name) {
    return CompareSide(makeSnapshotBackend(std::move(answers)), std::move(name), {});
}

CompareSide CompareSide::fromMachine(WmiProvider& provider, SystemProbes& probes, std::string name,
                                     std::ostream& diagnostics) {
    auto answers = std::make_shared<SnapshotData>();
    Backend recording = makeRecordingView(provider, probes, answers);
    readView(*recording.provider, *recording.probes, diagnostics);  // the one read
    return fromAnswers(std::move(*answers), std::move(name));
}

bool CompareSide::tellsOf(const std::string& kind) const {
    return std::find(silentKinds_.begin(), silentKinds_.end(), kind) == silentKinds_.end();
}

bool Comparison::differs(bool hardwareOnly) const {
    auto counts = [hardwareOnly](Difference difference) {
        return difference == Difference::Changed || (difference == Difference::ByItself && !hardwareOnly);
    };
    for (const FieldChange& field : fields)
        if (counts(field.difference)) return true;
    for (const ItemChange& item : items) {
        if (item.change != ItemChange::Kind::Changed) return true;
        for (const PropertyChange& property : item.properties)
            if (counts(property.difference)) return true;
    }
    return false;
}

Comparison compareSides(const CompareSide& before, const CompareSide& after, bool hidden) {
    const Lenses lenses = lensesFor(before, after, hidden);
    return {before.name(), after.name(), compareFields(before, after, lenses), compareItems(before, after, lenses)};
}

}  // namespace moravel
