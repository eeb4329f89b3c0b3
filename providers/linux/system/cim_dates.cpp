#include "providers/linux/system/cim_dates.h"

#include <cstdio>

namespace moravel::lx {

std::string cimDateTime(const HostFacts& host, std::time_t when) {
    int offset = host.utcOffsetMinutes(when);
    std::time_t shifted = when + static_cast<std::time_t>(offset) * 60;
    std::tm local{};
    ::gmtime_r(&shifted, &local);
    char text[64];
    std::snprintf(text, sizeof text, "%04d%02d%02d%02d%02d%02d.000000%c%03d", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, offset < 0 ? '-' : '+',
                  offset < 0 ? -offset : offset);
    return text;
}

std::optional<std::string> cimReleaseDate(const std::string& date) {
    int month = 0, day = 0, year = 0;
    char tail = 0;
    if (std::sscanf(date.c_str(), "%2d/%2d/%4d%c", &month, &day, &year, &tail) != 3) return std::nullopt;
    if (year < 100) year += year < 80 ? 2000 : 1900;  // some old firmware writes two digits
    if (month < 1 || month > 12 || day < 1 || day > 31) return std::nullopt;
    char text[40];  // a date alone: midnight, offset +000, as WMI gives firmware dates
    std::snprintf(text, sizeof text, "%04d%02d%02d000000.000000+000", year, month, day);
    return std::string(text);
}

}  // namespace moravel::lx
