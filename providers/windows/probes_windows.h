// The direct system calls of the Windows build: memory status, adapter list, version numbers.
#pragma once

#include "query/probes.h"

namespace moravel::windows {

class Win32Probes : public SystemProbes {
public:
    bool memoryStatus(MemoryStatus& status) override;
    std::vector<HardwareAddress> adapterAddresses() override;
    std::optional<OsVersion> osVersion() override;
    std::optional<std::string> machineGuid() override;
};

// GetVersionExA's major and minor numbers (a zero-filled record if the call leaves it so).
OsVersion readWindowsVersion();

}  // namespace moravel::windows
