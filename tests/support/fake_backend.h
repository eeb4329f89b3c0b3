// A machine that answers everything: every query has one object that has every property. For
// window tests each property reads as its own name, so every field gets a stable, recognisable
// text; the version comes from the test.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "query/backend.h"

namespace moravel::testing {

// What every property of the one object reads as.
enum class PropertyText { Name, Empty };

// Each step of the cycle hands the next one the same PropertyText.
template <class Interface>
class Answering : public Interface {
public:
    explicit Answering(PropertyText text) : text_(text) {}

protected:
    PropertyText text_;
};

class AnsweringObject : public Answering<WmiObject> {
public:
    using Answering::Answering;
    HResult get(const std::string& property, WmiValue& value) override {
        value = WmiValue::string(text_ == PropertyText::Name ? property : std::string());
        return kOk;
    }
};

class OneObject : public Answering<WmiEnumerator> {
public:
    using Answering::Answering;
    std::unique_ptr<WmiObject> next() override {
        if (given_) return nullptr;
        given_ = true;
        return std::make_unique<AnsweringObject>(text_);
    }

private:
    bool given_ = false;
};

class FakeServices : public Answering<WmiServices> {
public:
    using Answering::Answering;
    HResult setProxyBlanket() override { return kOk; }
    HResult execQuery(const std::string&, const std::string&, long, std::unique_ptr<WmiEnumerator>& e) override {
        e = std::make_unique<OneObject>(text_);
        return kOk;
    }
};

class FakeLocator : public Answering<WmiLocator> {
public:
    using Answering::Answering;
    HResult connectServer(const std::string&, std::unique_ptr<WmiServices>& s) override {
        s = std::make_unique<FakeServices>(text_);
        return kOk;
    }
};

class FakeProvider : public Answering<WmiProvider> {
public:
    using Answering::Answering;
    HResult initialize() override { return kOk; }
    HResult initializeSecurity() override { return kOk; }
    HResult createLocator(std::unique_ptr<WmiLocator>& l) override {
        l = std::make_unique<FakeLocator>(text_);
        return kOk;
    }
    void uninitialize() override {}
};

// Probes that answer what the test sets.
class FakeProbes : public SystemProbes {
public:
    bool readable = true;
    MemoryStatus memory;
    std::vector<HardwareAddress> adapters;
    std::optional<OsVersion> version;

    bool memoryStatus(MemoryStatus& status) override {
        if (readable) status = memory;
        return readable;
    }
    std::vector<HardwareAddress> adapterAddresses() override { return adapters; }
    std::optional<OsVersion> osVersion() override { return version; }
};

inline Backend makeFakeBackend(std::optional<OsVersion> version = std::nullopt, PropertyText text = PropertyText::Name) {
    auto probes = std::make_unique<FakeProbes>();
    probes->memory = {42, std::uint64_t{3} << 30};
    probes->adapters = {{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}};
    probes->version = version;
    return {std::make_unique<FakeProvider>(text), std::move(probes)};
}

}  // namespace moravel::testing
