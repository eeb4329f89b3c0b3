#include "export/export_common.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <vector>

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

// The subnet of an IPv4 address and mask ("192.168.1.20", "255.255.255.0" -> "192.168.1.0");
// empty when either is not a dotted quad.
std::string ipv4Subnet(const std::string& address, const std::string& mask) {
    std::uint32_t a, m;
    if (!dottedQuad(address, a) || !dottedQuad(mask, m)) return {};
    std::uint32_t net = a & m;
    return std::to_string(net >> 24) + "." + std::to_string(net >> 16 & 255) + "." + std::to_string(net >> 8 & 255) +
           "." + std::to_string(net & 255);
}

// The first IPv4 address of a list ("" when it holds none).
std::string firstIpv4(const std::vector<std::string>& addresses) {
    for (const std::string& address : addresses)
        if (!address.empty() && address.find(':') == std::string::npos) return address;
    return {};
}

using Ipv6 = std::array<std::uint16_t, 8>;

// "fe80:0:12" as its groups; false for anything but one to four hexadecimal digits between colons.
bool hexGroups(const std::string& part, std::vector<std::uint16_t>& groups) {
    for (std::size_t start = 0; !part.empty();) {
        std::size_t end = part.find(':', start);
        std::string group = part.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (group.empty() || group.size() > 4 || group.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
            return false;
        groups.push_back(static_cast<std::uint16_t>(std::stoul(group, nullptr, 16)));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return true;
}

// The eight groups of an IPv6 address: hexadecimal groups, one "::" for a run of zeros, an IPv4
// address in the last 32 bits.
std::optional<Ipv6> parseIpv6(std::string text) {
    text = text.substr(0, text.find('%'));
    std::uint32_t ipv4 = 0;
    std::size_t lastColon = text.rfind(':');
    bool embedded = lastColon != std::string::npos && dottedQuad(text.substr(lastColon + 1), ipv4);
    if (embedded) text = text.substr(0, lastColon + 1) + "0:0";
    std::size_t gap = text.find("::");
    if (gap != std::string::npos && text.find("::", gap + 1) != std::string::npos) return std::nullopt;
    std::vector<std::uint16_t> head, tail;
    if (!hexGroups(text.substr(0, gap), head)) return std::nullopt;
    if (gap != std::string::npos && !hexGroups(text.substr(gap + 2), tail)) return std::nullopt;
    if (gap == std::string::npos ? head.size() != 8 : head.size() + tail.size() > 7) return std::nullopt;
    Ipv6 address{};
    std::copy(head.begin(), head.end(), address.begin());
    std::copy(tail.begin(), tail.end(), address.end() - static_cast<long>(tail.size()));
    if (embedded) address[6] = static_cast<std::uint16_t>(ipv4 >> 16), address[7] = static_cast<std::uint16_t>(ipv4);
    return address;
}

// Lower-case groups without leading zeros, the longest run of two or more zero groups as "::".
std::string ipv6Text(const Ipv6& address) {
    std::size_t bestAt = 8, bestLength = 1;
    for (std::size_t i = 0; i < 8;) {
        std::size_t j = i;
        while (j < 8 && address[j] == 0) ++j;
        if (j - i > bestLength) bestAt = i, bestLength = j - i;
        i = j == i ? i + 1 : j;
    }
    std::string text;
    for (std::size_t i = 0; i < 8; ++i) {
        if (i == bestAt) {
            text += "::";
            i += bestLength - 1;
            continue;
        }
        char group[8];
        std::snprintf(group, sizeof group, "%x", address[i]);
        text += (text.empty() || text.back() == ':' ? "" : ":") + std::string(group);
    }
    return text;
}

Ipv6 maskOf(unsigned prefixLength) {
    Ipv6 mask{};
    for (unsigned bit = 0; bit < std::min(prefixLength, 128u); ++bit)
        mask[bit / 16] = static_cast<std::uint16_t>(mask[bit / 16] | (0x8000u >> (bit % 16)));
    return mask;
}

}  // namespace

std::string ipv6Subnet(const std::string& address, unsigned prefixLength) {
    std::optional<Ipv6> parsed = parseIpv6(address);
    if (!parsed) return {};
    Ipv6 mask = maskOf(prefixLength);
    for (std::size_t i = 0; i < 8; ++i) (*parsed)[i] = static_cast<std::uint16_t>((*parsed)[i] & mask[i]);
    return ipv6Text(*parsed);
}

std::string ipv6Mask(unsigned prefixLength) { return ipv6Text(maskOf(prefixLength)); }

std::vector<AddressEntry> addressEntries(const NetworkAdapter& adapter) {
    std::vector<AddressEntry> entries;
    std::string gateway = firstIpv4(adapter.gateways);
    for (std::size_t i = 0; i < adapter.ipv4.size(); ++i) {
        std::string mask = i < adapter.ipv4Masks.size() ? adapter.ipv4Masks[i] : std::string();
        entries.push_back({false, adapter.ipv4[i], mask, ipv4Subnet(adapter.ipv4[i], mask), gateway, adapter.dhcpServer});
    }
    for (std::size_t i = 0; i < adapter.ipv6.size(); ++i) {
        unsigned prefix = i < adapter.ipv6Prefixes.size() ? adapter.ipv6Prefixes[i] : 64;
        entries.push_back({true, adapter.ipv6[i], ipv6Mask(prefix), ipv6Subnet(adapter.ipv6[i], prefix), {}, {}});
    }
    if (entries.empty()) entries.emplace_back();
    return entries;
}

std::string dnsServers(const Inventory& inventory) {
    std::string text;
    for (const std::string& server : dnsServerList(inventory)) text += (text.empty() ? "" : "/") + server;
    return text;
}

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

Number processorSpeed(const Processor& cpu) { return cpu.maxMhz ? cpu.maxMhz : cpu.currentMhz; }

std::string madeText(const Monitor& monitor) {
    if (!monitor.year) return {};
    return (monitor.week ? std::to_string(*monitor.week) + "/" : "") + std::to_string(*monitor.year);
}

std::string utcOffsetText(int minutes) {
    char text[8];
    int magnitude = minutes < 0 ? -minutes : minutes;
    std::snprintf(text, sizeof text, "%c%02d%02d", minutes < 0 ? '-' : '+', magnitude / 60 % 100, magnitude % 60);
    return text;
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
