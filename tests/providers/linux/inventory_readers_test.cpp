// The inventory of a Linux machine: the workstation fixture (make_workstation.py) through the
// Linux provider, every device listed with the numbers its files give.
#include <gtest/gtest.h>

#include <sstream>

#include "export/glpi_json.h"
#include "export/ocs_xml.h"
#include "inventory/read_inventory.h"
#include "providers/linux/parsers/memory_modules.h"
#include "query/backend.h"
#include "query/snapshot/snapshot_provider.h"
#include "query/snapshot/snapshot_writer.h"
#include "tests/providers/linux/linux_fixture.h"

namespace moravel::lx::test {
namespace {

struct LinuxWorkstation : ::testing::Test {
    LinuxWorkstation() {
        machine.host.addresses = {{"enp0s31f6", "192.168.10.57", "255.255.255.0"},
                                  {"wlp0s20f3", "10.0.0.42", "255.255.255.0"},
                                  {"tun0", "10.8.0.5", "255.255.255.0"},
                                  {"enp0s31f6", "fe80::6e24:8ff:fe5a:3b21", "64"}};
        machine.host.rootBirth = 1700000000;  // 2023-11-14 22:13:20 UTC, two hours east in the fake zone
        machine.host.free = {{"/", 400000000000}, {"/data", 100000000000}};
        inventory = readInventory(&machine.provider(), machine.probes.get());
    }
    FixtureMachine machine{fixtureRoot("workstation")};
    Inventory inventory;
};

TEST_F(LinuxWorkstation, IdentityFromFirmwareAndSystem) {
    EXPECT_EQ(inventory.computer.name, "ws-linux");
    EXPECT_EQ(inventory.computer.serialNumber, "PF4K2X7Q");
    EXPECT_EQ(inventory.computer.uuid, "8b3f1c2e-5a7d-11ee-9c4b-3c7f2e9a1d55");
    EXPECT_EQ(inventory.computer.chassisType, "Notebook");
    EXPECT_EQ(inventory.computer.assetTag, "IT-004212");
    EXPECT_EQ(inventory.computer.deviceId, "7d3e5a1c9b2f4e6d8a0c1b3e5f7a9c2d");
    EXPECT_EQ(inventory.computer.workgroup, "WORKGROUP");
    EXPECT_EQ(inventory.os.kernelName, "linux");
    EXPECT_EQ(inventory.os.installDate, "2023-11-15 00:13:20");
    EXPECT_EQ(inventory.os.timeZoneName, "Europe/Berlin");
    EXPECT_EQ(inventory.os.utcOffsetMinutes, 120);
    EXPECT_EQ(inventory.processors.at(0).architecture, "x86_64");
}

TEST_F(LinuxWorkstation, FourModulesFromUdevAndNoEmptySlot) {
    ASSERT_EQ(inventory.memoryModules.size(), 4u);
    for (const MemoryModule& module : inventory.memoryModules) {
        EXPECT_EQ(module.capacityBytes, 16ull << 30);
        EXPECT_EQ(module.type, "DDR5");
        EXPECT_EQ(module.formFactor, "SODIMM");
        EXPECT_EQ(module.speedMts, 5600u);
        EXPECT_EQ(module.configuredSpeedMts, 5200u);
    }
    EXPECT_EQ(inventory.memoryModules[2].manufacturer, "SK Hynix");  // \x20 resolved
    EXPECT_EQ(inventory.memoryModules[3].slot, "Controller1-ChannelB-DIMM0");
    EXPECT_EQ(inventory.memoryModules[3].serialNumber, "2D4F6A9C");
}

TEST_F(LinuxWorkstation, ThreeDisksTheirBusesAndFileSystems) {
    ASSERT_EQ(inventory.disks.size(), 3u);  // nvme0n1, sda, sdb in name order
    EXPECT_EQ(inventory.disks[0].bus, DiskBus::Nvme);
    EXPECT_EQ(inventory.disks[0].serialNumber, "S64ANS0T512345");
    EXPECT_EQ(inventory.disks[1].bus, DiskBus::Sata);
    EXPECT_EQ(inventory.disks[1].serialNumber, "S5GENG0N301234T");
    EXPECT_EQ(inventory.disks[2].bus, DiskBus::Usb);
    EXPECT_TRUE(inventory.disks[2].removable);
    EXPECT_FALSE(inventory.disks[1].removable);
    ASSERT_EQ(inventory.volumes.size(), 4u);
    EXPECT_EQ(inventory.volumes[0].label, "fedora");
    EXPECT_EQ(inventory.volumes[0].serial, "0b8e5c3a-7d21-4f9e-b6a4-2c1d9e8f7a60");
    EXPECT_EQ(inventory.volumes[0].fileSystem, "btrfs");
    EXPECT_EQ(inventory.volumes[0].freeBytes, 400000000000u);
    EXPECT_EQ(inventory.volumes[3].source, "//nas/home");
}

TEST_F(LinuxWorkstation, EthernetWifiAndVpnWithTheirAddresses) {
    ASSERT_EQ(inventory.networkAdapters.size(), 3u);
    const NetworkAdapter& ethernet = inventory.networkAdapters[0];
    const NetworkAdapter& wifi = inventory.networkAdapters[1];
    const NetworkAdapter& vpn = inventory.networkAdapters[2];
    EXPECT_EQ(ethernet.name, "enp0s31f6");
    EXPECT_EQ(ethernet.kind, AdapterKind::Ethernet);
    EXPECT_EQ(ethernet.description, "Ethernet Connection (17) I219-LM");
    EXPECT_EQ(ethernet.ipv4, std::vector<std::string>{"192.168.10.57"});
    EXPECT_EQ(ethernet.ipv6, std::vector<std::string>{"fe80::6e24:8ff:fe5a:3b21"});
    EXPECT_EQ(ethernet.gateways, (std::vector<std::string>{"192.168.10.1", "fe80::1"}));
    EXPECT_EQ(ethernet.dhcp, true);
    EXPECT_EQ(ethernet.dhcpServer, "192.168.10.1");
    EXPECT_EQ(ethernet.speedBitsPerSecond, 1000000000u);
    EXPECT_EQ(wifi.kind, AdapterKind::Wifi);
    EXPECT_EQ(wifi.gateways, std::vector<std::string>{"10.0.0.1"});
    EXPECT_EQ(wifi.dhcp, false);
    EXPECT_TRUE(vpn.virtualAdapter);
    EXPECT_FALSE(wifi.virtualAdapter);
    EXPECT_EQ(vpn.name, "tun0");
    EXPECT_EQ(vpn.ipv4, std::vector<std::string>{"10.8.0.5"});
}

TEST_F(LinuxWorkstation, TwoMonitorsFromTheirEdidAndAWornBattery) {
    ASSERT_EQ(inventory.monitors.size(), 2u);  // the closed panel is not connected
    EXPECT_EQ(inventory.monitors[0].manufacturer, "Dell");
    EXPECT_EQ(inventory.monitors[0].model, "DELL U2723QE");
    EXPECT_EQ(inventory.monitors[0].serialNumber, "7XJ2M34");
    EXPECT_EQ(inventory.monitors[0].productCode, "A1A4");
    EXPECT_EQ(inventory.monitors[0].year, 2023u);
    EXPECT_EQ(inventory.monitors[0].week, 12u);
    EXPECT_EQ(inventory.monitors[1].manufacturer, "LG Electronics");
    EXPECT_EQ(inventory.monitors[1].serialNumber, "105NTKF2F123");
    EXPECT_EQ(inventory.monitors[1].widthCm, 60u);
    EXPECT_EQ(inventory.videoAdapters.at(0).resolution, "3840x2160");
    ASSERT_EQ(inventory.batteries.size(), 1u);
    EXPECT_EQ(inventory.batteries[0].designCapacityMwh, 94000u);
    EXPECT_EQ(inventory.batteries[0].fullChargeCapacityMwh, 71440u);
    EXPECT_EQ(inventory.batteries[0].cycleCount, 412u);
    EXPECT_EQ(inventory.batteries[0].chemistry, "Li-ion");
    EXPECT_EQ(inventory.batteries[0].designVoltageMv, 15480u);
}

// A snapshot saved on the machine (the USB-stick route) holds everything the inventory reads.
TEST_F(LinuxWorkstation, ItsSnapshotGivesTheSameInventory) {
    std::ostringstream snapshot;
    writeSnapshot(&machine.provider(), machine.probes.get(), snapshot);
    Backend copy = makeSnapshotBackendFromJson(snapshot.str(), "copy.json");
    EXPECT_EQ(glpiInventoryJson(readInventory(copy.provider.get(), copy.probes.get())), glpiInventoryJson(inventory));
    EXPECT_EQ(ocsInventoryXml(readInventory(copy.provider.get(), copy.probes.get())), ocsInventoryXml(inventory));
}

TEST_F(LinuxWorkstation, InputAndUsbDevicesWithoutButtonsHubsOrInterfaces) {
    ASSERT_EQ(inventory.inputs.size(), 3u);
    EXPECT_EQ(inventory.inputs[0].name, "AT Translated Set 2 keyboard");
    EXPECT_EQ(inventory.inputs[0].interfaceType, "PS/2");
    EXPECT_EQ(inventory.inputs[1].pointingType, "Track Point");
    EXPECT_EQ(inventory.inputs[2].interfaceType, "USB");
    EXPECT_EQ(inventory.inputs[2].manufacturer, "Logitech, Inc.");
    ASSERT_EQ(inventory.usbDevices.size(), 2u);
    EXPECT_EQ(inventory.usbDevices[0].vendorId, "046d");
    EXPECT_EQ(inventory.usbDevices[0].serialNumber, "");
    EXPECT_EQ(inventory.usbDevices[0].deviceClass, "HIDClass");
    EXPECT_EQ(inventory.usbDevices[1].serialNumber, "4C530001231012115573");
    EXPECT_EQ(inventory.usbDevices[1].name, "SanDisk 3.2Gen1");
}

}  // namespace
}  // namespace moravel::lx::test

