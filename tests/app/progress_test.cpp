// The wait window's bar during a real build from a snapshot: every moment the toolkit gets
// control is recorded, with the bar's label and the group being built at that moment.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Progress.H>

#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/main_window.h"
#include "app/startup.h"
#include "query/backend.h"
#include "query/snapshot/snapshot_provider.h"

namespace moravel {
namespace {

// A desktop with one of each device, and a version outside the notice range.
const char* const kDesktopSnapshot = R"({
  "classes": {
    "Win32_ComputerSystem": [{"SystemType": "x64-based PC", "Model": "OptiPlex 7040", "Manufacturer": "Dell Inc.",
                              "TotalPhysicalMemory": "17083187200", "Domain": "WORKGROUP"}],
    "Win32_Processor": [{"Name": "Intel(R) Core(TM) i7-6700 CPU @ 3.40GHz", "NumberOfCores": 4,
                         "NumberOfLogicalProcessors": 8, "CurrentClockSpeed": 3401, "Manufacturer": "GenuineIntel"}],
    "Win32_VideoController": [{"Name": "Intel(R) HD Graphics 530", "AdapterRAM": 1073741824,
                               "AdapterDACType": "Internal", "DriverVersion": "26.20.100.7325"}],
    "Win32_DiskDrive": [{"InterfaceType": "IDE", "Caption": "ST1000DM010-2EP102", "Size": "1000202273280",
                         "Partitions": 1, "TotalCylinders": "121601"}],
    "Win32_LogicalDisk": [{"DriveType": 3, "DeviceID": "C:", "FreeSpace": "523986010112"}],
    "Win32_SoundDevice": [{"ProductName": "Realtek High Definition Audio", "Manufacturer": "Realtek"}]
  },
  "osVersion": {"major": 6, "minor": 1}
})";

struct Moment {
    std::string label;  // the bar's label, empty before the first step
    float value;
    bool waitWindowShown;
    std::string building;  // the label of the group the sections are filling
};

std::vector<Moment> moments;

void recordMoment(void* data) {
    const AppState& state = *static_cast<AppState*>(data);
    if (!state.waitWindow || !state.progressBar) return;
    Fl_Group* current = Fl_Group::current();
    moments.push_back({state.progressBar->label() ? state.progressBar->label() : "", state.progressBar->value(),
                       state.waitWindow->shown() != 0, current && current->label() ? current->label() : ""});
}

std::ostream& operator<<(std::ostream& out, const Moment& m) {
    return out << "{" << m.label << ", " << m.value << ", " << m.waitWindowShown << ", " << m.building << "}";
}

TEST(ProgressDuringBuild, PassesTheFourStepsInOrderWhileTheirGroupsAreBuilt) {
    const Backend backend = makeSnapshotBackendFromJson(kDesktopSnapshot, "desktop");
    AppState state;
    state.context = backend.context();
    char name[] = "moravel";
    char* argv[] = {name, nullptr};
    std::ostringstream versionLine;
    std::streambuf* saved = std::cout.rdbuf(versionLine.rdbuf());
    Fl::add_check(recordMoment, &state);
    startMainWindow(state, 1, argv);
    Fl::remove_check(recordMoment, &state);
    std::cout.rdbuf(saved);

    ASSERT_EQ(moments.size(), 5u) << ::testing::PrintToString(moments);
    // The first moment is the wait window drawing itself at 0 before the build starts.
    EXPECT_EQ(moments[0].label, "");
    EXPECT_EQ(moments[0].value, 0.0f);
    const std::vector<std::string> labels = {"25 %", "50 %", "75 %", "100 %"};
    const std::vector<float> values = {0.25f, 0.5f, 0.75f, 1.0f};
    // Drives has been closed at the last step, so the window itself is the current group.
    const std::vector<std::string> building = {"System", "CPU", "CPU", kMainWindowTitle};
    for (std::size_t i = 0; i < labels.size(); ++i) {
        EXPECT_EQ(moments[i + 1].label, labels[i]);
        EXPECT_EQ(moments[i + 1].value, values[i]);
        EXPECT_TRUE(moments[i + 1].waitWindowShown) << labels[i];
        EXPECT_EQ(moments[i + 1].building, building[i]) << labels[i];
    }
    EXPECT_EQ(versionLine.str(), "6\t1\n");
    ASSERT_NE(state.mainWindow, nullptr);
    EXPECT_TRUE(state.mainWindow->shown());
    EXPECT_EQ(state.waitWindow, nullptr);

    state.mainWindow->hide();
    delete state.mainWindow;
    delete state.progressBar->window();
}

}  // namespace
}  // namespace moravel
