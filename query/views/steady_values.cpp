#include "query/views/steady_values.h"

#include "query/views/provider_tap.h"
#include "query/wmi_names.h"

namespace moravel {
namespace {

struct MovingProperty {
    const char* className;
    const char* property;
};

const MovingProperty kMoving[] = {
    {"Win32_OperatingSystem", "LastBootUpTime"},
    {"Win32_OperatingSystem", "LocalDateTime"},
    {"Win32_OperatingSystem", "FreePhysicalMemory"},
    {"Win32_OperatingSystem", "FreeVirtualMemory"},
    {"Win32_LogicalDisk", "FreeSpace"},
    {"Win32_Battery", "EstimatedChargeRemaining"},
    {"Win32_Battery", "EstimatedRunTime"},
    {"Win32_Battery", "BatteryStatus"},
    {"Win32_Processor", "CurrentClockSpeed"},
    {"Win32_Processor", "LoadPercentage"},
    {"Win32_Printer", "PrinterStatus"},
    {"Win32_Printer", "PrinterState"},
    // A network's addresses, the link and its speed come and go with the network.
    {"Win32_NetworkAdapter", "NetConnectionStatus"},
    {"Win32_NetworkAdapter", "Speed"},
    {"Win32_NetworkAdapterConfiguration", "IPAddress"},
    {"Win32_NetworkAdapterConfiguration", "IPSubnet"},
    {"Win32_NetworkAdapterConfiguration", "DefaultIPGateway"},
    {"Win32_NetworkAdapterConfiguration", "DHCPServer"},
    // A battery wears: its cycles grow and the charge it holds when full shrinks.
    {"BatteryCycleCount", "CycleCount"},
    {"BatteryFullChargedCapacity", "FullChargedCapacity"},
    // A disk ages and warms: its hours, cycles, wear, errors, attribute table and temperature
    // move, as do the temperatures of the machine.
    {"MSFT_StorageReliabilityCounter", "Temperature"},
    {"MSFT_StorageReliabilityCounter", "Wear"},
    {"MSFT_StorageReliabilityCounter", "PowerOnHours"},
    {"MSFT_StorageReliabilityCounter", "StartStopCycleCount"},
    {"MSFT_StorageReliabilityCounter", "ReadErrorsUncorrected"},
    {"MSStorageDriver_FailurePredictData", "VendorSpecific"},
    {"MSAcpi_ThermalZoneTemperature", "CurrentTemperature"},
};

// Whether `property` of `className` (compared as WMI does, ignoring case) changes by itself.
bool changesByItself(const std::string& className, const std::string& property) {
    for (const MovingProperty& moving : kMoving)
        if (sameWmiName(className, moving.className) && sameWmiName(property, moving.property)) return true;
    return false;
}

// A disk's verdict (MSFT_PhysicalDisk's HealthStatus, the drive's PredictFailure) moves by
// itself between good and a warning; one that says failing is held as it is, so a disk that
// turns to failing is a change.
bool isVerdict(const std::string& className, const std::string& property) {
    return (sameWmiName(className, "MSFT_PhysicalDisk") && sameWmiName(property, "HealthStatus")) ||
           (sameWmiName(className, "MSStorageDriver_FailurePredictStatus") && sameWmiName(property, "PredictFailure"));
}

bool saysFailing(const WmiValue& value) {
    return (value.type == vt::I4 && value.integer == 2) || (value.type == vt::Bool && value.integer != 0);
}

class SteadyTap : public ProviderTap {
public:
    void valueRead(const std::string& query, std::size_t, const std::string& property, WmiValue& value) override {
        if (query != query_) query_ = query, className_ = queriedClassName(query);  // a class's values come in a row
        if (changesByItself(className_, property) || (isVerdict(className_, property) && !saysFailing(value)))
            value = WmiValue::null();
    }

private:
    std::string query_, className_;
};

class SteadyProbes : public SystemProbes {
public:
    explicit SteadyProbes(SystemProbes& inner) : inner_(inner) {}
    bool memoryStatus(MemoryStatus& status) override {
        const bool known = inner_.memoryStatus(status);
        status = MemoryStatus();
        return known;
    }
    std::vector<HardwareAddress> adapterAddresses() override { return inner_.adapterAddresses(); }
    std::optional<OsVersion> osVersion() override { return inner_.osVersion(); }
    bool addressesHidden() override { return inner_.addressesHidden(); }
    bool redacted() override { return inner_.redacted(); }

private:
    SystemProbes& inner_;
};

}  // namespace

Backend makeSteadyView(WmiProvider& provider, SystemProbes& probes) {
    return {makeTappedProvider(provider, std::make_shared<SteadyTap>()), std::make_unique<SteadyProbes>(probes)};
}

}  // namespace moravel
