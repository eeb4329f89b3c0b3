// The refresh rates a screen's EDID block states. Takes any bytes at all (tests and the fuzz
// target feed it without a file tree).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace moravel::lx {

// The refresh rate of the preferred timing (the first detailed timing descriptor).
std::optional<std::uint64_t> edidCurrentRefresh(const std::string& edid);
// The highest vertical rate of the range-limits descriptor.
std::optional<std::uint64_t> edidMaxRefresh(const std::string& edid);

}  // namespace moravel::lx
