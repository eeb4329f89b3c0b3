#include <gtest/gtest.h>

#include "sections/sections.h"
#include "tests/support/snapshot_fixture.h"

using moravel::ReportSink;
using moravel::SharedValues;
using moravel::testing::GroupRun;
using moravel::testing::SnapshotBuilder;
using nlohmann::json;

namespace {

struct SystemRun {
    GroupRun run;
    std::string networkAdapterName;
};

SystemRun runSystem(const SnapshotBuilder& machine) {
    SystemRun result;
    SharedValues shared;
    result.run = moravel::testing::runGroup(machine, [&](moravel::QueryContext& context, ReportSink& sink) {
        moravel::systemGroup(context, sink, shared);
    });
    result.networkAdapterName = shared.networkAdapterName;
    return result;
}

std::string systemField(const SnapshotBuilder& machine, const std::string& label) {
    return runSystem(machine).run.text(label);
}

SnapshotBuilder withComputerSystem(json properties) {
    SnapshotBuilder machine;
    machine.add("Win32_ComputerSystem", std::move(properties));
    return machine;
}

std::string typeOf(json model, json maker) {
    json properties = {{"SystemType", "x64-based PC"}};
    if (!model.is_null()) properties["Model"] = model;
    if (!maker.is_null()) properties["Manufacturer"] = maker;
    return systemField(withComputerSystem(properties), "Type:");
}

std::string memoryOf(json endingAddress, json totalPhysicalMemory = nullptr) {
    SnapshotBuilder machine;
    machine.add("Win32_MemoryArray", {{"EndingAddress", endingAddress}});
    if (!totalPhysicalMemory.is_null())
        machine.add("Win32_ComputerSystem", {{"TotalPhysicalMemory", totalPhysicalMemory}});
    return systemField(machine, "Memory:");
}

// The reads of the MAC Address search: everything from the first adapter read on.
std::vector<std::string> adapterSearch(const GroupRun& run) {
    auto first = run.reads.begin();
    while (first != run.reads.end() && first->rfind("Win32_NetworkAdapter", 0) != 0) ++first;
    return {first, run.reads.end()};
}

json adapter(const std::string& type, const std::string& maker, const std::string& name) {
    return {{"AdapterType", type}, {"Manufacturer", maker}, {"Name", name}};
}

}  // namespace

TEST(SystemGroup, ComputerNameFromTheOpticalDriveElseFromTheComputerSystem) {
    SnapshotBuilder machine = withComputerSystem({{"PrimaryOwnerName", "Ana Souza"}, {"Name", "DESK-7"}});
    SystemRun system = runSystem(machine);
    EXPECT_EQ(system.run.text("Computer Name:"), "DESK-7  ( Owner Name: Ana Souza )");
    EXPECT_EQ(std::vector<std::string>(system.run.reads.begin(), system.run.reads.begin() + 3),
              (std::vector<std::string>{"Win32_CDROMDrive", "Win32_ComputerSystem.PrimaryOwnerName",
                                        "Win32_ComputerSystem.Name"}));  // no drive object at all

    // A drive that answers wins, and the computer system's name is not asked for.
    machine.add("Win32_CDROMDrive", {{"SystemName", "DRIVE-NAME"}});
    system = runSystem(machine);
    EXPECT_EQ(system.run.text("Computer Name:"), "DRIVE-NAME  ( Owner Name: Ana Souza )");
    EXPECT_EQ(system.run.reads.at(2), "Win32_ComputerSystem.SystemType");

    EXPECT_EQ(systemField(withComputerSystem({{"Name", "DESK-7"}}), "Computer Name:"), "DESK-7  ( Owner Name:  )");
    EXPECT_EQ(systemField(withComputerSystem({{"PrimaryOwnerName", "Ana Souza"}}), "Computer Name:"), "None");
    EXPECT_EQ(systemField(withComputerSystem({{"Name", ""}, {"PrimaryOwnerName", ""}}), "Computer Name:"), "None");
}

