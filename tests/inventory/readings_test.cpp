// The readings inventory servers show beside the hardware: the operating system's release, the
// hypervisor, the PCI bus, the accounts, the resolver and the antivirus products, from the
// recorded Windows workstation and from machines made for one rule each.
#include <gtest/gtest.h>

#include "compare/compare.h"
#include "inventory/read_inventory.h"
#include "query/snapshot/snapshot_provider.h"
#include "tests/support/snapshot_fixture.h"

namespace moravel {
namespace {

Inventory inventoryOfJson(const std::string& json) {
    Backend backend = makeSnapshotBackendFromJson(json, "test.json");
    return readInventory(backend.provider.get(), backend.probes.get());
}

Inventory inventoryOf(const testing::SnapshotBuilder& machine) { return inventoryOfJson(machine.json()); }

struct RecordedWorkstation : ::testing::Test {
    Backend backend = makeSnapshotBackend(std::string(MORAVEL_SOURCE_DIR) + "/tests/data/workstation.json");
    Inventory inventory = readInventory(backend.provider.get(), backend.probes.get());
};

TEST_F(RecordedWorkstation, ReleaseAsPeopleNameItAndTheKernelApart) {
    EXPECT_EQ(inventory.os.release, "11 23H2 (22631)");
    EXPECT_EQ(inventory.os.version, "10.0.22631");
    EXPECT_EQ(inventory.computer.vmSystem, "Physical");  // Windows on hardware no table knows as virtual
    EXPECT_EQ(inventory.computer.lastLoggedUser, "mvoss");
    EXPECT_EQ(inventory.processors.at(0).manufacturer, "Intel");
}

TEST_F(RecordedWorkstation, PciControllersButNoUsbDeviceAmongThem) {
    ASSERT_EQ(inventory.controllers.size(), 4u);
    const Controller& wifi = inventory.controllers[0];
    EXPECT_EQ(wifi.name, "Intel(R) Wi-Fi 6E AX211 160MHz");
    EXPECT_EQ(wifi.vendorId, "8086");
    EXPECT_EQ(wifi.productId, "7a70");
    EXPECT_EQ(wifi.subsystemId, "8086:0094");  // SUBSYS_00948086: the device's id, then its vendor's
    EXPECT_EQ(wifi.revision, "11");
    EXPECT_EQ(wifi.pciClass, "0280");
    EXPECT_EQ(wifi.type, "Network controller");  // no subclass name for 80: the base class
    EXPECT_EQ(wifi.driver, "Netwtw14");
    EXPECT_EQ(inventory.controllers[3].type, "Non-Volatile memory controller");
    EXPECT_EQ(inventory.controllers[1].driver, "");  // the host bridge runs on no service
    EXPECT_EQ(inventory.usbDevices.size(), 3u);
}

TEST_F(RecordedWorkstation, AccountsDnsAntivirusAndTrueDiskSizes) {
    ASSERT_EQ(inventory.localUsers.size(), 3u);
    EXPECT_EQ(inventory.localUsers[0].disabled, true);
    EXPECT_EQ(inventory.localUsers[2].id, "S-1-5-21-3623811015-3361044348-30300820-1001");
    EXPECT_EQ(inventory.localGroups.at(0).name, "Administrators");
    EXPECT_EQ(inventory.networkAdapters.at(0).dnsServers, (std::vector<std::string>{"192.168.10.1", "2001:db8::53"}));
    ASSERT_EQ(inventory.antivirus.size(), 2u);
    EXPECT_EQ(inventory.antivirus[0].company, "Microsoft Corporation");
    EXPECT_EQ(inventory.antivirus[0].enabled, true);
    EXPECT_EQ(inventory.antivirus[0].upToDate, true);
    EXPECT_EQ(inventory.antivirus[1].company, "");
    EXPECT_EQ(inventory.antivirus[1].enabled, false);
    EXPECT_EQ(inventory.antivirus[1].upToDate, false);
    EXPECT_EQ(inventory.disks.at(0).name, "\\\\.\\PHYSICALDRIVE0");  // Windows' own name stays
    EXPECT_EQ(inventory.disks.at(0).sizeBytes, 1024209543168u);
    EXPECT_EQ(inventory.networkAdapters.at(0).ipv6Prefixes, std::vector<unsigned>{64});
}

// A PCI card is compared by its ids: a replaced Wi-Fi card is one removed, one added.
TEST_F(RecordedWorkstation, ControllersAreComparedByTheirIds) {
    std::vector<std::string> identities;
    for (const InventoryItem& item : inventoryItems(inventory))
        if (item.kind == "Controller") identities.push_back(item.identity.at(0));
    ASSERT_EQ(identities.size(), 4u);
    EXPECT_EQ(identities[0], "PCI 8086:7a70 8086:0094");
    EXPECT_EQ(identities[1], "PCI 8086:a706 17aa:22d0");
}

TEST(WindowsRelease, TheReleaseItsFeatureUpdateAndItsBuild) {
    const struct {
        const char* caption;
        const char* build;
        const char* release;
    } cases[] = {{"Microsoft Windows 10 Pro", "19045", "10 22H2 (19045)"},
                 {"Microsoft Windows Server 2022 Standard", "20348", "2022 21H2 (20348)"},
                 {"Microsoft Windows Server 2012 R2 Standard", "9600", "2012 R2 (9600)"},
                 {"Microsoft Windows 7 Professional ", "7601", "7 (7601)"},
                 {"Microsoft Windows 11 Pro", "", "11"},
                 {"Windows", "26300", "(26300)"}};  // a build newer than the table
    for (const auto& c : cases) {
        testing::SnapshotBuilder machine;
        machine.add("Win32_OperatingSystem", {{"Caption", c.caption}, {"BuildNumber", c.build}, {"OSType", 18}});
        EXPECT_EQ(inventoryOf(machine).os.release, c.release) << c.caption;
    }
}

// The processor's word when the machine recorded one, else the firmware's names; Linux that
// names no hypervisor and no virtual model is not judged.
TEST(VmSystem, AsTheMachineToldItElseByItsModel) {
    auto vmSystem = [](const char* hypervisor, const char* maker, const char* model, int osType) {
        nlohmann::json document = nlohmann::json::parse(testing::SnapshotBuilder()
                                                            .add("Win32_ComputerSystem", {{"Manufacturer", maker}, {"Model", model}})
                                                            .add("Win32_OperatingSystem", {{"OSType", osType}})
                                                            .json());
        if (hypervisor) document["hypervisor"] = hypervisor;
        return inventoryOfJson(document.dump()).computer.vmSystem;
    };
    EXPECT_EQ(vmSystem("KVM", "QEMU", "Standard PC (Q35 + ICH9, 2009)", 36), "KVM");  // where agents say QEMU
    EXPECT_EQ(vmSystem("", "Dell Inc.", "OptiPlex 7090", 36), "Physical");
    EXPECT_EQ(vmSystem(nullptr, "Microsoft Corporation", "Virtual Machine", 18), "Hyper-V");
    EXPECT_EQ(vmSystem(nullptr, "VMware, Inc.", "VMware7,1", 18), "VMware");
    EXPECT_EQ(vmSystem(nullptr, "innotek GmbH", "VirtualBox", 18), "VirtualBox");
    EXPECT_EQ(vmSystem(nullptr, "LENOVO", "21FA002TGE", 18), "Physical");
    EXPECT_EQ(vmSystem(nullptr, "LENOVO", "21FA002TGE", 36), "");
}

TEST(ProcessorMaker, AsPeopleNameIt) {
    for (const auto& [vendor, maker] : {std::pair<const char*, const char*>{"AuthenticAMD", "AMD"},
                                        {"GenuineIntel", "Intel"},
                                        {"  Shanghai  ", "Zhaoxin"},
                                        {"ARM", "ARM"}}) {
        testing::SnapshotBuilder machine;
        machine.add("Win32_Processor", {{"Manufacturer", vendor}});
        EXPECT_EQ(inventoryOf(machine).processors.at(0).manufacturer, maker);
    }
}

}  // namespace
}  // namespace moravel
