#include "export/ocs_xml.h"

#include <cctype>

#include "inventory/codes.h"

namespace moravel {
namespace {

// The sections the server compares (its DATA_MAP masks) that this request fills; the server
// rewrites a section of a known machine only when its bit is set in HARDWARE/CHECKSUM, and
// without a CHECKSUM at all it answers 500.
constexpr std::uint64_t kHardware = 1, kBios = 2, kMemories = 4, kControllers = 32, kMonitors = 64, kStorages = 256,
                        kDrives = 512, kInputs = 1024, kNetworks = 4096, kPrinters = 8192, kSounds = 16384,
                        kVideos = 32768, kCpus = 262144, kBatteries = 1048576, kUsbDevices = 2097152;
constexpr std::uint64_t kEverySection = kHardware | kBios | kMemories | kControllers | kMonitors | kStorages | kDrives |
                                        kInputs | kNetworks | kPrinters | kSounds | kVideos | kCpus | kBatteries |
                                        kUsbDevices;

constexpr std::size_t kColumnWidth = 255;             // VARCHAR(255), the width of nearly every column
constexpr const char* kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// Element text for XML 1.0, whose characters exclude the C0 controls but tab, line feed and
// carriage return, the surrogates and U+FFFE and U+FFFF: each of those becomes U+FFFD, as a byte
// that is no UTF-8 does (validUtf8 has replaced the surrogates already). A carriage return is
// written as a reference, which a parser keeps instead of turning it into a line feed.
std::string escaped(const std::string& text) {
    const std::string valid = validUtf8(text);
    std::string out;
    out.reserve(valid.size());
    for (std::size_t i = 0; i < valid.size(); ++i) {
        switch (const char c = valid[i]) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\r': out += "&#13;"; break;
        case '\t':
        case '\n': out += c; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                out += kReplacement;
            } else if (valid.compare(i, 3, "\xEF\xBF\xBE") == 0 || valid.compare(i, 3, "\xEF\xBF\xBF") == 0) {
                out += kReplacement;  // U+FFFE, U+FFFF
                i += 2;
            } else {
                out += c;
            }
        }
    }
    return out;
}

// At most `width` characters, never cutting one in two.
std::string clipped(const std::string& text, std::size_t width) {
    std::string valid = validUtf8(text);
    std::size_t at = 0;
    for (std::size_t characters = 0; at < valid.size() && characters < width; ++characters)
        at += decodeUtf8(valid, at).length;
    return valid.substr(0, at);
}

class Section {
public:
    Section(std::string& out, const char* name) : out_(out), name_(name) { out_ += "    <" + name_ + ">\n"; }
    ~Section() { out_ += "    </" + name_ + ">\n"; }
    Section(const Section&) = delete;
    Section& operator=(const Section&) = delete;

    Section& text(const char* field, const std::string& value, std::size_t width = kColumnWidth) {
        if (!value.empty())
            out_ += std::string("      <") + field + ">" + escaped(clipped(value, width)) + "</" + field + ">\n";
        return *this;
    }
    Section& number(const char* field, Number value) {
        if (value) text(field, std::to_string(*value));
        return *this;
    }
    Section& flag(const char* field, Flag value) {
        if (value) text(field, *value ? "1" : "0");
        return *this;
    }

private:
    std::string& out_;
    std::string name_;
};

// BDATE as the agents write it, MM/DD/YYYY.
std::string agentDate(const std::string& isoDate) {
    if (isoDate.size() != 10) return {};
    return isoDate.substr(5, 2) + "/" + isoDate.substr(8, 2) + "/" + isoDate.substr(0, 4);
}