TEST(SystemGroup, TypeLeavesOutTheBoardMakersPlaceholders) {
    EXPECT_EQ(typeOf("OptiPlex 7010", "Dell Inc."), "x64-based PC ( Model: OptiPlex 7010 ) - Dell Inc.");
    EXPECT_EQ(typeOf("To be filled by O.E.M.", "To Be Filled By O.E.M."), "x64-based PC");
    EXPECT_EQ(typeOf("To Be Filled By O.E.M.", "To be filled by O.E.M."), "x64-based PC");
    EXPECT_EQ(typeOf("TO BE FILLED BY O.E.M.", "to be filled by o.e.m."),
              "x64-based PC ( Model: TO BE FILLED BY O.E.M. ) - to be filled by o.e.m.");
    EXPECT_EQ(typeOf(nullptr, nullptr), "x64-based PC");
    EXPECT_EQ(typeOf(nullptr, "ASUS"), "x64-based PC - ASUS");
    EXPECT_EQ(typeOf("Null", nullptr), "x64-based PC ( Model: Null )");
    EXPECT_EQ(systemField(withComputerSystem({{"Model", "X"}, {"Manufacturer", "Y"}}), "Type:"), "None");
}

TEST(SystemGroup, InstalledMemoryIsTheEndingAddressInWholeGigabytes) {
    EXPECT_EQ(memoryOf("8388608"), "8 GB");
    EXPECT_EQ(memoryOf("9437184"), "8 GB");    // reads 9, shown as 8
    EXPECT_EQ(memoryOf("18874368"), "16 GB");  // reads 18, shown as 16
    EXPECT_EQ(memoryOf("1572864"), "2 GB");    // 1.5 rounds up
    EXPECT_EQ(memoryOf("1572863"), "1 GB");
    EXPECT_EQ(memoryOf("19922944"), "19 GB");  // only 9 and 18 are corrected
    EXPECT_EQ(memoryOf("10485760"), "10 GB");
    EXPECT_EQ(memoryOf(" 4194304 KB"), "4 GB");
    EXPECT_EQ(memoryOf("Null", "8589934592"), "0 GB   ( Useable: 8192 MB )");
    EXPECT_EQ(memoryOf("", "8589934592"), "None");
}

TEST(SystemGroup, UsableMemoryRoundsHalfMebibytesUp) {
    EXPECT_EQ(memoryOf("8388608", "8590458880"), "8 GB   ( Useable: 8193 MB )");  // 8192.5
    EXPECT_EQ(memoryOf("8388608", "8590457856"), "8 GB   ( Useable: 8192 MB )");  // 8192.499
    EXPECT_EQ(memoryOf("16777216", "17059287040"), "16 GB   ( Useable: 16269 MB )");
    // Single precision: 8590458879 becomes 8590458880 before scaling, so it rounds up too.
    EXPECT_EQ(memoryOf("8388608", "8590458879"), "8 GB   ( Useable: 8193 MB )");
    EXPECT_EQ(memoryOf("8388608", "Null"), "8 GB   ( Useable: 0 MB )");
}

TEST(SystemGroup, AvailableMemoryAlwaysShowsTheLoad) {
    SnapshotBuilder machine;
    machine.memory(45, 2048ull << 20);
    EXPECT_EQ(systemField(machine, "Available Memory:"), "2048 MB   ( In Use: 45% )");
    machine.memory(7, (5ull << 30) + (1 << 20) - 1);
    EXPECT_EQ(systemField(machine, "Available Memory:"), "5120 MB   ( In Use: 7% )");
}

TEST(SystemGroup, DomainOrNone) {
    EXPECT_EQ(systemField(withComputerSystem({{"Domain", "WORKGROUP"}}), "Domain:"), "WORKGROUP");
    EXPECT_EQ(systemField(withComputerSystem({{"Domain", ""}}), "Domain:"), "None");
}

