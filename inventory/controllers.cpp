// Controllers: the devices of the PCI bus, read from the device instance paths and compatible
// ids Windows gives them ("PCI\VEN_8086&DEV_1E31&SUBSYS_05351028&REV_04\...", "PCI\CC_0C0330"),
// which the Linux provider writes alike.
#include <cstdlib>

#include "inventory/codes.h"
#include "inventory/inventory_parts.h"

namespace moravel::parts {
namespace {

// The class and subclass, "0c03", of the compatible id "PCI\CC_0C0330" (or "PCI\CC_0C03").
std::string classCode(const std::vector<std::string>& compatibleIds) {
    for (const std::string& id : compatibleIds)
        if (id.compare(0, 7, "PCI\\CC_") == 0) return hexAfter(id, "PCI\\CC_", 4);
    return {};
}

}  // namespace

void readControllers(ClassSource& source, Inventory& inventory) {
    for (const WmiRow& row : source.rows("Win32_PnPEntity")) {
        std::string id = row.text("DeviceID");
        if (id.compare(0, 4, "PCI\\") != 0) continue;
        Controller& controller = inventory.controllers.emplace_back();
        controller.vendorId = hexAfter(id, "VEN_", 4);
        controller.productId = hexAfter(id, "DEV_", 4);
        std::string subsystem = hexAfter(id, "SUBSYS_", 8);  // the device's id, then its vendor's
        if (!subsystem.empty() && subsystem != "00000000")  // all zeros: the device names no subsystem
            controller.subsystemId = subsystem.substr(4) + ":" + subsystem.substr(0, 4);
        controller.revision = hexAfter(id, "REV_", 2);
        controller.pciClass = classCode(row.list("CompatibleID"));
        if (!controller.pciClass.empty())
            controller.type = pciClassName(std::strtoull(controller.pciClass.c_str(), nullptr, 16));
        controller.name = firstOf({row.text("Name"), controller.type});
        controller.manufacturer = row.text("Manufacturer");
        controller.driver = row.text("Service");
    }
}

}  // namespace moravel::parts
