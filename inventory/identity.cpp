// Who the machine is, its firmware and board, and its operating system.
#include <cstdlib>
#include <sstream>
#include <utility>

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

// OSType 18 is Windows NT, 36 Linux (CIM_OperatingSystem).
std::string kernelName(const WmiRow& os) {
    Number type = os.number("OSType");
    if (type == 18u) return "windows";
    if (type == 36u) return "linux";
    return os.text("Caption").find("Windows") != std::string::npos ? "windows" : "";
}

bool contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

// A virtual machine's firmware names its hypervisor in the maker or the model, the way the
// agents judge it where the processor was not asked.
std::string vmSystemOfModel(const std::string& maker, const std::string& model) {
    if (maker == "Microsoft Corporation" && model == "Virtual Machine") return "Hyper-V";
    const std::pair<const char*, const char*> known[] = {
        {"VMware", "VMware"}, {"VirtualBox", "VirtualBox"}, {"innotek", "VirtualBox"}, {"KVM", "KVM"},
        {"QEMU", "QEMU"},     {"Xen", "Xen"},               {"Parallels", "Parallels"}, {"bhyve", "bhyve"}};
    for (const auto& [word, name] : known)
        if (contains(maker, word) || contains(model, word)) return name;
    return {};
}

// The hypervisor as the machine itself told it, else as its firmware names it; Windows on no
// known virtual hardware runs on its own.
std::string vmSystem(SystemProbes* probes, const ComputerIdentity& computer, const std::string& kernel) {
    if (std::optional<std::string> told = probes ? probes->hypervisor() : std::nullopt)
        return told->empty() ? "Physical" : *told;
    std::string judged = vmSystemOfModel(computer.manufacturer, computer.model);
    return judged.empty() && kernel == "windows" ? "Physical" : judged;
}

// "DOMAIN\user" or "user": the login.
std::string loginOf(const std::string& userName) { return userName.substr(userName.find('\\') + 1); }

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
    SystemProbes* probes = source.probes();
    if (probes) computer.deviceId = probes->machineGuid().value_or("");
    computer.vmSystem = vmSystem(probes, computer, kernelName(firstRow(source, "Win32_OperatingSystem")));
    computer.lastLoggedUser = loginOf(system.text("UserName"));
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

// Windows' feature updates by the build that starts them, as Windows names them (DisplayVersion).
const std::pair<const char*, const char*> kFeatureUpdates[] = {
    {"10240", "1507"}, {"10586", "1511"}, {"14393", "1607"}, {"15063", "1703"}, {"16299", "1709"},
    {"17134", "1803"}, {"17763", "1809"}, {"18362", "1903"}, {"18363", "1909"}, {"19041", "2004"},
    {"19042", "20H2"}, {"19043", "21H1"}, {"19044", "21H2"}, {"19045", "22H2"}, {"20348", "21H2"},
    {"22000", "21H2"}, {"22621", "22H2"}, {"22631", "23H2"}, {"25398", "23H2"}, {"26100", "24H2"},
    {"26200", "25H2"},
};

// "11" of "Microsoft Windows 11 Pro", "2012 R2" of "Microsoft Windows Server 2012 R2 Standard".
std::string windowsRelease(const std::string& caption) {
    std::size_t at = caption.find("Windows ");
    if (at == std::string::npos) return {};
    std::istringstream words(caption.substr(at + 8));
    std::string release, next;
    if (words >> release && release == "Server") words >> release;
    if (release.empty() || release[0] < '0' || release[0] > '9') return {};
    return words >> next && next == "R2" ? release + " R2" : release;
}

// "11 23H2 (22631)": the release, the feature update and the build, as far as they are known.
std::string windowsVersion(const std::string& caption, const std::string& build) {
    std::string text = windowsRelease(caption);
    for (const auto& [first, name] : kFeatureUpdates)
        if (build == first) text += (text.empty() ? "" : " ") + std::string(name);
    if (!build.empty()) text += (text.empty() ? "" : " ") + ("(" + build + ")");
    return text;
}

void readOperatingSystem(ClassSource& source, Inventory& inventory) {
    const WmiRow& os = firstRow(source, "Win32_OperatingSystem");
    OperatingSystemInfo& info = inventory.os;
    info.name = os.text("Caption");
    info.version = os.text("Version");
    info.kernelName = kernelName(os);
    info.build = os.text("BuildNumber");
    info.release = info.kernelName == "windows" ? windowsVersion(info.name, info.build) : info.build;
    info.servicePack = os.text("CSDVersion");
    info.architecture = os.text("OSArchitecture");
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