TEST(SystemGroup, MacAddressOfTheFirstRealEthernetCard) {
    SnapshotBuilder machine;
    machine.add("Win32_NetworkAdapter",
                adapter("Ethernet 802.3", "Microsoft", "Microsoft Kernel Debug Network Adapter"));
    machine.add("Win32_NetworkAdapter", adapter("Ethernet 802.3", "BitDefender LLC", "Bitdefender Firewall"));
    machine.add("Win32_NetworkAdapter", adapter("Wireless", "Intel Corporation", "Intel(R) Wi-Fi 6 AX201"));
    machine.add("Win32_NetworkAdapter", adapter("Ethernet 802.3", "Intel Corporation", "Intel(R) Ethernet I219-V"));
    machine.add("Win32_NetworkAdapter", adapter("Ethernet 802.3", "Realtek", "Realtek PCIe GbE"));
    for (const char* mac :
         {"00:15:5D:00:00:01", "02:00:4C:4F:4F:50", "A0:B1:C2:D3:E4:F5", "00:1A:2B:3C:4D:5E", "11:22:33:44:55:66"})
        machine.add("Win32_NetworkAdapterConfiguration", {{"MACAddress", mac}});
    machine.adapters({{{0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F}}});

    SystemRun system = runSystem(machine);
    EXPECT_EQ(system.run.text("MAC Address:"), "00:1A:2B:3C:4D:5E");
    EXPECT_EQ(system.networkAdapterName, "Intel(R) Ethernet I219-V");
    const std::vector<std::string> search = adapterSearch(system.run);
    EXPECT_EQ(search.size(), 2u * 4 + 2);  // a match at position 3 ends the search
    EXPECT_EQ(search.back(), "Win32_NetworkAdapterConfiguration.MACAddress");
}

TEST(SystemGroup, AnEmptyMakerDoesNotExcludeAnAdapter) {
    SnapshotBuilder machine;
    machine.add("Win32_NetworkAdapter", {{"AdapterType", "Ethernet 802.3"}, {"Name", "virtio"}});
    machine.add("Win32_NetworkAdapterConfiguration", {{"MACAddress", "52:54:00:12:34:56"}});
    SystemRun system = runSystem(machine);
    EXPECT_EQ(system.run.text("MAC Address:"), "52:54:00:12:34:56");
    EXPECT_EQ(system.networkAdapterName, "virtio");
}

TEST(SystemGroup, WithoutAnEthernetCardTheSearchRunsAllFiftyPositions) {
    SnapshotBuilder machine;
    machine.add("Win32_NetworkAdapter", adapter("Wireless", "Intel Corporation", "Wi-Fi"));
    machine.add("Win32_NetworkAdapter", adapter("ethernet 802.3", "Realtek", "lower case type"));
    machine.add("Win32_NetworkAdapterConfiguration", {{"MACAddress", "A0:B1:C2:D3:E4:F5"}});
    machine.adapters({{{1, 2, 3, 4, 5, 6}}, {{7, 8, 9, 10, 11, 12}}, {{0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F}}});

    SystemRun system = runSystem(machine);
    EXPECT_EQ(system.run.text("MAC Address:"), "0A-0B-0C-0D-0E-0F");
    EXPECT_EQ(system.networkAdapterName, "No Ethernet 802.3 card found!");
    const std::vector<std::string> search = adapterSearch(system.run);
    ASSERT_EQ(search.size(), 100u);
    for (std::size_t i = 0; i < search.size(); i += 2) {  // also past the last adapter
        EXPECT_EQ(search[i], "Win32_NetworkAdapter.AdapterType");
        EXPECT_EQ(search[i + 1], "Win32_NetworkAdapter.Manufacturer");
    }
}

