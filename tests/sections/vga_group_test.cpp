#include <gtest/gtest.h>

#include "sections/sections.h"
#include "tests/support/snapshot_fixture.h"

namespace moravel::testing {
namespace {

const char* const kController = "Win32_VideoController";

struct Adapter {
    std::string name, processor, maxRate, mode, currentRate, ram, version, date, dac;
};

const Adapter kInternal{"Intel(R) HD Graphics 4600",
                        "Intel(R) HD Graphics Family",
                        "75",
                        "1920 x 1080 x 4294967296 colors",
                        "60",
                        "268435456",
                        "20.19.15.4531",
                        "20161017000000.000000-000",
                        "Internal"};
const Adapter kRamdac{"NVIDIA GeForce GTX 760",
                      "GeForce GTX 760",
                      "144",
                      "2560 x 1440 x 4294967296 colors",
                      "59",
                      "2147483648",
                      "23.21.13.8813",
                      "20171020000000.000000-000",
                      "Integrated RAMDAC"};
const Adapter kOther{
    "AMD Radeon RX 580", "Radeon RX 580 Series",      "165",     "3840 x 2160 x 4294967296 colors", "30", "4293918720",
    "22.19.162.4",       "20170912000000.000000-000", "AMD DAC1"};

void addAdapter(SnapshotBuilder& inventory, int index, const Adapter& a) {
    inventory.set(kController, index, "Name", a.name)
        .set(kController, index, "VideoProcessor", a.processor)
        .set(kController, index, "MaxRefreshRate", a.maxRate)
        .set(kController, index, "VideoModeDescription", a.mode)
        .set(kController, index, "CurrentRefreshRate", a.currentRate)
        .set(kController, index, "AdapterRAM", a.ram)
        .set(kController, index, "DriverVersion", a.version)
        .set(kController, index, "DriverDate", a.date)
        .set(kController, index, "AdapterDACType", a.dac);
}

GroupRun runVga(const SnapshotBuilder& inventory) {
    GroupRun run = runGroup(inventory, vgaGroup);
    EXPECT_EQ(run.diagnostics, "");  // every query is well formed and no value makes a type line
    return run;
}

void expectAllNone(const GroupRun& run) {
    for (const char* label : {"Name:", "Chip Type:", "Video Mode:", "Memory:", "Driver Version:", "DAC Type:"})
        EXPECT_EQ(run.text(label), "None") << label;
}

TEST(VgaGroup, NoControllerGivesNoneEverywhereAfterFortyEightQueries) {
    const GroupRun run = runVga(SnapshotBuilder{});
    EXPECT_EQ(run.labels(), (std::vector<std::string>{
                                "Name:", "Chip Type:", "Video Mode:", "Memory:", "Driver Version:", "DAC Type:"}));
    expectAllNone(run);
    EXPECT_EQ(run.queries, 48);
    ASSERT_EQ(run.report.groups.size(), 1u);
    EXPECT_EQ(run.report.groups[0].label, "VGA");
    EXPECT_FALSE(run.report.groups[0].embossed);
}

TEST(VgaGroup, ShowsEveryFieldOfTheChosenAdapter) {
    SnapshotBuilder inventory;
    addAdapter(inventory, 0, kRamdac);
    const GroupRun run = runVga(inventory);
    EXPECT_EQ(run.text("Name:"), "NVIDIA GeForce GTX 760");
    EXPECT_EQ(run.text("Chip Type:"), "GeForce GTX 760  ( Max Refresh Rate: 144Hertz )");
    EXPECT_EQ(run.text("Video Mode:"), "2560 x 1440 x 4294967296 colors ( 59Hertz )");
    EXPECT_EQ(run.text("Memory:"), "2048 MB");
    EXPECT_EQ(run.text("Driver Version:"), "23.21.13.8813 ( Date: 2017-10-20 )");
    EXPECT_EQ(run.text("DAC Type:"), "Integrated RAMDAC");
    // Event order: every value is read before the first field, and the group makes no progress step.
    EXPECT_EQ(run.report.events.front(), "group VGA");
    EXPECT_EQ(run.report.events.back(), "end");
    EXPECT_EQ(run.report.events.size(), 8u);
}

struct SelectionCase {
    const char* present;
    std::vector<std::pair<int, Adapter>> adapters;
    std::string name;
    std::string dacType;
};

TEST(VgaGroup, LaterPassesTakePrecedenceWhateverTheIndexOrder) {
    const std::string note = " ( Internal VGA: Intel(R) HD Graphics 4600 - Memory: 256 MB )";
    const std::vector<SelectionCase> cases = {
        {"I", {{0, kInternal}}, kInternal.name, "Internal"},
        {"R", {{0, kRamdac}}, kRamdac.name, "Integrated RAMDAC"},
        {"X", {{0, kOther}}, kOther.name, "AMD DAC1"},
        {"I and R", {{0, kRamdac}, {1, kInternal}}, kRamdac.name, "Integrated RAMDAC" + note},
        {"I and X", {{3, kInternal}, {7, kOther}}, kOther.name, "AMD DAC1" + note},
        {"R and X", {{0, kOther}, {1, kRamdac}}, kOther.name, "AMD DAC1"},
        {"I, R and X", {{0, kOther}, {1, kRamdac}, {2, kInternal}}, kOther.name, "AMD DAC1" + note},
    };
    for (const SelectionCase& c : cases) {
        SnapshotBuilder inventory;
        for (const auto& [index, adapter] : c.adapters) addAdapter(inventory, index, adapter);
        const GroupRun run = runVga(inventory);
        EXPECT_EQ(run.text("Name:"), c.name) << c.present;
        EXPECT_EQ(run.text("DAC Type:"), c.dacType) << c.present;
    }
}

TEST(VgaGroup, MirrorDriverIsNeverACandidateButOtherSpellingsAre) {
    Adapter mirror = kOther;
    mirror.name = "LogMeIn Mirror Driver";
    SnapshotBuilder onlyMirror;
    addAdapter(onlyMirror, 0, mirror);
    expectAllNone(runVga(onlyMirror));

    Adapter lowerCase = mirror;
    lowerCase.name = "logmein mirror driver";
    SnapshotBuilder lower;
    addAdapter(lower, 0, lowerCase);
    EXPECT_EQ(runVga(lower).text("Name:"), "logmein mirror driver");

    SnapshotBuilder mirrorThenReal;
    addAdapter(mirrorThenReal, 0, mirror);
    addAdapter(mirrorThenReal, 1, kRamdac);
    EXPECT_EQ(runVga(mirrorThenReal).text("Name:"), kRamdac.name);
}

TEST(VgaGroup, OnlyTheFirstEightControllersAreExamined) {
    SnapshotBuilder inventory;
    for (int index = 0; index < 8; ++index) inventory.set(kController, index, "Name", "Placeholder");
    addAdapter(inventory, 8, kOther);
    const GroupRun run = runVga(inventory);
    expectAllNone(run);
    EXPECT_EQ(run.queries, 48);
}

TEST(VgaGroup, ControllerWithoutMemoryIsSkippedWithoutEndingThePass) {
    SnapshotBuilder inventory;
    Adapter noMemory = kOther;
    noMemory.ram = "";
    addAdapter(inventory, 0, noMemory);
    addAdapter(inventory, 1, kRamdac);
    EXPECT_EQ(runVga(inventory).text("Name:"), kRamdac.name);
}

TEST(VgaGroup, LowerIndexOfTwoInternalAdaptersIsTheInternalOne) {
    Adapter second = kInternal;
    second.name = "Second Internal";
    second.ram = "134217728";
    SnapshotBuilder inventory;
    addAdapter(inventory, 0, kRamdac);
    addAdapter(inventory, 2, kInternal);
    addAdapter(inventory, 5, second);
    EXPECT_EQ(runVga(inventory).text("DAC Type:"),
              "Integrated RAMDAC ( Internal VGA: Intel(R) HD Graphics 4600 - Memory: 256 MB )");
}

TEST(VgaGroup, InternalAsFirstWordMakesAnAdapterInternal) {
    Adapter wordy = kInternal;
    wordy.dac = "Internal DAC(400MHz)";
    SnapshotBuilder alone;
    addAdapter(alone, 0, wordy);
    const GroupRun aloneRun = runVga(alone);
    EXPECT_EQ(aloneRun.text("Name:"), kInternal.name);
    EXPECT_EQ(aloneRun.text("DAC Type:"), "Internal DAC(400MHz)");

    SnapshotBuilder withRamdac;
    addAdapter(withRamdac, 0, wordy);
    addAdapter(withRamdac, 1, kRamdac);
    EXPECT_EQ(runVga(withRamdac).text("DAC Type:"),
              "Integrated RAMDAC ( Internal VGA: Intel(R) HD Graphics 4600 - Memory: 256 MB )");

    // A word that merely begins with the letters is another converter.
    Adapter glued = kInternal;
    glued.dac = "InternalDAC";
    SnapshotBuilder gluedWithInternal;
    addAdapter(gluedWithInternal, 0, kInternal);
    addAdapter(gluedWithInternal, 1, glued);
    EXPECT_EQ(runVga(gluedWithInternal).text("DAC Type:"),
              "InternalDAC ( Internal VGA: Intel(R) HD Graphics 4600 - Memory: 256 MB )");
}

TEST(VgaGroup, OneInternalAdapterCostsFortyFiveQueries) {
    SnapshotBuilder inventory;
    addAdapter(inventory, 0, kInternal);
    EXPECT_EQ(runVga(inventory).queries, 45);
}

TEST(VgaGroup, NullValuesAreShownButDropTheirSuffixes) {
    SnapshotBuilder inventory;
    for (const char* property : {"Name", "VideoProcessor", "MaxRefreshRate", "VideoModeDescription",
                                 "CurrentRefreshRate", "AdapterRAM", "DriverVersion", "DriverDate", "AdapterDACType"})
        inventory.setNull(kController, 0, property);
    const GroupRun run = runVga(inventory);
    EXPECT_EQ(run.text("Name:"), "Null");
    EXPECT_EQ(run.text("Chip Type:"), "Null");
    EXPECT_EQ(run.text("Video Mode:"), "Null");
    EXPECT_EQ(run.text("Memory:"), "0 MB");
    EXPECT_EQ(run.text("Driver Version:"), "Null");
    EXPECT_EQ(run.text("DAC Type:"), "Null");
}

TEST(VgaGroup, ZeroRefreshRatesStillGiveTheirSuffixes) {
    Adapter adapter = kOther;
    adapter.maxRate = "0";
    adapter.currentRate = "0";
    SnapshotBuilder inventory;
    addAdapter(inventory, 0, adapter);
    const GroupRun run = runVga(inventory);
    EXPECT_EQ(run.text("Chip Type:"), "Radeon RX 580 Series  ( Max Refresh Rate: 0Hertz )");
    EXPECT_EQ(run.text("Video Mode:"), "3840 x 2160 x 4294967296 colors ( 0Hertz )");
}

TEST(VgaGroup, MemoryRoundsHalfMegabytesUp) {
    const std::vector<std::pair<std::string, std::string>> cases = {{"1572864", "2 MB"},       {"524288", "1 MB"},
                                                                    {"524287", "0 MB"},        {"134217728", "128 MB"},
                                                                    {"4293918720", "4095 MB"}, {"video", "0 MB"}};
    for (const auto& [bytes, expected] : cases) {
        Adapter adapter = kOther;
        adapter.ram = bytes;
        SnapshotBuilder inventory;
        addAdapter(inventory, 0, adapter);
        EXPECT_EQ(runVga(inventory).text("Memory:"), expected) << bytes;
    }
}

TEST(VgaGroup, MemoryTypedAsAnIntegerReadsAsUnsigned) {
    SnapshotBuilder inventory;
    addAdapter(inventory, 0, kOther);
    inventory.setNumber(kController, 0, "AdapterRAM", 4293918720LL);
    EXPECT_EQ(runGroup(inventory, vgaGroup).text("Memory:"), "4095 MB");
}

TEST(VgaGroup, DriverDateNeedsItsEightDigits) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"20161017000000.000000-000", "20.19.15.4531 ( Date: 2016-10-17 )"},
        {"20161017", "20.19.15.4531 ( Date: 2016-10-17 )"},
        {"Null", "20.19.15.4531"},
        {"", "20.19.15.4531"},
        {"2016101", "20.19.15.4531"},
        {"7", "20.19.15.4531"}};
    for (const auto& [date, expected] : cases) {
        Adapter adapter = kInternal;
        adapter.date = date;
        SnapshotBuilder inventory;
        addAdapter(inventory, 0, adapter);
        EXPECT_EQ(runVga(inventory).text("Driver Version:"), expected) << date;
    }
}

TEST(VgaGroup, MissingTextsFallBackToNone) {
    SnapshotBuilder inventory;
    inventory.set(kController, 0, "AdapterRAM", "268435456");
    const GroupRun run = runVga(inventory);
    // Pass 3 takes the controller: no converter type is not internal.
    EXPECT_EQ(run.text("Name:"), "None");
    EXPECT_EQ(run.text("Chip Type:"), "None");
    EXPECT_EQ(run.text("Video Mode:"), "None");
    EXPECT_EQ(run.text("Memory:"), "256 MB");
    EXPECT_EQ(run.text("Driver Version:"), "None");
    EXPECT_EQ(run.text("DAC Type:"), "None");
}

}  // namespace
}  // namespace moravel::testing
