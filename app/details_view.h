// The Details window's list: a tree of groups, items and their properties that draws only the
// rows in view, so a list of ten thousand items scrolls and searches as one of ten. Arrow keys
// move and open and close (Left and Right as in a tree), Enter or a click on the triangle opens
// and closes, Ctrl+C copies the selected row; a row too long for the list shows itself whole as
// its tooltip. While the window is compared with a snapshot, the items and properties that
// differ carry the fields' marks, and their tooltips what the snapshot says.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include <FL/Fl_Group.H>
#include <FL/Fl_Scrollbar.H>

#include "details/marks.h"
#include "details/rows.h"

namespace moravel {

class DetailsView : public Fl_Group {
public:
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

    DetailsView(int x, int y, int w, int h);

    // Shows `marked`'s list with its marks (which must outlive the view, or the next call),
    // narrowed to `search`.
    void showList(const MarkedDetails& marked, const std::string& search);
    // Narrows the list to what holds `text`; the first row found is selected and brought into view.
    void search(const std::string& text);

    const DetailsRows* rows() const { return rows_.get(); }
    std::size_t selected() const { return selected_; }
    void select(std::size_t row);
    std::size_t topRow() const { return top_; }
    std::size_t rowsInView() const;
    // Opens or closes the group or item of row `row`; the selection stays on it.
    void setOpen(std::size_t row, bool open);

    // The selected row as Ctrl+C copies it; empty when none is selected.
    std::string selectedText() const;
    // Copies the selected row to the clipboard and the selection.
    void copySelected() const;

    int handle(int event) override;
    void resize(int x, int y, int w, int h) override;

protected:
    void draw() override;

private:
    int rowHeight() const;
    int listWidth() const;
    std::size_t rowAt(int y) const;
    void scrollTo(std::size_t row);
    void updateScrollbar();
    void drawRow(std::size_t row, int y);
    const ItemMark* itemMark(const DetailsRow& row) const;
    DifferenceMark markOfRow(const DetailsRow& row) const;
    std::string rowTip(const DetailsRow& row) const;
    void drawText(const std::string& text, int x, int y, int right, bool found);
    bool handleKey();
    bool handleClick();
    void offerTooltip();
    static void onScroll(Fl_Widget* scrollbar, void* view);

    Fl_Scrollbar* scrollbar_;
    const MarkedDetails* marked_ = nullptr;
    std::unique_ptr<DetailsRows> rows_;
    std::string query_;
    std::size_t top_ = 0;
    std::size_t selected_ = kNone;
    int labelColumn_ = 0;  // where property values start, from the list's left edge
    std::string tooltip_;  // the text the toolkit shows for the row under the pointer
};

}  // namespace moravel
