#include "tests/sections/inventory_fixture.h"

#include <gtest/gtest.h>

#include "query/wmi_provider.h"
#include "query/wmi_query.h"

namespace moravel::testing {
namespace {

const std::string kSelectFrom = "SELECT * FROM ";

class FakeObject : public WmiObject {
public:
    explicit FakeObject(const WmiObjectValues& values) : values_(values) {}
    HResult get(const std::string& property, WmiValue& value) override {
        auto found = values_.find(property);
        if (found == values_.end()) return kNotFound;
        value = found->second;
        return kOk;
    }

private:
    const WmiObjectValues& values_;
};

class FakeEnumerator : public WmiEnumerator {
public:
    explicit FakeEnumerator(const std::vector<WmiObjectValues>* objects) : objects_(objects) {}
    std::unique_ptr<WmiObject> next() override {
        if (!objects_ || position_ >= objects_->size()) return nullptr;
        return std::make_unique<FakeObject>((*objects_)[position_++]);
    }

private:
    const std::vector<WmiObjectValues>* objects_;
    std::size_t position_ = 0;
};

class FakeServices : public WmiServices {
public:
    explicit FakeServices(const Inventory& inventory) : inventory_(inventory) {}
    HResult setProxyBlanket() override { return kOk; }
    HResult execQuery(const std::string&, const std::string& query, long,
                      std::unique_ptr<WmiEnumerator>& enumerator) override {
        if (query.compare(0, kSelectFrom.size(), kSelectFrom) != 0) return kInvalidQuery;
        auto found = inventory_.classes.find(query.substr(kSelectFrom.size()));
        enumerator = std::make_unique<FakeEnumerator>(found == inventory_.classes.end() ? nullptr
                                                                                         : &found->second);
        return kOk;
    }

private:
    const Inventory& inventory_;
};

class FakeLocator : public WmiLocator {
public:
    explicit FakeLocator(const Inventory& inventory) : inventory_(inventory) {}
    HResult connectServer(const std::string&, std::unique_ptr<WmiServices>& services) override {
        services = std::make_unique<FakeServices>(inventory_);
        return kOk;
    }

private:
    const Inventory& inventory_;
};

class FakeProvider : public WmiProvider {
public:
    explicit FakeProvider(const Inventory& inventory) : inventory_(inventory) {}
    HResult initialize() override { return kOk; }
    HResult initializeSecurity() override { return kOk; }
    HResult createLocator(std::unique_ptr<WmiLocator>& locator) override {
        locator = std::make_unique<FakeLocator>(inventory_);
        return kOk;
    }
    void uninitialize() override {}

private:
    const Inventory& inventory_;
};

}  // namespace

Inventory& Inventory::setValue(const std::string& className, int index, const std::string& property,
                               const WmiValue& value) {
    auto& objects = classes[className];
    if (objects.size() <= static_cast<std::size_t>(index)) objects.resize(index + 1);
    objects[index][property] = value;
    return *this;
}

std::string GroupRun::text(const std::string& label) const {
    for (const GroupRecord& group : report.groups)
        for (const FieldRecord& field : group.fields)
            if (field.label == label) return field.text;
    ADD_FAILURE() << "no field " << label;
    return {};
}

std::vector<std::string> GroupRun::labels() const {
    std::vector<std::string> labels;
    for (const GroupRecord& group : report.groups)
        for (const FieldRecord& field : group.fields) labels.push_back(field.label);
    return labels;
}

GroupRun runGroups(const Inventory& inventory, const std::function<void(ReportSink&)>& build) {
    FakeProvider provider(inventory);
    WmiProvider* previous = wmiProvider();
    setWmiProvider(&provider);
    resetQueryCount();
    GroupRun run;
    build(run.report);
    run.queries = queryCount();
    setWmiProvider(previous);
    return run;
}

}  // namespace moravel::testing