namespace moravel::lx::test {
namespace {

// A type 17 structure: its formatted area of 0x5C bytes, then its strings.
std::string memoryDevice(std::uint16_t size, std::uint32_t extendedMib, std::uint16_t speed,
                         std::uint32_t extendedSpeed) {
    std::string area(0x5C, '\0');
    auto put = [&](std::size_t at, std::uint64_t value, std::size_t bytes) {
        for (std::size_t i = 0; i < bytes; ++i) area[at + i] = static_cast<char>(value >> (8 * i) & 0xFF);
    };
    put(0, 17, 1), put(1, 0x5C, 1), put(0x0C, size, 2), put(0x0E, 0x0D, 1), put(0x10, 1, 1), put(0x11, 2, 1);
    put(0x12, 0x22, 1), put(0x15, speed, 2), put(0x17, 3, 1), put(0x1C, extendedMib, 4), put(0x54, extendedSpeed, 4);
    return area + std::string("DIMM A\0BANK 0\0Acme\0\0", 20);
}

TEST(MemoryModuleTable, SizesSpeedsAndEmptySlotsAsSmbiosCountsThem) {
    std::string table = memoryDevice(0x4000, 0, 4800, 0)             // 16 GiB in MiB
                        + memoryDevice(0, 0, 0, 0)                   // an empty slot
                        + memoryDevice(0x7FFF, 65536, 0xFFFF, 8400)  // 64 GiB and its speed in the extensions
                        + memoryDevice(0x8000 | 512, 0, 0, 0)        // 512 KiB
                        + std::string("\x7F\x04\x00\x00\0\0", 6);
    std::vector<MemoryModuleInfo> modules = smbiosMemoryModules(table);
    ASSERT_EQ(modules.size(), 3u);
    EXPECT_EQ(modules[0].sizeBytes, 16ull << 30);
    EXPECT_EQ(modules[0].speed, 4800u);
    EXPECT_EQ(modules[0].locator, "DIMM A");
    EXPECT_EQ(modules[0].bank, "BANK 0");
    EXPECT_EQ(modules[0].manufacturer, "Acme");
    EXPECT_EQ(modules[0].type, 0x22u);        // DDR5
    EXPECT_EQ(modules[0].formFactor, 0x0Du);  // SODIMM
    EXPECT_EQ(modules[1].sizeBytes, 64ull << 30);
    EXPECT_EQ(modules[1].speed, 8400u);
    EXPECT_EQ(modules[2].sizeBytes, 512u << 10);
    EXPECT_EQ(modules[2].speed, std::nullopt);
    EXPECT_TRUE(smbiosMemoryModules(table.substr(0, 40)).empty());  // cut inside a structure
}

}  // namespace
}  // namespace moravel::lx::test
