// Win32_BaseBoard and Win32_MotherboardDevice: the board from DMI (else the device tree or the
// hypervisor), its buses from the PCI tree.
#include "providers/linux/classes/readers.h"
#include "providers/linux/system/machine_identity.h"

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

// A board without DMI tables is still there when its device tree or its hypervisor names it.
bool hasBoard(const LinuxContext& context) {
    if (hasDmiField(context.fs, "board_vendor") || hasDmiField(context.fs, "board_name")) return true;
    const MachineIdentity identity = identityWithoutDmi(context);
    return identity.maker || identity.model;
}

}  // namespace

ObjectList readBaseBoards(const LinuxContext& context) {
    ObjectList objects;
    if (!hasBoard(context)) return objects;
    const LinuxContext* c = &context;
    const RootFs* fs = &context.fs;
    newObject(objects)
        .add("Manufacturer", [c] { return stringOrNull(dmiOr(*c, "board_vendor", &MachineIdentity::maker)); })
        .add("Product", [c] { return stringOrNull(dmiOr(*c, "board_name", &MachineIdentity::model)); })
        .add("SerialNumber",  // DMI's is for root only
             [c] { return stringOrNull(dmiOr(*c, "board_serial", &MachineIdentity::serial)); })
        .add("Version", [fs] { return stringOrNull(dmiField(*fs, "board_version")); })
        .add("Tag", [] { return WmiValue::string("Base Board"); })
        .addNull("Model");
    return objects;
}

ObjectList readMotherboardDevices(const LinuxContext& context) {
    ObjectList objects;
    if (context.fs.listOnce("/sys/bus/pci/devices").empty()) return objects;
    const RootFs* fs = &context.fs;
    newObject(objects)
        .add("PrimaryBusType", [] { return WmiValue::string("PCI"); })
        .add("SecondaryBusType", [fs] { return hasIsaBridge(*fs) ? WmiValue::string("ISA") : WmiValue::null(); })
        .add("DeviceID", [] { return WmiValue::string("Motherboard"); })
        .add("Name", [] { return WmiValue::string("Motherboard"); });
    return objects;
}

}  // namespace moravel::lx
