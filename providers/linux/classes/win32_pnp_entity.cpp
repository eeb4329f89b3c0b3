// Win32_PnPEntity, as far as the inventory asks it: the devices of the PCI bus (every function
// lspci lists) and the USB devices of /sys/bus/usb/devices (not their interfaces, not the root
// hubs), with Windows' device instance paths and compatible ids.
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

// The kernel driver bound to a device: the name its directory's "driver" link leads to.
std::optional<std::string> driverName(const RootFs& fs, const std::string& dir) {
    std::string driver = baseName(fs.resolved(dir + "/driver"));
    return driver.empty() ? std::nullopt : std::optional<std::string>(driver);
}

void addUsbDevices(const LinuxContext& context, ObjectList& objects) {
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
        newObject(objects)
            .add("DeviceID", [id] { return WmiValue::string(id); })
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
            .add("PNPClass", [usbClass] { return WmiValue::string(pnpClass(usbClass)); })
            .add("Service", [fs, dir] { return stringOrNull(driverName(*fs, dir)); })
            .addNull("CompatibleID");
    }
}

// One PCI function's numbers, as its sysfs directory gives them; they cannot change while the
// process runs.
struct PciIds {
    unsigned vendor = 0, device = 0, subsystemVendor = 0, subsystemDevice = 0, revision = 0, classCode = 0;
};

PciIds pciIds(const RootFs& fs, const std::string& dir) {
    auto number = [&](const char* file) { return static_cast<unsigned>(fs.numberOnce(dir + file).value_or(0)); };
    return {number("/vendor"),           number("/device"),   number("/subsystem_vendor"),
            number("/subsystem_device"), number("/revision"), number("/class")};
}

// "PCI\VEN_8086&DEV_1E31&SUBSYS_05351028&REV_04\<address>": Windows' form, with the device's
// address where Windows has a number of its own making.
std::string pciInstancePath(const PciIds& ids, const std::string& address) {
    return "PCI\\VEN_" + hex("%04X", ids.vendor) + "&DEV_" + hex("%04X", ids.device) + "&SUBSYS_" +
           hex("%04X", ids.subsystemDevice) + hex("%04X", ids.subsystemVendor) + "&REV_" + hex("%02X", ids.revision) +
           "\\" + address;
}

// The ids Windows matches drivers by, the class code ("CC_0C0330") among them.
std::vector<std::string> pciCompatibleIds(const PciIds& ids) {
    std::string vendor = "PCI\\VEN_" + hex("%04X", ids.vendor);
    std::string device = vendor + "&DEV_" + hex("%04X", ids.device);
    std::string classCode = hex("%06X", ids.classCode & 0xFFFFFF), baseAndSub = classCode.substr(0, 4);
    return {device + "&REV_" + hex("%02X", ids.revision),
            device,
            vendor + "&CC_" + classCode,
            vendor + "&CC_" + baseAndSub,
            vendor,
            "PCI\\CC_" + classCode,
            "PCI\\CC_" + baseAndSub};
}

void addPciDevices(const LinuxContext& context, ObjectList& objects) {
    const RootFs* fs = &context.fs;
    const LinuxContext* c = &context;
    for (const std::string& address : fs->listOnce("/sys/bus/pci/devices")) {
        std::string dir = "/sys/bus/pci/devices/" + address;
        PciIds ids = pciIds(*fs, dir);
        if (ids.vendor == 0 || ids.vendor == 0xFFFF) continue;  // a function that is not there
        std::string id = pciInstancePath(ids, address);
        newObject(objects)
            .add("DeviceID", [id] { return WmiValue::string(id); })
            .add("PNPDeviceID", [id] { return WmiValue::string(id); })
            .add("Name", [c, ids] { return stringOrNull(c->names.product("pci", ids.vendor, ids.device)); })
            .add("Manufacturer", [c, ids] { return stringOrNull(c->names.vendor("pci", ids.vendor)); })
            .addNull("PNPClass")
            .add("Service", [fs, dir] { return stringOrNull(driverName(*fs, dir)); })
            .add("CompatibleID", [ids] { return WmiValue::array(vt::Bstr, pciCompatibleIds(ids)); });
    }
}

}  // namespace

ObjectList readPnpEntities(const LinuxContext& context) {
    ObjectList objects;
    addPciDevices(context, objects);
    addUsbDevices(context, objects);
    return objects;
}

}  // namespace moravel::lx
