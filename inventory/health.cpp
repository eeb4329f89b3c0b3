// Disks' health (MSFT_PhysicalDisk, its reliability counters, the drive's failure prediction and
// SMART attribute table), batteries' remaining capacity and the temperatures the system reports.
// Every value passes a bound that no real disk, battery or sensor passes, so a corrupt record or
// a snapshot made up to mislead shows nothing rather than nonsense.
#include <cstdlib>

#include "inventory/inventory_parts.h"
#include "inventory/smart_attributes.h"
#include "query/wmi_names.h"

namespace moravel {
namespace {

constexpr std::uint64_t kMaxHours = 1000000;  // 114 years
constexpr std::uint64_t kMaxCount = std::uint64_t{1} << 32;
constexpr std::uint64_t kMaxCelsius = 150;
constexpr std::uint64_t kMaxWear = 255;  // NVMe counts past 100 % up to 255
constexpr int kTenthsKelvinAtZero = 2732;

Number within(Number value, std::uint64_t most) { return value && *value <= most ? value : std::nullopt; }

Number either(Number first, Number second) { return first ? first : second; }

std::string byDeviceId(const WmiRow& row) { return row.text("DeviceId"); }

// The ROOT\WMI classes name a disk by its device instance path and "_0", in any case.
std::string byInstance(const WmiRow& row) {
    std::string instance = row.text("InstanceName");
    std::size_t cut = instance.rfind('_');
    return cut == std::string::npos ? std::string() : parts::upper(instance.substr(0, cut));
}

std::string bytesOf(const std::vector<std::string>& items) {
    std::string bytes;
    for (const std::string& item : items) {
        auto value = std::strtoul(item.c_str(), nullptr, 10);
        bytes += static_cast<char>(value & 0xFF);
    }
    return bytes;
}

DiskMedia mediaOf(const WmiRow* physical) {
    Number media = physical ? physical->number("MediaType") : std::nullopt;
    return media == Number(3) ? DiskMedia::HardDisk : media == Number(4) ? DiskMedia::SolidState : DiskMedia::Unknown;
}

HealthStatus statusOf(const WmiRow* physical, const WmiRow* prediction) {
    if (prediction && prediction->flag("PredictFailure").value_or(false)) return HealthStatus::Failing;
    switch (physical ? physical->number("HealthStatus").value_or(5) : 5) {
    case 0: return HealthStatus::Healthy;
    case 1: return HealthStatus::Warning;
    case 2: return HealthStatus::Failing;
    default: return prediction ? HealthStatus::Healthy : HealthStatus::Unknown;
    }
}

struct HealthRows {
    const WmiRow* physical;
    const WmiRow* counter;
    const WmiRow* prediction;
    const WmiRow* table;
};

DiskHealth healthOf(const HealthRows& rows, DiskMedia media) {
    static const WmiRow none;
    const WmiRow& counter = rows.counter ? *rows.counter : none;
    SmartReadings smart;
    if (rows.table) smart = smartReadings(smartAttributes(bytesOf(rows.table->list("VendorSpecific"))));
    DiskHealth health;
    health.status = statusOf(rows.physical, rows.prediction);
    health.powerOnHours = within(either(counter.number("PowerOnHours"), smart.powerOnHours), kMaxHours);
    health.powerCycles = within(either(smart.powerCycles, counter.number("StartStopCycleCount")), kMaxCount);
    health.temperatureCelsius = within(either(counter.number("Temperature"), smart.temperatureCelsius), kMaxCelsius);
    if (media != DiskMedia::HardDisk) {
        health.wearPercent = within(either(counter.number("Wear"), smart.wearPercent), kMaxWear);
        health.mediaErrors = within(either(counter.number("ReadErrorsUncorrected"), smart.uncorrectable), kMaxCount);
    }
    if (media != DiskMedia::SolidState) {
        health.reallocatedSectors = within(smart.reallocatedSectors, kMaxCount);
        health.pendingSectors = within(smart.pendingSectors, kMaxCount);
    }
    return health;
}

std::optional<int> celsiusOf(Number tenthsOfKelvin) {
    if (!tenthsOfKelvin || *tenthsOfKelvin > kTenthsKelvinAtZero + 2500) return std::nullopt;  // up to 250 °C
    int tenths = static_cast<int>(*tenthsOfKelvin) - kTenthsKelvinAtZero;
    return (tenths >= 0 ? tenths + 5 : tenths - 5) / 10;
}

bool refused(const std::optional<CycleFailure>& failure) { return failure && failure->code == kAccessDenied; }

}  // namespace

Number batteryCapacityPercent(const Battery& battery) {
    const Number& design = battery.designCapacityMwh;
    const Number& full = battery.fullChargeCapacityMwh;
    if (!design || !full || *design == 0 || *design > 10000000 || *full > *design * 3 / 2) return std::nullopt;
    return (*full * 100 + *design / 2) / *design;
}

namespace parts {

void readDiskHealth(ClassSource& source, Inventory& inventory) {
    const WmiRows& drives = source.rows("Win32_DiskDrive");
    const WmiRows& physical = source.rows("MSFT_PhysicalDisk");
    for (std::size_t i = 0; i < drives.size() && i < inventory.disks.size(); ++i) {
        Number index = drives[i].number("Index");
        const std::string device = index ? std::to_string(*index) : std::string();
        const std::string instance = upper(drives[i].text("PNPDeviceID"));
        HealthRows rows{source.find("MSFT_PhysicalDisk", byDeviceId, device),
                        source.find("MSFT_StorageReliabilityCounter", byDeviceId, device),
                        source.find("MSStorageDriver_FailurePredictStatus", byInstance, instance),
                        source.find("MSStorageDriver_FailurePredictData", byInstance, instance)};
        Disk& disk = inventory.disks[i];
        disk.media = mediaOf(rows.physical);
        disk.health = healthOf(rows, disk.media);
    }
    inventory.diskHealthListed = !physical.empty();
    inventory.diskHealthNeedsRights = refused(source.failure("MSFT_StorageReliabilityCounter")) ||
                                      refused(source.failure("MSStorageDriver_FailurePredictStatus"));
}

void readTemperatures(ClassSource& source, Inventory& inventory) {
    for (const WmiRow& row : source.rows("MSAcpi_ThermalZoneTemperature")) {
        TemperatureSensor sensor{row.text("InstanceName"), celsiusOf(row.number("CurrentTemperature")),
                                 celsiusOf(row.number("CriticalTripPoint"))};
        if (sensor.celsius) inventory.temperatures.push_back(std::move(sensor));
    }
}

}  // namespace parts
}  // namespace moravel
