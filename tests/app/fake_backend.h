// A backend for window tests: every query has one object whose properties read as their own
// names, so every field gets a stable, recognisable text; the version comes from the test.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "query/backend.h"

namespace moravel::testing {

class NamedProperties : public WmiObject {
public:
    HResult get(const std::string& property, WmiValue& value) override {
        value = WmiValue::string(property);
        return kOk;
    }
};

class OneObject : public WmiEnumerator {
public:
    explicit OneObject() = default;
    std::unique_ptr<WmiObject> next() override {
        if (given_) return nullptr;
        given_ = true;
        return std::make_unique<NamedProperties>();
    }

private:
    bool given_ = false;
};

class FakeServices : public WmiServices {
public:
    HResult setProxyBlanket() override { return kOk; }
    HResult execQuery(const std::string&, const std::string&, long, std::unique_ptr<WmiEnumerator>& e) override {
        e = std::make_unique<OneObject>();
        return kOk;
    }
};

class FakeLocator : public WmiLocator {
public:
    HResult connectServer(const std::string&, std::unique_ptr<WmiServices>& s) override {
        s = std::make_unique<FakeServices>();
        return kOk;
    }
};

class FakeProvider : public WmiProvider {
public:
    HResult initialize() override { return kOk; }
    HResult initializeSecurity() override { return kOk; }
    HResult createLocator(std::unique_ptr<WmiLocator>& l) override {
        l = std::make_unique<FakeLocator>();
        return kOk;
    }
    void uninitialize() override {}
};

class FakeProbes : public SystemProbes {
public:
    explicit FakeProbes(std::optional<OsVersion> version) : version_(version) {}
    bool memoryStatus(MemoryStatus& status) override {
        status.memoryLoad = 42;
        status.availPhys = std::uint64_t{3} << 30;
        return true;
    }
    std::vector<HardwareAddress> adapterAddresses() override { return {{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}}; }
    std::optional<OsVersion> osVersion() override { return version_; }

private:
    std::optional<OsVersion> version_;
};

inline Backend makeFakeBackend(std::optional<OsVersion> version = std::nullopt) {
    return {std::make_unique<FakeProvider>(), std::make_unique<FakeProbes>(version)};
}

}  // namespace moravel::testing
