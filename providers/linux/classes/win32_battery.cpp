// Win32_Battery: the system batteries of /sys/class/power_supply (not those of mice and
// keyboards, whose scope is "Device").
#include "providers/linux/classes/readers.h"

namespace moravel::lx {
namespace {

// Windows joins serial number, maker and model into the id, without separators.
std::optional<std::string> deviceId(const RootFs& fs, const std::string& dir) {
    std::string id;
    for (const char* file : {"/serial_number", "/manufacturer", "/model_name"}) id += fs.line(dir + file).value_or("");
    if (id.empty()) return std::nullopt;
    return id;
}

// Win32_Battery's Chemistry for the kernel's technology names.
std::optional<std::uint64_t> chemistryCode(const std::optional<std::string>& technology) {
    if (!technology) return std::nullopt;
    if (*technology == "Li-ion") return 6;
    if (*technology == "Li-poly") return 8;
    if (*technology == "NiMH") return 5;
    if (*technology == "NiCd") return 4;
    if (*technology == "Unknown") return 2;
    return 1;  // other: LiFe, LiMn
}

// Microvolts as millivolts.
std::optional<std::uint64_t> millivolts(const RootFs& fs, const std::string& file) {
    std::optional<std::uint64_t> microvolts = fs.number(file);
    return microvolts ? std::optional<std::uint64_t>(*microvolts / 1000) : std::nullopt;
}

}  // namespace

std::vector<std::string> systemBatteries(const RootFs& fs) {
    std::vector<std::string> dirs;
    for (const std::string& supply : fs.list("/sys/class/power_supply")) {
        std::string dir = "/sys/class/power_supply/" + supply;
        if (fs.line(dir + "/type") == std::optional<std::string>("Battery") &&
            fs.line(dir + "/scope") != std::optional<std::string>("Device"))
            dirs.push_back(dir);
    }
    return dirs;
}

ObjectList readBatteries(const LinuxContext& context) {
    ObjectList objects;
    const RootFs* fs = &context.fs;
    for (const std::string& dir : systemBatteries(context.fs)) {
        newObject(objects)
            .add("Name", [fs, dir] { return stringOrNull(fs->line(dir + "/model_name")); })
            .add("DeviceID", [fs, dir] { return stringOrNull(deviceId(*fs, dir)); })
            .add("EstimatedChargeRemaining", [fs, dir] { return uint32OrNull(fs->number(dir + "/capacity")); })
            .add("Caption", [] { return WmiValue::string("Internal Battery"); })
            .add("Description", [] { return WmiValue::string("Internal Battery"); })
            .add("Status", [fs, dir] { return stringOrNull(fs->line(dir + "/status")); })
            .add("Chemistry", [fs, dir] { return uint32OrNull(chemistryCode(fs->line(dir + "/technology"))); })
            .add("DesignVoltage", [fs, dir] { return uint64OrNull(millivolts(*fs, dir + "/voltage_min_design")); });
    }
    return objects;
}

}  // namespace moravel::lx
