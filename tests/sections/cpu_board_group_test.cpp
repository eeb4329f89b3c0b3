#include <gtest/gtest.h>

#include "sections/sections.h"
#include "tests/support/snapshot_fixture.h"

using moravel::testing::GroupRun;
using moravel::testing::runGroup;
using moravel::testing::SnapshotBuilder;
using nlohmann::json;

namespace {

GroupRun cpuRun(json processor) {
    SnapshotBuilder machine;
    machine.add("Win32_Processor", std::move(processor));
    return runGroup(machine, moravel::cpuGroup);
}

std::string cpuField(json processor, const std::string& label) { return cpuRun(std::move(processor)).text(label); }

GroupRun boardRun(json baseBoard, json device) {
    SnapshotBuilder machine;
    if (!baseBoard.is_null()) machine.add("Win32_BaseBoard", std::move(baseBoard));
    if (!device.is_null()) machine.add("Win32_MotherboardDevice", std::move(device));
    return runGroup(machine, moravel::motherBoardGroup);
}

const json kI7 = {{"Name", "Intel(R) Core(TM) i7-4790 CPU @ 3.60GHz"},
                  {"NumberOfCores", 4},
                  {"NumberOfLogicalProcessors", 8},
                  {"L2CacheSize", 1024},
                  {"L3CacheSize", 8192},
                  {"CurrentClockSpeed", 3601},
                  {"MaxClockSpeed", 3601},
                  {"Description", "Intel64 Family 6 Model 60 Stepping 3"},
                  {"DataWidth", 64},
                  {"Manufacturer", "GenuineIntel"},
                  {"ProcessorId", "BFEBFBFF000306C3"}};

}  // namespace

TEST(CpuGroup, AWholeProcessorWithItsProgressPoints) {
    SnapshotBuilder machine;
    machine.add("Win32_Processor", kI7);
    machine.add("Win32_Processor", {{"Name", "second package, never shown"}});
    GroupRun run = runGroup(machine, moravel::cpuGroup);
    EXPECT_EQ(run.text("Processor:"), "Intel(R) Core(TM) i7-4790 CPU @ 3.60GHz");
    EXPECT_EQ(run.text("Spec:"), "Cores: 4  Processors: 8  L2Cache: 1024KB  L3Cache: 8192KB");
    EXPECT_EQ(run.text("Clock:"), "3601 MHz   ( Max Clock: 3601 MHz )");
    EXPECT_EQ(run.text("Family:"), "Intel64 Family 6 Model 60 Stepping 3 ( 64 Bits )");
    EXPECT_EQ(run.text("Manufacturer:"), "GenuineIntel");
    EXPECT_EQ(run.text("Unique ID:"), "BFEBFBFF000306C3");
    EXPECT_EQ(run.report.events,
              (std::vector<std::string>{"group CPU", "field Processor:", "field Spec:", "progress 0.5",
                                        "field Clock:", "field Family:", "field Manufacturer:", "progress 0.75",
                                        "field Unique ID:", "end"}));
    EXPECT_EQ(run.queries, 11);
    EXPECT_EQ(run.reads.at(1), "Win32_Processor.NumberOfCores");
    EXPECT_EQ(run.reads.at(4), "Win32_Processor.L3CacheSize");
    EXPECT_EQ(run.reads.at(6), "Win32_Processor.MaxClockSpeed");
    EXPECT_EQ(run.reads.at(8), "Win32_Processor.DataWidth");
}

TEST(CpuGroup, NoProcessorAtAll) {
    GroupRun run = runGroup(SnapshotBuilder(), moravel::cpuGroup);
    EXPECT_EQ(run.text("Spec:"), "Cores: 0  Processors: 0  L2Cache: 0KB  L3Cache: 0KB");
    for (const char* label : {"Processor:", "Clock:", "Family:", "Manufacturer:", "Unique ID:"})
        EXPECT_EQ(run.text(label), "None") << label;
    EXPECT_EQ(run.queries, 9);
    EXPECT_EQ(run.report.events.at(3), "progress 0.5");
    EXPECT_EQ(run.report.events.at(7), "progress 0.75");
}

TEST(CpuGroup, SpecKeepsNullAndFillsOnlyMissingNumbers) {
    json processor = kI7;
    processor["L3CacheSize"] = nullptr;
    processor.erase("NumberOfLogicalProcessors");
    EXPECT_EQ(cpuField(processor, "Spec:"), "Cores: 4  Processors: 0  L2Cache: 1024KB  L3Cache: NullKB");
}