void hardware(const Inventory& inventory, std::string& out) {
    const ComputerIdentity& computer = inventory.computer;
    const OperatingSystemInfo& os = inventory.os;
    const Processor* cpu = inventory.processors.empty() ? nullptr : &inventory.processors.front();
    Section section(out, "HARDWARE");
    section.text("NAME", computer.name)
        .text("WORKGROUP", computer.workgroup)
        .text("OSNAME", os.name)
        .text("OSVERSION", os.release.empty() ? os.version : os.release)
        .text("OSCOMMENTS", os.servicePack.empty() ? os.version : os.servicePack)  // the kernel, where OCS keeps it
        .text("PROCESSORT", cpu ? cpu->name : "")
        .number("PROCESSORS", cpu ? processorSpeed(*cpu) : std::nullopt)
        .number("PROCESSORN", inventory.processors.empty() ? Number() : Number(inventory.processors.size()))
        .number("MEMORY", mebibytes(computer.memoryBytes))
        .text("IPADDR", firstIpv4Address(inventory))
        .text("DEFAULTGATEWAY", firstIpv4Gateway(inventory))
        .text("DNS", dnsServers(inventory))
        .text("VMSYSTEM", computer.vmSystem)
        .text("LASTLOGGEDUSER", computer.lastLoggedUser)
        .text("DESCRIPTION", os.architecture)
        .text("WINPRODID", os.productId)
        .text("UUID", computer.uuid)
        .text("ARCH", cpu ? cpu->architecture : "", 10)
        .text("CHASSIS_TYPE", computer.chassisType)
        .number("CHECKSUM", kEverySection);
}

void bios(const Inventory& inventory, std::string& out) {
    const ComputerIdentity& computer = inventory.computer;
    Section(out, "BIOS")
        .text("SMANUFACTURER", computer.manufacturer)
        .text("SMODEL", computer.model)
        .text("SSN", computer.serialNumber)
        .text("SKUNUMBER", computer.skuNumber)
        .text("TYPE", computer.chassisType)
        .text("ASSETTAG", computer.assetTag)
        .text("BMANUFACTURER", inventory.bios.manufacturer)
        .text("BVERSION", inventory.bios.version)
        .text("BDATE", agentDate(inventory.bios.releaseDate))
        .text("BIOSSERIAL", inventory.bios.serialNumber)
        .text("MMANUFACTURER", inventory.board.manufacturer)
        .text("MMODEL", inventory.board.product)
        .text("MSN", inventory.board.serialNumber);
}

void cpus(const Inventory& inventory, std::string& out) {
    for (const Processor& cpu : inventory.processors)
        Section(out, "CPUS")
            .text("MANUFACTURER", cpu.manufacturer)
            .text("TYPE", cpu.name)
            .text("NAME", cpu.name)
            .text("DESCRIPTION", cpu.description)
            .text("ID", cpu.processorId)
            .number("SPEED", processorSpeed(cpu))
            .number("CURRENT_SPEED", cpu.currentMhz)
            .number("CORES", cpu.cores)
            .number("CORE", cpu.cores)
            .number("LOGICAL_CPUS", cpu.threads)
            .number("L2CACHESIZE", cpu.l2CacheKib)
            .text("CPUARCH", cpu.architecture)
            .text("SOCKET", cpu.socket);
}

void memories(const Inventory& inventory, std::string& out) {
    for (std::size_t i = 0; i < inventory.memoryModules.size(); ++i) {
        const MemoryModule& module = inventory.memoryModules[i];
        Section(out, "MEMORIES")
            .text("CAPTION", module.slot)
            .text("DESCRIPTION", module.formFactor)
            .number("CAPACITY", mebibytes(module.capacityBytes))
            .text("TYPE", module.type)
            .number("SPEED", module.speedMts)
            .text("MANUFACTURER", module.manufacturer)
            .text("MODEL", module.partNumber)
            .text("SERIALNUMBER", module.serialNumber)
            .number("NUMSLOTS", i + 1);
    }
}

void storages(const Inventory& inventory, std::string& out) {
    for (const Disk& disk : inventory.disks) {
        Section(out, "STORAGES")
            .text("NAME", disk.name)
            .text("MODEL", disk.model)
            .text("MANUFACTURER", disk.manufacturer)
            .text("DESCRIPTION", disk.mediaType)
            .text("TYPE", disk.removable ? "Removable disk" : "Disk drive")
            .text("INTERFACE", diskBusName(disk.bus))
            .number("DISKSIZE", mebibytes(disk.sizeBytes))
            .text("SERIALNUMBER", disk.serialNumber)
            .text("FIRMWARE", disk.firmware);
    }
}

