// Who the machine is, its firmware and board, and its operating system.
#include <cstdio>

#include "inventory/codes.h"
#include "inventory/inventory_parts.h"

namespace moravel::parts {
namespace {

const WmiRow kNoRow;

const WmiRow& firstRow(ClassSource& source, const char* className) {
    const WmiRows& rows = source.rows(className);
    return rows.empty() ? kNoRow : rows.front();
}

// Firmware that was never given a UUID reports all ones or all zeros.
std::string realUuid(const std::string& uuid) {
    return uuid.find_first_not_of("Ff-") == std::string::npos || uuid.find_first_not_of("0-") == std::string::npos
               ? std::string()
               : uuid;
}

std::string chassisType(const WmiRow& enclosure) {
    for (const std::string& code : enclosure.list("ChassisTypes")) {
        std::string name = code.empty() ? std::string() : chassisTypeName(std::strtoull(code.c_str(), nullptr, 10));
        if (!name.empty() && name != "Unknown" && name != "Other") return name;
    }
    return {};
}

void readIdentity(ClassSource& source, Inventory& inventory) {
    const WmiRow& system = firstRow(source, "Win32_ComputerSystem");
    const WmiRow& product = firstRow(source, "Win32_ComputerSystemProduct");
    const WmiRow& enclosure = firstRow(source, "Win32_SystemEnclosure");
    const WmiRow& bios = firstRow(source, "Win32_BIOS");
    ComputerIdentity& computer = inventory.computer;
    computer.name = system.text("Name");
    Flag joined = system.flag("PartOfDomain");
    if (!joined || *joined) computer.domain = system.text("Domain");
    computer.workgroup = firstOf({system.text("Workgroup"), system.text("Domain")});
    computer.manufacturer = system.text("Manufacturer");
    computer.model = system.text("Model");
    computer.serialNumber =
        firstOf({bios.text("SerialNumber"), product.text("IdentifyingNumber"), enclosure.text("SerialNumber")});
    computer.uuid = realUuid(product.text("UUID"));
    computer.skuNumber = product.text("SKUNumber");
    computer.chassisType = chassisType(enclosure);
    computer.assetTag = enclosure.text("SMBIOSAssetTag");
    computer.memoryBytes = system.number("TotalPhysicalMemory");
    if (source.probes()) computer.deviceId = source.probes()->machineGuid().value_or("");
}

void readFirmware(ClassSource& source, Inventory& inventory) {
    const WmiRow& bios = firstRow(source, "Win32_BIOS");
    inventory.bios.manufacturer = bios.text("Manufacturer");
    inventory.bios.version = firstOf({bios.text("SMBIOSBIOSVersion"), bios.text("Version")});
    inventory.bios.releaseDate = cimDateText(bios.text("ReleaseDate"));
    inventory.bios.serialNumber = bios.text("SerialNumber");
    const WmiRow& board = firstRow(source, "Win32_BaseBoard");
    inventory.board.manufacturer = board.text("Manufacturer");
    inventory.board.product = board.text("Product");
    inventory.board.serialNumber = board.text("SerialNumber");
}

// OSType 18 is Windows NT, 36 Linux (CIM_OperatingSystem).
std::string kernelName(const WmiRow& os) {
    Number type = os.number("OSType");
    if (type == 18u) return "windows";
    if (type == 36u) return "linux";
    return os.text("Caption").find("Windows") != std::string::npos ? "windows" : "";
}

void readOperatingSystem(ClassSource& source, Inventory& inventory) {
    const WmiRow& os = firstRow(source, "Win32_OperatingSystem");
    OperatingSystemInfo& info = inventory.os;
    info.name = os.text("Caption");
    info.version = os.text("Version");
    info.build = os.text("BuildNumber");
    info.servicePack = os.text("CSDVersion");
    info.architecture = os.text("OSArchitecture");
    info.kernelName = kernelName(os);
    info.installDate = cimDateTimeText(os.text("InstallDate"));
    info.lastBoot = cimDateTimeText(os.text("LastBootUpTime"));
    info.timeZoneName = firstRow(source, "Win32_TimeZone").text("StandardName");
    if (std::optional<std::int64_t> offset = os.signedNumber("CurrentTimeZone");
        offset && *offset > -1440 && *offset < 1440)
        info.utcOffsetMinutes = static_cast<int>(*offset);
    if (info.kernelName == "windows") info.productId = os.text("SerialNumber");
}

}  // namespace

void readComputer(ClassSource& source, Inventory& inventory) {
    readIdentity(source, inventory);
    readFirmware(source, inventory);
    readOperatingSystem(source, inventory);
}

}  // namespace moravel::parts
