#include "tests/support/query_trace.h"

#include "query/wmi_names.h"

namespace moravel::testing {
namespace {

// The entry of the current cycle; the first Get of the cycle adds the property name.
struct CycleNote {
    std::vector<std::string>& reads;
    std::size_t entry;
    bool named = false;
};

class TracingObject : public WmiObject {
public:
    TracingObject(std::unique_ptr<WmiObject> inner, std::shared_ptr<CycleNote> note)
        : inner_(std::move(inner)), note_(std::move(note)) {}
    HResult get(const std::string& property, WmiValue& value) override {
        if (!note_->named) note_->reads[note_->entry] += "." + property;
        note_->named = true;
        return inner_->get(property, value);
    }

private:
    std::unique_ptr<WmiObject> inner_;
    std::shared_ptr<CycleNote> note_;
};

class TracingEnumerator : public WmiEnumerator {
public:
    TracingEnumerator(std::unique_ptr<WmiEnumerator> inner, std::shared_ptr<CycleNote> note)
        : inner_(std::move(inner)), note_(std::move(note)) {}
    std::unique_ptr<WmiObject> next() override {
        std::unique_ptr<WmiObject> object = inner_->next();
        if (!object) return nullptr;
        return std::make_unique<TracingObject>(std::move(object), note_);
    }

private:
    std::unique_ptr<WmiEnumerator> inner_;
    std::shared_ptr<CycleNote> note_;
};

class TracingServices : public WmiServices {
public:
    TracingServices(std::unique_ptr<WmiServices> inner, std::vector<std::string>& reads)
        : inner_(std::move(inner)), reads_(reads) {}
    HResult setProxyBlanket() override { return inner_->setProxyBlanket(); }
    HResult execQuery(const std::string& language, const std::string& query, long flags,
                      std::unique_ptr<WmiEnumerator>& enumerator) override {
        std::unique_ptr<WmiEnumerator> inner;
        const HResult hr = inner_->execQuery(language, query, flags, inner);
        reads_.push_back(queriedClass(query).value_or(query));
        if (inner) {
            auto note = std::make_shared<CycleNote>(CycleNote{reads_, reads_.size() - 1});
            enumerator = std::make_unique<TracingEnumerator>(std::move(inner), note);
        }
        return hr;
    }

private:
    std::unique_ptr<WmiServices> inner_;
    std::vector<std::string>& reads_;
};

class TracingLocator : public WmiLocator {
public:
    TracingLocator(std::unique_ptr<WmiLocator> inner, std::vector<std::string>& reads)
        : inner_(std::move(inner)), reads_(reads) {}
    HResult connectServer(const std::string& path, std::unique_ptr<WmiServices>& services) override {
        std::unique_ptr<WmiServices> inner;
        const HResult hr = inner_->connectServer(path, inner);
        if (inner) services = std::make_unique<TracingServices>(std::move(inner), reads_);
        return hr;
    }

private:
    std::unique_ptr<WmiLocator> inner_;
    std::vector<std::string>& reads_;
};

}  // namespace

HResult TracingProvider::createLocator(std::unique_ptr<WmiLocator>& locator) {
    std::unique_ptr<WmiLocator> inner;
    const HResult hr = inner_.createLocator(inner);
    if (inner) locator = std::make_unique<TracingLocator>(std::move(inner), reads);
    return hr;
}

}  // namespace moravel::testing
