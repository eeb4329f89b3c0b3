// The facts that come from system calls on the running machine, and the printer list of the
// local CUPS scheduler.
#pragma once

#include <memory>

#include "providers/linux/system/linux_context.h"

namespace moravel::lx {

std::unique_ptr<HostFacts> makeSystemHostFacts();


// The hypervisor signature of CPUID leaf 0x40000000, and leaf 1; compiled only for x86
// (MORAVEL_CPUID).
std::optional<std::string> readCpuidHypervisorVendor();
std::optional<CpuidLeaf> readCpuidLeafOne();


}  // namespace moravel::lx
