#include "query/object_source.h"

#include <algorithm>

#include "query/wmi_classes.h"
#include "query/wmi_names.h"

namespace moravel {
namespace {

using Source = std::shared_ptr<ObjectSource>;
using Failure = std::optional<CycleFailure>;

constexpr HResult kInvalidNamespace = static_cast<HResult>(0x8004100Eu);  // WBEM_E_INVALID_NAMESPACE
constexpr HResult kInvalidQueryType = static_cast<HResult>(0x80041018u);  // WBEM_E_INVALID_QUERY_TYPE

// The code the staged failure gives at `step`, or success when none is staged there.
HResult resultAt(const Failure& failure, CycleStep step) {
    return failure && failure->step == step ? failure->code : kOk;
}

class ListEnumerator : public WmiEnumerator {
public:
    explicit ListEnumerator(ClassObjects objects) : objects_(std::move(objects)) {}
    std::unique_ptr<WmiObject> next() override {
        if (position_ >= objects_.count) return nullptr;
        return objects_.make(position_++);
    }
    std::size_t skip(std::size_t wanted, const std::string& property) override {
        if (!objects_.jumps) return WmiEnumerator::skip(wanted, property);
        std::size_t skipped = std::min(wanted, objects_.count - position_);
        position_ += skipped;
        return skipped;
    }

private:
    ClassObjects objects_;
    std::size_t position_ = 0;
};

class ListServices : public WmiServices {
public:
    ListServices(Source source, Failure failure, std::string nameSpace)
        : source_(std::move(source)), failure_(failure), nameSpace_(std::move(nameSpace)) {}
    HResult setProxyBlanket() override { return resultAt(failure_, CycleStep::ProxyBlanket); }
    HResult execQuery(const std::string& language, const std::string& query, long,
                      std::unique_ptr<WmiEnumerator>& enumerator) override {
        // The text actually run decides, even for a caller that did not announce the cycle.
        HResult hr = resultAt(source_->stagedFailure(query), CycleStep::ExecQuery);
        if (failed(hr)) return hr;
        if (!sameWmiName(language, "WQL")) return kInvalidQueryType;
        std::optional<std::string> className = classOfQuery(query);
        if (!className) return kInvalidQuery;
        ClassObjects objects;
        if (sameWmiName(namespaceOf(*className), nameSpace_)) objects = source_->objects(nameSpace_, *className);
        enumerator = std::make_unique<ListEnumerator>(std::move(objects));
        return hr;
    }

private:
    Source source_;
    Failure failure_;
    std::string nameSpace_;
};

class ListLocator : public WmiLocator {
public:
    ListLocator(Source source, Failure failure) : source_(std::move(source)), failure_(failure) {}
    HResult connectServer(const std::string& path, std::unique_ptr<WmiServices>& services) override {
        HResult hr = resultAt(failure_, CycleStep::Connect);
        if (failed(hr)) return hr;
        if (!isKnownNamespace(path)) return kInvalidNamespace;
        services = std::make_unique<ListServices>(source_, failure_, path);
        return hr;
    }

private:
    Source source_;
    Failure failure_;
};

class ListingProvider : public WmiProvider {
public:
    explicit ListingProvider(Source source) : source_(std::move(source)) {}
    void beginCycle(const std::string& wqlQuery) override { failure_ = source_->stagedFailure(wqlQuery); }
    HResult initialize() override { return resultAt(failure_, CycleStep::Initialize); }
    HResult initializeSecurity() override { return resultAt(failure_, CycleStep::Security); }
    HResult createLocator(std::unique_ptr<WmiLocator>& locator) override {
        HResult hr = resultAt(failure_, CycleStep::CreateLocator);
        if (!failed(hr)) locator = std::make_unique<ListLocator>(source_, failure_);
        return hr;
    }
    // The cycle is over; a caller that skips beginCycle next time meets no stale failure.
    void uninitialize() override { failure_.reset(); }

private:
    Source source_;
    Failure failure_;
};

}  // namespace

std::unique_ptr<WmiProvider> makeListingProvider(std::shared_ptr<ObjectSource> source) {
    return std::make_unique<ListingProvider>(std::move(source));
}

std::unique_ptr<WmiEnumerator> makeListEnumerator(ClassObjects objects) {
    return std::make_unique<ListEnumerator>(std::move(objects));
}

}  // namespace moravel
