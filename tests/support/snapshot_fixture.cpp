#include "tests/support/snapshot_fixture.h"

#include "query/wmi_query.h"
#include "tests/support/installed_backend.h"
#include "tests/support/query_trace.h"

namespace moravel::testing {

SnapshotBuilder& SnapshotBuilder::add(const std::string& className, nlohmann::json properties) {
    if (!classes_.count(className)) classOrder_.push_back(className);
    classes_[className].push_back(std::move(properties));
    return *this;
}

SnapshotBuilder& SnapshotBuilder::set(const std::string& className, int index, const std::string& property,
                                      nlohmann::json value) {
    if (!classes_.count(className)) classOrder_.push_back(className);
    auto& objects = classes_[className];
    if (objects.size() <= static_cast<std::size_t>(index)) objects.resize(index + 1, nlohmann::json::object());
    objects[index][property] = std::move(value);
    return *this;
}

SnapshotBuilder& SnapshotBuilder::memory(std::uint32_t loadPercent, std::uint64_t availableBytes) {
    probes_["memoryStatus"] = {{"memoryLoad", loadPercent}, {"availPhys", availableBytes}};
    return *this;
}

SnapshotBuilder& SnapshotBuilder::adapters(std::vector<HardwareAddress> addresses) {
    nlohmann::json list = nlohmann::json::array();
    for (const HardwareAddress& a : addresses) list.push_back(formatAdapterAddress(a));
    probes_["adapters"] = list;
    return *this;
}

SnapshotBuilder& SnapshotBuilder::osVersion(std::uint32_t major, std::uint32_t minor) {
    probes_["osVersion"] = {{"major", major}, {"minor", minor}};
    return *this;
}

std::string SnapshotBuilder::json() const {
    nlohmann::json classes = nlohmann::json::object();
    for (const std::string& name : classOrder_) classes[name] = classes_.at(name);
    nlohmann::json document = probes_;
    document["classes"] = classes;
    return document.dump();
}

std::string GroupRun::text(const std::string& label) const {
    for (const GroupRecord& group : report.groups)
        for (const FieldRecord& field : group.fields)
            if (field.label == label) return field.text;
    return "<no such field>";
}

std::vector<std::string> GroupRun::labels() const {
    std::vector<std::string> labels;
    for (const GroupRecord& group : report.groups)
        for (const FieldRecord& field : group.fields) labels.push_back(field.label);
    return labels;
}

GroupRun runGroup(const std::string& snapshotJson, const Sections& sections) {
    TestBackend machine = TestBackend::fromJson(snapshotJson);
    TracingProvider tracing(*machine.backend().provider);
    QueryContext traced = machine.context();
    traced.provider = &tracing.provider();
    GroupRun run;
    sections(traced, run.report);
    run.queries = traced.queries;
    run.reads = tracing.reads();
    run.diagnostics = machine.takeLines();
    return run;
}

GroupRun runGroup(const SnapshotBuilder& machine, const Sections& sections) {
    return runGroup(machine.json(), sections);
}

}  // namespace moravel::testing
