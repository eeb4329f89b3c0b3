// What changed between two descriptions of a machine: the 38 fields in window order, then the
// inventory items matched by identity, with the values that change by themselves kept apart and
// the values one side hides left uncompared.
#pragma once

#include <array>
#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

#include "inventory/inventory.h"
#include "inventory/kinds.h"
#include "query/backend.h"
#include "query/snapshot/snapshot_data.h"
#include "query/snapshot/snapshot_provider.h"
#include "sections/collector.h"

namespace moravel {

struct ItemProperty {
    std::string label;  // "Size", "Serial number"
    std::string text;
};

// One thing of the fuller inventory: a memory module, a disk, an adapter, the BIOS.
struct InventoryItem {
    std::string kind;  // "Memory module"
    std::string name;  // how the output names it: "DIMM_A2 Kingston 8 GB"
    // What tells it from others of its kind, strongest first ("serial 1A2B", "slot DIMM_A2"):
    // two items are the same one when the first key both sides know is equal.
    std::vector<std::string> identity;
    std::vector<ItemProperty> properties;
};

// The inventory as items: the computer, its firmware, board and operating system (one each, no
// identity), then processors, memory modules, disks, network and video adapters, monitors and
// batteries, each with its serial number, MAC address, slot or socket as identity.
std::vector<InventoryItem> inventoryItems(const Inventory& inventory);

// The kinds of item whose classes a snapshot does not list at all (one saved before the
// inventory was recorded): it says nothing about them, so they are not compared.
std::vector<std::string> unlistedKinds(const SnapshotData& snapshot);

// How the comparison takes each kind of the inventory.
std::vector<KindCoverage> comparisonKindCoverage();

// What one side says about the machine, as one way of looking at its answers gives it.
struct SideView {
    std::vector<GroupRecord> groups;
    std::vector<InventoryItem> items;
};

// The ways of looking at a side's answers: as they are, with identifying values hidden, with the
// values that change by themselves held still, and both.
enum Lens : std::size_t { kAsRead = 0, kHidden = 1, kSteady = 2, kHiddenSteady = 3, kLensCount = 4 };

// One side of a comparison. Its answers are read once and kept; every view is composed from the
// kept answers, so a machine is never asked twice.
class CompareSide {
public:
    // A snapshot file; throws SnapshotError when it cannot be used.
    static CompareSide fromFile(const std::string& path);
    // One normal read of a machine through `provider` and `probes`.
    static CompareSide fromMachine(WmiProvider& provider, SystemProbes& probes, std::string name);
    // Answers read before (the window's).
    static CompareSide fromAnswers(SnapshotData answers, std::string name);

    // Views made elsewhere; `hides`: the side holds values hidden by redaction.
    CompareSide(std::string name, bool hides, std::array<SideView, kLensCount> views,
                std::vector<std::string> silentKinds = {});

    // Stands for the side in the output: the file's name, or "this machine".
    const std::string& name() const { return name_; }
    bool hidesValues() const { return hides_; }
    const SideView& view(Lens lens) const { return views_[lens]; }
    // Whether the side says anything about items of `kind`.
    bool tellsOf(const std::string& kind) const;

private:
    CompareSide(Backend answers, std::string name, std::vector<std::string> silentKinds);
    std::string name_;
    bool hides_ = false;
    std::array<SideView, kLensCount> views_;
    std::vector<std::string> silentKinds_;
};

enum class Difference {
    Changed,   // the hardware or its set-up differs
    ByItself,  // only values that change by themselves differ: expected to change
    Unknown,   // only values one side hides differ: not compared
};

struct FieldChange {
    std::size_t position = 0;  // the field's place in window order, from 0
    std::string group;
    std::string label;
    std::string newLabel;  // the new side's caption, where a cell holds the other of its two fields
    std::string before, after;
    Difference difference = Difference::Changed;
};

struct PropertyChange {
    std::string label;
    std::string before, after;
    Difference difference = Difference::Changed;
};

struct ItemChange {
    enum class Kind { Added, Removed, Changed };
    Kind change = Kind::Changed;
    std::string kind;
    std::string name;  // as the side that has it names it; the old side's for a change
    // A change: the properties that differ; an item added or removed: all of its properties,
    // as `after` or `before`.
    std::vector<PropertyChange> properties;
};

struct Comparison {
    std::string before, after;  // the sides' names
    std::vector<FieldChange> fields;
    std::vector<ItemChange> items;
    // Whether anything differs; values that change by themselves count unless `hardwareOnly`.
    bool differs(bool hardwareOnly) const;
};

// `before` against `after`. Fields are compared by their place in the window, items by
// identity, never by position. With `hidden` the changes show identifying values hidden (they
// are still compared as read); where a side hides them, they are unknown and never changed.
Comparison compareSides(const CompareSide& before, const CompareSide& after, bool hidden);

// The comparison for people: one line "Group / Caption: old → new" per field that differs in
// window order, then the items added, removed or changed, then "Expected to change:" (unless
// `hardwareOnly`) and what one side hides; "No differences." when nothing differs.
void writeTextComparison(const Comparison& comparison, bool hardwareOnly, std::ostream& out);
// The same as one line of JSON.
void writeJsonComparison(const Comparison& comparison, bool hardwareOnly, std::ostream& out);

}  // namespace moravel