TEST(CpuGroup, ClockAndFamilyCutOffs) {
    EXPECT_EQ(cpuField({{"CurrentClockSpeed", 800}, {"MaxClockSpeed", 900}}, "Clock:"),
              "800 MHz   ( Max Clock: 900 MHz )");
    EXPECT_EQ(cpuField({{"CurrentClockSpeed", 800}}, "Clock:"), "800 MHz");
    EXPECT_EQ(cpuField({{"MaxClockSpeed", 900}}, "Clock:"), "None");
    EXPECT_EQ(cpuField({{"CurrentClockSpeed", nullptr}, {"MaxClockSpeed", nullptr}}, "Clock:"),
              "Null MHz   ( Max Clock: Null MHz )");
    EXPECT_EQ(cpuField({{"Description", "x86"}, {"DataWidth", 32}}, "Family:"), "None");
    EXPECT_EQ(cpuField({{"Description", "x86 "}, {"DataWidth", 32}}, "Family:"), "x86  ( 32 Bits )");
    EXPECT_EQ(cpuField({{"Description", "AMD64 Family 23 Model 8 Stepping 2"}}, "Family:"),
              "AMD64 Family 23 Model 8 Stepping 2");
    // The second read is skipped when the first rules it out.
    EXPECT_EQ(cpuRun({{"MaxClockSpeed", 900}, {"Description", "x86"}, {"DataWidth", 32}}).queries, 9);
}

TEST(MotherBoardGroup, AWholeBoard) {
    GroupRun run =
        boardRun({{"Manufacturer", "ASUSTeK COMPUTER INC."}, {"SerialNumber", "130909586800497"}, {"Product", "Z87-A"}},
                 {{"PrimaryBusType", "PCI"}, {"SecondaryBusType", "ISA"}});
    EXPECT_EQ(run.text("Manufacturer:"), "ASUSTeK COMPUTER INC.");
    EXPECT_EQ(run.text("Unique Serial No.:"), "130909586800497");
    EXPECT_EQ(run.text("Bus Type:"), "PCI   &   ISA");
    EXPECT_EQ(run.text("Model:"), "Z87-A");
    EXPECT_EQ(run.reads,
              (std::vector<std::string>{"Win32_BaseBoard.Manufacturer", "Win32_BaseBoard.SerialNumber",
                                        "Win32_MotherboardDevice.PrimaryBusType",
                                        "Win32_MotherboardDevice.SecondaryBusType", "Win32_BaseBoard.Product"}));
}

TEST(MotherBoardGroup, SerialNumbersOfOneCharacterAreMissing) {
    EXPECT_EQ(boardRun({{"SerialNumber", " "}}, nullptr).text("Unique Serial No.:"), "None");
    EXPECT_EQ(boardRun({{"SerialNumber", "  "}}, nullptr).text("Unique Serial No.:"), "  ");
    EXPECT_EQ(boardRun({{"SerialNumber", nullptr}}, nullptr).text("Unique Serial No.:"), "Null");
}

TEST(MotherBoardGroup, BusTypes) {
    EXPECT_EQ(boardRun(nullptr, {{"PrimaryBusType", "PCI"}}).text("Bus Type:"), "PCI");
    EXPECT_EQ(boardRun(nullptr, {{"PrimaryBusType", "PCI"}, {"SecondaryBusType", nullptr}}).text("Bus Type:"),
              "PCI   &   Null");
    EXPECT_EQ(boardRun(nullptr, {{"SecondaryBusType", "ISA"}}).text("Bus Type:"), "None");
}

TEST(MotherBoardGroup, NoBoardObjectsAndTheirFourQueries) {
    GroupRun run = boardRun(nullptr, nullptr);
    for (const char* label : {"Manufacturer:", "Unique Serial No.:", "Bus Type:", "Model:"})
        EXPECT_EQ(run.text(label), "None") << label;
    EXPECT_EQ(run.queries, 4);
}

TEST(FirstFiveGroups, AnEmptyMachineCostsOneHundredAndTwentySevenQueries) {
    GroupRun run = runGroup(SnapshotBuilder(), [](moravel::QueryContext& context, moravel::ReportSink& sink) {
        moravel::SharedValues shared;
        moravel::systemGroup(context, sink, shared);
        moravel::biosGroup(context, sink);
        moravel::osGroup(context, sink);
        moravel::cpuGroup(context, sink);
        moravel::motherBoardGroup(context, sink);
    });
    EXPECT_EQ(run.queries, 106 + 4 + 4 + 9 + 4);
    EXPECT_EQ(run.report.groups.size(), 5u);
}
