// Health in the inventory: the disks, battery and temperatures of a used laptop as Windows records
// them (workstation_health.json) and as the Linux provider reads them (the secondhand fixture),
// what is said when health is refused or there is none, and records no disk could have.
#include <gtest/gtest.h>

#include "cli/run.h"
#include "export/glpi_json.h"
#include "inventory/health.h"
#include "inventory/read_inventory.h"
#include "inventory/smart_attributes.h"
#include <nlohmann/json.hpp>

#include <fstream>
#include <sstream>

#include "query/snapshot/snapshot_provider.h"
#include "query/snapshot/snapshot_writer.h"
#include "tests/providers/linux/linux_fixture.h"

namespace moravel {
namespace {

Inventory inventoryOfJson(const std::string& json) {
    Backend backend = makeSnapshotBackendFromJson(json, "test.json");
    return readInventory(backend.provider.get(), backend.probes.get());
}

Inventory inventoryOfFile(const std::string& name) {
    Backend backend = makeSnapshotBackend(std::string(MORAVEL_SOURCE_DIR) + "/tests/data/" + name);
    return readInventory(backend.provider.get(), backend.probes.get());
}

Inventory inventoryOfFixture(const std::string& name) {
    lx::test::FixtureMachine machine{lx::test::fixtureRoot(name)};
    return readInventory(&machine.provider(), machine.probes.get());
}

std::string lines(const std::vector<HealthLine>& health) {
    std::string text;
    for (const HealthLine& line : health) text += line.label + ": " + line.text + "\n";
    return text;
}

TEST(DiskHealth, WindowsCountersTheAttributeTableAndTheBattery) {
    Inventory inventory = inventoryOfFile("workstation_health.json");
    ASSERT_EQ(inventory.disks.size(), 3u);
    EXPECT_EQ(lines(diskHealthLines(inventory.disks[0])),
              "Health: OK\nPower-on: 14,200 hours\nTemperature: 38 °C\nWear: 23 %\nMedia errors: 0\n");
    // The SATA SSD's counters, and from its attribute table what the counters lack.
    EXPECT_EQ(inventory.disks[1].health.powerCycles, 2104u);
    EXPECT_EQ(inventory.disks[1].health.wearPercent, 4u);
    EXPECT_EQ(inventory.disks[2].health.powerOnHours, std::nullopt);  // the USB stick says nothing
    EXPECT_EQ(lines(batteryHealthLines(inventory.batteries.at(0))), "Holds: 71 % of its design capacity\n");
    ASSERT_EQ(inventory.temperatures.size(), 1u);
    EXPECT_EQ(inventory.temperatures[0].celsius, 48);
    EXPECT_EQ(inventory.temperatures[0].criticalCelsius, 105);
    EXPECT_EQ(diskHealthNote(inventory), "");
    // GLPI has a place for the sensors and the battery's real capacity.
    nlohmann::json glpi = nlohmann::json::parse(glpiInventoryJson(inventory, {}))["content"];
    EXPECT_EQ(glpi["sensors"], nlohmann::json::parse(R"([{"name":"ACPI\\ThermalZone\\TZ00_0","type":"TEMPERATURE"}])"));
    EXPECT_EQ(glpi["batteries"][0]["real_capacity"], 40470);
}

TEST(DiskHealth, LinuxDisksAsTheyAnswered) {
    Inventory inventory = inventoryOfFixture("secondhand");
    ASSERT_EQ(inventory.disks.size(), 3u);
    EXPECT_EQ(
        lines(diskHealthLines(inventory.disks[0])),
        "Health: OK\nPower-on: 14,200 hours\nPower cycles: 1,873\nTemperature: 37 °C\nWear: 23 %\nMedia errors: 0\n");
    EXPECT_EQ(
        lines(diskHealthLines(inventory.disks[1])),
        "Health: OK\nPower-on: 9,870 hours\nPower cycles: 2,104\nTemperature: 31 °C\nWear: 12 %\nMedia errors: 0\n");
    EXPECT_EQ(lines(diskHealthLines(inventory.disks[2])),
              "Health: OK\nPower-on: 21,340 hours\nPower cycles: 3,311\nTemperature: 35 °C\nReallocated sectors: 8\n"
              "Pending sectors: 2\n");
    EXPECT_EQ(inventory.disks[2].media, DiskMedia::HardDisk);
    EXPECT_EQ(lines(batteryHealthLines(inventory.batteries.at(0))), "Holds: 71 % of its design capacity\n");
    EXPECT_EQ(inventory.temperatures.size(), 3u);
}

TEST(DiskHealth, SaysOnceWhyNoHealthShows) {
    EXPECT_EQ(diskHealthNote(inventoryOfFixture("hybrid")), "run as administrator/root to read disk health");
    EXPECT_EQ(diskHealthNote(inventoryOfFixture("kvm")), "virtual disks report no health");
    EXPECT_EQ(diskHealthNote(inventoryOfFile("workstation.json")), "no disk health recorded");  // saved before it was
    Inventory quiet = inventoryOfFile("workstation_health.json");
    quiet.disks.resize(1);
    quiet.disks[0].health = {};
    EXPECT_EQ(diskHealthNote(quiet), "no disk reports its health");
    // Windows refuses the counters to a program that is not elevated.
    const std::string refused = R"({"classes":{"Win32_DiskDrive":[{"Index":0,"PNPDeviceID":"SCSI\\DISK&VEN_NVME"}],
        "MSFT_PhysicalDisk":[{"DeviceId":"0","MediaType":4,"HealthStatus":0}]},
        "failures":{"SELECT * FROM MSFT_StorageReliabilityCounter":{"step":"ExecQuery","code":"0x80041003"}}})";
    Inventory inventory = inventoryOfJson(refused);
    EXPECT_EQ(inventory.disks.at(0).health.status, HealthStatus::Healthy);
    EXPECT_EQ(diskHealthNote(inventory), "run as administrator/root to read disk health");
}

