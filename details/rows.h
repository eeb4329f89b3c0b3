// What the Details window shows of a list, as rows: the groups, the items of the open groups
// and the properties of the open items, narrowed to what a search finds. Kept apart from the
// toolkit so that its cost can be measured and its rules tested without a display: the window
// draws only the rows in view, and a search costs one pass over the list's text.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "details/details.h"

namespace moravel {

struct DetailsRow {
    enum class Level { Group, Item, Property };
    Level level = Level::Group;
    std::size_t group = 0, item = 0, property = 0;  // where the row's thing is in the list
    bool found = false;                              // holds the text searched for
};

class DetailsRows {
public:
    // `list` must outlive the rows. Every group and item starts open.
    explicit DetailsRows(const DetailsList& list);

    // Shows only what holds `text` (any case; blanks around it do not count): a group whose
    // title holds it with all its items, an item whose title, kind or any property holds it
    // (opened, so the property is seen); the rows that hold it are `found`. Empty text shows all.
    void search(const std::string& text);

    // The text searched for, folded, without the blanks around it; empty when none is.
    const std::string& query() const { return query_; }
    const std::vector<DetailsRow>& rows() const { return rows_; }
    std::size_t itemsShown() const { return itemsShown_; }
    // The items of group `group` (of the list) that the search leaves, open or closed.
    std::size_t itemsShownIn(std::size_t group) const { return groupShown_[group]; }
    std::size_t itemCount() const { return itemCount_; }

    // Group and item rows open and close; a property row has nothing to open.
    bool opens(std::size_t row) const;
    bool isOpen(std::size_t row) const;
    void setOpen(std::size_t row, bool open);
    // The row of the group or item that holds row `row` (itself for a group).
    std::size_t parentRow(std::size_t row) const;

    // What copying row `row` gives: a group with its items, an item with its properties as
    // moravel-report --details prints them, a property as "Label: text".
    std::string copyText(std::size_t row) const;

private:
    bool matches(std::size_t group, std::size_t item) const;
    std::size_t firstItem(std::size_t group) const { return itemStart_[group]; }
    void rebuild();

    const DetailsList& list_;
    std::string query_;  // folded
    // The list's texts folded to lower case once, each item's title and kind first, then its
    // properties' labels and texts; `textStart_` says where each item's begin.
    std::vector<std::string> folded_;
    std::vector<std::size_t> textStart_;
    std::vector<std::string> groupTitles_;
    std::vector<std::size_t> itemStart_;  // each group's first item in the flat item numbering
    std::vector<char> groupOpen_, itemOpen_;
    std::vector<DetailsRow> rows_;
    std::vector<std::size_t> groupShown_;
    std::size_t itemsShown_ = 0, itemCount_ = 0;
};

// `text` with its ASCII letters in lower case (other bytes as they are).
std::string foldCase(std::string text);

}  // namespace moravel
