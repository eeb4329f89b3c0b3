#include "providers/linux/system/udev_records.h"

#include <libudev.h>

namespace moravel::lx {

const UdevProperties& UdevRecords::record(const std::string& deviceId) const {
    auto kept = kept_.find(deviceId);
    if (kept == kept_.end()) kept = kept_.emplace(deviceId, load(deviceId)).first;
    return kept->second;
}

namespace {

struct UdevUnref {
    void operator()(udev* context) const { udev_unref(context); }
    void operator()(udev_device* device) const { udev_device_unref(device); }
    void operator()(udev_queue* queue) const { udev_queue_unref(queue); }
};
using UdevContext = std::unique_ptr<udev, UdevUnref>;
using UdevDevice = std::unique_ptr<udev_device, UdevUnref>;
using UdevQueue = std::unique_ptr<udev_queue, UdevUnref>;

// Whether udevd runs here. Where it does not (most containers) it has recorded nothing, and
// libudev would still build each device from sysfs at some fifty system calls apiece.
bool udevRuns(udev* context) {
    UdevQueue queue(udev_queue_new(context));
    return queue && udev_queue_get_udev_is_active(queue.get()) != 0;
}

class LibudevRecords : public UdevRecords {
private:
    UdevProperties load(const std::string& deviceId) const override {
        UdevProperties properties;
        if (!opened_) {
            opened_ = true;
            context_.reset(udev_new());
            if (context_ && !udevRuns(context_.get())) context_.reset();
        }
        if (!context_) return properties;
        UdevDevice device(udev_device_new_from_device_id(context_.get(), deviceId.c_str()));
        if (!device) return properties;
        for (udev_list_entry* entry = udev_device_get_properties_list_entry(device.get()); entry;
             entry = udev_list_entry_get_next(entry)) {
            const char* value = udev_list_entry_get_value(entry);
            properties.emplace_back(udev_list_entry_get_name(entry), value ? value : "");
        }
        return properties;
    }

    mutable bool opened_ = false;  // on the first record asked for
    mutable UdevContext context_;  // none where udevd does not run
};

class UdevRecordFiles : public UdevRecords {
public:
    explicit UdevRecordFiles(RootFs fs) : fs_(std::move(fs)) {}

private:
    UdevProperties load(const std::string& deviceId) const override {
        std::optional<std::string> data = fs_.read("/run/udev/data/" + deviceId);
        return data ? udevProperties(*data) : UdevProperties();
    }

    RootFs fs_;
};

}  // namespace

std::unique_ptr<UdevRecords> makeUdevRecordFiles(RootFs fs) { return std::make_unique<UdevRecordFiles>(std::move(fs)); }

std::unique_ptr<UdevRecords> makeUdevRecords(const RootFs& fs) {
    if (fs.isLive()) return std::make_unique<LibudevRecords>();
    return makeUdevRecordFiles(fs);
}

}  // namespace moravel::lx
