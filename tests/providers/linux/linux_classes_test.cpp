// Every class reader against the three fixture machines, whole values compared.
#include <gtest/gtest.h>

#include "tests/providers/linux/linux_fixture.h"

namespace moravel::lx::test {
namespace {

struct Desktop : ::testing::Test {
    FixtureMachine machine{fixtureRoot("desktop")};
};
struct Laptop : ::testing::Test {
    FixtureMachine machine{fixtureRoot("laptop")};
};
struct Container : ::testing::Test {
    FixtureMachine machine{fixtureRoot("container")};
};

TEST_F(Desktop, ComputerSystemFromDmiMeminfoAndHosts) {
    EXPECT_EQ(machine.text("Win32_ComputerSystem", "SystemType"), "x64-based PC");
    EXPECT_EQ(machine.text("Win32_ComputerSystem", "Model"), "To be filled by O.E.M.");
    EXPECT_EQ(machine.text("Win32_ComputerSystem", "Manufacturer"), "Gigabyte Technology Co., Ltd.");
    EXPECT_EQ(machine.text("Win32_ComputerSystem", "TotalPhysicalMemory"), "8273240064");
    EXPECT_EQ(machine.text("Win32_ComputerSystem", "Domain"), "home.lan");
    EXPECT_EQ(machine.text("Win32_ComputerSystem", "PrimaryOwnerName"), "Jane Doe");
    EXPECT_EQ(machine.text("Win32_ComputerSystem", "Name"), "desktop");
    EXPECT_EQ(machine.text("Win32_ComputerSystem", "Name", 1), "");
}

TEST_F(Desktop, MemoryArrayEndsWhereTheSystemRamRangesAddUpTo) {
    // 8 GiB installed, 1 GiB of it remapped above the PCI hole up to 9 GiB: the ranges add up to
    // 8 GiB less what the firmware keeps, which the rounding up to 256 MiB gives back.
    EXPECT_EQ(machine.text("Win32_MemoryArray", "EndingAddress"), "8388607");
}

TEST_F(Desktop, NetworkAdaptersPutDevicesBeforeSoftwareInterfaces) {
    EXPECT_EQ(machine.text("Win32_NetworkAdapter", "AdapterType"), "Ethernet 802.3");
    EXPECT_EQ(machine.text("Win32_NetworkAdapter", "Manufacturer"), "Intel Corporation");
    EXPECT_EQ(machine.text("Win32_NetworkAdapter", "Name"), "Ethernet Connection I217-V");
    EXPECT_EQ(machine.text("Win32_NetworkAdapterConfiguration", "MACAddress"), "94:DE:80:6A:01:02");
    EXPECT_EQ(machine.text("Win32_NetworkAdapter", "Name", 1), "docker0");
    EXPECT_EQ(machine.text("Win32_NetworkAdapter", "Manufacturer", 1), "");
    EXPECT_EQ(machine.text("Win32_NetworkAdapterConfiguration", "MACAddress", 1), "02:42:AC:11:00:01");
    EXPECT_EQ(machine.text("Win32_NetworkAdapter", "Name", 2), "");
}

TEST_F(Desktop, BiosDatesBecomeCimDates) {
    EXPECT_EQ(machine.text("Win32_BIOS", "Manufacturer"), "American Megatrends Inc.");
    EXPECT_EQ(machine.text("Win32_BIOS", "Description"), "F7");
    EXPECT_EQ(machine.text("Win32_BIOS", "Version"), "F7");  // ACPI headers unreadable: the firmware version
    EXPECT_EQ(machine.text("Win32_BIOS", "SMBIOSBIOSVersion"), "F7");
    EXPECT_EQ(machine.text("Win32_BIOS", "ReleaseDate"), "20130830000000.000000+000");
}

TEST_F(Desktop, OperatingSystemBootTimeIsLocalWithItsOffset) {
    EXPECT_EQ(machine.text("Win32_OperatingSystem", "Caption"), "Debian GNU/Linux 12 (bookworm)");
    EXPECT_EQ(machine.text("Win32_OperatingSystem", "OSArchitecture"), "64-bit");
    EXPECT_EQ(machine.text("Win32_OperatingSystem", "SerialNumber"), "0123456789abcdef0123456789abcdef");
    EXPECT_EQ(machine.text("Win32_OperatingSystem", "Version"), "6.1.0-13-amd64");
    EXPECT_EQ(machine.text("Win32_OperatingSystem", "CSDVersion"), "");
    // btime 1380874530 is 2013-10-04 08:15:30 UTC; the fake zone is two hours east.
    EXPECT_EQ(machine.text("Win32_OperatingSystem", "LastBootUpTime"), "20131004101530.000000+120");
    machine.host.offsetMinutes = -300;
    EXPECT_EQ(machine.text("Win32_OperatingSystem", "LastBootUpTime"), "20131004031530.000000-300");
}

TEST_F(Desktop, ProcessorCountsCachesOncePerSharingGroup) {
    EXPECT_EQ(machine.text("Win32_Processor", "Name"), "Intel(R) Core(TM) i3-4130 CPU @ 3.40GHz");
    EXPECT_EQ(machine.text("Win32_Processor", "NumberOfCores"), "2");
    EXPECT_EQ(machine.text("Win32_Processor", "NumberOfLogicalProcessors"), "4");
    EXPECT_EQ(machine.text("Win32_Processor", "L2CacheSize"), "512");
    EXPECT_EQ(machine.text("Win32_Processor", "L3CacheSize"), "3072");
    EXPECT_EQ(machine.text("Win32_Processor", "CurrentClockSpeed"), "800");
    EXPECT_EQ(machine.text("Win32_Processor", "MaxClockSpeed"), "3400");
    EXPECT_EQ(machine.text("Win32_Processor", "Description"), "Intel64 Family 6 Model 60 Stepping 3");
    EXPECT_EQ(machine.text("Win32_Processor", "DataWidth"), "64");
    EXPECT_EQ(machine.text("Win32_Processor", "Manufacturer"), "GenuineIntel");
    EXPECT_EQ(machine.text("Win32_Processor", "ProcessorId"), "BFEBFBFF000306C3");
    EXPECT_EQ(machine.text("Win32_Processor", "Name", 1), "");
}

// Where the processor can be asked, ProcessorId is CPUID leaf 1 itself, whatever flags the
// kernel chose to show (a guest's kernel may hide mtrr); the signature's reserved bits are dropped.
TEST_F(Desktop, ProcessorIdIsTheCpuidLeafWhereThereIsOne) {
    machine.host.cpuidLeaf = CpuidLeaf{0xF003C6C3u, 0x178BEBFFu};
    EXPECT_EQ(machine.text("Win32_Processor", "ProcessorId"), "178BEBFF000306C3");
}

TEST_F(Desktop, BoardAndBuses) {
    EXPECT_EQ(machine.text("Win32_BaseBoard", "Manufacturer"), "Gigabyte Technology Co., Ltd.");
    EXPECT_EQ(machine.text("Win32_BaseBoard", "Product"), "Z87-D3HP");
    EXPECT_EQ(machine.text("Win32_BaseBoard", "SerialNumber"), "");  // root-only, absent here
    EXPECT_EQ(machine.text("Win32_MotherboardDevice", "PrimaryBusType"), "PCI");
    EXPECT_EQ(machine.text("Win32_MotherboardDevice", "SecondaryBusType"), "ISA");
}

TEST_F(Desktop, VideoControllerWithModeAndRatesFromTheConnectedScreen) {
    EXPECT_EQ(machine.text("Win32_VideoController", "Name"),
              "Xeon E3-1200 v3/4th Gen Core Processor Integrated Graphics Controller");
    EXPECT_EQ(machine.text("Win32_VideoController", "AdapterRAM"), "268435456");
    EXPECT_EQ(machine.text("Win32_VideoController", "VideoModeDescription"), "1920 x 1080 x 4294967296 colors");
    EXPECT_EQ(machine.text("Win32_VideoController", "CurrentRefreshRate"), "60");
    EXPECT_EQ(machine.text("Win32_VideoController", "MaxRefreshRate"), "75");
    EXPECT_EQ(machine.text("Win32_VideoController", "DriverVersion"), "6.1.0-13-amd64");
    EXPECT_EQ(machine.text("Win32_VideoController", "DriverDate"), "");
    EXPECT_EQ(machine.text("Win32_VideoController", "AdapterDACType"), "Internal");  // as Intel's driver says
    EXPECT_EQ(machine.text("Win32_VideoController", "Name", 1), "");
}

TEST_F(Desktop, SataDiskReportsAsIdeWithWindowsGeometry) {
    EXPECT_EQ(machine.text("Win32_DiskDrive", "InterfaceType"), "IDE");
    EXPECT_EQ(machine.text("Win32_DiskDrive", "Caption"), "Samsung SSD 850 EVO 250GB");
    EXPECT_EQ(machine.text("Win32_DiskDrive", "FirmwareRevision"), "2B6Q");
    EXPECT_EQ(machine.text("Win32_DiskDrive", "Partitions"), "2");
    EXPECT_EQ(machine.text("Win32_DiskDrive", "TotalCylinders"), "30401");
    EXPECT_EQ(machine.text("Win32_DiskDrive", "TotalHeads"), "255");
    EXPECT_EQ(machine.text("Win32_DiskDrive", "TotalTracks"), "7752255");
    EXPECT_EQ(machine.text("Win32_DiskDrive", "TotalSectors"), "488392065");
    EXPECT_EQ(machine.text("Win32_DiskDrive", "Size"), "250056737280");
    EXPECT_EQ(machine.text("Win32_PhysicalMedia", "SerialNumber"), "S2R5NX0H123456");
}

TEST_F(Desktop, UsbStickAfterTheSataDiskAndNoOpticalOrLoopDevices) {
    EXPECT_EQ(machine.text("Win32_DiskDrive", "InterfaceType", 1), "USB");
    EXPECT_EQ(machine.text("Win32_DiskDrive", "Caption", 1), "SanDisk Cruzer Blade USB Device");
    EXPECT_EQ(machine.text("Win32_DiskDrive", "Size", 1), "16006394880");
    EXPECT_EQ(machine.text("Win32_PhysicalMedia", "SerialNumber", 1), "");
    EXPECT_EQ(machine.text("Win32_DiskDrive", "InterfaceType", 2), "");
    EXPECT_EQ(machine.text("Win32_PhysicalMedia", "SerialNumber", 2), "");
}

TEST_F(Desktop, LogicalDisksSkipPseudoAndBindMounts) {
    machine.host.free = {{"/", 100000000000}, {"/boot/efi", 500000000}, {"/media/user/USB STICK", 8000000000}};
    const char* expected[][3] = {{"/", "3", "100000000000"},
                                 {"/boot/efi", "3", "500000000"},
                                 {"/media/user/USB STICK", "2", "8000000000"},
                                 {"/mnt/share", "4", ""}};  // network shares are not asked: they may hang
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(machine.text("Win32_LogicalDisk", "DeviceID", i), expected[i][0]);
        EXPECT_EQ(machine.text("Win32_LogicalDisk", "DriveType", i), expected[i][1]);
        EXPECT_EQ(machine.text("Win32_LogicalDisk", "FreeSpace", i), expected[i][2]);
    }
    EXPECT_EQ(machine.text("Win32_LogicalDisk", "DeviceID", 4), "");
}

TEST_F(Desktop, OpticalDriveAndSoundCard) {
    EXPECT_EQ(machine.text("Win32_CDROMDrive", "Name"), "HL-DT-ST DVDRAM GH24NSB0");
    EXPECT_EQ(machine.text("Win32_CDROMDrive", "MediaType"), "DVD Writer");
    EXPECT_EQ(machine.text("Win32_CDROMDrive", "SystemName"), "desktop");
    EXPECT_EQ(machine.text("Win32_SoundDevice", "ProductName"), "HDA Intel PCH");
    EXPECT_EQ(machine.text("Win32_SoundDevice", "Manufacturer"), "Intel Corporation");
    EXPECT_EQ(machine.text("Win32_SoundDevice", "ProductName", 1), "");
    EXPECT_EQ(machine.text("Win32_Battery", "Name"), "");
}

TEST_F(Desktop, PrintersAsTheSchedulerListsThem) {
    machine.host.printerList = {{"Fax", std::nullopt, std::nullopt, 7}, {"HP_LaserJet", 600, 1200, 3}};
    EXPECT_EQ(machine.text("Win32_Printer", "Caption"), "Fax");
    EXPECT_EQ(machine.text("Win32_Printer", "HorizontalResolution"), "");
    EXPECT_EQ(machine.text("Win32_Printer", "PrinterStatus"), "7");
    EXPECT_EQ(machine.text("Win32_Printer", "Caption", 1), "HP_LaserJet");
    EXPECT_EQ(machine.text("Win32_Printer", "HorizontalResolution", 1), "600");
    EXPECT_EQ(machine.text("Win32_Printer", "VerticalResolution", 1), "1200");
    EXPECT_EQ(machine.text("Win32_Printer", "PrinterStatus", 1), "3");
    EXPECT_EQ(machine.text("Win32_Printer", "Caption", 2), "");
}

TEST_F(Desktop, ProbesReadMeminfoAndTheAdaptersInIndexOrder) {
    MemoryStatus status;
    ASSERT_TRUE(machine.probes->memoryStatus(status));
    EXPECT_EQ(formatMemoryStatus(status).available, "6144 MB");
    EXPECT_EQ(formatMemoryStatus(status).load, "22%");
    std::vector<HardwareAddress> adapters = machine.probes->adapterAddresses();
    ASSERT_EQ(adapters.size(), 2u);
    EXPECT_EQ(formatAdapterAddress(adapters[0]), "94-DE-80-6A-01-02");
    EXPECT_EQ(formatAdapterAddress(adapters[1]), "02-42-AC-11-00-01");
}

TEST_F(Laptop, SmbiosMemoryMapWinsOverTheFirmwareMemmap) {
    EXPECT_EQ(machine.text("Win32_MemoryArray", "EndingAddress"), "8388607");
    EXPECT_EQ(machine.text("Win32_BaseBoard", "SerialNumber"), "L1HF9AB012C");
    EXPECT_EQ(machine.text("Win32_BIOS", "ReleaseDate"), "20210315000000.000000+000");
    EXPECT_EQ(machine.text("Win32_BIOS", "SMBIOSBIOSVersion"), "R12ET61W(1.31 )");
    EXPECT_EQ(machine.text("Win32_MotherboardDevice", "SecondaryBusType"), "");
}

TEST_F(Laptop, AmdProcessorWithoutCpufreqUsesTheCpuinfoClock) {
    EXPECT_EQ(machine.text("Win32_Processor", "Description"), "AMD64 Family 23 Model 24 Stepping 1");
    EXPECT_EQ(machine.text("Win32_Processor", "ProcessorId"), "BFEBFBFF00810F81");
    EXPECT_EQ(machine.text("Win32_Processor", "L2CacheSize"), "1024");
    EXPECT_EQ(machine.text("Win32_Processor", "L3CacheSize"), "4096");
    EXPECT_EQ(machine.text("Win32_Processor", "CurrentClockSpeed"), "1400");
    EXPECT_EQ(machine.text("Win32_Processor", "MaxClockSpeed"), "1400");
}

TEST_F(Laptop, NvmeDiskReportsAsScsi) {
    EXPECT_EQ(machine.text("Win32_DiskDrive", "InterfaceType"), "SCSI");
    EXPECT_EQ(machine.text("Win32_DiskDrive", "Caption"), "SAMSUNG MZVLB512HBJQ-000L7");
    EXPECT_EQ(machine.text("Win32_DiskDrive", "FirmwareRevision"), "5M2QEXF7");
    EXPECT_EQ(machine.text("Win32_DiskDrive", "Partitions"), "3");
    EXPECT_EQ(machine.text("Win32_DiskDrive", "TotalCylinders"), "62260");
    EXPECT_EQ(machine.text("Win32_DiskDrive", "Size"), "512105932800");
    EXPECT_EQ(machine.text("Win32_PhysicalMedia", "SerialNumber"), "S4ENNX0N123456");
    EXPECT_EQ(machine.text("Win32_DiskDrive", "Caption", 1), "");
}

TEST_F(Laptop, SystemBatteryOnlyNotTheMouse) {
    EXPECT_EQ(machine.text("Win32_Battery", "Name"), "5B10W13930");
    EXPECT_EQ(machine.text("Win32_Battery", "DeviceID"), "1234Celxpert5B10W13930");
    EXPECT_EQ(machine.text("Win32_Battery", "EstimatedChargeRemaining"), "87");
    EXPECT_EQ(machine.text("Win32_Battery", "Name", 1), "");
}

TEST_F(Laptop, WifiFirstUsbSoundAndNetworkShare) {
    EXPECT_EQ(machine.text("Win32_NetworkAdapter", "Name"),
              "Killer Wi-Fi 6 AX1650i 160MHz Wireless Network Adapter (201NGW)");
    EXPECT_EQ(machine.text("Win32_NetworkAdapter", "Name", 1), "virbr0");
    EXPECT_EQ(machine.text("Win32_NetworkAdapter", "AdapterType", 2), "");  // tun0
    EXPECT_EQ(machine.text("Win32_NetworkAdapterConfiguration", "MACAddress", 2), "");
    EXPECT_EQ(machine.text("Win32_SoundDevice", "ProductName"), "Logitech USB Headset");
    EXPECT_EQ(machine.text("Win32_SoundDevice", "Manufacturer"), "Logitech, Inc.");
    EXPECT_EQ(machine.text("Win32_LogicalDisk", "DriveType", 2), "4");
    EXPECT_EQ(machine.text("Win32_CDROMDrive", "Name"), "");
    std::vector<HardwareAddress> adapters = machine.probes->adapterAddresses();
    ASSERT_EQ(adapters.size(), 2u);  // tun0 has no hardware address
    EXPECT_EQ(formatAdapterAddress(adapters.back()), "F4-8C-50-AA-BB-CC");
}

TEST_F(Container, NoFirmwareNoDisksButARootAndAProcessor) {
    for (const char* className : {"Win32_BIOS", "Win32_BaseBoard", "Win32_MemoryArray", "Win32_MotherboardDevice",
                                  "Win32_VideoController", "Win32_CDROMDrive", "Win32_SoundDevice", "Win32_Battery"})
        EXPECT_EQ(machine.text(className, "Name"), "") << className;
    EXPECT_EQ(machine.text("Win32_DiskDrive", "InterfaceType"), "");
    EXPECT_EQ(machine.text("Win32_ComputerSystem", "Model"), "");
    EXPECT_EQ(machine.text("Win32_ComputerSystem", "Domain"), "WORKGROUP");
    EXPECT_EQ(machine.text("Win32_OperatingSystem", "Caption"), "Alpine Linux v3.19");
    EXPECT_EQ(machine.text("Win32_OperatingSystem", "SerialNumber"), "");
    EXPECT_EQ(machine.text("Win32_Processor", "ProcessorId"), "BFEBFBFF00050657");
    EXPECT_EQ(machine.text("Win32_Processor", "L2CacheSize"), "");
    EXPECT_EQ(machine.text("Win32_Processor", "NumberOfLogicalProcessors"), "1");
    EXPECT_EQ(machine.text("Win32_LogicalDisk", "DeviceID"), "/");
    EXPECT_EQ(machine.text("Win32_LogicalDisk", "DriveType"), "3");
    EXPECT_EQ(machine.text("Win32_LogicalDisk", "DeviceID", 1), "");  // /etc/hosts is a file
    EXPECT_EQ(machine.text("Win32_NetworkAdapter", "Name"), "eth0");
    EXPECT_EQ(machine.text("Win32_NetworkAdapter", "Manufacturer"), "");
}

TEST_F(Container, ProbesWithoutMemAvailableReportNothing) {
    MemoryStatus status;
    EXPECT_TRUE(machine.probes->memoryStatus(status));
    EXPECT_EQ(formatMemoryStatus(status).available, "1464 MB");
    std::unique_ptr<SystemProbes> empty = makeLinuxProbes(fixtureRoot("no-such-machine"));
    EXPECT_FALSE(empty->memoryStatus(status));
    EXPECT_TRUE(empty->adapterAddresses().empty());
}

}  // namespace
}  // namespace moravel::lx::test
