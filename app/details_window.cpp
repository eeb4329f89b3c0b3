#include "app/details_window.h"

#include <optional>
#include <sstream>

#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Return_Button.H>

#include "app/app_state.h"
#include "app/platform.h"
#include "app/share.h"

namespace moravel {
namespace {

constexpr int kWidth = 640, kHeight = 600;
constexpr int kMargin = 10, kRowHeight = 24, kButtonWidth = 90;
constexpr int kLabelSize = 12;

Fl_Button* addButton(Fl_Button* button, Fl_Callback* callback, void* data) {
    button->box(FL_THIN_UP_BOX);
    button->labelsize(kLabelSize);
    button->callback(callback, data);
    return button;
}

// The search field passes Down and Enter on to the list and takes Escape to clear itself; a
// one-line field would keep them.
class SearchField : public Fl_Input {
public:
    SearchField(int x, int y, int w, int h, const char* label, DetailsView& list)
        : Fl_Input(x, y, w, h, label), list_(list) {}
    int handle(int event) override {
        const int key = Fl::event_key();
        if (event == FL_KEYBOARD && (key == FL_Down || key == FL_Enter || key == FL_KP_Enter)) {
            list_.take_focus();  // on to what was found
            if (list_.selected() == DetailsView::kNone) list_.select(0);
            return 1;
        }
        if (event == FL_KEYBOARD && key == FL_Escape && size() > 0) {
            value("");  // Escape first clears the search, then closes the window
            do_callback();
            return 1;
        }
        return Fl_Input::handle(event);
    }

private:
    DetailsView& list_;
};

}  // namespace

DetailsWindow::DetailsWindow(AppState& state) : Fl_Double_Window(kWidth, kHeight, kDetailsTitle), state_(state) {
    color(fl_rgb_color(240, 240, 240));
    const int listTop = kMargin + kRowHeight + 8, buttonsY = kHeight - kMargin - kRowHeight;
    view_ = new DetailsView(kMargin, listTop, kWidth - 2 * kMargin, buttonsY - 8 - listTop);
    search_ = new SearchField(kMargin + 50, kMargin, 300, kRowHeight, "Search:", *view_);
    insert(*search_, 0);  // first: it has the focus when the window opens, and Tab goes on to the list
    search_->labelsize(kLabelSize);
    search_->textsize(kLabelSize);
    search_->when(FL_WHEN_CHANGED);
    search_->callback(onSearch, this);
    search_->tooltip("Shows only what holds this text: a serial number, a maker, a size...");
    count_ = new Fl_Box(kMargin + 360, kMargin, kWidth - 2 * kMargin - 360, kRowHeight);
    count_->align(FL_ALIGN_RIGHT | FL_ALIGN_INSIDE);
    count_->labelsize(kLabelSize);
    addButton(new Fl_Button(kMargin, buttonsY, kButtonWidth, kRowHeight, "Copy row"), onCopyRow, this)
        ->tooltip("Copies the selected row: a property, an item with its properties, or a group (Ctrl+C)");
    addButton(new Fl_Button(kMargin + kButtonWidth + 5, buttonsY, kButtonWidth, kRowHeight, "Copy all"), onCopyAll,
              this)
        ->tooltip("Copies the whole list, as moravel-report --details prints it");
    addButton(new Fl_Return_Button(kWidth - kMargin - kButtonWidth, buttonsY, kButtonWidth, kRowHeight, "Close"),
              onDetailsClose, &state);
    resizable(view_);
    size_range(420, 240);
    end();
}

void DetailsWindow::showList(const DetailsList& list, const Comparison* comparison, const std::string& name) {
    marked_ = markedDetails(list, comparison, name);
    view_->showList(marked_, search_->value());
    showCount();
}

std::string DetailsWindow::countText() const {
    const DetailsRows* rows = view_->rows();
    if (!rows) return {};
    const std::size_t all = rows->itemCount(), shown = rows->itemsShown();
    const std::string items = std::to_string(all) + (all == 1 ? " item" : " items");
    std::string count = shown == all ? items : std::to_string(shown) + " of " + items;
    if (marked_.comparedWith.empty()) return count;
    const std::size_t differing = marked_.marked();
    count += differing == 0 ? ", none differs" : ", " + std::to_string(differing) + (differing == 1 ? " differs" : " differ");
    return count + " from " + marked_.comparedWith;
}

void DetailsWindow::showCount() {
    count_->copy_label(countText().c_str());
    count_->redraw_label();
}

void DetailsWindow::onSearch(Fl_Widget*, void* data) {
    auto* window = static_cast<DetailsWindow*>(data);
    window->view_->search(window->search_->value());
    window->showCount();
}

void DetailsWindow::onCopyRow(Fl_Widget*, void* data) { static_cast<DetailsWindow*>(data)->view_->copySelected(); }

// The list as moravel-report --details prints it, the snapshot's removed items not in it.
void DetailsWindow::onCopyAll(Fl_Widget*, void* data) {
    AppState& state = static_cast<DetailsWindow*>(data)->state_;
    std::ostringstream text;
    writeTextDetails(shownDetails(state, state.hideIdentifiers), text);
    const std::string all = text.str();
    Fl::copy(all.data(), static_cast<int>(all.size()), 1);
    Fl::copy(all.data(), static_cast<int>(all.size()), 0);
}

int DetailsWindow::handle(int event) {
    const bool key = event == FL_KEYBOARD || event == FL_SHORTCUT;
    if (key && (Fl::event_state() & FL_CTRL) && Fl::event_key() == 'f') {  // back to the search field
        search_->take_focus();
        search_->position(search_->size(), 0);
        return 1;
    }
    return Fl_Double_Window::handle(event);
}

void onDetails(Fl_Widget*, void* data) {
    AppState& state = *static_cast<AppState*>(data);
    if (state.detailsWindow) {  // one at a time: the open one comes to the front
        state.detailsWindow->show();
        return;
    }
    auto* window = new DetailsWindow(state);
    setProgramIcon(*window);
    window->set_non_modal();
    window->callback(onDetailsClose, &state);
    state.detailsWindow = window;
    refreshDetailsWindow(state);
    window->position(Fl::x() + (Fl::w() - window->w()) / 2, Fl::y() + (Fl::h() - window->h()) / 2);
    window->show();
    runIconPass();
}

void onDetailsClose(Fl_Widget*, void* data) {
    AppState& state = *static_cast<AppState*>(data);
    if (!state.detailsWindow) return;
    state.detailsWindow->hide();
    // Deferred: this may run inside the callback of the window's own Close button.
    Fl::delete_widget(state.detailsWindow);
    state.detailsWindow = nullptr;
}

void refreshDetailsWindow(AppState& state) {
    auto* window = dynamic_cast<DetailsWindow*>(state.detailsWindow);
    if (!window) return;
    const std::optional<Comparison> changes = shownComparison(state, state.hideIdentifiers);
    window->showList(shownDetails(state, state.hideIdentifiers), changes ? &*changes : nullptr,
                     changes ? comparedName(*changes) : std::string());
}

}  // namespace moravel
