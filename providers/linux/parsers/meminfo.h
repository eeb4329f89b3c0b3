// The "Key:   123 kB" lines of /proc/meminfo. Takes any text at all.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace moravel::lx {

// The number of the line of `key` ("MemTotal", ...).
std::optional<std::uint64_t> meminfoValue(const std::string& text, const char* key);

}  // namespace moravel::lx
