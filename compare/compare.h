// What changed between two descriptions of a machine: the 38 fields in window order, then the
// inventory items matched by identity, each difference sorted by why it is there (the fixed
// hardware, removable media and virtual adapters, drivers and the operating system, values that
// change by themselves, values one side hides), and the kinds of item a side does not record.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "inventory/inventory.h"
#include "compare/pairing.h"
#include "inventory/kinds.h"
#include "query/backend.h"
#include "query/snapshot/snapshot_data.h"
#include "query/snapshot/snapshot_provider.h"
#include "sections/collector.h"

namespace moravel {

struct ItemProperty {
    std::string label;  // "Size", "Serial number"
    std::string text;
    bool software = false;  // a driver's or the operating system's: an update, not the hardware
};

// One thing of the fuller inventory: a memory module, a disk, an adapter, the BIOS.
struct InventoryItem {
    std::string kind;  // "Memory module"
    std::string name;  // how the output names it: "DIMM_A2 Kingston 8 GB"
    // What tells it from others of its kind, at most two keys: what it is ("serial 1A2B", "MAC
    // ..."), then where it is ("slot DIMM_A2", "device \\.\PHYSICALDRIVE1"). Two items are the
    // same one when the first key both sides know is equal; one that is not, found where the
    // other was, replaced it.
    std::vector<std::string> identity;
    std::vector<ItemProperty> properties;
    // False for what is not the machine's own hardware: removable media (USB disks and sticks)
    // and network adapters with no device behind them (VPNs, bridges, container networks).
    bool fixed = true;
    // Installed software: a program is installed, removed or updated, never the hardware, and
    // one gone with another come is two changes, not a replacement.
    bool program = false;
};

// An item with those of `properties` that say something (whose text is not empty).
InventoryItem makeItem(std::string kind, std::string name, std::vector<std::string> identity,
                       std::initializer_list<ItemProperty> properties);
// "yes" or "no"; empty text for a flag not read.
std::string yesNo(const Flag& value);
// The texts of `list`, joined by ", ".
std::string joined(const std::vector<std::string>& list);
// The words that are not empty, joined by blanks.
std::string spaced(std::initializer_list<std::string> words);

// The inventory as items: the computer, its firmware, board and operating system (one each, no
// identity), then processors, memory modules, disks, network and video adapters, monitors and
// batteries, each with its serial number, MAC address, slot or socket as identity. Each kind's
// items keep the inventory's order, so the i-th disk item is inventory.disks[i].
std::vector<InventoryItem> inventoryItems(const Inventory& inventory);
// The items of one kind, as the comparison makes them; none for a kind it does not compare.
std::vector<InventoryItem> inventoryItems(const Inventory& inventory, InventoryKind kind);

// The declaration of `kind` (inventory/kinds.h).
const InventoryKindInfo& infoOf(InventoryKind kind);

// The kinds of the inventory a comparison takes, in the order it tells them.
std::vector<InventoryKind> comparedKinds();
// What a snapshot that leaves `kind` out leaves out: "Memory module"; null for the machine's
// own parts (the computer, its firmware, board and system), which every snapshot records.
const char* unrecordedItems(InventoryKind kind);
// The items of `kind` that `provider` and `probes` answer, in the inventory's order. A kind of
// many objects (disks, modules, adapters) is read a few thousand at a time, so what a side
// takes in memory does not grow with its items, only with what is kept of them.
void readItems(WmiProvider* provider, SystemProbes* probes, InventoryKind kind,
               const std::function<void(const InventoryItem&)>& visit);

// The kinds of item whose classes a snapshot does not list at all (one saved before the
// inventory was recorded): it says nothing about them, so they are not compared.
std::vector<std::string> unlistedKinds(const SnapshotData& snapshot);

// "memory modules" for "Memory module": how a sentence names every item of a kind.
std::string kindInPlural(const std::string& kind);

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
// kept answers when first needed, so a machine is never asked twice and a side whose fields and
// items all equal the other's is looked at only as read.
class CompareSide {
public:
    // A snapshot file; throws SnapshotError when it cannot be used.
    static CompareSide fromFile(const std::string& path);
    // One normal read of a machine through `provider` and `probes`; its diagnostic lines go to
    // `diagnostics`.
    static CompareSide fromMachine(WmiProvider& provider, SystemProbes& probes, std::string name,
                                   std::ostream& diagnostics);
    // Answers read before (the window's).
    static CompareSide fromAnswers(SnapshotData answers, std::string name);

    // Views made elsewhere; `hides`: the side holds values hidden by redaction.
    CompareSide(std::string name, bool hides, std::array<SideView, kLensCount> views,
                std::vector<std::string> silentKinds = {});

