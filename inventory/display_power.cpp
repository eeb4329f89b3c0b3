// Graphics adapters, monitors (their EDID as WmiMonitorID decodes it) and batteries.
#include <cstdlib>

#include "inventory/codes.h"
#include "inventory/inventory_parts.h"

namespace moravel::parts {
namespace {

// WmiMonitorID holds its texts as arrays of character codes, padded with zeros.
std::string characters(const std::vector<std::string>& codes) {
    std::string text;
    for (const std::string& code : codes) {
        unsigned long c = std::strtoul(code.c_str(), nullptr, 10);
        if (c == 0) break;
        text += c < 0x80 ? static_cast<char>(c) : '?';
    }
    std::size_t end = text.find_last_not_of(' ');
    return end == std::string::npos ? std::string() : text.substr(0, end + 1);
}

// The ROOT\WMI classes of one device share its InstanceName.
std::string byInstance(const WmiRow& row) { return row.text("InstanceName"); }

std::string resolution(const WmiRow& row, const char* horizontal, const char* vertical) {
    Number width = row.number(horizontal), height = row.number(vertical);
    if (!width || !height || *width == 0 || *height == 0) return {};
    return std::to_string(*width) + "x" + std::to_string(*height);
}

Number positive(Number value) { return value && *value > 0 ? value : std::nullopt; }

}  // namespace

void readVideoAdapters(ClassSource& source, Inventory& inventory) {
    for (const WmiRow& row : source.rows("Win32_VideoController")) {
        VideoAdapter& video = inventory.videoAdapters.emplace_back();
        video.name = row.text("Name");
        video.chip = row.text("VideoProcessor");
        video.driverVersion = row.text("DriverVersion");
        video.driverDate = cimDateText(row.text("DriverDate"));
        video.resolution = resolution(row, "CurrentHorizontalResolution", "CurrentVerticalResolution");
        video.memoryBytes = positive(row.number("AdapterRAM"));
    }
}

void readMonitors(ClassSource& source, Inventory& inventory) {
    for (const WmiRow& row : source.rows("WmiMonitorID")) {
        Monitor& monitor = inventory.monitors.emplace_back();
        monitor.manufacturerId = characters(row.list("ManufacturerName"));
        monitor.manufacturer = firstOf({monitorMakerName(monitor.manufacturerId), monitor.manufacturerId});
        monitor.model = characters(row.list("UserFriendlyName"));
        monitor.productCode = characters(row.list("ProductCodeID"));
        monitor.serialNumber = characters(row.list("SerialNumberID"));
        monitor.year = positive(row.number("YearOfManufacture"));
        monitor.week = positive(row.number("WeekOfManufacture"));
        if (const WmiRow* size = source.find("WmiMonitorBasicDisplayParams", byInstance, row.text("InstanceName"))) {
            monitor.widthCm = positive(size->number("MaxHorizontalImageSize"));
            monitor.heightCm = positive(size->number("MaxVerticalImageSize"));
        }
    }
}

// Win32_Battery says what Windows shows; the battery's own data (design and full-charge
// capacity, cycles, maker, serial) is in ROOT\WMI, one instance per battery, in the same order.
void readBatteries(ClassSource& source, Inventory& inventory) {
    const WmiRows& batteries = source.rows("Win32_Battery");
    const WmiRows& statics = source.rows("BatteryStaticData");
    static const WmiRow none;
    for (std::size_t i = 0; i < std::max(batteries.size(), statics.size()); ++i) {
        const WmiRow& windows = i < batteries.size() ? batteries[i] : none;
        const WmiRow& data = i < statics.size() ? statics[i] : none;
        std::string instance = data.text("InstanceName");
        Battery& battery = inventory.batteries.emplace_back();
        battery.name = firstOf({windows.text("Name"), data.text("DeviceName")});
        battery.manufacturer = data.text("ManufactureName");
        battery.serialNumber = data.text("SerialNumber");
        std::string code = batteryChemistryCode(data.number("Chemistry").value_or(0));
        battery.chemistry = firstOf({batteryChemistryName(windows.number("Chemistry").value_or(0)), code});
        battery.designCapacityMwh = positive(data.number("DesignedCapacity"));
        if (const WmiRow* charge = source.find("BatteryFullChargedCapacity", byInstance, instance))
            battery.fullChargeCapacityMwh = positive(charge->number("FullChargedCapacity"));
        if (const WmiRow* count = source.find("BatteryCycleCount", byInstance, instance))
            battery.cycleCount = count->number("CycleCount");
        battery.designVoltageMv = positive(windows.number("DesignVoltage"));
    }
}

}  // namespace moravel::parts
