// The Details window: everything the inventory holds, grouped as a person looks through a
// machine, in a list with a search field above it (it narrows the list as one types, and finds
// a memory module by its serial number) and Copy row, Copy all and Close below. One at a time,
// non-modal: the share menu's Details... opens it, or brings the open one to the front. The
// inventory is read the first time it opens, through the answers the window keeps, and hidden
// values stay hidden while the window's "Hide serial numbers and addresses" is on.
#pragma once

#include <string>

#include <FL/Fl_Box.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Input.H>

#include "app/app_state.h"
#include "app/details_view.h"
#include "compare/compare.h"
#include "details/details.h"
#include "details/marks.h"

class Fl_Widget;

namespace moravel {

constexpr const char* kDetailsTitle = "Moravel details";

class DetailsWindow : public Fl_Double_Window {
public:
    explicit DetailsWindow(AppState& state);
    // Shows `list`, marked where `comparison` with the snapshot `name` finds it differs (none:
    // unmarked), narrowed to the search field's text.
    void showList(const DetailsList& list, const Comparison* comparison, const std::string& name);
    DetailsView& view() { return *view_; }
    Fl_Input& searchField() { return *search_; }
    // "152 items", or while a search is on, "3 of 152 items"; and while a comparison is on, how
    // many of them differ: "152 items, 2 differ".
    std::string countText() const;
    const MarkedDetails& marked() const { return marked_; }
    int handle(int event) override;

private:
    static void onSearch(Fl_Widget* field, void* window);
    static void onCopyRow(Fl_Widget* button, void* window);
    static void onCopyAll(Fl_Widget* button, void* window);
    void showCount();

    AppState& state_;
    Fl_Input* search_;
    Fl_Box* count_;
    DetailsView* view_;
    MarkedDetails marked_;
};

// The share menu's Details...: opens the one Details window, or raises the open one. `data` is
// the AppState.
void onDetails(Fl_Widget* widget, void* data);
// Closing it in any way: hidden, and made anew the next time. `data` is the AppState.
void onDetailsClose(Fl_Widget* widget, void* data);
// The open Details window, if any, shows the list as the hide switch and the comparison now want it.
void refreshDetailsWindow(AppState& state);

}  // namespace moravel
