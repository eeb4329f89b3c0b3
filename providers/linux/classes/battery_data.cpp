// BatteryStaticData, BatteryFullChargedCapacity and BatteryCycleCount (ROOT\WMI): each battery's
// own data, in the order of Win32_Battery, so its wear shows: the capacity it was designed for
// against the charge it holds when full, and its charge cycles. The kernel counts energy in µWh,
// or charge in µAh for batteries that report no energy; WMI counts mWh.
#include "providers/linux/classes/readers.h"

namespace moravel::lx {
namespace {

// `what` ("full_design", "full") in mWh: energy_<what>, else charge_<what> at the design voltage.
std::optional<std::uint64_t> milliwattHours(const RootFs& fs, const std::string& dir, const char* what) {
    if (std::optional<std::uint64_t> energy = fs.number(dir + "/energy_" + what)) return *energy / 1000;
    std::optional<std::uint64_t> charge = fs.number(dir + "/charge_" + what);
    std::optional<std::uint64_t> voltage = fs.number(dir + "/voltage_min_design");
    if (!charge || !voltage || *charge > (std::uint64_t{1} << 40) || *voltage > (std::uint64_t{1} << 24))
        return std::nullopt;
    return *charge * *voltage / 1000000000;  // µAh x µV = 10^-12 Wh
}

// Windows' four letters for the chemistry, in a 32-bit number, first letter lowest.
std::optional<std::uint64_t> chemistryLetters(const std::optional<std::string>& technology) {
    if (!technology) return std::nullopt;
    std::string letters = *technology == "Li-ion"    ? "LION"
                          : *technology == "Li-poly" ? "LiP "
                          : *technology == "NiMH"    ? "NiMH"
                          : *technology == "NiCd"    ? "NiCd"
                          : *technology == "LiFe"    ? "LiFe"
                                                     : "";
    if (letters.empty()) return std::nullopt;
    std::uint64_t packed = 0;
    for (std::size_t i = 0; i < 4; ++i)
        packed |= static_cast<std::uint64_t>(static_cast<unsigned char>(letters[i])) << (8 * i);
    return packed;
}

// One object per battery, each with its instance name first.
template <typename AddProperties>
ObjectList perBattery(const LinuxContext& context, AddProperties add) {
    ObjectList objects;
    for (const std::string& dir : systemBatteries(context.fs)) {
        LinuxObject& object = newObject(objects);
        std::string instance = "ACPI\\PNP0C0A\\" + baseName(dir) + "_0";
        object.add("InstanceName", [instance] { return WmiValue::string(instance); });
        add(object, &context.fs, dir);
    }
    return objects;
}

}  // namespace

ObjectList readBatteryStaticData(const LinuxContext& context) {
    return perBattery(context, [](LinuxObject& object, const RootFs* fs, const std::string& dir) {
        object.add("DeviceName", [fs, dir] { return stringOrNull(fs->line(dir + "/model_name")); })
            .add("ManufactureName", [fs, dir] { return stringOrNull(fs->line(dir + "/manufacturer")); })
            .add("SerialNumber", [fs, dir] { return stringOrNull(fs->line(dir + "/serial_number")); })
            .add("Chemistry", [fs, dir] { return uint32OrNull(chemistryLetters(fs->line(dir + "/technology"))); })
            .add("DesignedCapacity", [fs, dir] { return uint32OrNull(milliwattHours(*fs, dir, "full_design")); });
    });
}

ObjectList readBatteryFullChargedCapacities(const LinuxContext& context) {
    return perBattery(context, [](LinuxObject& object, const RootFs* fs, const std::string& dir) {
        object.add("FullChargedCapacity", [fs, dir] { return uint32OrNull(milliwattHours(*fs, dir, "full")); });
    });
}

ObjectList readBatteryCycleCounts(const LinuxContext& context) {
    return perBattery(context, [](LinuxObject& object, const RootFs* fs, const std::string& dir) {
        object.add("CycleCount", [fs, dir] { return uint32OrNull(fs->number(dir + "/cycle_count")); });
    });
}

}  // namespace moravel::lx
