// moravel-report --compare: pairs of snapshots, a hidden side, the JSON form, the one read of a
// machine, and the items matched by identity.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "cli/run.h"
#include "compare/compare.h"
#include "inventory/read_inventory.h"
#include "query/snapshot/snapshot_provider.h"
#include "query/views/provider_tap.h"
#include "query/wmi_query.h"
#include "sections/sections.h"

namespace moravel {
namespace {

using Json = nlohmann::json;

struct Outcome {
    int status;
    std::string out, err;
};

Outcome report(const std::vector<std::string>& arguments) {
    std::ostringstream out, err;
    const int status = runReport(arguments, out, err);
    return {status, out.str(), err.str()};
}

std::string dataFile(const std::string& name) { return MORAVEL_SOURCE_DIR "/tests/data/" + name; }

Json machine(const std::string& name) {
    std::ifstream file(dataFile(name));
    return Json::parse(file);
}

Json desktop() { return machine("desktop.json"); }

// The machine written where a test can name it.
std::string saved(const Json& machine, const std::string& name) {
    const std::string path = ::testing::TempDir() + "compare-" + name + ".json";
    std::ofstream(path) << machine.dump(2);
    return path;
}

TEST(Compare, SnapshotPairsGiveExactlyWhatDiffersAndTheStatusOfDiff) {
    const std::string plain = dataFile("desktop.json");
    Outcome same = report({"--compare", plain, plain});
    EXPECT_EQ(same.status, 0);
    EXPECT_EQ(same.out, "No differences.\n");

    Json updated = desktop();
    updated["classes"]["Win32_BIOS"][0]["SMBIOSBIOSVersion"] = "P2.40";
    updated["classes"]["Win32_OperatingSystem"][0]["Version"] = "6.1.7602";
    Outcome run = report({"--compare", plain, saved(updated, "updated")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "BIOS / Version: ALASKA - 1072009 ( SM: P2.30 ) \xE2\x86\x92 ALASKA - 1072009 ( SM: P2.40 )\n"
                       "OS / Version: 6.1.7601 ( Service Pack 1 ) \xE2\x86\x92 6.1.7602 ( Service Pack 1 )\n"
                       "Firmware / Version: P2.30 \xE2\x86\x92 P2.40\n"
                       "Operating system / Version: 6.1.7601 \xE2\x86\x92 6.1.7602\n");
    EXPECT_EQ(run.err, "");

    Json later = desktop();
    later["memoryStatus"] = {{"memoryLoad", 45}, {"availPhys", 9395240960}};
    later["classes"]["Win32_OperatingSystem"][0]["LastBootUpTime"] = "20131007090000.000000+120";
    const std::string laterFile = saved(later, "later");
    run = report({"--compare", plain, laterFile});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out,
              "Expected to change:\n"
              "  System / Available Memory: 11182 MB   ( In Use: 31% ) \xE2\x86\x92 8960 MB   ( In Use: 45% )\n"
              "  OS / Last BootUp Time: 2013-10-04 08:15:30 \xE2\x86\x92 2013-10-07 09:00:00\n");
    run = report({"--compare", plain, laterFile, "--hardware-only"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "No differences.\n");

    // The adapters and their configurations listed the other way round: the same machine.
    Json reordered = desktop();
    for (const char* name : {"Win32_NetworkAdapter", "Win32_NetworkAdapterConfiguration"}) {
        Json& list = reordered["classes"][name];
        std::reverse(list.begin(), list.end());
    }
    EXPECT_EQ(report({"--compare", plain, saved(reordered, "reordered")}).status, 0);

    const std::string garbage = ::testing::TempDir() + "compare-garbage.json";
    std::ofstream(garbage) << "{\"classes\": [";
    for (const auto& arguments : {std::vector<std::string>{"--compare", garbage, plain},
                                  {"--compare", plain, garbage},
                                  {"--compare", plain + ".missing"}}) {
        run = report(arguments);
        EXPECT_EQ(run.status, 2) << arguments[1];
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    }
    EXPECT_EQ(report({"--hardware-only"}).status, 2);
    EXPECT_EQ(report({"--compare", plain, "--save-snapshot", garbage}).status, 2);
}

// A snapshot saved with --redact says nothing about what it hides: those values are not
// compared, and what it shows still is.
TEST(Compare, AHiddenSideIsUnknownNeverChanged) {
    const std::string plain = dataFile("desktop.json"), hidden = ::testing::TempDir() + "compare-hidden.json";
    report({"--redact", "--snapshot", plain, "--save-snapshot", hidden});
    const std::string notCompared =
        "Hidden in a snapshot, not compared:\n"
        "  System / Computer Name\n  System / Domain\n  System / MAC Address\n"
        "  OS / Product ID\n  MotherBoard / Unique Serial No.\n  Drives / HDD Serial No.\n"
        "  Drives / USB Drive\n  Board / Serial number\n  Operating system / Product ID\n"
        "  Network adapter WAN Miniport (IP) (MAC XX:XX:XX:XX:XX:XX) / MAC address\n"
        "  Network adapter Realtek PCIe GBE Family Controller (MAC XX:XX:XX:XX:XX:XX) / MAC address\n";
    EXPECT_EQ(report({"--compare", hidden, plain}).out, "No differences.\n" + notCompared);
    EXPECT_EQ(report({"--compare", plain, hidden}).status, 0);

    Json other = desktop();
    other["classes"]["Win32_ComputerSystem"][0]["Name"] = "DESK-8";
    other["classes"]["Win32_PhysicalMedia"][1]["SerialNumber"] = "WD-OTHER";
    other["classes"]["Win32_BIOS"][0]["SMBIOSBIOSVersion"] = "P2.40";
    const std::string otherHidden = ::testing::TempDir() + "compare-other-hidden.json";
    report({"--redact", "--snapshot", saved(other, "other"), "--save-snapshot", otherHidden});
    const Outcome run = report({"--compare", plain, otherHidden});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "BIOS / Version: ALASKA - 1072009 ( SM: P2.30 ) \xE2\x86\x92 ALASKA - 1072009 ( SM: P2.40 )\n"
                       "Firmware / Version: P2.30 \xE2\x86\x92 P2.40\n" +
                           notCompared)
        << "what the hidden side shows is compared";

    // Output hidden on request still compares the values as read.
    const Outcome redacted = report({"--compare", plain, saved(other, "other"), "--redact", "--hardware-only"});
    EXPECT_NE(redacted.out.find("Drives / HDD Serial No.: (hidden) \xE2\x86\x92 (hidden)\n"), std::string::npos)
        << redacted.out;
    EXPECT_EQ(redacted.out.find("WD-"), std::string::npos);
    EXPECT_EQ(redacted.out.find("DESK-"), std::string::npos);
}

// The workstation describes its memory modules, disks and adapters with serial numbers and MACs.
TEST(Compare, ItemsAreMatchedByIdentity) {
    const std::string plain = dataFile("workstation.json");
    Json swapped = machine("workstation.json");
    Json& classes = swapped["classes"];
    classes["Win32_PhysicalMemory"][3]["SerialNumber"] = "2D4F6B00";
    Json disk = classes["Win32_DiskDrive"][0];
    disk["SerialNumber"] = "0025_38B1_31A2_9F01.";
    disk["Index"] = 3;
    classes["Win32_DiskDrive"].push_back(disk);
    classes["Win32_PhysicalMedia"].push_back({{"SerialNumber", "0025_38B1_31A2_9F01."}});
    const Outcome run = report({"--compare", plain, saved(swapped, "swapped")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "Memory module Controller1-ChannelB-DIMM0 16 GB DDR5 (serial 2D4F6A9C): removed\n"
                       "Memory module Controller1-ChannelB-DIMM0 16 GB DDR5 (serial 2D4F6B00): added\n"
                       "Disk SAMSUNG MZVL21T0HCLR-00BL7 954 GB (serial 0025_38B1_31A2_9F01.): added\n");

    // Listed the other way round, the adapters are the same ones. (The window's MAC Address and
    // Network fields show the first Ethernet card listed, so their texts follow the order.)
    Json reordered = machine("workstation.json");
    for (const char* name : {"Win32_NetworkAdapter", "Win32_NetworkAdapterConfiguration", "MSFT_NetAdapter"})
        std::reverse(reordered["classes"][name].begin(), reordered["classes"][name].end());
    const Json document = Json::parse(report({"--compare", plain, saved(reordered, "reordered"), "--json"}).out);
    EXPECT_EQ(document["changed"]["items"], Json::array());

    // A snapshot saved before the inventory was recorded says nothing of modules or monitors.
    Json older = machine("workstation.json");
    for (const char* name : {"Win32_PhysicalMemory", "WmiMonitorID", "WmiMonitorBasicDisplayParams"})
        older["classes"].erase(name);
    EXPECT_EQ(report({"--compare", saved(older, "older"), plain}).out, "No differences.\n");

    // Hidden serial numbers and addresses: the slots and the devices' names match the items.
    const std::string hidden = ::testing::TempDir() + "compare-workstation-hidden.json";
    report({"--redact", "--snapshot", plain, "--save-snapshot", hidden});
    const Outcome unknown = report({"--compare", hidden, plain, "--hardware-only"});
    EXPECT_EQ(unknown.status, 0) << unknown.out;
    EXPECT_NE(
        unknown.out.find("  Memory module Controller0-ChannelA-DIMM0 16 GB DDR5 (serial (hidden)) / Serial number\n"),
        std::string::npos)
        << unknown.out;
}

TEST(Compare, JsonHoldsWhatTheTextSays) {
    const std::string seller = dataFile("desktop_seller.json"), plain = dataFile("desktop.json");
    const std::string text = report({"--compare", seller, plain}).out;
    const Outcome run = report({"--compare", seller, plain, "--json"});
    EXPECT_EQ(run.status, 1);
    const Json document = Json::parse(run.out);
    EXPECT_EQ(document["old"], seller);
    EXPECT_EQ(document["new"], plain);
    EXPECT_TRUE(document["differs"]);
    for (const Json& field : document["changed"]["fields"])
        EXPECT_NE(
            text.find(field["group"].get<std::string>() + " / " + field["label"].get<std::string>() + " " +
                      field["old"].get<std::string>() + " \xE2\x86\x92 " + field["new"].get<std::string>() + "\n"),
            std::string::npos)
            << field;
    EXPECT_EQ(document["changed"]["fields"].size(), 6u);
    EXPECT_EQ(document["expectedToChange"]["fields"].size(), 3u);
    EXPECT_FALSE(Json::parse(report({"--compare", seller, plain, "--json", "--hardware-only"}).out)
                     .contains("expectedToChange"));

    // A cell that holds the other of its two fields names both captions.
    const Json laptop = Json::parse(report({"--compare", plain, dataFile("laptop.json"), "--json"}).out);
    const Json& fields = laptop["changed"]["fields"];
    auto drive = std::find_if(fields.begin(), fields.end(),
                              [](const Json& f) { return f["group"] == "Drives" && f["label"] == "USB Drive:"; });
    ASSERT_NE(drive, fields.end());
    EXPECT_EQ((*drive)["newLabel"], "HDD Spec:");
}

// Counts the property reads that reach the machine.
class ReadCounter : public ProviderTap {
public:
    void valueRead(const std::string&, std::size_t, const std::string&, WmiValue&) override { ++reads; }
    int reads = 0;
};

TEST(Compare, TheMachineIsReadOnceLikeAReportAndAnInventory) {
    Backend machine = makeSnapshotBackend(dataFile("desktop.json"));
    auto counter = std::make_shared<ReadCounter>();
    std::unique_ptr<WmiProvider> counted = makeTappedProvider(*machine.provider, counter);
    {
        ScopedBackend installed(counted.get(), machine.probes.get());
        std::ostringstream discarded;
        DiagnosticsTo diagnostics(discarded);
        ReportCollector once;
        buildAllGroups(once);
        readInventory();
    }
    const int oneReport = counter->reads;
    counter->reads = 0;
    const CompareSide side = CompareSide::fromMachine(*counted, *machine.probes, "this machine");
    EXPECT_EQ(counter->reads, oneReport);
    EXPECT_EQ(side.view(kAsRead).groups.size(), 8u);
}

TEST(CompareSmokeLive, TheMachineAgainstItsOwnSnapshotHasNoHardwareDifference) {
    const std::string file = ::testing::TempDir() + "compare-live.json";
    ASSERT_EQ(report({"--save-snapshot", file}).status, 0);
    const Outcome run = report({"--compare", file, "--hardware-only"});
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(run.out.rfind("No differences.\n", 0), 0u) << run.out;
}

// ---- items --------------------------------------------------------------------------------

InventoryItem item(const std::string& kind, const std::string& name, std::vector<std::string> identity,
                   std::vector<ItemProperty> properties) {
    return {kind, name, std::move(identity), std::move(properties)};
}

// A side whose items read `asRead`, `hidden` with identifying values hidden and `steady` with
// values that change by themselves held still (each the same as read unless given).
CompareSide side(std::vector<InventoryItem> asRead, bool hides = false, std::vector<InventoryItem> hidden = {},
                 std::vector<InventoryItem> steady = {}) {
    if (hidden.empty()) hidden = asRead;
    if (steady.empty()) steady = asRead;
    std::vector<InventoryItem> both = hidden;  // hidden and steady never touch the same value here
    for (std::size_t i = 0; i < both.size() && i < steady.size(); ++i)
        for (std::size_t p = 0; p < both[i].properties.size(); ++p)
            if (steady[i].properties[p].text != asRead[i].properties[p].text)
                both[i].properties[p] = steady[i].properties[p];
    return CompareSide("side", hides,
                       {SideView{{}, asRead}, SideView{{}, hidden}, SideView{{}, steady}, SideView{{}, both}});
}

std::string textOf(const Comparison& comparison, bool hardwareOnly = false) {
    std::ostringstream text;
    writeTextComparison(comparison, hardwareOnly, text);
    return text.str();
}

TEST(CompareItems, MatchedByIdentityNotByPlace) {
    const InventoryItem moduleA = item("Memory module", "DIMM_A1", {"serial A1", "slot DIMM_A1"}, {{"Size", "8 GB"}});
    const InventoryItem moduleB = item("Memory module", "DIMM_A1", {"serial B2", "slot DIMM_A1"}, {{"Size", "8 GB"}});
    const InventoryItem wired =
        item("Network adapter", "Ethernet", {"MAC 00:1A:2B:3C:4D:5E"}, {{"Speed", "1000 Mb/s"}});
    const InventoryItem wireless = item("Network adapter", "Wi-Fi", {"MAC 0A:0B:0C:0D:0E:0F"}, {{"Speed", "300 Mb/s"}});
    const InventoryItem disk = item("Disk", "S3Z", {"serial S3Z"}, {{"Size", "500 GB"}});

    // A swapped module in the same slot, a new disk, the adapters listed the other way round.
    Comparison comparison =
        compareSides(side({moduleA, wired, wireless}), side({wireless, moduleB, wired, disk}), false);
    EXPECT_EQ(textOf(comparison), "Memory module DIMM_A1: removed\nMemory module DIMM_A1: added\nDisk S3Z: added\n");

    InventoryItem faster = wired;
    faster.properties[0].text = "100 Mb/s";
    comparison = compareSides(side({wired, wireless}), side({wireless, faster}), false);
    EXPECT_EQ(textOf(comparison), "Network adapter Ethernet / Speed: 1000 Mb/s \xE2\x86\x92 100 Mb/s\n");
    EXPECT_EQ(compareSides(side({wired, wireless}), side({wireless, wired}), false).items.size(), 0u);
}

TEST(CompareItems, HiddenValuesAreUnknownAndMovingValuesExpected) {
    // The hidden side's serial tells nothing: the slot matches the module, its serial is not compared.
    const InventoryItem plain =
        item("Memory module", "DIMM_A1", {"serial A1", "slot DIMM_A1"}, {{"Serial number", "A1"}});
    InventoryItem hidden =
        item("Memory module", "DIMM_A1", {"serial (hidden)", "slot DIMM_A1"}, {{"Serial number", "(hidden)"}});
    Comparison comparison = compareSides(side({hidden}, true), side({plain}, false, {hidden}), false);
    EXPECT_FALSE(comparison.differs(false));
    EXPECT_EQ(textOf(comparison),
              "No differences.\nHidden in a snapshot, not compared:\n  Memory module DIMM_A1 / Serial number\n");

    const InventoryItem fuller = item("Volume", "C:", {"C:"}, {{"Size", "250 GB"}, {"Free", "90 GB"}});
    InventoryItem emptier = fuller, held = fuller;
    emptier.properties[1].text = "80 GB";
    held.properties[1].text = "";
    comparison = compareSides(side({fuller}, false, {}, {held}), side({emptier}, false, {}, {held}), false);
    EXPECT_EQ(textOf(comparison), "Expected to change:\n  Volume C: / Free: 90 GB \xE2\x86\x92 80 GB\n");
    EXPECT_EQ(textOf(comparison, true), "No differences.\n");
}

}  // namespace
}  // namespace moravel

namespace moravel {
namespace {

// A disk ages and a battery wears between two snapshots of one machine: expected, not a change of
// the hardware; a disk that turns to failing is one.
TEST(CompareHealth, AgeingIsExpectedAndFailingIsAChange) {
    const std::string before = dataFile("workstation_health.json");
    Json aged = machine("workstation_health.json");
    aged["classes"]["MSFT_StorageReliabilityCounter"][0]["PowerOnHours"] = 14950;
    aged["classes"]["MSFT_PhysicalDisk"][1]["HealthStatus"] = 1;  // a warning
    aged["classes"]["BatteryFullChargedCapacity"][0]["FullChargedCapacity"] = 39900;
    Outcome run = report({"--compare", before, saved(aged, "aged"), "--hardware-only"});
    EXPECT_EQ(run.status, 0) << run.out;
    run = report({"--compare", before, saved(aged, "aged")});
    EXPECT_NE(run.out.find("Expected to change:"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("/ Power-on: 14,200 hours → 14,950 hours"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("/ Holds: 71 % of its design capacity → 70 % of its design capacity"), std::string::npos);

    aged["classes"]["MSFT_PhysicalDisk"][0]["HealthStatus"] = 2;
    run = report({"--compare", before, saved(aged, "failing"), "--hardware-only"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("/ Health: OK → Failing"), std::string::npos) << run.out;
}

}  // namespace
}  // namespace moravel
