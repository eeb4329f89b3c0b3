#include "tests/sections/inventory_fixture.h"

#include <gtest/gtest.h>

#include "query/wmi_query.h"
#include "tests/support/installed_backend.h"

namespace moravel::testing {

nlohmann::json& Inventory::object(const std::string& className, int index) {
    auto& objects = classes_[className];
    if (objects.size() <= static_cast<std::size_t>(index))
        objects.resize(index + 1, nlohmann::json::object());
    return objects[index];
}

Inventory& Inventory::set(const std::string& className, int index, const std::string& property,
                          const std::string& text) {
    object(className, index)[property] = text;
    return *this;
}

Inventory& Inventory::setNumber(const std::string& className, int index, const std::string& property,
                                long long value) {
    object(className, index)[property] = value;
    return *this;
}

Inventory& Inventory::setNull(const std::string& className, int index, const std::string& property) {
    object(className, index)[property] = nullptr;
    return *this;
}

std::string Inventory::snapshotJson() const {
    nlohmann::json classes = nlohmann::json::object();
    for (const auto& [name, objects] : classes_) classes[name] = objects;
    return nlohmann::json{{"classes", classes}}.dump();
}

std::string InventoryRun::text(const std::string& label) const {
    for (const GroupRecord& group : report.groups)
        for (const FieldRecord& field : group.fields)
            if (field.label == label) return field.text;
    ADD_FAILURE() << "no field " << label;
    return {};
}

std::vector<std::string> InventoryRun::labels() const {
    std::vector<std::string> labels;
    for (const GroupRecord& group : report.groups)
        for (const FieldRecord& field : group.fields) labels.push_back(field.label);
    return labels;
}

InventoryRun runInventory(const Inventory& inventory, const std::function<void(ReportSink&)>& build) {
    InstalledBackend backend = InstalledBackend::fromJson(inventory.snapshotJson());
    resetQueryCount();
    InventoryRun run;
    build(run.report);
    run.queries = queryCount();
    EXPECT_EQ(backend.takeLines(), "");  // string values never make diagnostic lines
    return run;
}

}  // namespace moravel::testing
