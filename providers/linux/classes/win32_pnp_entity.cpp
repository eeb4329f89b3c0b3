// Win32_PnPEntity, as far as the inventory asks it: the USB devices of /sys/bus/usb/devices (not
// their interfaces, not the root hubs), with Windows' device instance paths.
#include <cstdio>

#include "providers/linux/classes/readers.h"

namespace moravel::lx {
namespace {

// Windows' device classes for the USB classes: of the device, else of its first interface.
const char* pnpClass(unsigned usbClass) {
    switch (usbClass) {
    case 0x01: return "MEDIA";
    case 0x03: return "HIDClass";
    case 0x07: return "Printer";
    case 0x0E: return "Camera";
    case 0xE0: return "Bluetooth";
    default: return "USB";
    }
}

std::optional<unsigned> hexNumber(const RootFs& fs, const std::string& file) {
    std::optional<std::string> text = fs.line(file);
    if (!text || text->empty()) return std::nullopt;
    return static_cast<unsigned>(std::strtoul(text->c_str(), nullptr, 16));
}

// "USB\VID_0781&PID_5567\<serial>"; a device without a serial gets its port path with an "&",
// as Windows makes up one.
std::string instancePath(unsigned vendor, unsigned product, const std::optional<std::string>& serial,
                         const std::string& port) {
    char ids[40];
    std::snprintf(ids, sizeof ids, "USB\\VID_%04X&PID_%04X\\", vendor, product);
    return ids + (serial && serial->find_first_of("\\&") == std::string::npos ? *serial : "5&" + port);
}

}  // namespace

ObjectList readPnpEntities(const LinuxContext& context) {
    ObjectList objects;
    const RootFs* fs = &context.fs;
    const LinuxContext* c = &context;
    for (const std::string& name : fs->list("/sys/bus/usb/devices")) {
        if (name.find(':') != std::string::npos || name.compare(0, 3, "usb") == 0) continue;  // interfaces, root hubs
        std::string dir = "/sys/bus/usb/devices/" + name;
        std::optional<unsigned> vendor = hexNumber(*fs, dir + "/idVendor"),
                                product = hexNumber(*fs, dir + "/idProduct");
        if (!vendor || !product) continue;
        unsigned usbClass = hexNumber(*fs, dir + "/bDeviceClass").value_or(0);
        if (usbClass == 0) usbClass = hexNumber(*fs, dir + "/" + name + ":1.0/bInterfaceClass").value_or(0);
        if (usbClass == 0x09) continue;  // a hub
        std::string id = instancePath(*vendor, *product, fs->line(dir + "/serial"), name);
        unsigned v = *vendor, p = *product;
        auto object = std::make_unique<LinuxObject>();
        object->add("DeviceID", [id] { return WmiValue::string(id); })
            .add("PNPDeviceID", [id] { return WmiValue::string(id); })
            .add("Name",
                 [fs, dir, c, v, p] {
                     std::optional<std::string> told = fs->line(dir + "/product");
                     return stringOrNull(told ? told : c->names.product("usb", v, p));
                 })
            .add("Manufacturer",
                 [fs, dir, c, v] {
                     std::optional<std::string> maker = fs->line(dir + "/manufacturer");
                     return stringOrNull(maker ? maker : c->names.vendor("usb", v));
                 })
            .add("PNPClass", [usbClass] { return WmiValue::string(pnpClass(usbClass)); });
        objects.push_back(std::move(object));
    }
    return objects;
}

}  // namespace moravel::lx
