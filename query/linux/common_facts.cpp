#include <cstdio>
#include <sstream>

#include "query/linux/content_parsers.h"
#include "query/linux/linux_classes.h"

namespace moravel::lx {

std::optional<std::string> dmiField(const RootFs& fs, const char* name) {
    return fs.lineOnce(std::string("/sys/class/dmi/id/") + name);  // the firmware's table: fixed
}

std::optional<std::uint64_t> meminfoKib(const RootFs& fs, const char* key) {
    std::optional<std::string> text = fs.read("/proc/meminfo");
    return text ? meminfoValue(*text, key) : std::nullopt;
}

std::optional<std::uint64_t> meminfoValue(const std::string& text, const char* key) {
    std::istringstream in(text);
    std::string wanted = std::string(key) + ":";
    for (std::string name; in >> name;) {
        std::uint64_t value = 0;
        if (!(in >> value)) return std::nullopt;
        if (name == wanted) return value;
        in.ignore(64, '\n');
    }
    return std::nullopt;
}

std::optional<std::string> hostName(const RootFs& fs) { return fs.line("/proc/sys/kernel/hostname"); }

std::string cimDateTime(const HostFacts& host, std::time_t when) {
    int offset = host.utcOffsetMinutes(when);
    std::time_t shifted = when + static_cast<std::time_t>(offset) * 60;
    std::tm local{};
    ::gmtime_r(&shifted, &local);
    char text[64];
    std::snprintf(text, sizeof text, "%04d%02d%02d%02d%02d%02d.000000%c%03d", local.tm_year + 1900,
                  local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
                  offset < 0 ? '-' : '+', offset < 0 ? -offset : offset);
    return text;
}

std::string cimDate(int year, int month, int day) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d%02d%02d000000.000000+000", year, month, day);
    return text;
}

}  // namespace moravel::lx
