// The Linux provider: answers "SELECT * FROM <class>" from the kernel's files below a root, each
// class through its reader (classes/).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "providers/linux/system/linux_context.h"
#include "query/probes.h"
#include "query/wmi_provider.h"

namespace moravel::lx {

// `names` and `host` must outlive the provider.
std::unique_ptr<WmiProvider> makeLinuxProvider(const std::string& root, const DeviceNames& names,
                                               const HostFacts& host);
// With `host`, the hypervisor is also asked through CPUID; without, the kernel's files tell it.
std::unique_ptr<SystemProbes> makeLinuxProbes(const std::string& root, std::unique_ptr<HostFacts> host = nullptr);
// The classes the provider answers, in no particular order.
std::vector<std::string> linuxClasses();

}  // namespace moravel::lx
