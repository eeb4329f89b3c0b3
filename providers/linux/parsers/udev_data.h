// What udev recorded of a device: its properties, from the "E:KEY=value" lines of its data file
// (/run/udev/data/b8:0) or from libudev. Takes any text at all.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace moravel::lx {

// Each property's name and value as udev stored it (ID_MODEL_ENC still has its \x escapes), in
// the record's order.
using UdevProperties = std::vector<std::pair<std::string, std::string>>;

// The properties of a udev data file.
UdevProperties udevProperties(const std::string& data);

// A stored value with its \x escapes resolved and surrounding blanks cut; nothing when blank.
std::optional<std::string> udevDecoded(const std::string& value);
// The value of `key` with its \x escapes resolved; nothing when missing or blank.
std::optional<std::string> udevValue(const UdevProperties& properties, const std::string& key);

// The sizes of the dmi device's MEMORY_DEVICE_<n>_SIZE properties added up, in bytes; empty
// slots have no size.
std::optional<std::uint64_t> udevMemoryBytes(const UdevProperties& properties);

}  // namespace moravel::lx
