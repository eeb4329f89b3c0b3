#include "query/probes.h"

#include <cstdio>

namespace moravel {
namespace {
SystemProbes* currentProbes = nullptr;
}

void setSystemProbes(SystemProbes* probes) { currentProbes = probes; }
SystemProbes* systemProbes() { return currentProbes; }

MemoryTexts formatMemoryStatus(const MemoryStatus& status) {
    char available[32];
    char load[16];
    std::snprintf(available, sizeof available, "%d %s", static_cast<int>(status.availPhys >> 20), "MB");
    std::snprintf(load, sizeof load, "%d%%", static_cast<int>(status.memoryLoad));
    return {available, load};
}

std::string formatAdapterAddress(const HardwareAddress& a) {
    char text[24];
    std::snprintf(text, sizeof text, "%02X-%02X-%02X-%02X-%02X-%02X", a[0], a[1], a[2], a[3], a[4], a[5]);
    return text;
}

MemoryTexts readMemoryStatus() {
    MemoryStatus status;
    if (currentProbes) currentProbes->memoryStatus(status);
    return formatMemoryStatus(status);
}

std::string readAdapterAddress() {
    if (!currentProbes) return {};
    std::vector<HardwareAddress> adapters = currentProbes->adapterAddresses();
    return adapters.empty() ? std::string() : formatAdapterAddress(adapters.back());
}

}  // namespace moravel
