// A source of objects and probes that answer from a snapshot file instead of the machine: the
// objects of each class in file order, and any failure the file stages for a query at the step
// it names.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "io/fd.h"
#include "io/open_file.h"
#include "query/backend.h"
#include "query/object_source.h"
#include "query/snapshot/snapshot_data.h"
#include "query/snapshot/snapshot_provider.h"
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

class SnapshotObjectView : public WmiObject {
public:
    explicit SnapshotObjectView(std::shared_ptr<const SnapshotObject> properties)
        : properties_(std::move(properties)) {}
    HResult get(const std::string& property, WmiValue& value) override {
        auto it = findWmiName(*properties_, property);
        if (it == properties_->end()) return kNotFound;
        value = it->second;
        return kOk;
    }

private:
    std::shared_ptr<const SnapshotObject> properties_;
};

// The objects of each class in file order, held as values or as places in the file's text; a
// class the file does not list has none. Counting them needs no object, so reads jump.
class SnapshotSource : public ObjectSource {
public:
    explicit SnapshotSource(Data data) : data_(std::move(data)) {}
    ClassObjects objects(const std::string&, const std::string& className) override {
        auto held = findWmiName(data_->classes, className);
        if (held != data_->classes.end()) {
            const std::vector<SnapshotObject>* objects = &held->second;
            return {objects->size(),
                    [data = data_, objects](std::size_t at) {  // shares the data's ownership, no copy
                        return std::make_unique<SnapshotObjectView>(
                            std::shared_ptr<const SnapshotObject>(data, &(*objects)[at]));
                    },
                    true};
        }
        auto inFile = findWmiName(data_->fileClasses, className);
        if (inFile == data_->fileClasses.end()) return {};
        const std::vector<ObjectSpan>* spans = &inFile->second;
        return {spans->size(),
                [data = data_, spans](std::size_t at) {
                    return std::make_unique<SnapshotObjectView>(data->object((*spans)[at]));
                },
                true};
    }
    std::optional<CycleFailure> stagedFailure(const std::string& query) const override {
        auto staged = data_->failures.find(query);
        return staged == data_->failures.end() ? std::nullopt : std::optional<CycleFailure>(staged->second);
    }

private:
    Data data_;
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
    // A file older than the "redacted" member shows it in its hidden addresses, if it has any.
    bool redacted() override { return data_->redacted || data_->adaptersHidden; }
    std::optional<std::string> machineGuid() override { return data_->machineGuid; }
    std::optional<std::string> hypervisor() override { return data_->hypervisor; }

private:
    Data data_;
};

// Only a regular file of at most kMaxSnapshotBytes is read; a FIFO or a device is refused
// before a byte is read (the open does not wait for a writer), a large file before it is read whole.
std::string readWholeFile(const std::string& path) {
    auto fail = [&](const std::string& problem) { throw SnapshotError("moravel: " + path + ": " + problem); };
    auto failWith = [&](int error) { fail(std::string("cannot be read: ") + std::strerror(error)); };
    FdCloser file{openForReading(path)};
    if (file.fd < 0) failWith(errno);
    struct stat info;
    if (::fstat(file.fd, &info) != 0) failWith(errno);
    if (S_ISDIR(info.st_mode)) fail("is a folder, not a snapshot file");
    if (!S_ISREG(info.st_mode)) fail("is not a regular file (a device, FIFO or socket), not a snapshot file");
    std::string tooLarge =
        "is larger than " + std::to_string(kMaxSnapshotBytes) + " bytes, the most a snapshot may hold";
    if (static_cast<std::uint64_t>(info.st_size) > kMaxSnapshotBytes) fail(tooLarge);
    std::string text(static_cast<std::size_t>(info.st_size), '\0');
    std::size_t length = 0;
    for (;;) {  // a file that grows or shrinks meanwhile is read as it is, up to the limit
        if (length == text.size()) text.resize(std::min(text.size() + 65536, kMaxSnapshotBytes + 1));
        auto n = ::read(file.fd, &text[length],
                        static_cast<unsigned>(std::min<std::size_t>(text.size() - length, 1u << 30)));
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
    return {makeListingProvider(std::make_shared<SnapshotSource>(data)), std::make_unique<SnapshotProbes>(data)};
}

Backend makeSnapshotBackendFromJson(const std::string& json, const std::string& name) {
    return makeSnapshotBackend(parseSnapshot(json, name));
}

SnapshotData readSnapshotFile(const std::string& path) { return parseSnapshot(readWholeFile(path), path); }

Backend makeSnapshotBackend(const std::string& path) { return makeSnapshotBackend(readSnapshotFile(path)); }

}  // namespace moravel