// WMI's DriveType from 2 on (removable, local, network, optical, RAM disk) as the agents name it.
const char* driveTypeText(std::optional<int> type) {
    const char* const kNames[] = {"Removable Drive", "Hard Drive", "Network Drive", "CD-Rom Drive", "RAM Drive"};
    const int code = type.value_or(0);
    return code >= 2 && code <= 6 ? kNames[code - 2] : "";
}

void drives(const Inventory& inventory, std::string& out) {
    for (const Volume& volume : inventory.volumes) {
        bool letter = volume.mountPoint.size() == 2 && volume.mountPoint[1] == ':';
        Section(out, "DRIVES")
            .text("LETTER", letter ? volume.mountPoint + "/" : "")
            .text("TYPE", letter ? driveTypeText(volume.driveType) : volume.mountPoint)
            .text("FILESYSTEM", volume.fileSystem)
            .number("TOTAL", mebibytes(volume.sizeBytes))
            .number("FREE", mebibytes(volume.freeBytes))
            .text("VOLUMN", volume.source.empty() ? volume.label : volume.source)
            .text("LABEL", volume.label)
            .text("SERIAL", volume.serial);
    }
}

const std::pair<AdapterKind, const char*> kAdapterTypes[] = {
    {AdapterKind::Ethernet, "Ethernet"}, {AdapterKind::Wifi, "Wifi"}, {AdapterKind::Loopback, "Loopback"}};

// One entry per address, as the OCS agent writes them: IPv6 addresses in the same fields.
void networkEntry(const NetworkAdapter& adapter, const AddressEntry& entry, std::string& out) {
    Section(out, "NETWORKS")
        .text("DESCRIPTION", adapter.name)
        .text("MODEL", adapter.description)
        .text("MANUFACTURER", adapter.manufacturer)
        .text("TYPE", nameOf(kAdapterTypes, adapter.kind))
        .text("MACADDR", adapter.macAddress)
        .text("STATUS", adapter.connected ? (*adapter.connected ? "Up" : "Down") : "")
        .text("SPEED",
              adapter.speedBitsPerSecond ? std::to_string(*adapter.speedBitsPerSecond / 1000000) + " Mb/s" : "")
        .text("IPADDRESS", entry.address)
        .text("IPMASK", entry.mask)
        .text("IPSUBNET", entry.subnet)
        .text("IPGATEWAY", entry.gateway)
        .text("IPDHCP", entry.dhcpServer)
        .flag("VIRTUALDEV", adapter.virtualAdapter);
}

void networks(const Inventory& inventory, std::string& out) {
    for (const NetworkAdapter& adapter : inventory.networkAdapters)
        for (const AddressEntry& entry : addressEntries(adapter)) networkEntry(adapter, entry, out);
}

void videos(const Inventory& inventory, std::string& out) {
    for (const VideoAdapter& video : inventory.videoAdapters)
        Section(out, "VIDEOS")
            .text("NAME", video.name)
            .text("CHIPSET", video.chip)
            .number("MEMORY", mebibytes(video.memoryBytes))
            .text("RESOLUTION", video.resolution)
            .text("DRIVER_VERSION", video.driverVersion);
}

void monitors(const Inventory& inventory, std::string& out) {
    for (const Monitor& monitor : inventory.monitors)
        Section(out, "MONITORS")
            .text("MANUFACTURER", monitor.manufacturer)
            .text("CAPTION", monitor.model)
            .text("DESCRIPTION", madeText(monitor))
            .text("TYPE", monitor.productCode)
            .text("SERIAL", monitor.serialNumber);
}

void batteries(const Inventory& inventory, std::string& out) {
    for (const Battery& battery : inventory.batteries)
        Section(out, "BATTERIES")
            .text("NAME", battery.name)
            .text("MANUFACTURER", battery.manufacturer)
            .text("SERIALNUMBER", battery.serialNumber)
            .text("SERIAL", battery.serialNumber)
            .text("CHEMISTRY", battery.chemistry, 20)
            .number("DESIGNCAPACITY", battery.designCapacityMwh)
            .number("CAPACITY", battery.designCapacityMwh)
            .number("REAL_CAPACITY", battery.fullChargeCapacityMwh)
            .number("DESIGNVOLTAGE", battery.designVoltageMv)
            .text("MANUFACTUREDATE", battery.manufactureDate, 10)
            .text("OEMSPECIFIC", battery.cycleCount ? std::to_string(*battery.cycleCount) + " cycles" : "");
}

