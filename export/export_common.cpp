#include "export/export_common.h"

#include <cstdint>
#include <cstdio>

#include "moravel_version.h"

namespace moravel {
namespace {

std::uint64_t fnv1a(const std::string& text) {
    std::uint64_t hash = 14695981039346656037ull;
    for (unsigned char c : text) hash = (hash ^ c) * 1099511628211ull;
    return hash;
}

// Days since 1970-01-01 as a civil date (the proleptic Gregorian calendar).
void civilFromDays(long long days, int& year, int& month, int& day) {
    days += 719468;
    long long era = (days >= 0 ? days : days - 146096) / 146097;
    long long dayOfEra = days - era * 146097;
    long long yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    long long monthIndex = (5 * dayOfYear + 2) / 153;
    day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
    month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    year = static_cast<int>(yearOfEra + era * 400 + (month <= 2));
}

bool dottedQuad(const std::string& text, std::uint32_t& value) {
    unsigned a, b, c, d;
    char rest;
    if (std::sscanf(text.c_str(), "%u.%u.%u.%u%c", &a, &b, &c, &d, &rest) != 4 || a > 255 || b > 255 || c > 255 ||
        d > 255)
        return false;
    value = a << 24 | b << 16 | c << 8 | d;
    return true;
}

}  // namespace

std::string inventoryDeviceId(const Inventory& inventory) {
    const ComputerIdentity& computer = inventory.computer;
    std::string key = !computer.deviceId.empty()       ? computer.deviceId
                      : !computer.uuid.empty()         ? computer.uuid
                      : !computer.serialNumber.empty() ? computer.serialNumber
                                                       : computer.name;
    // A second within the thirty years from 2000 on.
    constexpr long long kStart = 946684800, kSpan = 30LL * 365 * 86400;
    long long seconds = kStart + static_cast<long long>(fnv1a(key) % kSpan);
    int year, month, day;
    civilFromDays(seconds / 86400, year, month, day);
    long long inDay = seconds % 86400;
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d-%02lld-%02lld-%02lld", year, month, day, inDay / 3600,
                  inDay / 60 % 60, inDay % 60);
    return (computer.name.empty() ? std::string("computer") : computer.name) + "-" + stamp;
}

std::string versionClient() { return "Moravel-" MORAVEL_VERSION; }

Number mebibytes(Number bytes) { return bytes ? Number(*bytes >> 20) : std::nullopt; }

std::string osShortName(const OperatingSystemInfo& os) {
    if (os.kernelName == "windows") return "Windows";
    return os.name.substr(0, os.name.find(' '));
}

std::string utcOffsetText(int minutes) {
    char text[8];
    int magnitude = minutes < 0 ? -minutes : minutes;
    std::snprintf(text, sizeof text, "%c%02d%02d", minutes < 0 ? '-' : '+', magnitude / 60 % 100, magnitude % 60);
    return text;
}

std::string ipv4Subnet(const std::string& address, const std::string& mask) {
    std::uint32_t a, m;
    if (!dottedQuad(address, a) || !dottedQuad(mask, m)) return {};
    std::uint32_t net = a & m;
    return std::to_string(net >> 24) + "." + std::to_string(net >> 16 & 255) + "." + std::to_string(net >> 8 & 255) +
           "." + std::to_string(net & 255);
}

std::string firstIpv4(const std::vector<std::string>& addresses) {
    for (const std::string& address : addresses)
        if (!address.empty() && address.find(':') == std::string::npos) return address;
    return {};
}

std::string firstIpv4Gateway(const Inventory& inventory) {
    for (const NetworkAdapter& adapter : inventory.networkAdapters)
        if (std::string gateway = firstIpv4(adapter.gateways); !gateway.empty()) return gateway;
    return {};
}

std::string firstIpv4Address(const Inventory& inventory) {
    for (const NetworkAdapter& adapter : inventory.networkAdapters)
        if (std::string address = firstIpv4(adapter.ipv4); !address.empty()) return address;
    return {};
}

}  // namespace moravel
