#include <gtest/gtest.h>

#include "sections/sections.h"
#include "tests/support/snapshot_fixture.h"

using moravel::testing::GroupRun;
using moravel::testing::runGroup;
using moravel::testing::SnapshotBuilder;
using nlohmann::json;

namespace {

std::string biosField(json properties, const std::string& label) {
    SnapshotBuilder machine;
    machine.add("Win32_BIOS", std::move(properties));
    return runGroup(machine, moravel::biosGroup).text(label);
}

std::string osField(json properties, const std::string& label) {
    SnapshotBuilder machine;
    machine.add("Win32_OperatingSystem", std::move(properties));
    return runGroup(machine, moravel::osGroup).text(label);
}

}  // namespace

TEST(BiosGroup, AWholeFirmware) {
    SnapshotBuilder machine;
    machine.add("Win32_BIOS", {{"Manufacturer", "American Megatrends Inc."},
                               {"Description", "BIOS Date: 08/30/13 Ver: 04.06.05"},
                               {"Version", "ALASKA - 1072009"},
                               {"SMBIOSBIOSVersion", "2103"},
                               {"ReleaseDate", "20130830000000.000000+000"}});
    GroupRun run = runGroup(machine, moravel::biosGroup);
    ASSERT_EQ(run.report.groups.size(), 1u);
    std::vector<std::string> texts;
    for (const moravel::FieldRecord& field : run.report.groups[0].fields) texts.push_back(field.label + field.text);
    EXPECT_EQ(texts, (std::vector<std::string>{"Manufacturer:American Megatrends Inc.",
                                               "Description:BIOS Date: 08/30/13 Ver: 04.06.05",
                                               "Version:ALASKA - 1072009 ( SM: 2103 )", "Release Date:2013-08-30"}));
    EXPECT_EQ(run.reads,
              (std::vector<std::string>{"Win32_BIOS.Manufacturer", "Win32_BIOS.Description", "Win32_BIOS.Version",
                                        "Win32_BIOS.SMBIOSBIOSVersion", "Win32_BIOS.ReleaseDate"}));
}

TEST(BiosGroup, ReleaseDateNeedsEightCharacters) {
    EXPECT_EQ(biosField({{"ReleaseDate", "20130830"}}, "Release Date:"), "2013-08-30");
    EXPECT_EQ(biosField({{"ReleaseDate", "2013083"}}, "Release Date:"), "None");
    EXPECT_EQ(biosField({{"ReleaseDate", "Null"}}, "Release Date:"), "None");
    EXPECT_EQ(biosField({{"ReleaseDate", nullptr}}, "Release Date:"), "None");
    EXPECT_EQ(biosField({{"ReleaseDate", "ab/cd/efgh"}}, "Release Date:"), "ab/c-d/-ef");
}

TEST(BiosGroup, VersionWithOrWithoutTheSmbiosVersion) {
    EXPECT_EQ(biosField({{"Version", "DELL   - 1072009"}, {"SMBIOSBIOSVersion", ""}}, "Version:"), "DELL   - 1072009");
    EXPECT_EQ(biosField({{"Version", "DELL   - 1072009"}}, "Version:"), "DELL   - 1072009");
    EXPECT_EQ(biosField({{"Version", nullptr}, {"SMBIOSBIOSVersion", "A12"}}, "Version:"), "Null ( SM: A12 )");
    EXPECT_EQ(biosField({{"Version", "X"}, {"SMBIOSBIOSVersion", nullptr}}, "Version:"), "X ( SM: Null )");
    EXPECT_EQ(biosField({{"SMBIOSBIOSVersion", "A12"}}, "Version:"), "None");
}

TEST(BiosGroup, NothingReadableAndItsFourQueries) {
    GroupRun run = runGroup(SnapshotBuilder(), moravel::biosGroup);
    for (const char* label : {"Manufacturer:", "Description:", "Version:", "Release Date:"})
        EXPECT_EQ(run.text(label), "None") << label;
    EXPECT_EQ(run.queries, 4);
}