TEST(SystemGroup, AMatchWithoutAnAddressFallsBackToTheAdapterList) {
    SnapshotBuilder machine;
    machine.add("Win32_NetworkAdapter", adapter("Ethernet 802.3", "Intel Corporation", "Intel(R) 82574L"));
    machine.add("Win32_NetworkAdapterConfiguration", {{"MACAddress", nullptr}});
    machine.adapters({{{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}}});
    SystemRun system = runSystem(machine);
    EXPECT_EQ(system.run.text("MAC Address:"), "00-1A-2B-3C-4D-5E");
    EXPECT_EQ(system.networkAdapterName, "No Ethernet 802.3 card found!");

    SnapshotBuilder nothing;
    nothing.add("Win32_NetworkAdapter", adapter("Ethernet 802.3", "Intel Corporation", "Intel(R) 82574L"));
    nothing.add("Win32_NetworkAdapterConfiguration", {{"MACAddress", "1234"}});
    system = runSystem(nothing);
    EXPECT_EQ(system.run.text("MAC Address:"), "None");
    EXPECT_EQ(system.networkAdapterName, "No Ethernet 802.3 card found!");
}

TEST(SystemGroup, ReadsInOrderWithTheProgressPointAfterType) {
    SnapshotBuilder machine;
    machine.add("Win32_CDROMDrive", json::object());
    machine.add("Win32_ComputerSystem", {{"SystemType", "x64-based PC"}, {"TotalPhysicalMemory", "4294967296"}});
    machine.add("Win32_MemoryArray", {{"EndingAddress", "4194303"}});
    machine.add("Win32_NetworkAdapter", adapter("Ethernet 802.3", "Realtek", "Realtek PCIe GbE"));
    machine.add("Win32_NetworkAdapterConfiguration", {{"MACAddress", "11:22:33:44:55:66"}});

    SystemRun system = runSystem(machine);
    EXPECT_EQ(
        system.run.reads,
        (std::vector<std::string>{
            "Win32_CDROMDrive.SystemName", "Win32_ComputerSystem.PrimaryOwnerName", "Win32_ComputerSystem.Name",
            "Win32_ComputerSystem.SystemType", "Win32_ComputerSystem.Model", "Win32_ComputerSystem.Manufacturer",
            "Win32_MemoryArray.EndingAddress", "Win32_ComputerSystem.TotalPhysicalMemory",
            "Win32_ComputerSystem.Domain", "Win32_NetworkAdapter.AdapterType", "Win32_NetworkAdapter.Manufacturer",
            "Win32_NetworkAdapter.Name", "Win32_NetworkAdapterConfiguration.MACAddress"}));
    EXPECT_EQ(system.run.report.events,
              (std::vector<std::string>{
                  "group System", "field Computer Name:", "field Type:", "progress 0.25",
                  "field Memory:", "field Available Memory:", "field Domain:", "field MAC Address:", "end"}));
    const moravel::GroupRecord& group = system.run.report.groups.at(0);
    EXPECT_EQ(group.label, "System");
    EXPECT_EQ((std::vector<int>{group.x, group.y, group.w, group.h}), (std::vector<int>{10, 10, 705, 100}));
    EXPECT_EQ(group.fields.at(5).x, 460);
    EXPECT_EQ(group.fields.at(5).y, 85);
}

TEST(SystemGroup, AnEmptyMachineCostsOneHundredAndSixQueries) {
    SystemRun system = runSystem(SnapshotBuilder());
    EXPECT_EQ(system.run.queries, 106);
    EXPECT_EQ(system.run.text("Computer Name:"), "None");
    EXPECT_EQ(system.run.text("Type:"), "None");
    EXPECT_EQ(system.run.text("Memory:"), "None");
    EXPECT_EQ(system.run.text("Domain:"), "None");
    EXPECT_EQ(system.run.text("MAC Address:"), "None");
    EXPECT_EQ(system.networkAdapterName, "No Ethernet 802.3 card found!");
}
