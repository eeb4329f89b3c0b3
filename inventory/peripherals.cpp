// Sound devices, printers, keyboards and pointing devices, USB devices.
#include "inventory/codes.h"
#include "inventory/inventory_parts.h"

namespace moravel::parts {
namespace {

// The bus of an input device from its device instance path.
std::string inputInterface(const std::string& pnpId) {
    if (pnpId.compare(0, 4, "USB\\") == 0 || pnpId.compare(0, 4, "HID\\") == 0) return "USB";
    if (pnpId.compare(0, 5, "ACPI\\") == 0) return "PS/2";
    if (pnpId.compare(0, 8, "BTHENUM\\") == 0) return "Bluetooth";
    return {};
}

// The instance part is the device's serial number when the device has one (else Windows makes
// one up, with "&" in it).
std::string usbSerial(const std::string& pnpId) {
    std::size_t slash = pnpId.rfind('\\');
    std::string instance = slash == std::string::npos ? std::string() : pnpId.substr(slash + 1);
    return instance.find('&') == std::string::npos ? instance : std::string();
}

// A USB device itself: not a hub of the host controller, not one interface of a composite device.
bool isUsbDevice(const std::string& pnpId) {
    return pnpId.compare(0, 8, "USB\\VID_") == 0 && pnpId.find("&MI_") == std::string::npos;
}

}  // namespace

void readSoundDevices(ClassSource& source, Inventory& inventory) {
    for (const WmiRow& row : source.rows("Win32_SoundDevice"))
        inventory.soundDevices.push_back({row.text("ProductName"), row.text("Manufacturer"), {}});
}

void readPrinters(ClassSource& source, Inventory& inventory) {
    for (const WmiRow& row : source.rows("Win32_Printer")) {
        Printer& printer = inventory.printers.emplace_back();
        printer.name = firstOf({row.text("Name"), row.text("Caption")});
        printer.driver = row.text("DriverName");
        printer.port = row.text("PortName");
        printer.shareName = row.text("ShareName");
        printer.comment = row.text("Comment");
        Number horizontal = row.number("HorizontalResolution"), vertical = row.number("VerticalResolution");
        if (horizontal && vertical) printer.resolution = std::to_string(*horizontal) + "x" + std::to_string(*vertical);
        printer.network = row.flag("Network");
        printer.shared = row.flag("Shared");
        printer.status = row.number("PrinterStatus");
    }
}

void readInputs(ClassSource& source, Inventory& inventory) {
    for (const WmiRow& row : source.rows("Win32_Keyboard")) {
        InputDevice& input = inventory.inputs.emplace_back();
        input.kind = InputKind::Keyboard;
        input.name = firstOf({row.text("Description"), row.text("Name")});
        input.description = row.text("Name");
        input.interfaceType = inputInterface(row.text("PNPDeviceID"));
        input.layout = row.text("Layout");
    }
    for (const WmiRow& row : source.rows("Win32_PointingDevice")) {
        InputDevice& input = inventory.inputs.emplace_back();
        input.kind = InputKind::Pointing;
        input.name = row.text("Name");
        input.manufacturer = row.text("Manufacturer");
        input.description = row.text("Description");
        std::string bus = pointingInterfaceName(row.number("DeviceInterface").value_or(0));
        input.interfaceType = firstOf({bus, inputInterface(row.text("PNPDeviceID"))});
        input.pointingType = pointingTypeName(row.number("PointingType").value_or(0));
    }
}

void readUsbDevices(ClassSource& source, Inventory& inventory) {
    for (const WmiRow& row : source.rows("Win32_PnPEntity")) {
        std::string id = row.text("DeviceID");
        if (!isUsbDevice(id)) continue;
        UsbDevice& device = inventory.usbDevices.emplace_back();
        device.name = row.text("Name");
        device.manufacturer = row.text("Manufacturer");
        device.vendorId = hexAfter(id, "VID_", 4);  // "USB\VID_0781&PID_5567\4C530001231012115573"
        device.productId = hexAfter(id, "PID_", 4);
        device.serialNumber = usbSerial(id);
        device.deviceClass = row.text("PNPClass");
    }
}

}  // namespace moravel::parts
