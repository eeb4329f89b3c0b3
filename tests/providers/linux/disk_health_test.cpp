// Disk health on Linux: the bytes the disks answer (the secondhand fixture's NVMe health log and
// ATA SMART tables) through the readers, the drive's failing verdict, a refusal for want of
// rights, and hwmon's temperatures with an impossible reading left out.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "inventory/smart_attributes.h"
#include "providers/linux/parsers/nvme_health.h"
#include "providers/linux/parsers/udisks_health.h"
#include "query/wmi_names.h"
#include "query/wmi_query.h"
#include "tests/providers/linux/linux_fixture.h"

namespace moravel::lx::test {
namespace {

std::string healthLog(unsigned warning, unsigned kelvin, unsigned used, std::uint64_t hours) {
    std::string log(512, '\0');
    log[0] = static_cast<char>(warning);
    log[1] = static_cast<char>(kelvin & 0xFF);
    log[2] = static_cast<char>(kelvin >> 8);
    log[5] = static_cast<char>(used);
    for (int i = 0; i < 8; ++i) log[128 + i] = static_cast<char>(hours >> (8 * i) & 0xFF);
    return log;
}

// A property as text, in its class's own namespace: strings as they are, integers in decimal.
std::string text(FixtureMachine& machine, const char* className, const char* property, int index) {
    WmiValue value = machine.value(className, property, index);
    if (value.type == vt::Bstr) return value.text;
    if (value.type == vt::I4 || value.type == vt::UI1 || value.type == vt::Bool) return std::to_string(value.integer);
    return "";
}

TEST(NvmeHealthLog, ReadsTheCountersAndRefusesWhatItCannotHold) {
    std::optional<NvmeHealth> health = nvmeHealth(healthLog(0x04, 310, 23, 14200));
    ASSERT_TRUE(health);
    EXPECT_EQ(health->criticalWarning, 0x04u);
    EXPECT_EQ(health->temperatureKelvin, 310u);
    EXPECT_EQ(health->percentageUsed, 23u);
    EXPECT_EQ(health->powerOnHours, 14200u);
    EXPECT_EQ(nvmeHealth(healthLog(0, 0, 0, 0))->temperatureKelvin, std::nullopt);  // 0: not reported
    std::string beyond = healthLog(0, 300, 1, 5);
    beyond[128 + 8] = 1;  // a power-on count past 64 bits
    EXPECT_EQ(nvmeHealth(beyond)->powerOnHours, std::nullopt);
    EXPECT_EQ(nvmeHealth(std::string(511, '\xFF')), std::nullopt);
}

TEST(LinuxDiskHealth, EachDiskAsItAnswers) {
    FixtureMachine machine{fixtureRoot("secondhand")};
    // nvme0n1, sda (SATA SSD), sdb (hard disk), in Win32_DiskDrive's order
    EXPECT_EQ(text(machine, "MSFT_PhysicalDisk", "BusType", 0), "17");
    EXPECT_EQ(text(machine, "MSFT_PhysicalDisk", "MediaType", 1), "4");
    EXPECT_EQ(text(machine, "MSFT_PhysicalDisk", "MediaType", 2), "3");
    EXPECT_EQ(text(machine, "MSFT_PhysicalDisk", "HealthStatus", 2), "0");
    EXPECT_EQ(text(machine, "MSFT_StorageReliabilityCounter", "PowerOnHours", 0), "14200");
    EXPECT_EQ(text(machine, "MSFT_StorageReliabilityCounter", "StartStopCycleCount", 0), "1873");
    EXPECT_EQ(machine.value("MSFT_StorageReliabilityCounter", "Wear", 0).integer, 23);
    EXPECT_EQ(machine.value("MSFT_StorageReliabilityCounter", "Temperature", 0).integer, 37);  // 310 K
    // The ATA drives' tables as they answered, named as Win32_DiskDrive names the disks.
    WmiValue table = machine.value("MSStorageDriver_FailurePredictData", "VendorSpecific", 1);
    EXPECT_EQ(table.items.size(), 512u);
    EXPECT_EQ(text(machine, "MSStorageDriver_FailurePredictData", "InstanceName", 1),
              machine.text("Win32_DiskDrive", "PNPDeviceID", 2) + "_0");
    EXPECT_EQ(text(machine, "MSStorageDriver_FailurePredictStatus", "PredictFailure", 2), "0");
}

TEST(LinuxDiskHealth, AFailingVerdictAndARefusal) {
    FixtureMachine machine{fixtureRoot("secondhand")};
    char folder[] = "/tmp/moravel-answers-XXXXXX";
    ASSERT_TRUE(::mkdtemp(folder));
    machine.host.answers = std::string(folder) + "/";
    std::ofstream(machine.host.answers + "nvme0.health-log", std::ios::binary) << healthLog(0x08, 320, 7, 100);
    std::ofstream(machine.host.answers + "sda.denied");
    EXPECT_EQ(text(machine, "MSFT_PhysicalDisk", "HealthStatus", 0), "2");  // read-only media
    EXPECT_EQ(machine.value("MSStorageDriver_FailurePredictStatus", "PredictFailure", 0).type, vt::Empty);
    std::optional<CycleFailure> refused =
        runQueryCycle(machine.provider(), kWmiDataNamespace, "SELECT * FROM MSStorageDriver_FailurePredictStatus",
                      [](WmiObject&) { return true; });
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->code, kAccessDenied);
    EXPECT_EQ(text(machine, "MSFT_StorageReliabilityCounter", "PowerOnHours", 0),
              "100");  // what could be read still is
    for (const char* file : {"nvme0.health-log", "sda.denied"}) std::remove((machine.host.answers + file).c_str());
    ::rmdir(folder);
}

// ATA PASS-THROUGH goes to disks on an ATA controller only, never to a USB stick's bridge.
TEST(LinuxDiskHealth, AUsbDiskIsNotSentAtaCommands) {
    FixtureMachine machine{fixtureRoot("workstation")};  // nvme0n1, sda on SATA, sdb a USB stick
    char folder[] = "/tmp/moravel-answers-XXXXXX";
    ASSERT_TRUE(::mkdtemp(folder));
    machine.host.answers = std::string(folder) + "/";
    const std::string table = ataTableFromUdisks({{9, 0x32, 100, 100, 3600000, 2}});
    for (const char* disk : {"sda", "sdb"}) std::ofstream(machine.host.answers + disk + ".smart-data") << table;
    EXPECT_EQ(text(machine, "MSStorageDriver_FailurePredictData", "InstanceName", 0),
              machine.text("Win32_DiskDrive", "PNPDeviceID", 1) + "_0");
    EXPECT_EQ(text(machine, "MSStorageDriver_FailurePredictData", "InstanceName", 1), "");
    for (const char* disk : {"sda", "sdb"}) std::remove((machine.host.answers + disk + ".smart-data").c_str());
    ::rmdir(folder);
}

// A user who may not ask the disks reads what UDisks2 holds of them, written as the drives answer.
TEST(LinuxDiskHealth, WithoutRootUdisksAnswersForTheDrives) {
    UdisksNvme nvme;
    nvme.criticalWarning = {"spare"};
    nvme.temperatureKelvin = 318;
    nvme.powerOnHours = 14200;
    nvme.percentUsed = 23;
    nvme.powerCycles = 1873;
    std::optional<NvmeHealth> health = nvmeHealth(nvmeLogFromUdisks(nvme));
    ASSERT_TRUE(health);
    EXPECT_EQ(health->criticalWarning, 1u);
    EXPECT_EQ(health->temperatureKelvin, 318u);
    EXPECT_EQ(health->powerCycles, 1873u);
    // libatasmart's units: hours in milliseconds, temperatures in millikelvin, sectors as counted
    std::string table = ataTableFromUdisks({{9, 0x32, 71, 71, 76824000000, 2},
                                            {194, 0x22, 108, 92, 308150, 4},
                                            {5, 0x33, 199, 199, 8, 3},
                                            {0, 0, 0, 0, 5, 1}});
    SmartReadings readings = smartReadings(smartAttributes(table));
    EXPECT_EQ(readings.powerOnHours, 21340u);
    EXPECT_EQ(readings.temperatureCelsius, 35u);
    EXPECT_EQ(readings.reallocatedSectors, 8u);
    EXPECT_EQ(smartAttributes(table).size(), 3u);

    FixtureMachine machine{fixtureRoot("hybrid")};  // its drive refuses the request
    EXPECT_EQ(text(machine, "MSFT_PhysicalDisk", "HealthStatus", 0), "");
    char folder[] = "/tmp/moravel-answers-XXXXXX";
    ASSERT_TRUE(::mkdtemp(folder));
    FixtureMachine served{fixtureRoot("hybrid")};
    served.host.answers = std::string(folder) + "/";
    std::ofstream(served.host.answers + "nvme0.denied");
    std::ofstream(served.host.answers + "nvme0n1.udisks", std::ios::binary) << nvmeLogFromUdisks(nvme);
    EXPECT_EQ(text(served, "MSFT_PhysicalDisk", "HealthStatus", 0), "1");  // spare below its threshold
    EXPECT_EQ(text(served, "MSFT_StorageReliabilityCounter", "PowerOnHours", 0), "14200");
    EXPECT_EQ(text(served, "MSStorageDriver_FailurePredictStatus", "PredictFailure", 0), "0");  // not refused
    for (const char* file : {"nvme0.denied", "nvme0n1.udisks"}) std::remove((served.host.answers + file).c_str());
    ::rmdir(folder);
}

TEST(LinuxThermalZones, EveryHwmonTemperatureButAnImpossibleOne) {
    FixtureMachine machine{fixtureRoot("secondhand")};
    std::vector<std::string> names;
    for (int i = 0; i < 5; ++i) names.push_back(text(machine, "MSAcpi_ThermalZoneTemperature", "InstanceName", i));
    EXPECT_EQ(names, (std::vector<std::string>{"coretemp Package id 0", "nvme Composite", "acpitz temp1", "", ""}));
    EXPECT_EQ(text(machine, "MSAcpi_ThermalZoneTemperature", "CurrentTemperature", 0), "3251");  // 52 °C
    EXPECT_EQ(text(machine, "MSAcpi_ThermalZoneTemperature", "CriticalTripPoint", 2), "3711");
}

}  // namespace
}  // namespace moravel::lx::test
