// A machine that answers everything: every query has one object that has every property. For
// window tests each property reads as its own name, so every field gets a stable, recognisable
// text; the version comes from the test.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "query/backend.h"
#include "query/object_source.h"

namespace moravel::testing {

// What every property of the one object reads as.
enum class PropertyText { Name, Empty };

// One object of every class, answering every property.
class AnsweringSource : public ObjectSource {
public:
    explicit AnsweringSource(PropertyText text) : text_(text) {}
    ClassObjects objects(const std::string&, const std::string&) override {
        return {
            1, [text = text_](std::size_t) -> std::unique_ptr<WmiObject> { return std::make_unique<Answering>(text); }};
    }

private:
    class Answering : public WmiObject {
    public:
        explicit Answering(PropertyText text) : text_(text) {}
        HResult get(const std::string& property, WmiValue& value) override {
            value = WmiValue::string(text_ == PropertyText::Name ? property : std::string());
            return kOk;
        }

    private:
        PropertyText text_;
    };
    PropertyText text_;
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

inline Backend makeFakeBackend(std::optional<OsVersion> version = std::nullopt,
                               PropertyText text = PropertyText::Name) {
    auto probes = std::make_unique<FakeProbes>();
    probes->memory = {42, std::uint64_t{3} << 30};
    probes->adapters = {{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}};
    probes->version = version;
    return {makeListingProvider(std::make_shared<AnsweringSource>(text)), std::move(probes)};
}

}  // namespace moravel::testing
