// A provider and probes that answer from a snapshot file instead of the machine: the objects of
// each class in file order, and any failure the file stages for a query at the step it names.
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "query/backend.h"
#include "query/snapshot_data.h"
#include "query/wmi_names.h"

namespace moravel {
namespace {

using Data = std::shared_ptr<const SnapshotData>;
using Failure = std::optional<StagedFailure>;

constexpr HResult kInvalidNamespace = static_cast<HResult>(0x8004100Eu);  // WBEM_E_INVALID_NAMESPACE
constexpr HResult kInvalidQueryType = static_cast<HResult>(0x80041018u);  // WBEM_E_INVALID_QUERY_TYPE

// The code the staged failure gives at `step`, or success when none is staged there. A staged
// success code (S_FALSE, say) lets the step go on with that code.
HResult resultAt(const Failure& failure, CycleStep step) {
    return failure && failure->step == step ? failure->code : kOk;
}

Failure stagedFor(const SnapshotData& data, const std::string& query) {
    auto staged = data.failures.find(query);
    return staged == data.failures.end() ? Failure() : Failure(staged->second);
}

class SnapshotObjectView : public WmiObject {
public:
    SnapshotObjectView(Data data, const SnapshotObject& properties) : data_(std::move(data)), properties_(properties) {}
    HResult get(const std::string& property, WmiValue& value) override {
        auto it = findWmiName(properties_, property);
        if (it == properties_.end()) return kNotFound;
        value = it->second;
        return kOk;
    }

private:
    Data data_;  // keeps properties_ alive
    const SnapshotObject& properties_;
};

class SnapshotEnumerator : public WmiEnumerator {
public:
    SnapshotEnumerator(Data data, const std::vector<SnapshotObject>* objects)
        : data_(std::move(data)), objects_(objects) {}
    std::unique_ptr<WmiObject> next() override {
        if (!objects_ || position_ >= objects_->size()) return nullptr;
        return std::make_unique<SnapshotObjectView>(data_, (*objects_)[position_++]);
    }

private:
    Data data_;
    const std::vector<SnapshotObject>* objects_;  // null: a class the file does not list
    std::size_t position_ = 0;
};

class SnapshotServices : public WmiServices {
public:
    SnapshotServices(Data data, Failure failure) : data_(std::move(data)), failure_(failure) {}
    HResult setProxyBlanket() override { return resultAt(failure_, CycleStep::ProxyBlanket); }
    HResult execQuery(const std::string& language, const std::string& query, long,
                      std::unique_ptr<WmiEnumerator>& enumerator) override {
        // The text actually run decides, even for a caller that did not announce the cycle.
        HResult hr = resultAt(stagedFor(*data_, query), CycleStep::ExecQuery);
        if (failed(hr)) return hr;
        if (!sameWmiName(language, "WQL")) return kInvalidQueryType;
        std::optional<std::string> name = queriedClass(query);
        if (!name) return kInvalidQuery;
        auto found = findWmiName(data_->classes, *name);
        enumerator = std::make_unique<SnapshotEnumerator>(data_, found == data_->classes.end() ? nullptr : &found->second);
        return hr;
    }

private:
    Data data_;
    Failure failure_;
};

class SnapshotLocator : public WmiLocator {
public:
    SnapshotLocator(Data data, Failure failure) : data_(std::move(data)), failure_(failure) {}
    HResult connectServer(const std::string& path, std::unique_ptr<WmiServices>& services) override {
        HResult hr = resultAt(failure_, CycleStep::Connect);
        if (failed(hr)) return hr;
        if (!sameWmiName(path, kWmiNamespace)) return kInvalidNamespace;
        services = std::make_unique<SnapshotServices>(data_, failure_);
        return hr;
    }

private:
    Data data_;
    Failure failure_;
};

class SnapshotProvider : public WmiProvider {
public:
    explicit SnapshotProvider(Data data) : data_(std::move(data)) {}
    void beginCycle(const std::string& wqlQuery) override {
        failure_ = stagedFor(*data_, wqlQuery);
    }
    HResult initialize() override { return resultAt(failure_, CycleStep::Initialize); }
    HResult initializeSecurity() override { return resultAt(failure_, CycleStep::Security); }
    HResult createLocator(std::unique_ptr<WmiLocator>& locator) override {
        HResult hr = resultAt(failure_, CycleStep::CreateLocator);
        if (!failed(hr)) locator = std::make_unique<SnapshotLocator>(data_, failure_);
        return hr;
    }
    // The cycle is over; a caller that skips beginCycle next time meets no stale failure.
    void uninitialize() override { failure_.reset(); }

private:
    Data data_;
    Failure failure_;
};

class SnapshotProbes : public SystemProbes {
public:
    explicit SnapshotProbes(Data data) : data_(std::move(data)) {}
    bool memoryStatus(MemoryStatus& status) override {
        status = data_->memory;
        return true;
    }
    std::vector<HardwareAddress> adapterAddresses() override { return data_->adapters; }
    std::optional<OsVersion> osVersion() override { return data_->osVersion; }
    bool addressesHidden() override { return data_->adaptersHidden; }

private:
    Data data_;
};

std::string readWholeFile(const std::string& path) {
    auto fail = [&](const std::string& problem) { throw SnapshotError("moravel: " + path + ": " + problem); };
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) fail("is a folder, not a snapshot file");
    std::ifstream in(path, std::ios::binary);
    if (!in) fail(std::string("cannot be read: ") + std::strerror(errno));
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) fail(std::string("cannot be read: ") + std::strerror(errno));
    return text.str();
}

}  // namespace

Backend makeSnapshotBackend(SnapshotData snapshot) {
    auto data = std::make_shared<const SnapshotData>(std::move(snapshot));
    return {std::make_unique<SnapshotProvider>(data), std::make_unique<SnapshotProbes>(data)};
}

Backend makeSnapshotBackendFromJson(const std::string& json, const std::string& name) {
    return makeSnapshotBackend(parseSnapshot(json, name));
}

Backend makeSnapshotBackend(const std::string& path) {
    return makeSnapshotBackendFromJson(readWholeFile(path), path);
}

}  // namespace moravel
