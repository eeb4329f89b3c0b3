// moravel-report --compare: pairs of snapshots, a hidden side, the JSON form, the one read of a
// machine, and the items matched by identity.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "cli/run.h"
#include "compare/compare.h"
#include "compare/keyed_hash.h"
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

Json workstation() { return machine("workstation.json"); }

const std::string kArrow = " \xE2\x86\x92 ";

// The status follows diff and cmp, but values that change by themselves never make two
// machines differ; a firmware update is one line, not four.
TEST(Compare, StatusAndTheFirstLineSayWhatDiffers) {
    const std::string plain = dataFile("workstation.json");
    Outcome same = report({"--compare", plain, plain});
    EXPECT_EQ(same.status, 0);
    EXPECT_EQ(same.out, "No differences.\n");

    Json later = workstation();
    later["memoryStatus"] = {{"memoryLoad", 45}, {"availPhys", 9395240960}};
    later["classes"]["Win32_OperatingSystem"][0]["LastBootUpTime"] = "20240507090000.000000+120";
    const std::string laterFile = saved(later, "later");
    Outcome run = report({"--compare", plain, laterFile});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "No differences in hardware; expected to change:\n"
                       "  System / Available Memory: 38485 MB   ( In Use: 41% )" +
                           kArrow +
                           "8960 MB   ( In Use: 45% )\n"
                           "  OS / Last BootUp Time: 2024-05-02 08:15:30" +
                           kArrow + "2024-05-07 09:00:00\n");
    run = report({"--compare", plain, laterFile, "--hardware-only"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "No differences in hardware.\n");

    Json updated = workstation();
    updated["classes"]["Win32_BIOS"][0]["SMBIOSBIOSVersion"] = "N3YET70W (1.45 )";
    updated["classes"]["Win32_BIOS"][0]["ReleaseDate"] = "20240812000000.000000+000";
    updated["classes"]["Win32_OperatingSystem"][0]["Version"] = "10.0.22635";
    updated["classes"]["Win32_OperatingSystem"][0]["BuildNumber"] = "22635";
    const std::string updatedFile = saved(updated, "updated");
    run = report({"--compare", plain, updatedFile});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "Firmware / Version: N3YET62W (1.37 )" + kArrow + "N3YET70W (1.45 ); Release date: 2024-03-08" +
                           kArrow +
                           "2024-08-12\n"
                           "Drivers and operating system:\n"
                           "  Operating system / Version: 10.0.22631" +
                           kArrow + "10.0.22635; Build: 22631" + kArrow + "22635\n");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(report({"--compare", plain, updatedFile, "--hardware-only"}).status, 1)
        << "the firmware is the machine's";

    // The adapters and their configurations listed the other way round: the same machine.
    Json reordered = machine("desktop.json");
    for (const char* name : {"Win32_NetworkAdapter", "Win32_NetworkAdapterConfiguration"}) {
        Json& list = reordered["classes"][name];
        std::reverse(list.begin(), list.end());
    }
    EXPECT_EQ(report({"--compare", dataFile("desktop.json"), saved(reordered, "reordered")}).status, 0);

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

// Software installed, removed and updated: its own section after the hardware, never a part
// replaced, and nothing at all with --hardware-only.
TEST(Compare, InstalledSoftwareHasASectionOfItsOwn) {
    Json after = workstation();
    Json& programs = after["classes"]["Moravel_InstalledSoftware"];
    for (Json& program : programs)
        if (program["Name"] == "7-Zip 23.01 (x64)") program["Version"] = "24.08";
    programs.erase(std::find_if(programs.begin(), programs.end(), [](const Json& p) { return p["Name"] == "VLC media player"; }));
    programs.push_back({{"Name", "LibreOffice 24.2"}, {"Version", "24.2.5.2"}, {"Architecture", "x86_64"}, {"Source", "registry"}});
    after["classes"]["Win32_QuickFixEngineering"].push_back({{"HotFixID", "KB5040442"}, {"Description", "Security Update"}});
    const std::string before = dataFile("workstation.json"), changed = saved(after, "software");

    Outcome run = report({"--compare", before, changed});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "No differences in hardware.\n"
                       "Installed software:\n"
                       "  Program 7-Zip 23.01 (x64) / Version: 23.01" + kArrow + "24.08\n"
                       "  Program VLC media player: removed\n"
                       "  Program KB5040442: added\n"
                       "  Program LibreOffice 24.2: added\n");
    const Json document = Json::parse(report({"--compare", before, changed, "--json"}).out);
    EXPECT_EQ(document["installedSoftware"]["items"].size(), 4u);
    EXPECT_EQ(document["installedSoftware"]["items"][1],
              Json::parse(R"({"kind":"Program","name":"VLC media player","change":"removed","properties":[
                  {"label":"Version","text":"3.0.21"},{"label":"Publisher","text":"VideoLAN"},
                  {"label":"Architecture","text":"x86_64"}]})"));
    EXPECT_TRUE(document["changed"]["items"].empty());

    run = report({"--compare", before, changed, "--hardware-only"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "No differences in hardware.\n");
    EXPECT_FALSE(Json::parse(report({"--compare", before, changed, "--json", "--hardware-only"}).out)
                     .contains("installedSoftware"));
}

