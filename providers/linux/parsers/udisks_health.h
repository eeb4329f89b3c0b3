// What UDisks2 (the desktop's disk service) says of a drive's health, written as the drive itself
// answers a health request (an ATA SMART attribute table, an NVMe health log page), so one path
// reads both. Values in, bytes out; no system calls.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace moravel::lx {

// One entry of Drive.Ata.SmartGetAttributes: the value interpreted in `unit` (libatasmart's:
// 1 none, 2 milliseconds, 3 sectors, 4 millikelvin, ...), the normalised ones -1 where unknown.
struct UdisksAttribute {
    unsigned id = 0;
    unsigned flags = 0;
    int value = -1;
    int worst = -1;
    std::int64_t pretty = 0;
    int unit = 0;
};
std::string ataTableFromUdisks(const std::vector<UdisksAttribute>& attributes);

// NVMe.Controller's properties and SmartGetAttributes.
struct UdisksNvme {
    std::vector<std::string> criticalWarning;  // "spare", "temperature", "degraded", "readonly", "volatile_mem"
    std::optional<std::uint64_t> temperatureKelvin, powerOnHours, percentUsed, availableSpare, spareThreshold;
    std::optional<std::uint64_t> powerCycles, unsafeShutdowns, mediaErrors;
};
std::string nvmeLogFromUdisks(const UdisksNvme& nvme);

}  // namespace moravel::lx
