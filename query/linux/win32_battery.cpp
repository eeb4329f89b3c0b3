// Win32_Battery: the system batteries of /sys/class/power_supply (not those of mice and
// keyboards, whose scope is "Device").
#include "query/linux/linux_classes.h"

namespace moravel::lx {
namespace {

// Windows joins serial number, maker and model into the id, without separators.
std::optional<std::string> deviceId(const RootFs& fs, const std::string& dir) {
    std::string id;
    for (const char* file : {"/serial_number", "/manufacturer", "/model_name"}) id += fs.line(dir + file).value_or("");
    if (id.empty()) return std::nullopt;
    return id;
}

}  // namespace

ObjectList readBatteries(const LinuxContext& context) {
    ObjectList objects;
    const RootFs* fs = &context.fs;
    for (const std::string& supply : context.fs.list("/sys/class/power_supply")) {
        std::string dir = "/sys/class/power_supply/" + supply;
        if (fs->line(dir + "/type") != std::optional<std::string>("Battery") ||
            fs->line(dir + "/scope") == std::optional<std::string>("Device"))
            continue;
        auto object = std::make_unique<LinuxObject>();
        object->add("Name", [fs, dir] { return stringOrNull(fs->line(dir + "/model_name")); })
            .add("DeviceID", [fs, dir] { return stringOrNull(deviceId(*fs, dir)); })
            .add("EstimatedChargeRemaining", [fs, dir] { return uint32OrNull(fs->number(dir + "/capacity")); })
            .add("Caption", [] { return WmiValue::string("Internal Battery"); })
            .add("Description", [] { return WmiValue::string("Internal Battery"); })
            .add("Status", [fs, dir] { return stringOrNull(fs->line(dir + "/status")); });
        objects.push_back(std::move(object));
    }
    return objects;
}
const RegisteredReader batteryReader{"Win32_Battery", readBatteries};

}  // namespace moravel::lx