    // Stands for the side in the output: the file's name, or "this machine".
    const std::string& name() const { return name_; }
    // Whether a value it has read so far is one redaction had hidden.
    bool hidesValues() const;
    // The 38 fields as `lens` shows them.
    const std::vector<GroupRecord>& groups(Lens lens) const;
    // Each item of `kind` in the inventory's order, as `lens` shows it; the item lives for the
    // call only. (Views made elsewhere come as one group, under the first compared kind.)
    void visitItems(Lens lens, InventoryKind kind, const std::function<void(const InventoryItem&)>& visit) const;
    // The items of `kind` as the pairing sees them (pairing.h), through `lens`.
    const ItemDigests& digests(Lens lens, InventoryKind kind) const;
    // Whether its answers to what `kind` is read from are those of `other`, object for object:
    // then so are its items, through every lens, and they need not be read.
    bool answersAlike(const CompareSide& other, InventoryKind kind) const;
    // Whether the side says anything about items of `kind` ("Memory module").
    bool tellsOf(const std::string& kind) const;
    // The kinds it says nothing about.
    const std::vector<std::string>& silentKinds() const { return silentKinds_; }

    struct Source;  // where the views come from

private:
    CompareSide(std::shared_ptr<Source> source, std::string name, std::vector<std::string> silentKinds);
    std::shared_ptr<Source> source_;
    std::string name_;
    std::vector<std::string> silentKinds_;
};

// Why something differs, and so where it is told. The first four count as differences (the
// first alone with --hardware-only); the last two never do.
enum class Difference {
    Changed,   // the machine's fixed hardware or its firmware differs
    Attached,  // removable media or a virtual adapter: not the machine's own hardware
    Software,  // a driver or the operating system: an update or a new installation
    Program,   // installed software: a program installed, removed or updated
    ByItself,  // only values that change by themselves differ: expected to change
    Unknown,   // only values one side hides differ: not compared
};

// Whether a difference of that kind makes the machines differ.
bool counts(Difference difference, bool hardwareOnly);

struct FieldChange {
    std::size_t position = 0;  // the field's place in window order, from 0
    std::string group;
    std::string label;
    std::string newLabel;  // the new side's caption, where a cell holds the other of its two fields
    std::string before, after;
    Difference difference = Difference::Changed;
    // The kind of the item that tells the same change ("Firmware" for the BIOS fields of a
    // firmware update), empty when none does: the window marks the field, the text tells the
    // item only, the JSON names the kind beside the field.
    std::string toldBy;
};

struct PropertyChange {
    std::string label;
    std::string before, after;
    Difference difference = Difference::Changed;
    // "old" or "new" where that side does not record the value (then it is Unknown): named as
    // not compared, never taken for equal.
    const char* notRecordedBy = nullptr;
};

struct ItemChange {
    // Added or removed: no item of the other side is the same one. Replaced: another item
    // (another serial number) is where it was. Changed: the same item, with other values.
    enum class Kind { Added, Removed, Changed, Replaced };
    Kind change = Kind::Changed;
    std::string kind;
    std::string name;  // as the side that has it names it; the old side's for a change or replacement
    // Changed or replaced: the properties that differ; added or removed: all of its properties,
    // as `after` or `before`.
    std::vector<PropertyChange> properties;
    // Changed: the strongest of its properties'; otherwise Changed, Attached for removable
    // media and virtual adapters, Program for installed software.
    Difference difference = Difference::Changed;
    // Where the item stands among the items of its kind on each side, as the inventory lists
    // them (the i-th of Inventory::disks); none on the side that does not have it.
    std::optional<std::size_t> before, after;
};

// "added", "removed", "replaced" or "changed".
const char* changeName(ItemChange::Kind kind);

// A kind of item a side does not record, and which side.
struct UncomparedKind {
    std::string kind;  // "Memory module"
    bool unrecordedBefore = false, unrecordedAfter = false;
};

struct Comparison {
    std::string before, after;  // the sides' names
    std::vector<FieldChange> fields;
    std::vector<ItemChange> items;
    std::vector<UncomparedKind> uncompared;
    // Whether anything differs: the fixed hardware, and unless `hardwareOnly` removable media,
    // virtual adapters, drivers and the operating system. Values that change by themselves and
    // values one side hides never count.
    bool differs(bool hardwareOnly) const;
    // Whether something was left uncompared: a kind a side does not record, a hidden value.
    bool partial() const;
    // Whether a field, an item or a property differs so.
    bool has(Difference difference) const;
};

// `before` against `after`. Fields are compared by their place in the window, items by
// identity, never by position. With `hidden` the changes show identifying values hidden (they
// are still compared as read); where a side hides them, they are unknown and never changed.
Comparison compareSides(const CompareSide& before, const CompareSide& after, bool hidden);

// The comparison for people: a line when nothing differs, one line per change of the hardware
// (fields in window order, then items), then "Removable media and virtual adapters:",
// "Drivers and operating system:", "Installed software:" and "Expected to change:" (unless
// `hardwareOnly`), then what was not compared and why.
void writeTextComparison(const Comparison& comparison, bool hardwareOnly, std::ostream& out);
// The same as one line of JSON.
void writeJsonComparison(const Comparison& comparison, bool hardwareOnly, std::ostream& out);

// The sentences that say what was not compared because a side does not record it: "Not
// compared: memory modules, monitors (the older snapshot does not record them)".
std::vector<std::string> uncomparedSentences(const Comparison& comparison);

// What a changed item's mark tells, the side compared with named `name`: "Not in seller.json",
// "In seller.json: ..." with the values there.
std::string itemChangeNote(const ItemChange& change, const std::string& name);

}  // namespace moravel