TEST(OsGroup, AWholeSystem) {
    SnapshotBuilder machine;
    machine.add("Win32_OperatingSystem", {{"Caption", "Microsoft Windows 7 Professional "},
                                          {"OSArchitecture", "64-bit"},
                                          {"SerialNumber", "00371-OEM-8992671-00524"},
                                          {"Version", "6.1.7601"},
                                          {"CSDVersion", "Service Pack 1"},
                                          {"LastBootUpTime", "20131004081530.500000+120"}});
    GroupRun run = runGroup(machine, moravel::osGroup);
    EXPECT_EQ(run.text("Name:"), "Microsoft Windows 7 Professional  ( 64-bit )");
    EXPECT_EQ(run.text("Product ID:"), "00371-OEM-8992671-00524");
    EXPECT_EQ(run.text("Version:"), "6.1.7601 ( Service Pack 1 )");
    EXPECT_EQ(run.text("Last BootUp Time:"), "2013-10-04 08:15:30");
    EXPECT_EQ(run.reads,
              (std::vector<std::string>{"Win32_OperatingSystem.Caption", "Win32_OperatingSystem.OSArchitecture",
                                        "Win32_OperatingSystem.SerialNumber", "Win32_OperatingSystem.Version",
                                        "Win32_OperatingSystem.CSDVersion", "Win32_OperatingSystem.LastBootUpTime"}));
}

TEST(OsGroup, NameNeedsFourCharactersAndShowsALongerArchitecture) {
    EXPECT_EQ(osField({{"Caption", "Win"}, {"OSArchitecture", "64-bit"}}, "Name:"), "None");
    EXPECT_EQ(osField({{"Caption", ""}}, "Name:"), "None");
    EXPECT_EQ(osField({{"Caption", nullptr}}, "Name:"), "Null");
    EXPECT_EQ(osField({{"Caption", "Wind"}, {"OSArchitecture", "6"}}, "Name:"), "Wind");
    EXPECT_EQ(osField({{"Caption", "Wind"}, {"OSArchitecture", "64"}}, "Name:"), "Wind ( 64 )");
    EXPECT_EQ(osField({{"Caption", "Wind"}, {"OSArchitecture", nullptr}}, "Name:"), "Wind ( Null )");
    EXPECT_EQ(osField({{"Caption", "Wind"}}, "Name:"), "Wind");
}

TEST(OsGroup, ShortTextsBecomeNone) {
    EXPECT_EQ(osField({{"SerialNumber", "123"}}, "Product ID:"), "None");
    EXPECT_EQ(osField({{"SerialNumber", "1234"}}, "Product ID:"), "1234");
    EXPECT_EQ(osField({{"Version", "10.0.19045"}, {"CSDVersion", nullptr}}, "Version:"), "10.0.19045");
    EXPECT_EQ(osField({{"Version", "10.0.19045"}, {"CSDVersion", ""}}, "Version:"), "10.0.19045");
    EXPECT_EQ(osField({{"Version", "10.0.19045"}, {"CSDVersion", "null"}}, "Version:"), "10.0.19045 ( null )");
    EXPECT_EQ(osField({{"CSDVersion", "Service Pack 1"}}, "Version:"), "None");
    EXPECT_EQ(osField({{"LastBootUpTime", "20131004081530"}}, "Last BootUp Time:"), "2013-10-04 08:15:30");
    EXPECT_EQ(osField({{"LastBootUpTime", "2013100408153"}}, "Last BootUp Time:"), "None");
}

TEST(OsGroup, NothingReadableAndItsFourQueries) {
    GroupRun run = runGroup(SnapshotBuilder(), moravel::osGroup);
    for (const char* label : {"Name:", "Product ID:", "Version:", "Last BootUp Time:"})
        EXPECT_EQ(run.text(label), "None") << label;
    EXPECT_EQ(run.queries, 4);
}
