#include "app/details_view.h"

#include <algorithm>
#include <set>

#include <FL/Fl.H>
#include <FL/Fl_Tooltip.H>

#include "app/difference_marks.h"
#include "commands/message_box.h"
#include "text/terminal.h"

#include <FL/fl_draw.H>  // last: its X11 headers define Bool and None

namespace moravel {
namespace {

constexpr int kTextSize = 12;
constexpr int kRowPadding = 6;
constexpr int kTriangle = 9;   // the side of an open or closed row's triangle
constexpr int kGroupText = 20;  // where each level's text starts, from the list's left edge
constexpr int kItemTriangle = 20;
constexpr int kItemText = 36;
constexpr int kPropertyText = 40;
constexpr int kColumnGap = 16;  // between the longest label and the values

Fl_Color groupBand() { return fl_rgb_color(226, 231, 238); }
Fl_Color labelColour() { return fl_rgb_color(85, 85, 85); }
Fl_Color foundColour() { return fl_rgb_color(255, 214, 102); }  // behind the text searched for

// How much of `row`'s text stands left of its value: the title of a group or item, the label of
// a property.
struct RowText {
    std::string title;  // a group's or item's title, a property's label
    std::string value;  // a property's text; a group's count of items
    Fl_Font font = FL_HELVETICA;
    int indent = 0;
};

RowText rowText(const DetailsList& list, const DetailsRow& row, std::size_t itemsShown) {
    const DetailsGroup& group = list[row.group];
    switch (row.level) {
    case DetailsRow::Level::Group:
        // The count, and the group's note: said once, beside the title (why disks show no health).
        return {group.title, "(" + std::to_string(itemsShown) + ")" + (group.note.empty() ? "" : "   " + group.note),
                FL_HELVETICA_BOLD, kGroupText};
    case DetailsRow::Level::Item: return {itemTitle(group.items[row.item]), "", FL_HELVETICA_BOLD, kItemText};
    case DetailsRow::Level::Property: break;
    }
    const ItemProperty& property = group.items[row.item].properties[row.property];
    return {property.label, property.text, FL_HELVETICA, kPropertyText};
}

// What a group's row says of its marked items, so that a closed group still tells of them.
std::string differing(const std::vector<ItemMark>& marks) {
    const auto count = std::count_if(marks.begin(), marks.end(),
                                     [](const ItemMark& mark) { return mark.mark != DifferenceMark::Plain; });
    return count == 0 ? "" : "   " + std::to_string(count) + (count == 1 ? " differs" : " differ");
}

// Each line of `text` as visibleText shows it, the line ends kept.
std::string visibleLines(const std::string& text) {
    std::string shown;
    std::size_t from = 0;
    for (std::size_t end; (end = text.find('\n', from)) != std::string::npos; from = end + 1)
        shown += visibleText(text.substr(from, end - from)) + '\n';
    return shown + visibleText(text.substr(from));
}

void drawTriangle(int x, int y, int h, bool open) {
    const int top = y + (h - kTriangle) / 2;
    if (open)
        fl_polygon(x, top + 2, x + kTriangle, top + 2, x + kTriangle / 2, top + kTriangle - 1);
    else
        fl_polygon(x + 2, top, x + 2, top + kTriangle, x + kTriangle - 1, top + kTriangle / 2);
}

}  // namespace

DetailsView::DetailsView(int x, int y, int w, int h) : Fl_Group(x, y, w, h) {
    box(FL_DOWN_BOX);
    color(FL_BACKGROUND2_COLOR);
    selection_color(FL_SELECTION_COLOR);
    const int bar = Fl::scrollbar_size();
    scrollbar_ = new Fl_Scrollbar(x + w - Fl::box_dx(box()) - bar, y + Fl::box_dy(box()), bar,
                                  h - Fl::box_dh(box()));
    scrollbar_->type(FL_VERTICAL);
    scrollbar_->callback(onScroll, this);
    scrollbar_->clear_visible_focus();  // the keys scroll the list itself
    end();
}

void DetailsView::showList(const MarkedDetails& marked, const std::string& search) {
    const DetailsList& list = marked.list;
    marked_ = &marked;
    rows_ = std::make_unique<DetailsRows>(list);
    // Values line up a little right of the longest label (the labels are few and repeat).
    std::set<std::string> labels;
    for (const DetailsGroup& group : list)
        for (const InventoryItem& item : group.items)
            for (const ItemProperty& property : item.properties) labels.insert(property.label);
    fl_font(FL_HELVETICA, kTextSize);
    int widest = 0;
    for (const std::string& label : labels) widest = std::max(widest, static_cast<int>(fl_width(visibleText(label).c_str())));
    labelColumn_ = kPropertyText + widest + kColumnGap;
    this->search(search);  // from the top, nothing selected
}

void DetailsView::search(const std::string& text) {
    if (!rows_) return;
    query_ = text;
    rows_->search(text);
    const std::vector<DetailsRow>& rows = rows_->rows();
    // The first row found, where a search is on (nothing is found without one).
    auto found = std::find_if(rows.begin(), rows.end(), [](const DetailsRow& row) { return row.found; });
    top_ = 0;
    selected_ = kNone;
    if (found != rows.end()) select(static_cast<std::size_t>(found - rows.begin()));
    updateScrollbar();
    redraw();
}

int DetailsView::rowHeight() const {
    fl_font(FL_HELVETICA, kTextSize);
    return fl_height() + kRowPadding;
}

// The list's width, without the frame and the scroll bar.
int DetailsView::listWidth() const { return w() - Fl::box_dw(box()) - scrollbar_->w(); }

std::size_t DetailsView::rowsInView() const {
    const int height = h() - Fl::box_dh(box());
    return static_cast<std::size_t>(std::max(1, height / rowHeight()));
}

std::size_t DetailsView::rowAt(int pointerY) const {
    const int offset = pointerY - (y() + Fl::box_dy(box()));
    if (!rows_ || offset < 0) return kNone;
    const std::size_t row = top_ + static_cast<std::size_t>(offset / rowHeight());
    return row < rows_->rows().size() ? row : kNone;
}

void DetailsView::select(std::size_t row) {
    if (!rows_ || rows_->rows().empty()) return;
    selected_ = std::min(row, rows_->rows().size() - 1);
    scrollTo(selected_);
    redraw();
}

void DetailsView::setOpen(std::size_t row, bool open) {
    if (!rows_ || !rows_->opens(row)) return;
    rows_->setOpen(row, open);
    updateScrollbar();
    redraw();
}

void DetailsView::scrollTo(std::size_t row) {
    const std::size_t view = rowsInView();
    if (row < top_)
        top_ = row;
    else if (row >= top_ + view)
        top_ = row + 1 - view;
    updateScrollbar();
}

void DetailsView::updateScrollbar() {
    const std::size_t count = rows_ ? rows_->rows().size() : 0, view = rowsInView();
    top_ = std::min(top_, count > view ? count - view : 0);
    scrollbar_->value(static_cast<int>(top_), static_cast<int>(view), 0, static_cast<int>(std::max(count, view)));
    scrollbar_->linesize(1);
}

void DetailsView::onScroll(Fl_Widget* scrollbar, void* data) {
    auto* view = static_cast<DetailsView*>(data);
    view->top_ = static_cast<std::size_t>(std::max(0, static_cast<Fl_Scrollbar*>(scrollbar)->value()));
    view->redraw();
}

void DetailsView::resize(int X, int Y, int W, int H) {
    Fl_Widget::resize(X, Y, W, H);  // the scroll bar keeps its width at the right edge
    const int bar = Fl::scrollbar_size();
    scrollbar_->resize(X + W - Fl::box_dx(box()) - bar, Y + Fl::box_dy(box()), bar, H - Fl::box_dh(box()));
    updateScrollbar();
}

std::string DetailsView::selectedText() const {
    return rows_ && selected_ != kNone ? rows_->copyText(selected_) : std::string();
}

void DetailsView::copySelected() const {
    const std::string text = selectedText();
    if (text.empty()) return;
    Fl::copy(text.data(), static_cast<int>(text.size()), 1);  // the clipboard
    Fl::copy(text.data(), static_cast<int>(text.size()), 0);  // and the selection
}

void DetailsView::drawText(const std::string& text, int X, int baseline, int right, bool found) {
    const std::string shown = visibleText(text);
    if (found && X < right) {
        const std::string folded = foldCase(shown);
        const std::string& wanted = rows_->query();
        const Fl_Color ink = fl_color();
        fl_color(foundColour());
        for (std::size_t at = folded.find(wanted); !wanted.empty() && at != std::string::npos;
             at = folded.find(wanted, at + wanted.size())) {
            const int from = X + static_cast<int>(fl_width(shown.data(), static_cast<int>(at)));
            const int width = static_cast<int>(fl_width(shown.data() + at, static_cast<int>(wanted.size())));
            fl_rectf(from, baseline - fl_height() + fl_descent(), width, fl_height());
        }
        fl_color(ink);
    }
    fl_push_clip(X, baseline - fl_height(), std::max(0, right - X), fl_height() + fl_descent());
    fl_draw(shown.data(), static_cast<int>(shown.size()), X, baseline);  // this form draws no symbols
    fl_pop_clip();
}

const ItemMark* DetailsView::itemMark(const DetailsRow& row) const {
    if (!marked_ || row.level == DetailsRow::Level::Group) return nullptr;
    const ItemMark& mark = marked_->marks[row.group][row.item];
    return mark.mark == DifferenceMark::Plain ? nullptr : &mark;
}

DifferenceMark DetailsView::markOfRow(const DetailsRow& row) const {
    const ItemMark* mark = itemMark(row);
    if (!mark) return DifferenceMark::Plain;
    if (row.level == DetailsRow::Level::Item) return mark->mark;
    return row.property < mark->properties.size() ? mark->properties[row.property].mark : DifferenceMark::Plain;
}

// What a marked row's tooltip adds: the snapshot's side of it.
std::string DetailsView::rowTip(const DetailsRow& row) const {
    const ItemMark* mark = itemMark(row);
    if (!mark || markOfRow(row) == DifferenceMark::Plain) return {};
    return row.level == DetailsRow::Level::Item ? mark->was : mark->properties[row.property].was;
}

void DetailsView::drawRow(std::size_t index, int rowY) {
    const DetailsRow& row = rows_->rows()[index];
    const int left = x() + Fl::box_dx(box()), right = left + listWidth(), height = rowHeight();
    const bool selected = index == selected_;
    const DifferenceMark mark = markOfRow(row);
    Fl_Color background = row.level == DetailsRow::Level::Group ? groupBand() : color();
    if (mark == DifferenceMark::Changed) background = changedColour();
    if (selected) background = Fl::focus() == this ? selection_color() : fl_rgb_color(205, 211, 219);
    fl_color(background);
    fl_rectf(left, rowY, right - left, height);
    const Fl_Color ink = selected ? fl_contrast(FL_FOREGROUND_COLOR, background) : FL_FOREGROUND_COLOR;
    RowText text = rowText(marked_->list, row, rows_->itemsShownIn(row.group));
    const ItemMark* item = itemMark(row);
    if (row.level == DetailsRow::Level::Item && item) text.value = item->change;  // "replaced", in words too
    if (row.level == DetailsRow::Level::Group && marked_) {
        text.value += differing(marked_->marks[row.group]);
        if (row.group < marked_->uncompared.size() && !marked_->uncompared[row.group].empty()) text.value += "   " + marked_->uncompared[row.group];
    }
    fl_color(ink);
    if (rows_->opens(index))
        drawTriangle(left + (row.level == DetailsRow::Level::Group ? 4 : kItemTriangle), rowY, height,
                     rows_->isOpen(index));
    fl_font(text.font, kTextSize);
    const int baseline = rowY + (height + fl_height()) / 2 - fl_descent();
    const bool property = row.level == DetailsRow::Level::Property;
    if (property && !selected) fl_color(labelColour());
    const int valueX = property ? left + labelColumn_
                                : left + text.indent + static_cast<int>(fl_width(visibleText(text.title).c_str())) + 8;
    drawText(text.title, left + text.indent, baseline, property ? valueX - 4 : right, row.found);
    fl_font(property || !item ? FL_HELVETICA : FL_HELVETICA_ITALIC, kTextSize);
    fl_color(property || selected ? ink : labelColour());
    drawText(text.value, valueX, baseline, right - 2, row.found);
    drawDifferenceMark(left + 1, rowY, right - left - 2, height, mark);
}

void DetailsView::draw() {
    draw_box();
    const int left = x() + Fl::box_dx(box()), top = y() + Fl::box_dy(box());
    const int height = h() - Fl::box_dh(box());
    fl_push_clip(left, top, listWidth(), height);
    fl_color(color());
    fl_rectf(left, top, listWidth(), height);
    if (rows_) {
        const std::size_t count = rows_->rows().size();
        for (std::size_t row = top_, at = 0; row < count && at <= rowsInView(); ++row, ++at)
            drawRow(row, top + static_cast<int>(at) * rowHeight());
        if (count == 0) {
            fl_color(labelColour());
            fl_font(FL_HELVETICA_ITALIC, kTextSize);
            fl_draw(query_.empty() ? "Nothing was read." : "Nothing holds this text.", left + kGroupText,
                    top + rowHeight());
        }
    }
    fl_pop_clip();
    draw_child(*scrollbar_);
}

bool DetailsView::handleKey() {
    if (!rows_ || rows_->rows().empty()) return false;
    const std::size_t last = rows_->rows().size() - 1, page = rowsInView() > 1 ? rowsInView() - 1 : 1;
    const std::size_t at = selected_ == kNone ? 0 : selected_;
    const bool none = selected_ == kNone;
    switch (Fl::event_key()) {
    case FL_Up: select(none || at == 0 ? 0 : at - 1); return true;
    case FL_Down: select(none ? 0 : std::min(last, at + 1)); return true;
    case FL_Page_Up: select(at > page ? at - page : 0); return true;
    case FL_Page_Down: select(std::min(last, at + page)); return true;
    case FL_Home: select(0); return true;
    case FL_End: select(last); return true;
    case FL_Left:
        if (rows_->isOpen(at))
            setOpen(at, false);
        else
            select(rows_->parentRow(at));
        return true;
    case FL_Right:
        if (rows_->opens(at) && !rows_->isOpen(at))
            setOpen(at, true);
        else if (rows_->opens(at))
            select(std::min(last, at + 1));
        return true;
    case FL_Enter:
    case FL_KP_Enter:
    case ' ': setOpen(at, !rows_->isOpen(at)); return rows_->opens(at);
    default: break;
    }
    if ((Fl::event_state() & FL_CTRL) && (Fl::event_key() == 'c' || Fl::event_key() == FL_Insert)) {
        copySelected();
        return true;
    }
    return false;
}

bool DetailsView::handleClick() {
    const std::size_t row = rowAt(Fl::event_y());
    if (row == kNone) return false;
    select(row);
    const DetailsRow& at = rows_->rows()[row];
    const int left = x() + Fl::box_dx(box());
    const int triangle = left + (at.level == DetailsRow::Level::Group ? 4 : kItemTriangle);
    const bool onTriangle = Fl::event_x() >= triangle - 3 && Fl::event_x() <= triangle + kTriangle + 3;
    if (rows_->opens(row) && (onTriangle || Fl::event_clicks() > 0)) setOpen(row, !rows_->isOpen(row));
    return true;
}

// The row's whole text when the list cuts it short.
void DetailsView::offerTooltip() {
    const std::size_t row = rowAt(Fl::event_y());
    tooltip_.clear();
    if (row != kNone) {
        const RowText text = rowText(marked_->list, rows_->rows()[row], 0);
        const bool property = rows_->rows()[row].level == DetailsRow::Level::Property;
        fl_font(FL_HELVETICA, kTextSize);
        const int needed = (property ? labelColumn_ : text.indent) +
                           static_cast<int>(fl_width(visibleText(property ? text.value : text.title).c_str()));
        if (needed > listWidth() - 2) tooltip_ = visibleText(property ? text.value : text.title);
        const std::string was = rowTip(rows_->rows()[row]);
        if (!was.empty()) tooltip_ += (tooltip_.empty() ? "" : "\n\n") + visibleLines(was);
    }
    const int top = y() + Fl::box_dy(box());
    const int rowY = row == kNone ? top : top + static_cast<int>(row - top_) * rowHeight();
    Fl_Tooltip::enter_area(this, 0, rowY - y(), listWidth(), rowHeight(),
                           tooltip_.empty() ? nullptr : (tooltip_ = literalLabel(tooltip_)).c_str());
}

int DetailsView::handle(int event) {
    if (Fl::event_inside(scrollbar_) && (event == FL_PUSH || event == FL_DRAG || event == FL_RELEASE))
        return Fl_Group::handle(event);
    switch (event) {
    case FL_FOCUS:
    case FL_UNFOCUS: redraw(); return 1;
    case FL_PUSH:
        take_focus();
        return handleClick() ? 1 : Fl_Group::handle(event);
    case FL_MOUSEWHEEL:
        if (!rows_ || Fl::event_dy() == 0) return 0;
        top_ = Fl::event_dy() < 0 ? (top_ > 3 ? top_ - 3 : 0) : top_ + 3;
        updateScrollbar();
        redraw();
        return 1;
    case FL_KEYBOARD:
        if (Fl::focus() == this && handleKey()) return 1;
        break;
    case FL_ENTER:
    case FL_MOVE: offerTooltip(); return 1;
    default: break;
    }
    return Fl_Group::handle(event);
}

}  // namespace moravel
