// ARM processors as /proc/cpuinfo describes them: no brand string, only the numbers of the
// main ID register (implementer, variant, architecture, part, revision). Named here from a
// table of the common cores.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "providers/linux/parsers/cpuinfo.h"

namespace moravel::lx {

bool isArmProcessor(const CpuBlock& cpu);
// The SoC when the device tree names it, then its kinds of cores in the order the kernel lists
// them: "Broadcom BCM2711 (Cortex-A72)", "Rockchip RK3588 (Cortex-A55 + Cortex-A76)"; without
// a device tree the implementer and the cores: "ARM Neoverse-N1".
std::optional<std::string> armProcessorName(const std::vector<CpuBlock>& cpus, const std::optional<std::string>& soc);
// The implementer: "ARM", "Qualcomm", "Apple", ...
std::optional<std::string> armManufacturer(const CpuBlock& cpu);
// As Windows words an x86 processor's: "ARMv8 Family 8 Model D08 Revision 3".
std::optional<std::string> armDescription(const CpuBlock& cpu);
// The main ID register (MIDR) rebuilt from its fields, "%08X": 410FD083 for a Cortex-A72 r0p3.
std::optional<std::string> armProcessorId(const CpuBlock& cpu);
// The SoC of a device tree's "compatible" list (its last entry, "brcm,bcm2711"), with its
// maker's name: "Broadcom BCM2711".
std::optional<std::string> socName(const std::string& compatibleEntry);

}  // namespace moravel::lx
