#include <algorithm>

#include "inventory/codes.h"
#include "inventory/health.h"

namespace moravel {
namespace {

const std::pair<HealthStatus, const char*> kStatusTexts[] = {
    {HealthStatus::Healthy, "OK"}, {HealthStatus::Warning, "Warning"}, {HealthStatus::Failing, "Failing"}};

void add(std::vector<HealthLine>& lines, const char* label, const Number& value, const char* unit = "") {
    if (value) lines.push_back({label, groupedNumber(*value) + unit});
}

}  // namespace

std::string groupedNumber(std::uint64_t value) {
    std::string digits = std::to_string(value), grouped;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) grouped += ',';
        grouped += digits[i];
    }
    return grouped;
}

std::vector<HealthLine> diskHealthLines(const Disk& disk) {
    const DiskHealth& health = disk.health;
    std::vector<HealthLine> lines;
    if (health.status != HealthStatus::Unknown) lines.push_back({"Health", nameOf(kStatusTexts, health.status)});
    add(lines, "Power-on", health.powerOnHours, " hours");
    add(lines, "Power cycles", health.powerCycles);
    add(lines, "Temperature", health.temperatureCelsius, " °C");
    add(lines, "Wear", health.wearPercent, " %");
    add(lines, "Media errors", health.mediaErrors);
    add(lines, "Reallocated sectors", health.reallocatedSectors);
    add(lines, "Pending sectors", health.pendingSectors);
    return lines;
}

std::vector<HealthLine> batteryHealthLines(const Battery& battery) {
    std::vector<HealthLine> lines;
    if (Number percent = batteryCapacityPercent(battery))
        lines.push_back({"Holds", std::to_string(*percent) + " % of its design capacity"});
    return lines;
}

std::string diskHealthNote(const Inventory& inventory) {
    const std::vector<Disk>& disks = inventory.disks;
    if (inventory.diskHealthNeedsRights && !disks.empty()) return "run as administrator/root to read disk health";
    if (disks.empty() || std::any_of(disks.begin(), disks.end(), [](const Disk& d) { return d.health.any(); }))
        return {};
    if (!inventory.diskHealthListed) return "no disk health recorded";
    if (std::all_of(disks.begin(), disks.end(), [](const Disk& d) { return d.bus == DiskBus::Virtual; }))
        return "virtual disks report no health";
    return "no disk reports its health";
}

}  // namespace moravel
