// Times and dates in the CIM form WMI gives them, yyyymmddHHMMSS.mmmmmmsUUU (UUU: the offset from
// UTC in minutes).
#pragma once

#include <ctime>
#include <optional>
#include <string>

#include "providers/linux/system/linux_context.h"

namespace moravel::lx {

// A time in local time with its offset.
std::string cimDateTime(const HostFacts& host, std::time_t when);
// DMI's "MM/DD/YYYY" as a CIM date; takes any text at all.
std::optional<std::string> cimReleaseDate(const std::string& dmiDate);

}  // namespace moravel::lx
