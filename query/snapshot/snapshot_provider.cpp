// A provider and probes that answer from a snapshot file instead of the machine: the objects of
// each class in file order, and any failure the file stages for a query at the step it names.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "query/backend.h"
#include "query/fd_closer.h"
#include "query/snapshot/snapshot_data.h"
#include "query/wmi_names.h"

namespace moravel {
namespace {

// The file's data, and the object read last: the sections read several properties of one
// object in a row, each in a query of its own, and an object may be a megabyte of text.
struct SnapshotStore : SnapshotData {
    explicit SnapshotStore(SnapshotData data) : SnapshotData(std::move(data)) {}

    mutable std::uint32_t lastBegin = 0;
    mutable std::shared_ptr<const SnapshotObject> last;

    std::shared_ptr<const SnapshotObject> object(ObjectSpan span) const {
        if (!last || lastBegin != span.begin) {
            last = std::make_shared<const SnapshotObject>(snapshotObject(*this, span));
            lastBegin = span.begin;
        }
        return last;
    }
};

using Data = std::shared_ptr<const SnapshotStore>;
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
    explicit SnapshotObjectView(std::shared_ptr<const SnapshotObject> properties) : properties_(std::move(properties)) {}
    HResult get(const std::string& property, WmiValue& value) override {
        auto it = findWmiName(*properties_, property);
        if (it == properties_->end()) return kNotFound;
        value = it->second;
        return kOk;
    }

private:
    std::shared_ptr<const SnapshotObject> properties_;
};

// The objects of one class: held as values, or places in the file's text (either may be null:
// a class the snapshot does not list).
class SnapshotEnumerator : public WmiEnumerator {
public:
    SnapshotEnumerator(Data data, const std::vector<SnapshotObject>* objects, const std::vector<ObjectSpan>* spans)
        : data_(std::move(data)), objects_(objects), spans_(spans) {}
    std::unique_ptr<WmiObject> next() override {
        if (position_ >= count()) return nullptr;
        std::size_t at = position_++;
        if (objects_)  // shares the data's ownership, no copy
            return std::make_unique<SnapshotObjectView>(std::shared_ptr<const SnapshotObject>(data_, &(*objects_)[at]));
        return std::make_unique<SnapshotObjectView>(data_->object((*spans_)[at]));
    }
    std::size_t skip(std::size_t wanted, const std::string&) override {
        std::size_t skipped = std::min(wanted, count() - position_);
        position_ += skipped;
        return skipped;
    }

private:
    std::size_t count() const { return objects_ ? objects_->size() : spans_ ? spans_->size() : 0; }

    Data data_;
    const std::vector<SnapshotObject>* objects_;
    const std::vector<ObjectSpan>* spans_;
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
        auto held = findWmiName(data_->classes, *name);
        auto inFile = findWmiName(data_->fileClasses, *name);
        enumerator = std::make_unique<SnapshotEnumerator>(data_, held == data_->classes.end() ? nullptr : &held->second,
                                                          inFile == data_->fileClasses.end() ? nullptr : &inFile->second);
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
        if (!isKnownNamespace(path)) return kInvalidNamespace;
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
    std::optional<std::string> machineGuid() override { return data_->machineGuid; }

private:
    Data data_;
};

// The Windows C runtime needs binary mode and has no use for the others.
#ifdef _WIN32
constexpr int kOpenFlags = O_RDONLY | O_BINARY;
#else
constexpr int kOpenFlags = O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY;
#endif

// Only a regular file of at most kMaxSnapshotBytes is read; a FIFO or a device is refused
// before a byte is read (the open does not wait for a writer), a large file before it is read whole.
std::string readWholeFile(const std::string& path) {
    auto fail = [&](const std::string& problem) { throw SnapshotError("moravel: " + path + ": " + problem); };
    auto failWith = [&](int error) { fail(std::string("cannot be read: ") + std::strerror(error)); };
    FdCloser file{::open(path.c_str(), kOpenFlags)};
    if (file.fd < 0) failWith(errno);
    struct stat info;
    if (::fstat(file.fd, &info) != 0) failWith(errno);
    if (S_ISDIR(info.st_mode)) fail("is a folder, not a snapshot file");
    if (!S_ISREG(info.st_mode)) fail("is not a regular file (a device, FIFO or socket), not a snapshot file");
    std::string tooLarge = "is larger than " + std::to_string(kMaxSnapshotBytes) + " bytes, the most a snapshot may hold";
    if (static_cast<std::uint64_t>(info.st_size) > kMaxSnapshotBytes) fail(tooLarge);
    std::string text(static_cast<std::size_t>(info.st_size), '\0');
    std::size_t length = 0;
    for (;;) {  // a file that grows or shrinks meanwhile is read as it is, up to the limit
        if (length == text.size()) text.resize(std::min(text.size() + 65536, kMaxSnapshotBytes + 1));
        auto n = ::read(file.fd, &text[length], static_cast<unsigned>(std::min<std::size_t>(text.size() - length, 1u << 30)));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) failWith(errno);
        if (n == 0) break;
        length += static_cast<std::size_t>(n);
        if (length > kMaxSnapshotBytes) fail(tooLarge);
    }
    text.resize(length);
    return text;
}

}  // namespace

Backend makeSnapshotBackend(SnapshotData snapshot) {
    auto data = std::make_shared<const SnapshotStore>(std::move(snapshot));
    return {std::make_unique<SnapshotProvider>(data), std::make_unique<SnapshotProbes>(data)};
}

Backend makeSnapshotBackendFromJson(const std::string& json, const std::string& name) {
    return makeSnapshotBackend(parseSnapshot(json, name));
}

Backend makeSnapshotBackend(const std::string& path) {
    return makeSnapshotBackendFromJson(readWholeFile(path), path);
}

}  // namespace moravel
