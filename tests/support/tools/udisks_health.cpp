// Prints what UDisks2 says of each drive, as the Linux provider reads it: one line per block
// device, "DEVICE failing=0|1" and the values the drive's answer holds. The UDisks2 script runs
// it against a stand-in service on a private bus.
#include <iostream>

#include "inventory/smart_attributes.h"
#include "providers/linux/parsers/nvme_health.h"
#include "providers/linux/system/udisks.h"

int main() {
    using namespace moravel;
    for (const auto& [device, answer] : lx::askUdisksHealth()) {
        std::cout << device << " failing=" << answer.failing;
        if (std::optional<lx::NvmeHealth> nvme = device.find("nvme") != std::string::npos
                                                     ? lx::nvmeHealth(answer.data)
                                                     : std::nullopt) {
            std::cout << " warning=" << nvme->criticalWarning << " kelvin=" << nvme->temperatureKelvin.value_or(0)
                      << " used=" << nvme->percentageUsed << " hours=" << nvme->powerOnHours.value_or(0)
                      << " cycles=" << nvme->powerCycles.value_or(0) << " media=" << nvme->mediaErrors.value_or(0);
        } else {
            SmartReadings smart = smartReadings(smartAttributes(answer.data));
            std::cout << " hours=" << smart.powerOnHours.value_or(0) << " cycles=" << smart.powerCycles.value_or(0)
                      << " celsius=" << smart.temperatureCelsius.value_or(0)
                      << " reallocated=" << smart.reallocatedSectors.value_or(0)
                      << " pending=" << smart.pendingSectors.value_or(0);
        }
        std::cout << "\n";
    }
}
