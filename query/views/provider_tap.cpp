#include "query/views/provider_tap.h"

#include "query/wmi_query.h"

namespace moravel {
namespace {

using Tap = std::shared_ptr<ProviderTap>;

// The step's code, told to the tap when it failed or gave nothing.
HResult watched(const Tap& tap, const std::string& query, CycleStep step, HResult hr, bool delivered = true) {
    if (failed(hr) || !delivered) tap->stepFailed(query, step, failed(hr) ? hr : kFailed);
    return hr;
}

// One interface of the cycle passed through to the one it wraps, with the tap and the query.
template <typename Interface>
class Tapped : public Interface {
public:
    Tapped(std::unique_ptr<Interface> inner, Tap tap, std::string query)
        : inner_(std::move(inner)), tap_(std::move(tap)), query_(std::move(query)) {}

protected:
    std::unique_ptr<Interface> inner_;
    Tap tap_;
    std::string query_;
};

class TappedObject : public Tapped<WmiObject> {
public:
    TappedObject(std::unique_ptr<WmiObject> inner, Tap tap, std::string query, std::size_t position)
        : Tapped(std::move(inner), std::move(tap), std::move(query)), position_(position) {}
    HResult get(const std::string& property, WmiValue& value) override {
        tap_->propertyAsked(query_, position_, property);
        HResult hr = inner_->get(property, value);
        if (!failed(hr)) tap_->valueRead(query_, position_, property, value);
        return hr;
    }

private:
    std::size_t position_;
};

class TappedEnumerator : public Tapped<WmiEnumerator> {
public:
    using Tapped::Tapped;
    std::unique_ptr<WmiObject> next() override {
        std::unique_ptr<WmiObject> object = inner_->next();
        if (!object) return nullptr;
        tap_->objectReached(query_, position_);
        return std::make_unique<TappedObject>(std::move(object), tap_, query_, position_++);
    }
    // The objects a read steps over are handed out to no one, so no tap needs them: the provider
    // below steps over them, which a snapshot does with one jump (a read costs the same at any index).
    std::size_t skip(std::size_t count, const std::string& property) override {
        std::size_t skipped = inner_->skip(count, property);
        if (skipped) tap_->steppedOver(query_, position_, skipped, property);
        position_ += skipped;
        return skipped;
    }

private:
    std::size_t position_ = 0;
};

class TappedServices : public Tapped<WmiServices> {
public:
    using Tapped::Tapped;
    HResult setProxyBlanket() override {
        return watched(tap_, query_, CycleStep::ProxyBlanket, inner_->setProxyBlanket());
    }
    HResult execQuery(const std::string& language, const std::string& query, long flags,
                      std::unique_ptr<WmiEnumerator>& enumerator) override {
        std::unique_ptr<WmiEnumerator> inner;
        HResult hr = watched(tap_, query, CycleStep::ExecQuery, inner_->execQuery(language, query, flags, inner));
        tap_->queryRun(query);
        if (inner) enumerator = std::make_unique<TappedEnumerator>(std::move(inner), tap_, query);
        return hr;
    }
};

class TappedLocator : public Tapped<WmiLocator> {
public:
    using Tapped::Tapped;
    HResult connectServer(const std::string& path, std::unique_ptr<WmiServices>& services) override {
        std::unique_ptr<WmiServices> inner;
        HResult hr = inner_->connectServer(path, inner);
        watched(tap_, query_, CycleStep::Connect, hr, inner != nullptr);
        if (inner) services = std::make_unique<TappedServices>(std::move(inner), tap_, query_);
        return hr;
    }
};

class TappedProvider : public WmiProvider {
public:
    TappedProvider(WmiProvider& inner, Tap tap, std::unique_ptr<WmiProvider> owned)
        : owned_(std::move(owned)), inner_(inner), tap_(std::move(tap)) {}
    void beginCycle(const std::string& wqlQuery) override {
        query_ = wqlQuery;
        inner_.beginCycle(wqlQuery);
    }
    HResult initialize() override {
        HResult hr = inner_.initialize();
        return hr == kChangedMode ? hr : watched(tap_, query_, CycleStep::Initialize, hr);
    }
    HResult initializeSecurity() override {
        return watched(tap_, query_, CycleStep::Security, inner_.initializeSecurity());
    }
    HResult createLocator(std::unique_ptr<WmiLocator>& locator) override {
        std::unique_ptr<WmiLocator> inner;
        HResult hr = inner_.createLocator(inner);
        watched(tap_, query_, CycleStep::CreateLocator, hr, inner != nullptr);
        if (inner) locator = std::make_unique<TappedLocator>(std::move(inner), tap_, query_);
        return hr;
    }
    void uninitialize() override { inner_.uninitialize(); }

private:
    std::unique_ptr<WmiProvider> owned_;
    WmiProvider& inner_;
    Tap tap_;
    std::string query_;  // of the cycle under way, as announced
};

}  // namespace

std::unique_ptr<WmiProvider> makeTappedProvider(WmiProvider& inner, std::shared_ptr<ProviderTap> tap,
                                                std::unique_ptr<WmiProvider> owned) {
    return std::make_unique<TappedProvider>(inner, std::move(tap), std::move(owned));
}

}  // namespace moravel