void sounds(const Inventory& inventory, std::string& out) {
    for (const SoundDevice& sound : inventory.soundDevices)
        Section(out, "SOUNDS")
            .text("NAME", sound.name)
            .text("MANUFACTURER", sound.manufacturer)
            .text("DESCRIPTION", sound.description);
}

void printers(const Inventory& inventory, std::string& out) {
    for (const Printer& printer : inventory.printers)
        Section(out, "PRINTERS")
            .text("NAME", printer.name)
            .text("DRIVER", printer.driver)
            .text("PORT", printer.port)
            .text("SHARENAME", printer.shareName)
            .text("COMMENT", printer.comment)
            .text("RESOLUTION", printer.resolution, 50)
            .flag("NETWORK", printer.network)
            .flag("SHARED", printer.shared);
}

void inputs(const Inventory& inventory, std::string& out) {
    for (const InputDevice& input : inventory.inputs)
        Section(out, "INPUTS")
            .text("TYPE", input.kind == InputKind::Keyboard ? "Keyboard" : "Pointing")
            .text("MANUFACTURER", input.manufacturer)
            .text("CAPTION", input.name)
            .text("DESCRIPTION", input.description)
            .text("INTERFACE", input.interfaceType)
            .text("POINTTYPE", input.pointingType)
            .text("LAYOUT", input.layout);
}

void usbDevices(const Inventory& inventory, std::string& out) {
    for (const UsbDevice& usb : inventory.usbDevices)
        Section(out, "USBDEVICES")
            .text("DESCRIPTION", usb.name)
            .text("MANUFACTURER", usb.manufacturer)
            .text("SERIAL", usb.serialNumber)
            .text("TYPE", usb.deviceClass)
            .text("INTERFACE", "USB")
            .text("VENDORID", usb.vendorId)
            .text("PRODUCTID", usb.productId);
}

void controllers(const Inventory& inventory, std::string& out) {
    for (const Controller& controller : inventory.controllers)
        Section(out, "CONTROLLERS")
            .text("NAME", controller.name)
            .text("CAPTION", controller.name)
            .text("MANUFACTURER", controller.manufacturer)
            .text("TYPE", controller.type)
            .text("PCICLASS", controller.pciClass)
            .text("VENDORID", controller.vendorId)
            .text("PRODUCTID", controller.productId)
            .text("PCISUBSYSTEMID", controller.subsystemId)
            .text("REV", controller.revision)
            .text("DRIVER", controller.driver);
}

// Accounts and antivirus products have sections of the format that OCS 2.8 keeps no table for:
// it leaves them aside, as it does an agent's.
void localUsers(const Inventory& inventory, std::string& out) {
    for (const LocalUser& user : inventory.localUsers)
        Section(out, "LOCAL_USERS").text("LOGIN", user.login).text("NAME", user.name).text("ID", user.id);
}

void localGroups(const Inventory& inventory, std::string& out) {
    for (const LocalGroup& group : inventory.localGroups)
        Section(out, "LOCAL_GROUPS").text("NAME", group.name).text("ID", group.id);
}

void antivirus(const Inventory& inventory, std::string& out) {
    for (const Antivirus& product : inventory.antivirus)
        Section(out, "ANTIVIRUS")
            .text("NAME", product.name)
            .text("COMPANY", product.company)
            .text("VERSION", product.version)
            .text("GUID", product.guid)
            .flag("ENABLED", product.enabled)
            .flag("UPTODATE", product.upToDate);
}

// The width the server keeps a program's build for (BITSWIDTH), from its architecture's name;
// nothing for a program of any architecture ("all", "noarch") or one the name does not tell.
Number bitsWidth(const std::string& architecture) {
    std::string name;
    for (char c : architecture) name += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (name.find("64") != std::string::npos || name == "s390x") return 64;
    if (name.find("86") != std::string::npos || name.rfind("arm", 0) == 0) return 32;
    return std::nullopt;
}