// A snapshot saved before the inventory was recorded against a machine with three modules
// removed and a monitor added: what was compared is equal, and the text says no more than that.
TEST(Compare, WhatASideDoesNotRecordIsNamedNeverDropped) {
    Json older = workstation();
    for (const char* name : {"Win32_PhysicalMemory", "WmiMonitorID", "WmiMonitorBasicDisplayParams"})
        older["classes"].erase(name);
    Json changed = workstation();
    Json& modules = changed["classes"]["Win32_PhysicalMemory"];
    modules.erase(modules.begin() + 1, modules.end());
    Json monitor = changed["classes"]["WmiMonitorID"][0];
    monitor["InstanceName"] = "DISPLAY\\DEL4321\\5&1&UID999_0";
    monitor["SerialNumberID"] = {{"vt", 8195}, {"value", {57, 57, 57}}};
    changed["classes"]["WmiMonitorID"].push_back(monitor);
    const std::string olderFile = saved(older, "older"), changedFile = saved(changed, "fewer-modules");

    Outcome run = report({"--compare", olderFile, changedFile});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "No differences in what was compared.\n"
                       "Not compared: memory modules, monitors (the older snapshot does not record them)\n");
    const Json document = Json::parse(report({"--compare", olderFile, changedFile, "--json"}).out);
    EXPECT_FALSE(document["differs"]);
    EXPECT_EQ(
        document["notCompared"]["kinds"],
        Json::parse(R"([{"kind":"Memory module","notRecordedBy":"old"},{"kind":"Monitor","notRecordedBy":"old"}])"));
    run = report({"--compare", changedFile, olderFile, "--hardware-only"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "No differences in what was compared.\n"
                       "Not compared: memory modules, monitors (the newer snapshot does not record them)\n");

    // What both record still differs, and the sentence stays.
    changed["classes"]["Win32_BIOS"][0]["SMBIOSBIOSVersion"] = "N3YET70W (1.45 )";
    run = report({"--compare", olderFile, saved(changed, "fewer-modules-updated")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "Firmware / Version: N3YET62W (1.37 )" + kArrow +
                           "N3YET70W (1.45 )\n"
                           "Not compared: memory modules, monitors (the older snapshot does not record them)\n");
}

// Windows 7 left Win32_DiskDrive's serial number empty; Win32_PhysicalMedia holds it, under the
// disk's DeviceID as its Tag, in an order of its own.
TEST(Compare, ADiskSwapIsFoundThroughPhysicalMedia) {
    Json windows7 = workstation();
    Json& classes = windows7["classes"];
    for (Json& disk : classes["Win32_DiskDrive"]) disk.erase("SerialNumber");
    Json media = classes["Win32_PhysicalMedia"];
    classes["Win32_PhysicalMedia"] = {media[2], media[0], media[1]};
    const std::string before = saved(windows7, "windows7");
    EXPECT_EQ(
        Json::parse(report({"--compare", before, dataFile("workstation.json"), "--json"}).out)["changed"]["items"],
        Json::array())
        << "the serial numbers joined by Tag are the disks' own";

    classes["Win32_PhysicalMedia"][2]["SerialNumber"] = "S5GENG0N309999Z";
    const Outcome run = report({"--compare", before, saved(windows7, "windows7-swapped")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "Disk Samsung SSD 860 EVO M.2 1TB 932 GB (serial S5GENG0N301234T): replaced; Serial number: "
                       "S5GENG0N301234T" +
                           kArrow + "S5GENG0N309999Z\n");
}

// A serial number one side leaves empty cannot be compared: the comparison says so, and that
// only what it compared is equal; a value that moves by itself (an address) is not named.
TEST(Compare, AValueOneSideLeavesEmptyIsNamedNotCompared) {
    Json older = workstation();
    for (const char* name : {"Win32_DiskDrive", "Win32_PhysicalMedia"}) older["classes"][name][0].erase("SerialNumber");
    older["classes"]["Win32_NetworkAdapterConfiguration"][1]["IPAddress"] = Json::array();
    const std::string olderFile = saved(older, "no-serial");

    Outcome run = report({"--compare", olderFile, dataFile("workstation.json"), "--hardware-only"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "No differences in what was compared.\n"
                       "Empty on one side, not compared:\n"
                       "  Disk SAMSUNG MZVL21T0HCLR-00BL7 954 GB / Serial number\n");
    const Json document = Json::parse(report({"--compare", dataFile("workstation.json"), olderFile, "--json"}).out);
    EXPECT_FALSE(document["differs"]);
    EXPECT_EQ(document["notCompared"]["items"][0]["properties"],
              Json::parse(R"([{"label": "Serial number", "notRecordedBy": "new"}])"));

    older["classes"]["Win32_DiskDrive"][1]["Model"] = "WDC WD20EZAZ-00L9GB0";  // and a disk told apart
    run = report({"--compare", saved(older, "no-serial-other-model"), dataFile("workstation.json"), "--hardware-only"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("Empty on one side, not compared:\n  Disk SAMSUNG"), std::string::npos) << run.out;
}

// The same machine with its USB stick gone, a container network more and a newer graphics
// driver: its hardware is as it was.
TEST(Compare, HardwareOnlyIsTheMachinesOwnHardware) {
    Json later = workstation();
    Json& classes = later["classes"];
    for (const char* name : {"Win32_DiskDrive", "Win32_PhysicalMedia"}) classes[name].erase(2);
    classes["Win32_LogicalDisk"].erase(2);
    classes["Win32_NetworkAdapter"].push_back({{"Index", 5},
                                               {"InterfaceIndex", 31},
                                               {"Name", "Hyper-V Virtual Ethernet Adapter"},
                                               {"NetConnectionID", "vEthernet (Docker)"},
                                               {"AdapterType", "Ethernet 802.3"},
                                               {"MACAddress", "00:15:5D:4A:7B:01"},
                                               {"PhysicalAdapter", false},
                                               {"PNPDeviceID", "ROOT\\VMS_MP\\0001"}});
    classes["MSFT_NetAdapter"].push_back({{"InterfaceIndex", 31}, {"Virtual", true}, {"HardwareInterface", false}});
    later["adapters"].push_back("00-15-5D-4A-7B-01");  // the last adapter: the MAC Address field shows it
    classes["Win32_VideoController"][1]["DriverVersion"] = "31.0.15.5222";
    const std::string laterFile = saved(later, "docker");

    Outcome run = report({"--compare", dataFile("workstation.json"), laterFile, "--hardware-only"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "No differences in hardware.\n");
    run = report({"--compare", dataFile("workstation.json"), laterFile});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "No differences in hardware.\n"
                       "Removable media and virtual adapters:\n"
                       "  Disk SanDisk Ultra USB Device 58680 MB (serial 4C530001231012115573): removed\n"
                       "  Network adapter Hyper-V Virtual Ethernet Adapter (MAC 00:15:5D:4A:7B:01): added\n"
                       "Drivers and operating system:\n"
                       "  Video adapter NVIDIA RTX 3500 Ada Generation Laptop GPU / Driver version: 31.0.15.3770" +
                           kArrow + "31.0.15.5222\n");
}

// A snapshot saved with --redact says nothing about what it hides: those values are not
// compared, and what it shows still is.
TEST(Compare, AHiddenSideIsUnknownNeverChanged) {
    const std::string plain = dataFile("desktop.json"), hidden = ::testing::TempDir() + "compare-hidden.json";
    report({"--redact", "--snapshot", plain, "--save-snapshot", hidden});
    // A saved snapshot lists the inventory's classes, empty or not; desktop.json does not.
    auto notCompared = [](const char* side) {
        return std::string("Not compared: memory modules, monitors, controllers, software (the ") + side +
               " snapshot does not record them)\n"
               "Hidden in a snapshot, not compared:\n"
               "  System / Computer Name\n  System / Domain\n  System / MAC Address\n"
               "  OS / Product ID\n  MotherBoard / Unique Serial No.\n  Drives / HDD Serial No.\n"
               "  Drives / USB Drive\n  Board / Serial number\n  Operating system / Product ID\n"
               "  Disk Samsung SSD 840 EVO 250GB 233 GB (serial (hidden)) / Serial number\n"
               "  Disk WDC WD10EZEX-00BN5A0 ATA Device 932 GB (serial (hidden)) / Serial number\n"
               "  Disk SanDisk Cruzer Blade USB Device 15264 MB (serial (hidden)) / Serial number\n"
               "  Network adapter WAN Miniport (IP) (MAC XX:XX:XX:XX:XX:XX) / MAC address\n"
               "  Network adapter Realtek PCIe GBE Family Controller (MAC XX:XX:XX:XX:XX:XX) / MAC address\n";
    };
    EXPECT_EQ(report({"--compare", hidden, plain}).out,
              "No differences in what was compared.\n" + notCompared("newer"));
    EXPECT_EQ(report({"--compare", plain, hidden}).status, 0);

    Json other = desktop();
    other["classes"]["Win32_ComputerSystem"][0]["Name"] = "DESK-8";
    other["classes"]["Win32_PhysicalMedia"][1]["SerialNumber"] = "WD-OTHER";
    other["classes"]["Win32_BIOS"][0]["SMBIOSBIOSVersion"] = "P2.40";
    const std::string otherHidden = ::testing::TempDir() + "compare-other-hidden.json";
    report({"--redact", "--snapshot", saved(other, "other"), "--save-snapshot", otherHidden});
    const Outcome run = report({"--compare", plain, otherHidden});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "Firmware / Version: P2.30" + kArrow + "P2.40\n" + notCompared("older"))
        << "what the hidden side shows is compared";

    // Output hidden on request still compares the values as read.
    const Outcome redacted = report({"--compare", plain, saved(other, "other"), "--redact", "--hardware-only"});
    EXPECT_NE(redacted.out.find("Disk WDC WD10EZEX-00BN5A0 ATA Device 932 GB (serial (hidden)): replaced; Serial "
                                "number: (hidden)" +
                                kArrow + "(hidden)\n"),
              std::string::npos)
        << redacted.out;
    EXPECT_EQ(redacted.out.find("WD-"), std::string::npos);
    EXPECT_EQ(redacted.out.find("DESK-"), std::string::npos);
}

// The workstation describes its memory modules, disks and adapters with serial numbers and MACs.
TEST(Compare, ItemsAreMatchedByIdentity) {
    const std::string plain = dataFile("workstation.json");
    Json swapped = workstation();
    Json& classes = swapped["classes"];
    classes["Win32_PhysicalMemory"][3].update(
        {{"SerialNumber", "2D4F6B00"}, {"Manufacturer", "Kingston"}, {"PartNumber", "KF556C40-16"}});
    Json disk = classes["Win32_DiskDrive"][0];
    disk.update({{"SerialNumber", "0025_38B1_31A2_9F01."}, {"Index", 3}, {"DeviceID", "\\\\.\\PHYSICALDRIVE3"}});
    classes["Win32_DiskDrive"].push_back(disk);
    classes["Win32_PhysicalMedia"].push_back(
        {{"SerialNumber", "0025_38B1_31A2_9F01."}, {"Tag", "\\\\.\\PHYSICALDRIVE3"}});
    const std::string swappedFile = saved(swapped, "swapped");
    const Outcome run = report({"--compare", plain, swappedFile});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "Memory module Controller1-ChannelB-DIMM0 16 GB DDR5 (serial 2D4F6A9C): replaced; Manufacturer: "
                       "SK Hynix" +
                           kArrow + "Kingston; Part number: HMCG78AGBSA095N" + kArrow +
                           "KF556C40-16; Serial "
                           "number: 2D4F6A9C" +
                           kArrow +
                           "2D4F6B00\n"
                           "Disk SAMSUNG MZVL21T0HCLR-00BL7 954 GB (serial 0025_38B1_31A2_9F01.): added\n");
    // Hidden, the maker and part number still say what differs.
    EXPECT_NE(report({"--compare", plain, swappedFile, "--redact"})
                  .out.find("(serial (hidden)): replaced; Manufacturer: SK Hynix" + kArrow +
                            "Kingston; Part number: HMCG78AGBSA095N" + kArrow + "KF556C40-16; Serial number: (hidden)" +
                            kArrow + "(hidden)\n"),
              std::string::npos);

    // Listed the other way round, the adapters are the same ones. (The window's MAC Address and
    // Network fields show the first Ethernet card listed, so their texts follow the order.)
    Json reordered = workstation();
    for (const char* name : {"Win32_NetworkAdapter", "Win32_NetworkAdapterConfiguration", "MSFT_NetAdapter"})
        std::reverse(reordered["classes"][name].begin(), reordered["classes"][name].end());
    const Json document = Json::parse(report({"--compare", plain, saved(reordered, "reordered"), "--json"}).out);
    EXPECT_EQ(document["changed"]["items"], Json::array());

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
        EXPECT_EQ(!field.contains("toldBy"),
                  text.find(field["group"].get<std::string>() + " / " + field["label"].get<std::string>() + " " +
                            field["old"].get<std::string>() + kArrow + field["new"].get<std::string>() + "\n") !=
                      std::string::npos)
            << field;  // a field the item tells is told once
    EXPECT_EQ(document["changed"]["fields"].size(), 6u);
    ASSERT_EQ(document["changed"]["items"].size(), 2u);
    for (const Json& item : document["changed"]["items"]) {
        EXPECT_EQ(item["change"], "replaced");
        EXPECT_NE(text.find(item["kind"].get<std::string>() + " " + item["name"].get<std::string>() + ": replaced"),
                  std::string::npos)
            << item;
    }
    EXPECT_EQ(document["expectedToChange"]["fields"].size(), 3u);
    EXPECT_FALSE(Json::parse(report({"--compare", seller, plain, "--json", "--hardware-only"}).out)
                     .contains("expectedToChange"));

    // A cell that holds the other of its two fields names both captions.
    const Json laptop = Json::parse(report({"--compare", plain, dataFile("laptop.json"), "--json"}).out);
    const Json& fields = laptop["changed"]["fields"];
    auto cell = std::find_if(fields.begin(), fields.end(),
                             [](const Json& f) { return f["group"] == "Other" && f["label"] == "Printer:"; });
    ASSERT_NE(cell, fields.end()) << laptop;
    EXPECT_EQ((*cell)["newLabel"], "Battery:");
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
    std::ostringstream discarded;
    QueryContext context{counted.get(), machine.probes.get(), &discarded};
    ReportCollector once;
    buildAllGroups(context, once);
    readInventory(counted.get(), machine.probes.get());
    const int oneReport = counter->reads;
    counter->reads = 0;
    const CompareSide side = CompareSide::fromMachine(*counted, *machine.probes, "this machine", discarded);
    EXPECT_EQ(counter->reads, oneReport);
    EXPECT_EQ(side.groups(kAsRead).size(), 8u);
}

TEST(CompareSmokeLive, TheMachineAgainstItsOwnSnapshotHasNoHardwareDifference) {
    const std::string file = ::testing::TempDir() + "compare-live.json";
    ASSERT_EQ(report({"--save-snapshot", file}).status, 0);
    for (const char* only : {"--hardware-only", "--json"}) {  // with moving values, then without
        const Outcome run = report({"--compare", file, only});
        EXPECT_EQ(run.status, 0) << run.out;
        if (only[2] == 'h') {
            EXPECT_EQ(run.out.rfind("No differences", 0), 0u) << run.out;
        }
    }
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
    EXPECT_EQ(textOf(comparison), "Memory module DIMM_A1: replaced\nDisk S3Z: added\n");
    ASSERT_EQ(comparison.items.size(), 2u);
    EXPECT_EQ(comparison.items[0].before, 0u);  // where each side lists it among its kind
    EXPECT_EQ(comparison.items[0].after, 0u);
    EXPECT_EQ(comparison.items[1].before, std::nullopt);
    EXPECT_EQ(comparison.items[1].after, 0u);

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
    EXPECT_EQ(textOf(comparison), "No differences in what was compared.\nHidden in a snapshot, not compared:\n"
                                  "  Memory module DIMM_A1 / Serial number\n");

    const InventoryItem fuller = item("Volume", "C:", {"C:"}, {{"Size", "250 GB"}, {"Free", "90 GB"}});
    InventoryItem emptier = fuller, held = fuller;
    emptier.properties[1].text = "80 GB";
    held.properties[1].text = "";
    comparison = compareSides(side({fuller}, false, {}, {held}), side({emptier}, false, {}, {held}), false);
    EXPECT_EQ(textOf(comparison),
              "No differences in hardware; expected to change:\n  Volume C: / Free: 90 GB \xE2\x86\x92 80 GB\n");
    EXPECT_FALSE(comparison.differs(false));
    EXPECT_EQ(textOf(comparison, true), "No differences in hardware.\n");
}

// What no key tells apart is paired in order within its kind; what is known to stand elsewhere
// is no replacement; the one item of a kind gone and the one come replace each other.
TEST(CompareItems, PairingWithoutKeysAndReplacements) {
    auto disk = [](const std::string& name, std::vector<std::string> identity, const std::string& size) {
        return item("Disk", name, std::move(identity), {{"Size", size}});
    };
    const InventoryItem module = item("Memory module", "M", {}, {{"Size", "8 GB"}});
    // Nothing tells these disks apart: the first two pair in order, the third went.
    Comparison comparison =
        compareSides(side({disk("A", {}, "1 TB"), module, disk("B", {}, "2 TB"), disk("C", {}, "3 TB")}),
                     side({module, disk("A", {}, "1 TB"), disk("B", {}, "4 TB")}), false);
    EXPECT_EQ(textOf(comparison), "Disk B / Size: 2 TB \xE2\x86\x92 4 TB\nDisk C: removed\n");

    // A serial on one side, the device on both: the device tells.
    comparison = compareSides(
        side({disk("A", {"serial 1", "device sda"}, "1 TB")}),
        side({disk("A", {"", "device sda"}, "1 TB"), disk("B", {"serial 2", "device sdb"}, "2 TB")}), false);
    EXPECT_EQ(textOf(comparison), "Disk B: added\n");

    // Another serial where one was is a replacement; another serial elsewhere is not.
    comparison = compareSides(
        side({disk("A", {"serial 1", "device sda"}, "1 TB"), disk("B", {"serial 2", "device sdb"}, "2 TB")}),
        side({disk("C", {"serial 3", "device sda"}, "1 TB"), disk("D", {"serial 4", "device sdc"}, "4 TB")}), false);
    EXPECT_EQ(textOf(comparison), "Disk A: replaced\nDisk B: removed\nDisk D: added\n");

    // The one monitor gone and the one come, whatever their places; a stick is no fixed disk.
    InventoryItem stick = disk("S", {"serial 9"}, "16 GB");
    stick.fixed = false;
    const InventoryItem dell = item("Monitor", "Dell", {"serial 1"}, {{"Model", "U2415"}});
    const InventoryItem lg = item("Monitor", "LG", {"serial 2"}, {{"Model", "27UL500"}});
    comparison = compareSides(side({dell, stick}), side({lg, disk("D", {"serial 4"}, "4 TB")}), false);
    EXPECT_EQ(textOf(comparison), "Monitor Dell: replaced; Model: U2415 \xE2\x86\x92 27UL500\nDisk D: added\n"
                                  "Removable media and virtual adapters:\n  Disk S: removed\n");
    EXPECT_TRUE(comparison.differs(true));
}

TEST(KeyedHash, SipHashReferenceValues) {
    // The key 00 01 ... 0f and the messages 00 01 ... of the algorithm's published vectors.
    const HashKey key{0x0706050403020100ull, 0x0f0e0d0c0b0a0908ull};
    const char bytes[] = "\x00\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0a\x0b\x0c\x0d\x0e";
    EXPECT_EQ(sipHash(std::string_view(), key), 0x726fdb47dd0e0e31ull);
    EXPECT_EQ(sipHash(std::string_view(bytes, 15), key), 0xa129ca6149be45e5ull);
    EXPECT_NE(keyedHash("serial 1"), keyedHash("serial 2"));
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
    EXPECT_NE(run.out.find("xpected to change:"), std::string::npos) << run.out;  // the first line or a heading
    EXPECT_NE(run.out.find("Power-on: 14,200 hours → 14,950 hours"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Holds: 71 % of its design capacity → 70 % of its design capacity"), std::string::npos);

    aged["classes"]["MSFT_PhysicalDisk"][0]["HealthStatus"] = 2;
    run = report({"--compare", before, saved(aged, "failing"), "--hardware-only"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("Health: OK → Failing"), std::string::npos) << run.out;
}

}  // namespace
}  // namespace moravel
