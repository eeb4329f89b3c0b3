// The x86 CPUID instruction, asked here and nowhere else. Other architectures have none, and a
// build with MORAVEL_CPUID off leaves it out too, so the rest of the provider never depends on it.
#include "providers/linux/system/host_facts.h"

#if MORAVEL_CPUID && (defined(__x86_64__) || defined(__i386__))
#include <cpuid.h>

#include <cstring>

namespace moravel::lx {

std::optional<std::string> readCpuidHypervisorVendor() {
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx) || !(ecx & (1u << 31))) return std::nullopt;  // no hypervisor
    __cpuid(0x40000000, eax, ebx, ecx, edx);
    char vendor[13] = {};
    std::memcpy(vendor, &ebx, 4);
    std::memcpy(vendor + 4, &ecx, 4);
    std::memcpy(vendor + 8, &edx, 4);
    std::string text = trim(vendor);
    if (text.empty()) return std::nullopt;
    return text;
}

std::optional<CpuidLeaf> readCpuidLeafOne() {
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx)) return std::nullopt;
    return CpuidLeaf{eax, edx};
}

}  // namespace moravel::lx
#else
namespace moravel::lx {

std::optional<std::string> readCpuidHypervisorVendor() { return std::nullopt; }
std::optional<CpuidLeaf> readCpuidLeafOne() { return std::nullopt; }

}  // namespace moravel::lx
#endif
