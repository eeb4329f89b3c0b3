#include "details/rows.h"

#include <sstream>

#include "text/terminal.h"

namespace moravel {

std::string foldCase(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

DetailsRows::DetailsRows(const DetailsList& list) : list_(list) {
    for (const DetailsGroup& group : list_) {
        groupTitles_.push_back(foldCase(group.title));
        itemStart_.push_back(itemCount_);
        for (const InventoryItem& item : group.items) {
            textStart_.push_back(folded_.size());
            folded_.push_back(foldCase(itemTitle(item)));
            folded_.push_back(foldCase(item.kind));
            for (const ItemProperty& property : item.properties) {
                folded_.push_back(foldCase(property.label));
                folded_.push_back(foldCase(property.text));
            }
            ++itemCount_;
        }
    }
    textStart_.push_back(folded_.size());
    itemStart_.push_back(itemCount_);
    groupOpen_.assign(list_.size(), 1);
    itemOpen_.assign(itemCount_, 1);
    rebuild();
}

void DetailsRows::search(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    query_ = first == std::string::npos ? std::string() : foldCase(text.substr(first, text.find_last_not_of(' ') + 1 - first));
    if (!query_.empty())
        for (std::size_t group = 0; group < list_.size(); ++group)
            for (std::size_t item = firstItem(group); item < firstItem(group + 1); ++item)
                if (matches(group, item)) itemOpen_[item] = 1;
    rebuild();
}

bool DetailsRows::matches(std::size_t group, std::size_t item) const {
    if (query_.empty() || groupTitles_[group].find(query_) != std::string::npos) return true;
    for (std::size_t text = textStart_[item]; text < textStart_[item + 1]; ++text)
        if (folded_[text].find(query_) != std::string::npos) return true;
    return false;
}

void DetailsRows::rebuild() {
    rows_.clear();
    itemsShown_ = 0;
    groupShown_.assign(list_.size(), 0);
    const bool searching = !query_.empty();
    auto holds = [&](const std::string& folded) { return searching && folded.find(query_) != std::string::npos; };
    for (std::size_t group = 0; group < list_.size(); ++group) {
        const std::size_t groupRow = rows_.size();
        rows_.push_back({DetailsRow::Level::Group, group, 0, 0, holds(groupTitles_[group])});
        std::size_t shown = 0;
        for (std::size_t item = firstItem(group); item < firstItem(group + 1); ++item) {
            if (!matches(group, item)) continue;
            ++shown;
            if (!groupOpen_[group]) continue;
            const std::size_t index = item - firstItem(group), text = textStart_[item];
            rows_.push_back({DetailsRow::Level::Item, group, index, 0, holds(folded_[text]) || holds(folded_[text + 1])});
            if (!itemOpen_[item]) continue;
            const std::size_t count = list_[group].items[index].properties.size();
            for (std::size_t property = 0; property < count; ++property)
                rows_.push_back({DetailsRow::Level::Property, group, index, property,
                                 holds(folded_[text + 2 + 2 * property]) || holds(folded_[text + 3 + 2 * property])});
        }
        itemsShown_ += shown;
        groupShown_[group] = shown;
        if (shown == 0) rows_.resize(groupRow);  // nothing of the group is found
    }
}

bool DetailsRows::opens(std::size_t row) const {
    return row < rows_.size() && rows_[row].level != DetailsRow::Level::Property;
}

bool DetailsRows::isOpen(std::size_t row) const {
    if (!opens(row)) return false;
    const DetailsRow& at = rows_[row];
    return at.level == DetailsRow::Level::Group ? groupOpen_[at.group] != 0
                                                : itemOpen_[firstItem(at.group) + at.item] != 0;
}

void DetailsRows::setOpen(std::size_t row, bool open) {
    if (!opens(row) || isOpen(row) == open) return;
    const DetailsRow& at = rows_[row];
    if (at.level == DetailsRow::Level::Group)
        groupOpen_[at.group] = open;
    else
        itemOpen_[firstItem(at.group) + at.item] = open;
    rebuild();
}

std::size_t DetailsRows::parentRow(std::size_t row) const {
    if (row >= rows_.size()) return row;
    const DetailsRow::Level wanted =
        rows_[row].level == DetailsRow::Level::Property ? DetailsRow::Level::Item : DetailsRow::Level::Group;
    while (row > 0 && rows_[row].level != wanted) --row;
    return row;
}

std::string DetailsRows::copyText(std::size_t row) const {
    if (row >= rows_.size()) return {};
    const DetailsRow& at = rows_[row];
    const DetailsGroup& group = list_[at.group];
    std::ostringstream text;
    if (at.level == DetailsRow::Level::Group) {
        writeTextDetails({group}, text);
    } else if (at.level == DetailsRow::Level::Item) {
        writeTextItem(group.items[at.item], "", text);
    } else {
        const ItemProperty& property = group.items[at.item].properties[at.property];
        text << visibleText(property.label) << ": " << visibleText(property.text) << '\n';
    }
    return text.str();
}

}  // namespace moravel