TEST(DiskHealth, ValuesNoDiskOrBatteryCanHaveAreLeftOut) {
    const std::string absurd = R"({"classes":{"Win32_DiskDrive":[{"Index":0}],
        "MSFT_StorageReliabilityCounter":[{"DeviceId":"0","Temperature":"9223372036854775808",
            "PowerOnHours":4294967291,"Wear":300,"ReadErrorsUncorrected":"18446744073709551615"}],
        "Win32_Battery":[{"Name":"B"}],"BatteryStaticData":[{"InstanceName":"B_0","DesignedCapacity":50000}],
        "BatteryFullChargedCapacity":[{"InstanceName":"B_0","FullChargedCapacity":4000000}],
        "MSAcpi_ThermalZoneTemperature":[{"InstanceName":"TZ","CurrentTemperature":4294967295}]}})";
    Inventory inventory = inventoryOfJson(absurd);
    EXPECT_EQ(lines(diskHealthLines(inventory.disks.at(0))), "");
    EXPECT_EQ(batteryCapacityPercent(inventory.batteries.at(0)), std::nullopt);
    EXPECT_TRUE(inventory.temperatures.empty());
}

TEST(SmartAttributes, TheTableAsDrivesWriteIt) {
    std::string table(512, '\0');
    auto entry = [&](int slot, unsigned id, unsigned value, std::uint64_t raw) {
        std::size_t at = 2 + 12 * static_cast<std::size_t>(slot);
        table[at] = static_cast<char>(id);
        table[at + 3] = static_cast<char>(value);
        for (int b = 0; b < 6; ++b)
            table[at + 5 + static_cast<std::size_t>(b)] = static_cast<char>(raw >> (8 * b) & 0xFF);
    };
    entry(0, 9, 90, 0x0000ABCD00001234);  // vendors keep other things above the low 32 bits
    entry(2, 194, 70, 0x002F00120023);    // 35 °C, with the lowest and highest beside it
    entry(3, 233, 250, 7);                // not a percentage: no wear from it
    entry(4, 231, 77, 0);
    SmartReadings readings = smartReadings(smartAttributes(table));
    EXPECT_EQ(readings.powerOnHours, 0x1234u);
    EXPECT_EQ(readings.temperatureCelsius, 35u);
    EXPECT_EQ(readings.wearPercent, 23u);
    EXPECT_EQ(readings.reallocatedSectors, std::nullopt);
    EXPECT_EQ(smartAttributes(table.substr(0, 37)).size(), 1u);  // an entry past the bytes given is not read
    EXPECT_EQ(groupedNumber(1234567), "1,234,567");
    EXPECT_EQ(groupedNumber(999), "999");
}

}  // namespace
}  // namespace moravel

