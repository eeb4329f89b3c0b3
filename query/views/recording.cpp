#include "query/views/recording.h"

#include "query/views/provider_tap.h"
#include "query/wmi_classes.h"
#include "query/wmi_names.h"
#include "query/wmi_query.h"

namespace moravel {
namespace {

using Record = std::shared_ptr<SnapshotData>;

// Objects a query reads are kept under its class (the class's own query, with its condition, is
// one of its class); a query of another form is not kept, and so plays back as one the snapshot
// provider refuses.
class RecordingTap : public ProviderTap {
public:
    explicit RecordingTap(Record record) : record_(std::move(record)) {}
    void stepFailed(const std::string& query, CycleStep step, HResult hr) override {
        record_->failures.emplace(query, StagedFailure{step, hr});  // the first answer stands
    }
    void objectReached(const std::string& query, std::size_t position) override {
        if (std::vector<SnapshotObject>* objects = objectsOf(query))
            if (objects->size() <= position) objects->resize(position + 1);
    }
    void valueRead(const std::string& query, std::size_t position, const std::string& property,
                   WmiValue& value) override {
        std::vector<SnapshotObject>* objects = objectsOf(query);
        if (objects && position < objects->size()) (*objects)[position].emplace(property, value);
    }

private:
    std::vector<SnapshotObject>* objectsOf(const std::string& query) {
        std::string name = queriedClassName(query);
        const WmiClass* known = findWmiClass(name);
        bool own = query == selectAllFrom(name) || (known && query == classQuery(*known));
        return name.empty() || !own ? nullptr : &record_->classes[name];
    }
    Record record_;
};

class RecordingProbes : public SystemProbes {
public:
    RecordingProbes(SystemProbes& inner, Record record) : inner_(inner), record_(std::move(record)) {}
    bool memoryStatus(MemoryStatus& status) override {
        bool known = inner_.memoryStatus(status);
        record_->memory = known ? status : MemoryStatus();
        return known;
    }
    std::vector<HardwareAddress> adapterAddresses() override {
        record_->adapters = inner_.adapterAddresses();
        record_->adaptersHidden = inner_.addressesHidden();
        return record_->adapters;
    }
    std::optional<OsVersion> osVersion() override { return record_->osVersion = inner_.osVersion(); }
    bool addressesHidden() override { return inner_.addressesHidden(); }
    bool redacted() override { return record_->redacted = inner_.redacted(); }
    std::optional<std::string> machineGuid() override { return record_->machineGuid = inner_.machineGuid(); }
    std::optional<std::string> hypervisor() override { return record_->hypervisor = inner_.hypervisor(); }

private:
    SystemProbes& inner_;
    Record record_;
};

}  // namespace

Backend makeRecordingView(WmiProvider& provider, SystemProbes& probes, std::shared_ptr<SnapshotData> record) {
    return {makeTappedProvider(provider, std::make_shared<RecordingTap>(record)),
            std::make_unique<RecordingProbes>(probes, record)};
}

}  // namespace moravel
