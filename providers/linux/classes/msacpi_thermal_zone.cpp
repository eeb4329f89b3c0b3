// MSAcpi_ThermalZoneTemperature (ROOT\WMI): on Linux every temperature the kernel's hwmon
// devices report (the processor's, the chipset's, the disks', the ACPI zones'), in tenths of a
// kelvin as Windows gives its thermal zones. A reading no computer can have is left out.
#include <cstdlib>

#include "providers/linux/classes/readers.h"

namespace moravel::lx {
namespace {

constexpr const char* kHwmon = "/sys/class/hwmon";
constexpr long long kAbsoluteZeroMilli = -273150;
constexpr long long kHottestMilli = 250000;

std::optional<std::uint64_t> tenthsOfKelvin(const RootFs& fs, const std::string& file) {
    std::optional<std::string> text = fs.line(file);
    if (!text) return std::nullopt;
    char* end = nullptr;
    long long milli = std::strtoll(text->c_str(), &end, 10);
    if (end == text->c_str() || *end != '\0' || milli <= kAbsoluteZeroMilli || milli > kHottestMilli)
        return std::nullopt;
    return static_cast<std::uint64_t>((milli - kAbsoluteZeroMilli) / 100);
}

// "temp3_input" → "temp3"; empty for any other file.
std::string sensorOf(const std::string& entry) {
    const std::string suffix = "_input";
    if (entry.rfind("temp", 0) != 0 || entry.size() <= suffix.size() + 4 ||
        entry.compare(entry.size() - suffix.size(), suffix.size(), suffix) != 0)
        return {};
    return entry.substr(0, entry.size() - suffix.size());
}

}  // namespace

ObjectList readThermalZones(const LinuxContext& context) {
    ObjectList objects;
    const RootFs* fs = &context.fs;
    for (const std::string& chip : fs->list(kHwmon)) {
        const std::string dir = std::string(kHwmon) + "/" + chip;
        const std::string name = fs->line(dir + "/name").value_or(chip);
        for (const std::string& entry : fs->list(dir)) {
            const std::string sensor = sensorOf(entry);
            if (sensor.empty() || !tenthsOfKelvin(*fs, dir + "/" + entry)) continue;
            const std::string instance = name + " " + fs->line(dir + "/" + sensor + "_label").value_or(sensor);
            newObject(objects)
                .add("InstanceName", [instance] { return WmiValue::string(instance); })
                .add("CurrentTemperature",
                     [fs, dir, entry] { return uint32OrNull(tenthsOfKelvin(*fs, dir + "/" + entry)); })
                .add("CriticalTripPoint",
                     [fs, dir, sensor] { return uint32OrNull(tenthsOfKelvin(*fs, dir + "/" + sensor + "_crit")); });
        }
    }
    return objects;
}

}  // namespace moravel::lx
