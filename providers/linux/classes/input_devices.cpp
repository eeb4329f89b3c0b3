// Win32_Keyboard and Win32_PointingDevice: the keyboards and mice of /proc/bus/input/devices.
// A keyboard is a device the kbd handler serves that repeats keys (power and lid buttons do
// not); a pointing device is one the mouse handler serves.
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "providers/linux/classes/readers.h"

namespace moravel::lx {
namespace {

constexpr unsigned kBusUsb = 0x03, kBusBluetooth = 0x05, kBusI8042 = 0x11;
constexpr unsigned long kRepeatEvents = 1ul << 20;  // EV_REP

struct InputDevice {
    std::string name;
    std::string handlers;
    unsigned bus = 0, vendor = 0, product = 0;
    unsigned long events = 0;
};

unsigned hexAfter(const std::string& line, const char* key) {
    std::size_t at = line.find(key);
    return at == std::string::npos
               ? 0
               : static_cast<unsigned>(std::strtoul(line.c_str() + at + std::strlen(key), nullptr, 16));
}

std::vector<InputDevice> inputDevices(const RootFs& fs) {
    std::vector<InputDevice> devices;
    std::optional<std::string> text = fs.read("/proc/bus/input/devices");
    std::istringstream lines(text.value_or(""));
    InputDevice device;
    for (std::string line; std::getline(lines, line);) {
        if (line.compare(0, 3, "I: ") == 0) {
            device = InputDevice{};
            device.bus = hexAfter(line, "Bus="), device.vendor = hexAfter(line, "Vendor="),
            device.product = hexAfter(line, "Product=");
        } else if (line.compare(0, 9, "N: Name=\"") == 0) {
            device.name = line.substr(9, line.rfind('"') > 9 ? line.rfind('"') - 9 : std::string::npos);
        } else if (line.compare(0, 12, "H: Handlers=") == 0) {
            device.handlers = " " + line.substr(12) + " ";
        } else if (line.compare(0, 6, "B: EV=") == 0) {
            device.events = std::strtoul(line.c_str() + 6, nullptr, 16);
        } else if (line.empty() && !device.name.empty()) {
            devices.push_back(device);
            device = InputDevice{};
        }
    }
    if (!device.name.empty()) devices.push_back(device);
    return devices;
}

bool handledBy(const InputDevice& device, const char* handler) {
    return device.handlers.find(std::string(" ") + handler) != std::string::npos;
}

// The device instance path Windows would give: USB devices by their ids, the PS/2 ports as ACPI
// devices.
std::string pnpDeviceId(const InputDevice& device, const char* ps2Id) {
    char text[64];
    if (device.bus == kBusUsb)
        std::snprintf(text, sizeof text, "HID\\VID_%04X&PID_%04X", device.vendor, device.product);
    else if (device.bus == kBusBluetooth)
        std::snprintf(text, sizeof text, "BTHENUM\\VID_%04X&PID_%04X", device.vendor, device.product);
    else if (device.bus == kBusI8042)
        std::snprintf(text, sizeof text, "ACPI\\%s", ps2Id);
    else
        std::snprintf(text, sizeof text, "ROOT\\INPUT\\%04X", device.bus);
    return text;
}

std::optional<std::string> usbMaker(const LinuxContext& context, const InputDevice& device) {
    return device.bus == kBusUsb ? context.names.vendor("usb", device.vendor) : std::nullopt;
}

// CIM's PointingType: 5 track point, 7 touch pad, 8 touch screen, else 2 unknown.
unsigned pointingType(const std::string& name) {
    std::string lower;
    for (char c : name) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (lower.find("trackpoint") != std::string::npos) return 5;
    if (lower.find("touchpad") != std::string::npos) return 7;
    if (lower.find("touchscreen") != std::string::npos) return 8;
    return 2;
}

// CIM's DeviceInterface: 4 PS/2, 162 USB, 1 other.
unsigned pointingInterface(unsigned bus) { return bus == kBusI8042 ? 4 : bus == kBusUsb ? 162 : 1; }

}  // namespace

ObjectList readKeyboards(const LinuxContext& context) {
    ObjectList objects;
    for (const InputDevice& device : inputDevices(context.fs)) {
        if (!handledBy(device, "kbd") || !(device.events & kRepeatEvents)) continue;
        std::string pnp = pnpDeviceId(device, "PNP0303");
        newObject(objects)
            .add("Name", [device] { return WmiValue::string(device.name); })
            .add("Description", [device] { return WmiValue::string(device.name); })
            .add("Caption", [device] { return WmiValue::string(device.name); })
            .add("PNPDeviceID", [pnp] { return WmiValue::string(pnp); })
            .addNull("Layout");
    }
    return objects;
}

ObjectList readPointingDevices(const LinuxContext& context) {
    ObjectList objects;
    const LinuxContext* c = &context;
    for (const InputDevice& device : inputDevices(context.fs)) {
        if (!handledBy(device, "mouse")) continue;
        std::string pnp = pnpDeviceId(device, "PNP0F13");
        newObject(objects)
            .add("Name", [device] { return WmiValue::string(device.name); })
            .add("Description", [device] { return WmiValue::string(device.name); })
            .add("Manufacturer", [c, device] { return stringOrNull(usbMaker(*c, device)); })
            .add("PointingType", [device] { return uint32OrNull(pointingType(device.name)); })
            .add("DeviceInterface", [device] { return uint32OrNull(pointingInterface(device.bus)); })
            .add("PNPDeviceID", [pnp] { return WmiValue::string(pnp); });
    }
    return objects;
}

}  // namespace moravel::lx
