#include "query/probes.h"

#include <cctype>
#include <climits>
#include <cstdio>

namespace moravel {

MemoryTexts formatMemoryStatus(const MemoryStatus& status) {
    char available[32];
    char load[16];
    // Whole mebibytes, held at the largest "%d" can show rather than wrapping to a negative count.
    std::uint64_t whole = status.availPhys >> 20;
    int mebibytes = whole > INT_MAX ? INT_MAX : static_cast<int>(whole);
    std::snprintf(available, sizeof available, "%d %s", mebibytes, "MB");
    std::snprintf(load, sizeof load, "%d%%", static_cast<int>(status.memoryLoad));
    return {available, load};
}

std::string formatAdapterAddress(const HardwareAddress& a) {
    char text[24];
    std::snprintf(text, sizeof text, "%02X-%02X-%02X-%02X-%02X-%02X", a[0], a[1], a[2], a[3], a[4], a[5]);
    return text;
}

std::string hideHexDigits(std::string text) {
    for (char& c : text)
        if (std::isxdigit(static_cast<unsigned char>(c))) c = 'X';
    return text;
}

std::string adapterAddressText(SystemProbes& probes, const HardwareAddress& address) {
    std::string text = formatAdapterAddress(address);
    return probes.addressesHidden() ? hideHexDigits(text) : text;
}

MemoryTexts readMemoryStatus(SystemProbes* probes) {
    MemoryStatus status;
    if (!probes || !probes->memoryStatus(status)) status = MemoryStatus();
    return formatMemoryStatus(status);
}

std::string readAdapterAddress(SystemProbes* probes) {
    if (!probes) return {};
    // GetAdaptersInfo fills a buffer of 16 records; a longer list does not fit and yields no
    // address on Windows, so no platform answers with one.
    constexpr std::size_t kAdapterRecords = 16;
    std::vector<HardwareAddress> adapters = probes->adapterAddresses();
    if (adapters.empty() || adapters.size() > kAdapterRecords) return {};
    return adapterAddressText(*probes, adapters.back());
}

}  // namespace moravel
