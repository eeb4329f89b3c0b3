// The installed memory modules: SMBIOS type 17 structures when the firmware table is readable
// (root), else the MEMORY_DEVICE_<n>_* values systemd's udev rule read from it at boot, which
// every user may read. Both parsers take any bytes at all.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "providers/linux/parsers/udev_data.h"

namespace moravel::lx {

struct MemoryModuleInfo {
    std::string locator;  // "ChannelA-DIMM0"
    std::string bank;     // "BANK 0"
    std::string manufacturer;
    std::string partNumber;
    std::string serialNumber;
    std::uint64_t sizeBytes = 0;
    std::optional<std::uint64_t> type;        // SMBIOS memory type
    std::optional<std::uint64_t> formFactor;  // SMBIOS form factor
    std::optional<std::uint64_t> speed;       // MT/s
    std::optional<std::uint64_t> configuredSpeed;
};

// The modules of the table's type 17 structures that hold memory, in table order.
std::vector<MemoryModuleInfo> smbiosMemoryModules(const std::string& table);
// The modules of the dmi device's udev record with a size, by their number.
std::vector<MemoryModuleInfo> udevMemoryModules(const UdevProperties& properties);

}  // namespace moravel::lx
