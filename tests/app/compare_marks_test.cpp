// The window compared with a snapshot, in process: exactly the differing fields marked, their
// tooltips holding the snapshot's text, the title counting them, nothing moved, Clear undoing it
// all, and the report commands handing out what moravel-report --compare prints.
#include <gtest/gtest.h>

#include <FL/Fl_Double_Window.H>

#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/main_window.h"
#include "app/share.h"
#include "app/share_menu.h"
#include "cli/run.h"
#include "query/snapshot/snapshot_provider.h"

namespace moravel {
namespace {

std::string dataFile(const std::string& name) { return MORAVEL_SOURCE_DIR "/tests/data/" + name; }

std::vector<ReportField*> fieldsOf(Fl_Double_Window& window) {
    std::vector<ReportField*> fields;
    for (int g = 0; g < window.children(); ++g)
        if (Fl_Group* group = window.child(g)->as_group())
            for (int f = 0; f < group->children(); ++f) fields.push_back(static_cast<ReportField*>(group->child(f)));
    return fields;
}

std::string tooltipOf(const ReportField* field) { return field->tooltip() ? field->tooltip() : ""; }

struct Geometry {
    int x, y, w, h;
    bool operator==(const Geometry& o) const { return x == o.x && y == o.y && w == o.w && h == o.h; }
};

std::vector<Geometry> geometryOf(Fl_Group& group) {
    std::vector<Geometry> all;
    for (int i = 0; i < group.children(); ++i) {
        Fl_Widget* widget = group.child(i);
        all.push_back({widget->x(), widget->y(), widget->w(), widget->h()});
        if (Fl_Group* inner = widget->as_group()) {
            std::vector<Geometry> nested = geometryOf(*inner);
            all.insert(all.end(), nested.begin(), nested.end());
        }
    }
    return all;
}

std::string printed(const std::vector<std::string>& arguments) {
    std::ostringstream out, err;
    runReport(arguments, out, err);
    return out.str();
}

TEST(CompareMarks, ExactlyTheDifferingFieldsUntilCleared) {
    Backend live = makeSnapshotBackend(dataFile("desktop.json"));
    AppState state;
    installRecordedBackend(state, live);
    state.noticeMode = true;  // no wait window
    std::unique_ptr<Fl_Double_Window> window(makeMainWindow(state));
    state.mainWindow = window.get();
    const std::vector<ReportField*> fields = fieldsOf(*window);
    ASSERT_EQ(fields.size(), 38u);
    std::vector<std::string> tooltips;
    for (const ReportField* field : fields) tooltips.push_back(tooltipOf(field));
    const std::vector<Geometry> before = geometryOf(*window);

    const std::string seller = dataFile("desktop_seller.json");
    ASSERT_TRUE(compareWithSnapshot(state, seller));
    std::vector<FieldMark> expected(fields.size(), FieldMark::Plain);
    expected[2] = expected[24] = expected[25] = expected[27] = expected[28] = expected[31] = FieldMark::Changed;
    expected[3] = expected[13] = expected[32] = FieldMark::ByItself;  // available memory, last boot, free space
    for (std::size_t i = 0; i < fields.size(); ++i) EXPECT_EQ(fields[i]->mark(), expected[i]) << fields[i]->label();
    EXPECT_EQ(tooltipOf(fields[24]), "In desktop_seller.json:\nNVIDIA GeForce GTX 970");
    EXPECT_EQ(tooltipOf(fields[13]), "In desktop_seller.json (changes by itself):\n2013-09-15 19:30:02");
    // The disk and the graphics card replaced count as parts; the snapshot lists no modules.
    EXPECT_STREQ(window->label(), (std::string(kMainWindowTitle) +
                                   " - 9 fields and 2 parts differ from desktop_seller.json (3 expected to change); "
                                   "not compared: memory modules, monitors, controllers, software")
                                      .c_str());
    EXPECT_STREQ(window->tooltip(), "9 fields and 2 parts differ from desktop_seller.json (3 expected to change)\n"
                                    "Not compared: memory modules, monitors, controllers, software (the older snapshot does not record them)");
    EXPECT_TRUE(geometryOf(*window) == before) << "a widget moved";
    EXPECT_EQ(static_cast<MainWindow*>(window.get())->legendFor(), "desktop_seller.json");
    setenv("MORAVEL_SNAPSHOT", dataFile("desktop.json").c_str(), 1);  // moravel-report's machine is the window's
    EXPECT_EQ(shareReport(state, ReportForm::Text, false), printed({"--compare", seller}));
    EXPECT_EQ(shareReport(state, ReportForm::Text, true), printed({"--compare", seller, "--redact"}));
    unsetenv("MORAVEL_SNAPSHOT");
    EXPECT_EQ(
        shareReport(state, ReportForm::Json, false).rfind("{\"old\":\"" + seller + "\",\"new\":\"this machine\",", 0),
        0u);

    onClearComparison(nullptr, &state);
    for (std::size_t i = 0; i < fields.size(); ++i) {
        EXPECT_EQ(fields[i]->mark(), FieldMark::Plain) << fields[i]->label();
        EXPECT_EQ(tooltipOf(fields[i]), tooltips[i]) << fields[i]->label();
    }
    EXPECT_STREQ(window->label(), kMainWindowTitle);
    EXPECT_EQ(window->tooltip(), nullptr);
    EXPECT_EQ(static_cast<MainWindow*>(window.get())->legendFor(), "");
    EXPECT_FALSE(state.compared);
    EXPECT_EQ(shareReport(state, ReportForm::Text, false), printed({"--snapshot", dataFile("desktop.json")}));
}

// A module swapped in its slot changes no field: the title counts it as a part, and the report
// says what differs.
TEST(CompareMarks, ASwappedPartCountsInTheTitle) {
    Backend live = makeSnapshotBackend(dataFile("workstation.json"));
    AppState state;
    installRecordedBackend(state, live);
    state.noticeMode = true;
    std::unique_ptr<Fl_Double_Window> window(makeMainWindow(state));
    state.mainWindow = window.get();
    ASSERT_TRUE(compareWithSnapshot(state, dataFile("workstation_seller.json")));
    EXPECT_STREQ(window->label(), (std::string(kMainWindowTitle) +
                                   " - 5 fields and 2 parts differ from workstation_seller.json (2 expected to change); "
                                   "not compared: software")
                                      .c_str());
    const std::string report = shareReport(state, ReportForm::Text, false);
    EXPECT_NE(report.find("Memory module Controller1-ChannelB-DIMM0 16 GB DDR5 (serial 47A1C31F): replaced; "
                          "Manufacturer: Samsung \xE2\x86\x92 SK Hynix"),
              std::string::npos)
        << report;
    const std::optional<Comparison> shown = shownComparison(state, false);
    ASSERT_TRUE(shown);
    ASSERT_EQ(shown->items.size(), 2u);
    EXPECT_EQ(itemChangeNote(shown->items[0], "workstation_seller.json"),
              "In workstation_seller.json, another one:\nManufacturer: Samsung\nPart number: M425R2GA3BB0-CWMOD\n"
              "Serial number: 47A1C31F");
}

// Programs installed, removed or updated are counted apart from the machine's parts.
TEST(CompareMarks, ProgramsCountApartFromParts) {
    Comparison comparison;
    comparison.fields.push_back({});
    for (Difference difference : {Difference::Changed, Difference::Program, Difference::Program, Difference::Unknown}) {
        ItemChange change;
        change.difference = difference;
        comparison.items.push_back(change);
    }
    EXPECT_EQ(comparisonCount(comparison, "old.json"), "1 field, 1 part and 2 programs differ from old.json");
    comparison.fields.clear();
    comparison.items.erase(comparison.items.begin());
    EXPECT_EQ(comparisonCount(comparison, "old.json"), "2 programs differ from old.json");
    comparison.items.resize(1);
    EXPECT_EQ(comparisonCount(comparison, "old.json"), "1 program differs from old.json");
}

}  // namespace
}  // namespace moravel
