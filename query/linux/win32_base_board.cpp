// Win32_BaseBoard and Win32_MotherboardDevice: the board from DMI, its buses from the PCI tree.
#include "query/linux/linux_classes.h"

namespace moravel::lx {
namespace {

// An ISA bridge (class 0x0601) is also how the LPC bus of current chipsets presents itself.
bool hasIsaBridge(const RootFs& fs) {
    for (const std::string& device : fs.listOnce("/sys/bus/pci/devices")) {
        std::optional<std::uint64_t> pciClass = fs.numberOnce("/sys/bus/pci/devices/" + device + "/class");
        if (pciClass && (*pciClass >> 8) == 0x0601) return true;
    }
    return false;
}

}  // namespace

ObjectList readBaseBoards(const LinuxContext& context) {
    ObjectList objects;
    if (!context.fs.exists("/sys/class/dmi/id/board_vendor") && !context.fs.exists("/sys/class/dmi/id/board_name"))
        return objects;
    const RootFs* fs = &context.fs;
    auto object = std::make_unique<LinuxObject>();
    object->add("Manufacturer", [fs] { return stringOrNull(dmiField(*fs, "board_vendor")); })
        .add("Product", [fs] { return stringOrNull(dmiField(*fs, "board_name")); })
        .add("SerialNumber", [fs] { return stringOrNull(dmiField(*fs, "board_serial")); })  // root only
        .add("Version", [fs] { return stringOrNull(dmiField(*fs, "board_version")); })
        .add("Tag", [] { return WmiValue::string("Base Board"); })
        .addNull("Model");
    objects.push_back(std::move(object));
    return objects;
}

ObjectList readMotherboardDevices(const LinuxContext& context) {
    ObjectList objects;
    if (context.fs.listOnce("/sys/bus/pci/devices").empty()) return objects;
    const RootFs* fs = &context.fs;
    auto object = std::make_unique<LinuxObject>();
    object->add("PrimaryBusType", [] { return WmiValue::string("PCI"); })
        .add("SecondaryBusType", [fs] { return hasIsaBridge(*fs) ? WmiValue::string("ISA") : WmiValue::null(); })
        .add("DeviceID", [] { return WmiValue::string("Motherboard"); })
        .add("Name", [] { return WmiValue::string("Motherboard"); });
    objects.push_back(std::move(object));
    return objects;
}

}  // namespace moravel::lx
