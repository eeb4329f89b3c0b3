// The window compared with a snapshot whose memory module was swapped: the Details window marks
// the module, counts what differs, follows the comparison when it is cleared, and its marks are
// drawn as the fields' are.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>

#include <memory>
#include <string>

#include "app/app_state.h"
#include "app/details_window.h"
#include "app/main_window.h"
#include "app/share.h"
#include "app/share_menu.h"
#include "query/snapshot/snapshot_provider.h"

namespace moravel {
namespace {

std::string dataFile(const std::string& name) { return MORAVEL_SOURCE_DIR "/tests/data/" + name; }

TEST(DetailsMarksWindow, TheSwappedModuleIsMarkedWhileTheComparisonIsOn) {
    Backend live = makeSnapshotBackend(dataFile("workstation.json"));
    AppState state;
    installRecordedBackend(state, live);
    state.noticeMode = true;  // no wait window
    std::unique_ptr<Fl_Double_Window> main(makeMainWindow(state));
    state.mainWindow = main.get();
    onDetails(nullptr, &state);
    auto& details = *static_cast<DetailsWindow*>(state.detailsWindow);
    EXPECT_EQ(details.marked().marked(), 0u);

    ASSERT_TRUE(compareWithSnapshot(state, dataFile("workstation_seller.json")));  // the open window follows
    EXPECT_EQ(details.countText(), "201 items, 2 differ from workstation_seller.json");
    details.searchField().value("2D4F6A9C");
    details.searchField().do_callback();
    const DetailsView& view = details.view();
    ASSERT_NE(view.selected(), DetailsView::kNone);
    const DetailsRow& row = view.rows()->rows()[view.selected()];
    EXPECT_EQ(details.marked().marks[row.group][row.item].change, "replaced");
    EXPECT_EQ(details.countText(), "1 of 201 items, 2 differ from workstation_seller.json");
    EXPECT_NE(std::string(main->label()).find("2 parts differ from workstation_seller.json"), std::string::npos)
        << main->label();

    onHideSwitch(nullptr, &state);  // hidden, the serials are unknown; the makers still differ
    ASSERT_TRUE(state.hideIdentifiers);
    EXPECT_EQ(details.marked().marked(), 2u);
    EXPECT_EQ(details.countText(), "0 of 201 items, 2 differ from workstation_seller.json");  // the serial searched for is hidden

    onClearComparison(nullptr, &state);
    EXPECT_EQ(details.marked().marked(), 0u);
    EXPECT_EQ(details.countText().find("differ"), std::string::npos);

    onDetailsClose(nullptr, &state);
    Fl::check();
    state.mainWindow = nullptr;
}

}  // namespace
}  // namespace moravel
