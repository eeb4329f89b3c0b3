#include "providers/backends.h"
#include "providers/linux/system/device_names.h"
#include "providers/linux/system/host_facts.h"
#include "providers/linux/system/linux_classes.h"
#include "providers/linux/system/linux_provider.h"
#include "query/backend.h"
#include "query/object_source.h"
#include "query/wmi_names.h"

namespace moravel::lx {
namespace {

struct Registered {
    const char* className;
    ClassReader read;
    ClassAccess access;
};
using Registry = std::vector<Registered>;

// Filled while the program starts, by the reader files; read-only afterwards.
Registry& registry() {
    static Registry readers;
    return readers;
}

// Each query reads the machine afresh: the class's reader runs when the query is executed.
class LinuxSource : public ObjectSource {
public:
    LinuxSource(const std::string& root, const DeviceNames& names, const HostFacts& host)
        : context_{RootFs(root), names, host} {}
    ClassObjects objects(const std::string&, const std::string& className) override {
        ClassReader read = registeredReader(className);
        if (!read) return {};
        auto objects = std::make_shared<ObjectList>(read(context_));
        return {objects->size(),
                [objects](std::size_t at) -> std::unique_ptr<WmiObject> { return std::move((*objects)[at]); }};
    }
    std::optional<CycleFailure> stagedFailure(const std::string& query) const override {
        std::optional<std::string> className = queriedClass(query);
        ClassAccess access = className ? registeredAccess(*className) : nullptr;
        std::optional<HResult> refused = access ? access(context_) : std::nullopt;
        if (!refused) return std::nullopt;
        return CycleFailure{CycleStep::ExecQuery, *refused};
    }

private:
    LinuxContext context_;
};

// The platform's source together with the name database and host facts it reads through.
class PlatformSource : public ObjectSource {
public:
    PlatformSource() : names_(makeSystemDeviceNames()), host_(makeSystemHostFacts()), source_("/", *names_, *host_) {}
    ClassObjects objects(const std::string& nameSpace, const std::string& className) override {
        return source_.objects(nameSpace, className);
    }
    std::optional<CycleFailure> stagedFailure(const std::string& query) const override {
        return source_.stagedFailure(query);
    }

private:
    std::unique_ptr<DeviceNames> names_;
    std::unique_ptr<HostFacts> host_;
    LinuxSource source_;
};

}  // namespace

RegisteredReader::RegisteredReader(const char* className, ClassReader read, ClassAccess access) {
    registry().push_back({className, read, access});
}

namespace {
const Registered* registered(const std::string& className) {
    for (const Registered& entry : registry())
        if (sameWmiName(entry.className, className)) return &entry;
    return nullptr;
}
}  // namespace

ClassReader registeredReader(const std::string& className) {
    const Registered* entry = registered(className);
    return entry ? entry->read : nullptr;
}

ClassAccess registeredAccess(const std::string& className) {
    const Registered* entry = registered(className);
    return entry ? entry->access : nullptr;
}

std::vector<std::string> registeredClasses() {
    std::vector<std::string> names;
    for (const Registered& entry : registry()) names.push_back(entry.className);
    return names;
}

std::unique_ptr<WmiProvider> makeLinuxProvider(const std::string& root, const DeviceNames& names,
                                               const HostFacts& host) {
    return makeListingProvider(std::make_shared<LinuxSource>(root, names, host));
}

}  // namespace moravel::lx

namespace moravel {

Backend makePlatformBackend() {
    return {makeListingProvider(std::make_shared<lx::PlatformSource>()),
            lx::makeLinuxProbes("/", lx::makeSystemHostFacts())};
}

}  // namespace moravel
