// The COM/WMI provider of the Windows build.
#pragma once

#include <vector>

#include "query/wmi_provider.h"

namespace moravel::windows {

class ComProvider : public WmiProvider {
public:
    HResult initialize() override;
    HResult initializeSecurity() override;
    HResult createLocator(std::unique_ptr<WmiLocator>& locator) override;
    void uninitialize() override;

private:
    // One entry per accepted initialisation: whether CoUninitialize is owed for it.
    std::vector<bool> owed_;
};

}  // namespace moravel::windows
