// The memory of a display adapter as its driver recorded it: a 64-bit size, where WMI's
// AdapterRAM is a uint32 that stops at 4 GiB.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace moravel::windows {

// AdapterRAM at or above this says "4 GiB or more": the driver's own record holds the size.
constexpr std::uint32_t kAdapterRamCeiling = 0xFFF00000u;

// HardwareInformation.qwMemorySize of the display-class key that the adapter's device key
// (HKLM\SYSTEM\CurrentControlSet\Enum\<PNPDeviceID>) names as its driver; nothing when a key
// or the value is missing or not 8 bytes.
std::optional<std::uint64_t> driverMemorySize(const std::string& pnpDeviceId);

}  // namespace moravel::windows
