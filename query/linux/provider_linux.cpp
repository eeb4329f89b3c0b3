// Placeholder until the Linux provider lands: a provider that answers every query with no objects.
#include "query/backend.h"

namespace moravel {
namespace {

class NoObjects : public WmiEnumerator {
public:
    std::unique_ptr<WmiObject> next() override { return nullptr; }
};
class Services : public WmiServices {
public:
    HResult setProxyBlanket() override { return kOk; }
    HResult execQuery(const std::string&, const std::string&, long, std::unique_ptr<WmiEnumerator>& e) override {
        e = std::make_unique<NoObjects>();
        return kOk;
    }
};
class Locator : public WmiLocator {
public:
    HResult connectServer(const std::string&, std::unique_ptr<WmiServices>& s) override {
        s = std::make_unique<Services>();
        return kOk;
    }
};
class Provider : public WmiProvider {
public:
    HResult initialize() override { return kOk; }
    HResult initializeSecurity() override { return kOk; }
    HResult createLocator(std::unique_ptr<WmiLocator>& l) override {
        l = std::make_unique<Locator>();
        return kOk;
    }
    void uninitialize() override {}
};
class Probes : public SystemProbes {
public:
    bool memoryStatus(MemoryStatus&) override { return false; }
    std::vector<HardwareAddress> adapterAddresses() override { return {}; }
};

}  // namespace

Backend makePlatformBackend() { return {std::make_unique<Provider>(), std::make_unique<Probes>()}; }

}  // namespace moravel
