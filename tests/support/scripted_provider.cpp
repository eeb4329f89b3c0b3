#include "tests/support/scripted_provider.h"

namespace moravel::testing {
namespace {

// Base of every platform object the provider hands out: counts it live and logs its release.
class Tracked {
public:
    Tracked(ScriptedProvider& provider, const char* name) : provider_(provider), name_(name) { provider_.created(); }
    ~Tracked() { provider_.released(name_); }
    Tracked(const Tracked&) = delete;
    Tracked& operator=(const Tracked&) = delete;

protected:
    ScriptedProvider& provider_;

private:
    const char* name_;
};

class ScriptedObject : public WmiObject, Tracked {
public:
    ScriptedObject(ScriptedProvider& provider, const std::map<std::string, WmiValue>& properties)
        : Tracked(provider, "object"), properties_(properties) {}
    HResult get(const std::string& property, WmiValue& value) override {
        provider_.record("Get " + property);
        auto it = properties_.find(property);
        if (it == properties_.end()) return kNotFound;
        value = it->second;
        return kOk;
    }

private:
    std::map<std::string, WmiValue> properties_;
};

class ScriptedEnumerator : public WmiEnumerator, Tracked {
public:
    explicit ScriptedEnumerator(ScriptedProvider& provider) : Tracked(provider, "enumerator") {}
    std::unique_ptr<WmiObject> next() override {
        const auto& objects = provider_.script.objects;
        if (position_ >= objects.size()) {
            provider_.record("Next: none");
            return nullptr;
        }
        provider_.record("Next");
        return std::make_unique<ScriptedObject>(provider_, objects[position_++]);
    }

private:
    std::size_t position_ = 0;
};

class ScriptedServices : public WmiServices, Tracked {
public:
    explicit ScriptedServices(ScriptedProvider& provider) : Tracked(provider, "services") {}
    HResult setProxyBlanket() override {
        provider_.record("CoSetProxyBlanket");
        return provider_.script.proxyBlanket;
    }
    HResult execQuery(const std::string& language, const std::string& query, long flags,
                      std::unique_ptr<WmiEnumerator>& enumerator) override {
        provider_.record("ExecQuery " + language + " " + query + " " + std::to_string(flags));
        if (failed(provider_.script.execQuery)) return provider_.script.execQuery;
        enumerator = std::make_unique<ScriptedEnumerator>(provider_);
        return provider_.script.execQuery;
    }
};

class ScriptedLocator : public WmiLocator, Tracked {
public:
    explicit ScriptedLocator(ScriptedProvider& provider) : Tracked(provider, "locator") {}
    HResult connectServer(const std::string& path, std::unique_ptr<WmiServices>& services) override {
        provider_.record("ConnectServer " + path);
        if (failed(provider_.script.connect)) return provider_.script.connect;
        services = std::make_unique<ScriptedServices>(provider_);
        return provider_.script.connect;
    }
};

}  // namespace

std::vector<std::string> ScriptedProvider::takeLog() {
    std::vector<std::string> log;
    log.swap(log_);
    return log;
}

HResult ScriptedProvider::initialize() {
    record("CoInitializeEx");
    return script.initialize;
}

HResult ScriptedProvider::initializeSecurity() {
    record("CoInitializeSecurity");
    return script.security;
}

HResult ScriptedProvider::createLocator(std::unique_ptr<WmiLocator>& locator) {
    record("CoCreateInstance");
    if (!failed(script.createLocator)) locator = std::make_unique<ScriptedLocator>(*this);
    return script.createLocator;
}

void ScriptedProvider::uninitialize() { record("CoUninitialize"); }

void ScriptedProvider::released(const char* what) {
    --live_;
    record(std::string("release ") + what);
}

}  // namespace moravel::testing
