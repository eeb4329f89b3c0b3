// A provider that passes every call to another one and notes which class and property each
// query cycle asked for, so tests can check the order of the reads.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "query/wmi_provider.h"

namespace moravel::testing {

class TracingProvider : public WmiProvider {
public:
    explicit TracingProvider(WmiProvider& inner) : inner_(inner) {}
    void beginCycle(const std::string& wqlQuery) override { inner_.beginCycle(wqlQuery); }
    HResult initialize() override { return inner_.initialize(); }
    HResult initializeSecurity() override { return inner_.initializeSecurity(); }
    HResult createLocator(std::unique_ptr<WmiLocator>& locator) override;
    void uninitialize() override { inner_.uninitialize(); }

    std::vector<std::string> reads;

private:
    WmiProvider& inner_;
};

}  // namespace moravel::testing