namespace moravel {
namespace {

// tests/data/secondhand.json is the secondhand fixture's snapshot, so the README's example and
// the scripts read the health its disks answered. Made again here: a fixture changed without its
// snapshot fails, and the fresh one is left in the build folder to copy.
TEST(DiskHealth, TheSecondhandSnapshotIsTheFixtures) {
    std::ostringstream fresh;
    {
        lx::test::FixtureMachine machine{lx::test::fixtureRoot("secondhand")};
        writeSnapshot(&machine.provider(), machine.probes.get(), fresh);
    }
    std::ifstream committed(std::string(MORAVEL_SOURCE_DIR) + "/tests/data/secondhand.json");
    std::ostringstream text;
    text << committed.rdbuf();
    if (text.str() != fresh.str()) std::ofstream(std::string(MORAVEL_BINARY_DIR) + "/secondhand.json") << fresh.str();
    EXPECT_EQ(text.str(), fresh.str()) << "copy " MORAVEL_BINARY_DIR "/secondhand.json to tests/data/";
    Inventory inventory = inventoryOfFile("secondhand.json");
    EXPECT_EQ(inventory.disks.at(0).health.powerOnHours, 14200u);
    EXPECT_EQ(batteryCapacityPercent(inventory.batteries.at(0)), 71u);
}

}  // namespace
}  // namespace moravel

namespace moravel {
namespace {

// The property line of `label` in what --details printed, its padding dropped: "Wear 23 %".
std::vector<std::string> detailsLines(const std::string& snapshot, const std::string& label) {
    std::ostringstream out, err;
    EXPECT_EQ(runReport({"--details", "--snapshot", std::string(MORAVEL_SOURCE_DIR) + "/tests/data/" + snapshot}, out,
                        err),
              0)
        << err.str();
    std::vector<std::string> found;
    std::istringstream lines(out.str());
    for (std::string line; std::getline(lines, line);) {
        std::size_t at = line.find_first_not_of(' ');
        if (at == std::string::npos || line.compare(at, label.size() + 1, label + " ") != 0) continue;
        std::size_t text = line.find_first_not_of(' ', at + label.size());
        found.push_back(label + " " + line.substr(text));
    }
    return found;
}

// moravel-report --details of the used laptop as Linux and as Windows record it: each disk's
// hours and wear beside it, the battery's remaining capacity.
TEST(DiskHealth, DetailsPrintTheHealthBesideEachDiskAndBattery) {
    EXPECT_EQ(detailsLines("secondhand.json", "Power-on"),
              (std::vector<std::string>{"Power-on 14,200 hours", "Power-on 9,870 hours", "Power-on 21,340 hours"}));
    EXPECT_EQ(detailsLines("secondhand.json", "Wear"), (std::vector<std::string>{"Wear 23 %", "Wear 12 %"}));
    EXPECT_EQ(detailsLines("secondhand.json", "Reallocated sectors"), std::vector<std::string>{"Reallocated sectors 8"});
    EXPECT_EQ(detailsLines("secondhand.json", "Holds"), std::vector<std::string>{"Holds 71 % of its design capacity"});
    EXPECT_EQ(detailsLines("workstation_health.json", "Power-on"),
              (std::vector<std::string>{"Power-on 14,200 hours", "Power-on 9,870 hours"}));
    EXPECT_EQ(detailsLines("workstation_health.json", "Wear"), (std::vector<std::string>{"Wear 23 %", "Wear 4 %"}));
    EXPECT_EQ(detailsLines("workstation_health.json", "Holds"),
              std::vector<std::string>{"Holds 71 % of its design capacity"});
}

}  // namespace
}  // namespace moravel
