// The inventory pass over recorded machines: every device listed with the right numbers.
#include <gtest/gtest.h>

#include "inventory/read_inventory.h"
#include "query/backend.h"
#include "query/snapshot/snapshot_provider.h"
#include "tests/support/snapshot_fixture.h"

namespace moravel {
namespace {

Inventory inventoryOf(Backend backend) { return readInventory(backend.provider.get(), backend.probes.get()); }

Inventory inventoryOfFile(const std::string& name) {
    return inventoryOf(makeSnapshotBackend(std::string(MORAVEL_SOURCE_DIR) + "/tests/data/" + name));
}

Inventory inventoryOf(const testing::SnapshotBuilder& machine) {
    return inventoryOf(makeSnapshotBackendFromJson(machine.json(), "test.json"));
}

struct Workstation : ::testing::Test {
    Inventory inventory = inventoryOfFile("workstation.json");
};

TEST_F(Workstation, IdentityTellsTheMachineApart) {
    const ComputerIdentity& computer = inventory.computer;
    EXPECT_EQ(computer.name, "WS-MVOSS");
    EXPECT_EQ(computer.domain, "");  // in a workgroup
    EXPECT_EQ(computer.workgroup, "WORKGROUP");
    EXPECT_EQ(computer.serialNumber, "PF4K2X7Q");
    EXPECT_EQ(computer.uuid, "8B3F1C2E-5A7D-11EE-9C4B-3C7F2E9A1D55");
    EXPECT_EQ(computer.chassisType, "Notebook");
    EXPECT_EQ(computer.assetTag, "IT-004211");
    EXPECT_EQ(computer.deviceId, "4f2a9c1e-7b3d-4e8a-9f61-2c5d8e0b7a13");
    EXPECT_EQ(computer.memoryBytes, 68400525312u);
    EXPECT_EQ(inventory.bios.releaseDate, "2024-03-08");
    EXPECT_EQ(inventory.board.serialNumber, "W1CG34K0123");
    EXPECT_EQ(inventory.os.kernelName, "windows");
    EXPECT_EQ(inventory.os.build, "22631");
    EXPECT_EQ(inventory.os.installDate, "2023-11-14 09:30:12");
    EXPECT_EQ(inventory.os.lastBoot, "2024-05-02 08:15:30");
    EXPECT_EQ(inventory.os.utcOffsetMinutes, 120);
    EXPECT_EQ(inventory.os.timeZoneName, "W. Europe Standard Time");
}

TEST_F(Workstation, ProcessorAndFourMemoryModules) {
    ASSERT_EQ(inventory.processors.size(), 1u);
    const Processor& cpu = inventory.processors[0];
    EXPECT_EQ(cpu.cores, 20u);
    EXPECT_EQ(cpu.threads, 28u);
    EXPECT_EQ(cpu.architecture, "x86_64");
    EXPECT_EQ(cpu.model, 183u);
    EXPECT_EQ(cpu.stepping, 1u);
    ASSERT_EQ(inventory.memoryModules.size(), 4u);
    std::uint64_t total = 0;
    for (const MemoryModule& module : inventory.memoryModules) {
        EXPECT_EQ(module.type, "DDR5");
        EXPECT_EQ(module.formFactor, "SODIMM");
        EXPECT_EQ(module.speedMts, 5600u);
        EXPECT_EQ(module.configuredSpeedMts, 5200u);
        total += module.capacityBytes.value_or(0);
    }
    EXPECT_EQ(total, 64ull << 30);
    EXPECT_EQ(inventory.memoryModules[2].slot, "Controller1-ChannelA-DIMM0");
    EXPECT_EQ(inventory.memoryModules[2].manufacturer, "SK Hynix");
    EXPECT_EQ(inventory.memoryModules[3].serialNumber, "2D4F6A9C");
}

TEST_F(Workstation, ThreeDisksByTheirBusAndFourFileSystems) {
    ASSERT_EQ(inventory.disks.size(), 3u);
    EXPECT_EQ(inventory.disks[0].bus, DiskBus::Nvme);
    EXPECT_EQ(inventory.disks[1].bus, DiskBus::Sata);
    EXPECT_EQ(inventory.disks[2].bus, DiskBus::Usb);
    EXPECT_FALSE(inventory.disks[0].removable);
    EXPECT_TRUE(inventory.disks[2].removable);
    EXPECT_EQ(inventory.disks[0].manufacturer, "");  // "(Standard disk drives)" is no maker
    EXPECT_EQ(inventory.disks[1].serialNumber, "S5GENG0N301234T");
    EXPECT_EQ(inventory.disks[2].sizeBytes, 61530439680u);  // MSFT_Disk's, not cut to whole cylinders
    ASSERT_EQ(inventory.volumes.size(), 4u);
    EXPECT_EQ(inventory.volumes[3].mountPoint, "Z:");
    EXPECT_EQ(inventory.volumes[3].source, "\\\\nas\\home");
    EXPECT_EQ(inventory.volumes[3].driveType, 4);
    EXPECT_EQ(inventory.volumes[0].freeBytes, 612354048000u);
}

TEST_F(Workstation, EthernetWifiAndVpnButNoHiddenMiniports) {
    ASSERT_EQ(inventory.networkAdapters.size(), 3u);
    const NetworkAdapter& ethernet = inventory.networkAdapters[0];
    const NetworkAdapter& wifi = inventory.networkAdapters[1];
    const NetworkAdapter& vpn = inventory.networkAdapters[2];
    EXPECT_EQ(ethernet.kind, AdapterKind::Ethernet);
    EXPECT_EQ(wifi.kind, AdapterKind::Wifi);
    EXPECT_TRUE(vpn.virtualAdapter);
    EXPECT_FALSE(wifi.virtualAdapter);
    EXPECT_EQ(wifi.name, "Wi-Fi");
    EXPECT_EQ(wifi.macAddress, "A4:C3:F0:6E:0F:C7");
    EXPECT_EQ(wifi.ipv4, std::vector<std::string>{"10.0.0.42"});
    EXPECT_EQ(wifi.ipv4Masks, std::vector<std::string>{"255.255.255.0"});
    EXPECT_EQ(wifi.ipv6, std::vector<std::string>{"fe80::a6c3:f0ff:fe6e:fc7"});
    EXPECT_EQ(wifi.gateways, std::vector<std::string>{"10.0.0.1"});
    EXPECT_EQ(wifi.dhcp, true);
    EXPECT_EQ(wifi.speedBitsPerSecond, 1201000000u);
    EXPECT_EQ(vpn.dhcp, false);
    EXPECT_EQ(ethernet.connected, true);
}

TEST_F(Workstation, GraphicsMonitorsAndAWornBattery) {
    ASSERT_EQ(inventory.videoAdapters.size(), 2u);
    EXPECT_EQ(inventory.videoAdapters[0].resolution, "2560x1600");
    EXPECT_EQ(inventory.videoAdapters[1].memoryBytes, 12ull << 30);  // beyond 32 bits
    EXPECT_EQ(inventory.videoAdapters[1].driverDate, "2023-10-12");
    ASSERT_EQ(inventory.monitors.size(), 2u);
    const Monitor& dell = inventory.monitors[0];
    EXPECT_EQ(dell.manufacturer, "Dell");
    EXPECT_EQ(dell.manufacturerId, "DEL");
    EXPECT_EQ(dell.model, "DELL U2723QE");
    EXPECT_EQ(dell.serialNumber, "7XJ2M34");
    EXPECT_EQ(dell.year, 2023u);
    EXPECT_EQ(dell.week, 12u);
    EXPECT_EQ(dell.widthCm, 60u);
    EXPECT_EQ(inventory.monitors[1].manufacturer, "LG Electronics");
    ASSERT_EQ(inventory.batteries.size(), 1u);
    const Battery& battery = inventory.batteries[0];
    EXPECT_EQ(battery.designCapacityMwh, 94000u);
    EXPECT_EQ(battery.fullChargeCapacityMwh, 71440u);
    EXPECT_EQ(battery.cycleCount, 412u);
    EXPECT_EQ(battery.chemistry, "Li-ion");
    EXPECT_EQ(battery.manufacturer, "SMP");
}

TEST_F(Workstation, PeripheralsAndUsbDevicesWithoutHubsOrInterfaces) {
    EXPECT_EQ(inventory.soundDevices.size(), 2u);
    ASSERT_EQ(inventory.printers.size(), 2u);
    EXPECT_EQ(inventory.printers[1].network, true);
    EXPECT_EQ(inventory.printers[1].resolution, "1200x1200");
    ASSERT_EQ(inventory.inputs.size(), 4u);
    EXPECT_EQ(inventory.inputs[0].interfaceType, "USB");
    EXPECT_EQ(inventory.inputs[1].interfaceType, "PS/2");
    EXPECT_EQ(inventory.inputs[3].pointingType, "Track Point");
    ASSERT_EQ(inventory.usbDevices.size(), 3u);
    EXPECT_EQ(inventory.usbDevices[1].vendorId, "0781");
    EXPECT_EQ(inventory.usbDevices[1].productId, "5581");
    EXPECT_EQ(inventory.usbDevices[1].serialNumber, "4C530001231012115573");
    EXPECT_EQ(inventory.usbDevices[0].serialNumber, "");  // made up by Windows, with "&"
}

TEST(InventoryPass, OlderSnapshotsGiveWhatTheyHold) {
    Inventory laptop = inventoryOfFile("laptop.json");
    EXPECT_EQ(laptop.computer.name, "LT-BOKAFOR");
    EXPECT_EQ(laptop.computer.domain, "corp.example.org");
    EXPECT_TRUE(laptop.memoryModules.empty());
    EXPECT_TRUE(laptop.monitors.empty());
    EXPECT_EQ(laptop.disks.size(), 1u);
    // Without PhysicalAdapter or a connection name, the adapters with an address count.
    EXPECT_EQ(laptop.networkAdapters.size(), 5u);
    EXPECT_EQ(laptop.videoAdapters[1].memoryBytes, 2147483648u);
}

TEST(InventoryPass, ValuesKeepTheirMeaningWhateverTheirType) {
    testing::SnapshotBuilder machine;
    machine
        .add("Win32_VideoController", {{"AdapterRAM", 4293918720u}})  // VT_I4 with its top bit set
        .add("Win32_OperatingSystem", {{"CurrentTimeZone", {{"vt", 2}, {"value", -300}}},
                                       {"OSType", 36},
                                       {"LastBootUpTime", "00000000000000.000000+000"}})
        .add("Win32_SystemEnclosure", {{"ChassisTypes", {{"vt", 8195}, {"value", {2, 3}}}}})
        .add("Win32_ComputerSystemProduct", {{"UUID", "FFFFFFFF-FFFF-FFFF-FFFF-FFFFFFFFFFFF"}})
        .add("Win32_DiskDrive", {{"Size", "not digits"},
                                 {"InterfaceType", "SCSI"},
                                 {"PNPDeviceID", "SCSI\\DISK&VEN_RED_HAT&PROD_VIRTIO\\1"}});
    Inventory inventory = inventoryOf(machine);
    EXPECT_EQ(inventory.videoAdapters[0].memoryBytes, 4293918720u);
    EXPECT_EQ(inventory.os.utcOffsetMinutes, -300);
    EXPECT_EQ(inventory.os.kernelName, "linux");
    EXPECT_EQ(inventory.os.lastBoot, "");                  // no such time
    EXPECT_EQ(inventory.computer.chassisType, "Desktop");  // "Unknown" passed over
    EXPECT_EQ(inventory.computer.uuid, "");
    EXPECT_EQ(inventory.disks[0].sizeBytes, std::nullopt);
    EXPECT_EQ(inventory.disks[0].bus, DiskBus::Virtual);
}

TEST(InventoryPass, AClassThatFailsLeavesOnlyItsPartEmpty) {
    std::string json = R"({"classes": {"Win32_ComputerSystem": [{"Name": "PC1"}],
                                       "Win32_PhysicalMemory": [{"Capacity": "8589934592"}]},
                           "failures": {"SELECT * FROM Win32_PhysicalMemory": {"step": "ExecQuery", "code": "0x80041010"},
                                        "SELECT * FROM WmiMonitorID": {"step": "ConnectServer", "code": "0x8004100E"}}})";
    Inventory inventory = inventoryOf(makeSnapshotBackendFromJson(json, "test.json"));
    EXPECT_EQ(inventory.computer.name, "PC1");
    EXPECT_TRUE(inventory.memoryModules.empty());
    EXPECT_TRUE(inventory.monitors.empty());
    EXPECT_EQ(readInventory(nullptr, nullptr).computer.name, "");
}

}  // namespace
}  // namespace moravel
