// The "E:KEY=value" lines of a udev data file (/run/udev/data/b8:0). Takes any text at all.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace moravel::lx {

// The value of `key` with its \x escapes resolved; nothing when missing or blank.
std::optional<std::string> udevValue(const std::string& data, const std::string& key);

// The sizes of the dmi device's MEMORY_DEVICE_<n>_SIZE lines added up, in bytes; empty slots
// have no size.
std::optional<std::uint64_t> udevMemoryBytes(const std::string& data);

}  // namespace moravel::lx
