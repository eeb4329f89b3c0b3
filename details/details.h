// Everything the inventory holds, as a person looks for it in a machine: groups (Computer,
// Firmware and board, Processors, Memory modules, ...), each a list of items (one memory module,
// one disk), each with its properties as text. The Details window shows it and
// moravel-report --details prints it, so the two cannot drift apart.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "compare/compare.h"
#include "inventory/inventory.h"
#include "inventory/kinds.h"

namespace moravel {

struct DetailsGroup {
    std::string title;  // "Memory modules"
    std::vector<InventoryItem> items;
    std::string note;  // said once under the title, e.g. why a value is missing; empty for none
};

using DetailsList = std::vector<DetailsGroup>;

// The groups in a person's order, each with its items in the inventory's order; groups without
// an item are left out. The items the comparison matches come as it names them, so that its
// marks find them; the kinds it does not compare are added here.
DetailsList detailsList(const Inventory& inventory);

// How the list takes each kind of the inventory (inventory/kinds.h), for the test that holds
// every table of kinds against the kinds.
std::vector<KindCoverage> detailsKindCoverage();

// Adds `item` last to the group a person would look for it in, made at its place where the list
// has none yet (an item of a kind no group names goes to "Other", last); returns the group's place.
std::size_t addToGroup(DetailsList& list, InventoryItem item);

// The title an item's row shows: its name, or where it has none (the machine's own parts, one
// each) its kind with its maker, model, product, name and version ("Firmware: LENOVO N3YET62W").
std::string itemTitle(const InventoryItem& item);

// Each group's title on its own line, then each item's title indented by two blanks, then its
// properties by four, each label padded to the item's longest; every text as visibleText
// (text/terminal.h) shows it. "No details." for an empty list.
void writeTextDetails(const DetailsList& list, std::ostream& out);

// One item as writeTextDetails prints it, each line after `indent`: its title, then its
// properties two blanks further in.
void writeTextItem(const InventoryItem& item, const std::string& indent, std::ostream& out);

// {"groups":[{"title":...,"items":[{"kind":...,"name":...,"properties":[{"label":...,
// "text":...}]}]}]} on one line; a group's note as "note" where it has one. Bytes that are not
// UTF-8 become U+FFFD; control characters, DEL and C1 are \u escapes.
void writeJsonDetails(const DetailsList& list, std::ostream& out);

}  // namespace moravel
