// The software list of the inventory: the Windows workstation's uninstall records, updates and
// Store applications against the list the Programs list's rules give (make_windows_software.py
// writes both), the same list after a trip through a snapshot written elsewhere, and the
// dates and names as records word them.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "inventory/read_inventory.h"
#include "query/backend.h"
#include "query/installed_software.h"
#include "query/snapshot/snapshot_provider.h"
#include "query/snapshot/snapshot_writer.h"
#include "tests/support/snapshot_fixture.h"

namespace moravel {
namespace {

Inventory inventoryOf(const Backend& backend) { return readInventory(backend.provider.get(), backend.probes.get()); }

std::string sourceFile(const std::string& rel) { return std::string(MORAVEL_SOURCE_DIR) + "/tests/" + rel; }

// The list as the expected file writes it: one tab-separated line per program.
std::vector<std::string> lines(const std::vector<Software>& software) {
    std::vector<std::string> out;
    for (const Software& s : software)
        out.push_back(s.name + "\t" + s.version + "\t" + s.publisher + "\t" + s.installDate + "\t" + s.architecture +
                      "\t" + s.guid + "\t" + s.source + "\t" + s.category + "\t" + s.folder + "\t" +
                      (s.sizeBytes ? std::to_string(*s.sizeBytes) : ""));
    return out;
}

std::vector<std::string> expectedLines(const std::string& rel) {
    std::ifstream file(sourceFile(rel));
    std::vector<std::string> out;
    std::string line;
    std::getline(file, line);  // the header
    while (std::getline(file, line)) out.push_back(line);
    return out;
}

TEST(WindowsSoftware, TheWorkstationListsWhatItsProgramsListShows) {
    Backend workstation = makeSnapshotBackend(sourceFile("data/workstation.json"));
    const std::vector<std::string> expected = expectedLines("inventory/expected/workstation-software.tsv");
    ASSERT_EQ(expected.size(), 155u);  // 150 programs, 3 updates, 2 Store applications
    EXPECT_EQ(lines(inventoryOf(workstation).software), expected);
}

TEST(WindowsSoftware, ASnapshotWrittenFromItCarriesTheSameList) {
    Backend workstation = makeSnapshotBackend(sourceFile("data/workstation.json"));
    std::ostringstream copy;
    writeSnapshot(workstation.provider.get(), workstation.probes.get(), copy);
    Backend again = makeSnapshotBackendFromJson(copy.str(), "copy.json");
    EXPECT_EQ(lines(inventoryOf(again).software), lines(inventoryOf(workstation).software));
}

TEST(WindowsSoftware, DatesAsRecordsAndUpdatesWordThem) {
    testing::SnapshotBuilder machine;
    machine.add(kInstalledSoftwareClass, {{"Name", "Timed"}, {"InstallDate", "20240425010640.000000+120"}})
        .add(kInstalledSoftwareClass, {{"Name", "Dated"}, {"InstallDate", "20240425******.******+***"}})
        .add(kInstalledSoftwareClass, {{"Name", "Undated"}, {"InstallDate", "00000000******.******+***"}})
        .add(kInstalledSoftwareClass, {{"Name", "  "}})
        .add("Win32_QuickFixEngineering", {{"HotFixID", "KB1"}, {"InstalledOn", "01d2f6ae6e5ac3b0"}})
        .add("Win32_QuickFixEngineering", {{"HotFixID", "KB2"}, {"InstalledOn", "13/1/2024"}})
        .add("Win32_QuickFixEngineering", {{"HotFixID", "KB3"}, {"InstalledOn", "2/29/2024 "}})
        .add("Win32_QuickFixEngineering", {{"HotFixID", ""}})
        .add("Win32_InstalledStoreProgram", {{"Name", "App"}, {"Vendor", "Contoso"}});
    std::vector<Software> software = inventoryOf(makeSnapshotBackendFromJson(machine.json(), "x.json")).software;
    ASSERT_EQ(software.size(), 7u);
    EXPECT_EQ(software[0].name, "App");
    EXPECT_EQ(software[0].publisher, "Contoso");  // no certificate subject: as it is
    EXPECT_EQ(software[1].name + " " + software[1].installDate, "Dated 2024-04-25");
    EXPECT_EQ(software[2].name + " " + software[2].installDate, "KB1 ");
    EXPECT_EQ(software[3].name + " " + software[3].installDate, "KB2 ");
    EXPECT_EQ(software[4].name + " " + software[4].installDate, "KB3 2024-02-29");  // WMI's text is trimmed
    EXPECT_EQ(software[5].name + " " + software[5].installDate, "Timed 2024-04-25 01:06:40");
    EXPECT_EQ(software[6].name + " " + software[6].installDate, "Undated ");
}

}  // namespace
}  // namespace moravel
