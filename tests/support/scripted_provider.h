// A WMI provider for tests: each step answers the code its script gives, objects come from the
// script, and every call and every release is written to a log so tests can check the order.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "query/wmi_provider.h"

namespace moravel::testing {

struct ProviderScript {
    HResult initialize = kOk;
    HResult security = kOk;
    HResult createLocator = kOk;
    HResult connect = kOk;
    HResult proxyBlanket = kOk;
    HResult execQuery = kOk;
    // The objects every query returns; a property an object lacks makes Get fail with kNotFound.
    std::vector<std::map<std::string, WmiValue>> objects;
};

class ScriptedProvider : public WmiProvider {
public:
    ProviderScript script;  // read afresh by every cycle

    // Log entries: "CoInitializeEx", "CoInitializeSecurity", "CoCreateInstance",
    // "ConnectServer ROOT\CIMV2", "CoSetProxyBlanket", "ExecQuery WQL <query> 48", "Next",
    // "Next: none", "Get <property>", "release object", "release enumerator",
    // "release services", "release locator", "CoUninitialize".
    std::vector<std::string> takeLog();
    // Platform objects handed out and not yet released.
    int liveObjects() const { return live_; }
    // The query text of the last announced cycle.
    const std::string& announcedQuery() const { return announced_; }

    void beginCycle(const std::string& wqlQuery) override { announced_ = wqlQuery; }
    HResult initialize() override;
    HResult initializeSecurity() override;
    HResult createLocator(std::unique_ptr<WmiLocator>& locator) override;
    void uninitialize() override;

    // Used by the objects this provider hands out.
    void record(std::string entry) { log_.push_back(std::move(entry)); }
    void created() { ++live_; }
    void released(const char* what);

private:
    std::vector<std::string> log_;
    std::string announced_;
    int live_ = 0;
};

}  // namespace moravel::testing
