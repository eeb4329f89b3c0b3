// The Details list as a comparison marks it: the machine's items that were added, replaced or
// changed since the snapshot, and the snapshot's items this machine no longer has, put back in
// their groups so they can be seen; each marked as the window marks its fields, with the
// snapshot's text for a tooltip.
#pragma once

#include <string>
#include <vector>

#include "compare/compare.h"
#include "details/details.h"

namespace moravel {

// As a field is marked: a change, a value that changes by itself, or nothing.
enum class DifferenceMark { Plain, Changed, ByItself };

// The mark of a difference: values that change by themselves are expected, values one side
// hides are not compared; everything else is a change.
DifferenceMark markOf(Difference difference);

struct PropertyMark {
    DifferenceMark mark = DifferenceMark::Plain;
    std::string was;  // "In seller.json:\nSamsung"
};

struct ItemMark {
    DifferenceMark mark = DifferenceMark::Plain;
    std::string change;  // what the row says: "added", "removed", "replaced", "changed"; empty unmarked
    std::string was;     // its tooltip: what the snapshot says of it
    std::vector<PropertyMark> properties;  // one for each of the item's properties, in order
};

struct MarkedDetails {
    DetailsList list;  // the machine's, with the items only the snapshot has in their groups
    std::vector<std::vector<ItemMark>> marks;  // [group][item], as `list`
    // [group]: the kinds of its items a side does not record, so nothing there could be
    // marked: "not compared: memory modules (seller.json does not record them)"; empty for none.
    std::vector<std::string> uncompared;
    std::string comparedWith;  // the snapshot's name; empty without a comparison
    std::size_t marked() const;                 // the items marked
};

// `machine` as `comparison` (of the snapshot `name`, before, with this machine, after) marks it;
// no comparison leaves everything plain.
MarkedDetails markedDetails(const DetailsList& machine, const Comparison* comparison, const std::string& name);

}  // namespace moravel