// INSTALLDATE as the unix agent sends it, "yyyy/mm/dd" and the time where known: the server's
// DATETIME column takes it, where the format's DD/MM/YYYY would be read as another day.
std::string agentDateTime(const std::string& isoDateTime) {
    std::string date = isoDateTime;
    for (std::size_t at : {4, 7})
        if (at < date.size()) date[at] = '/';
    return date;
}

void softwares(const Inventory& inventory, std::string& out) {
    constexpr std::uint64_t kLargestFileSize = 2147483647;  // FILESIZE is a signed 32-bit column
    for (const Software& program : inventory.software)
        Section(out, "SOFTWARES")
            .text("NAME", program.name)
            .text("VERSION", program.version)
            .text("PUBLISHER", program.publisher)
            .text("FOLDER", program.folder)
            .number("FILESIZE", program.sizeBytes.value_or(0) <= kLargestFileSize ? program.sizeBytes : Number())
            .text("GUID", program.guid)
            .text("INSTALLDATE", agentDateTime(program.installDate), 19)
            .number("BITSWIDTH", bitsWidth(program.architecture))
            .text("ARCH", program.architecture)
            .text("FROM", program.source);
}

// Each kind's sections, in the order the request has them.
using Writer = void (*)(const Inventory& inventory, std::string& out);
const KindHandler<Writer> kWriters[] = {
    {InventoryKind::Computer,
     [](const Inventory& inventory, std::string& out) {
         hardware(inventory, out);
         bios(inventory, out);
     }},
    {InventoryKind::Processor, cpus},
    {InventoryKind::MemoryModule, memories},
    {InventoryKind::Disk, storages},
    {InventoryKind::Volume, drives},
    {InventoryKind::NetworkAdapter, networks},
    {InventoryKind::VideoAdapter, videos},
    {InventoryKind::Monitor, monitors},
    {InventoryKind::Battery, batteries},
    {InventoryKind::SoundDevice, sounds},
    {InventoryKind::Printer, printers},
    {InventoryKind::InputDevice, inputs},
    {InventoryKind::UsbDevice, usbDevices},
    {InventoryKind::Temperature, nullptr, "none: the server keeps no sensors"},
    {InventoryKind::Controller, controllers},
    {InventoryKind::LocalUser, localUsers},
    {InventoryKind::LocalGroup, localGroups},
    {InventoryKind::Antivirus, antivirus},
    {InventoryKind::Software, softwares},
};

std::string request(const std::string& content, const std::string& deviceId, const char* query) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n<REQUEST>\n" + content + "  <DEVICEID>" + escaped(deviceId) +
           "</DEVICEID>\n  <QUERY>" + query + "</QUERY>\n</REQUEST>\n";
}

}  // namespace

std::string ocsInventoryXml(const Inventory& inventory, const ExportOptions& options) {
    std::string out = "  <CONTENT>\n";
    for (const KindHandler<Writer>& writer : kWriters)
        if (writer.handle) writer.handle(inventory, out);
    // A renamed machine names the id it was sent under before: the server carries its record over.
    if (!options.oldDeviceId.empty() && options.oldDeviceId != inventoryDeviceId(inventory))
        out += "    <OLD_DEVICEID>" + escaped(options.oldDeviceId) + "</OLD_DEVICEID>\n";
    if (!options.tag.empty()) Section(out, "ACCOUNTINFO").text("KEYNAME", "TAG").text("KEYVALUE", options.tag);
    out += "    <VERSIONCLIENT>" + escaped(versionClient()) + "</VERSIONCLIENT>\n  </CONTENT>\n";
    return request(out, inventoryDeviceId(inventory), "INVENTORY");
}

std::vector<KindCoverage> ocsKindCoverage() { return coverageOf(kWriters); }

std::string ocsPrologXml(const Inventory& inventory) { return request("", inventoryDeviceId(inventory), "PROLOG"); }

}  // namespace moravel
