// The Details window in process: one window however often it is asked for, what it lists (as
// moravel-report --details, hidden while the switch is on), its search and count, and its keys.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>

#include <sstream>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/details_window.h"
#include "app/share.h"
#include "cli/run.h"
#include "query/snapshot/snapshot_provider.h"

namespace moravel {
namespace {

std::string dataFile(const std::string& name) { return MORAVEL_SOURCE_DIR "/tests/data/" + name; }

std::string printed(const std::vector<std::string>& arguments) {
    std::ostringstream out, err;
    runReport(arguments, out, err);
    return out.str();
}

int shownDetailsWindows() {
    int count = 0;
    for (Fl_Window* window = Fl::first_window(); window; window = Fl::next_window(window))
        count += window->label() && std::string(window->label()) == kDetailsTitle;
    return count;
}

// A key as the toolkit hands it to the widget with the focus.
int press(Fl_Widget& widget, int key) {
    Fl::e_keysym = key;
    Fl::e_state = 0;
    Fl::e_text = const_cast<char*>("");
    Fl::e_length = 0;
    return widget.handle(FL_KEYBOARD);
}

class DetailsWindowTest : public ::testing::Test {
protected:
    void SetUp() override { installRecordedBackend(state_, live_); }
    void TearDown() override {
        onDetailsClose(nullptr, &state_);
        Fl::check();  // the closed window is deleted
    }
    DetailsWindow& open() {
        onDetails(nullptr, &state_);
        return *static_cast<DetailsWindow*>(state_.detailsWindow);
    }
    Backend live_ = makeSnapshotBackend(dataFile("workstation.json"));
    AppState state_;
};

TEST_F(DetailsWindowTest, OneWindowForManyClicksAndANewOneAfterItIsClosed) {
    DetailsWindow& first = open();
    for (int click = 0; click < 5; ++click) onDetails(nullptr, &state_);
    Fl::check();
    EXPECT_EQ(shownDetailsWindows(), 1);
    EXPECT_EQ(state_.detailsWindow, &first);
    EXPECT_TRUE(first.shown());
    EXPECT_TRUE(first.non_modal());

    onDetailsClose(nullptr, &state_);
    Fl::check();
    EXPECT_EQ(state_.detailsWindow, nullptr);
    EXPECT_EQ(shownDetailsWindows(), 0);
    open();
    EXPECT_EQ(shownDetailsWindows(), 1);
}

TEST_F(DetailsWindowTest, ListsWhatTheReportListsHiddenWhileTheSwitchIsOn) {
    DetailsWindow& window = open();
    std::ostringstream shown;
    writeTextDetails(shownDetails(state_, false), shown);
    EXPECT_EQ(shown.str(), printed({"--details", "--snapshot", dataFile("workstation.json")}));
    EXPECT_EQ(window.countText(), "201 items");
    window.searchField().value("2D4F6A9C");
    window.searchField().do_callback();
    EXPECT_EQ(window.countText(), "1 of 201 items");

    state_.hideIdentifiers = true;
    refreshDetailsWindow(state_);  // as the switch does
    std::ostringstream hidden;
    writeTextDetails(shownDetails(state_, true), hidden);
    EXPECT_EQ(hidden.str(), printed({"--details", "--redact", "--snapshot", dataFile("workstation.json")}));
    EXPECT_EQ(window.countText(), "0 of 201 items");  // the serial is hidden, so nothing holds it
    window.searchField().value("(hidden)");
    window.searchField().do_callback();
    EXPECT_NE(window.countText(), "0 of 201 items");
}

TEST_F(DetailsWindowTest, TheSearchSelectsWhatItFindsAndEscapeClearsItFirst) {
    DetailsWindow& window = open();
    window.searchField().take_focus();
    window.searchField().value("2d4f6a9c");
    window.searchField().do_callback();
    DetailsView& view = window.view();
    ASSERT_NE(view.selected(), DetailsView::kNone);
    EXPECT_EQ(view.selectedText().substr(0, view.selectedText().find('\n')),
              "Controller1-ChannelB-DIMM0 16 GB DDR5 (serial 2D4F6A9C)");

    EXPECT_EQ(press(window.searchField(), FL_Down), 1);  // on to the list
    EXPECT_EQ(Fl::focus(), &view);
    window.searchField().take_focus();
    EXPECT_EQ(press(window.searchField(), FL_Escape), 1);
    EXPECT_STREQ(window.searchField().value(), "");
    EXPECT_EQ(window.countText(), "201 items");
    EXPECT_TRUE(window.shown());  // the first Escape only cleared the search
}

TEST_F(DetailsWindowTest, ArrowKeysMoveOpenAndCloseAsInATree) {
    DetailsView& view = open().view();
    ASSERT_TRUE(view.take_focus());
    const DetailsRows& rows = *view.rows();
    const std::size_t all = rows.rows().size();
    view.select(0);  // the Computer group, open
    press(view, FL_Right);
    EXPECT_EQ(view.selected(), 1u);  // into it: its first item
    press(view, FL_Left);            // the item closes
    EXPECT_FALSE(rows.isOpen(1));
    EXPECT_LT(rows.rows().size(), all);
    press(view, FL_Left);  // and then the way is up
    EXPECT_EQ(view.selected(), 0u);
    press(view, FL_Enter);  // the group closes
    EXPECT_FALSE(rows.isOpen(0));
    press(view, ' ');
    press(view, FL_Down);
    press(view, FL_Right);  // the item opens again
    EXPECT_EQ(rows.rows().size(), all);
    press(view, FL_End);
    EXPECT_EQ(view.selected(), all - 1);
    EXPECT_GE(view.selected(), view.topRow());  // brought into view
    EXPECT_LT(view.selected(), view.topRow() + view.rowsInView());
    press(view, FL_Home);
    EXPECT_EQ(view.topRow(), 0u);
}

}  // namespace
}  // namespace moravel
