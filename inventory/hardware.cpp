// Processors, memory modules, disks and file systems.
#include <cstdlib>
#include <cstring>
#include <utility>

#include "inventory/codes.h"
#include "inventory/inventory_parts.h"
#include "query/smbios_names.h"

namespace moravel::parts {
namespace {

// The number after `word` in "Intel64 Family 6 Model 60 Stepping 3".
Number numberAfter(const std::string& description, const char* word) {
    std::string key = std::string(" ") + word + " ";
    std::size_t at = description.find(key);
    if (at == std::string::npos) return std::nullopt;
    const char* digits = description.c_str() + at + key.size();
    if (*digits < '0' || *digits > '9') return std::nullopt;
    return std::strtoull(digits, nullptr, 10);
}

// Windows' generic driver name is no maker.
std::string diskMaker(const std::string& manufacturer) {
    return manufacturer.empty() || manufacturer[0] == '(' ? std::string() : manufacturer;
}

bool contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

// Windows reports AHCI disks as "IDE" and NVMe, virtio and SAS disks as "SCSI"; the device
// instance path tells them apart: "SCSI\DISK&VEN_NVME&...", "USBSTOR\...", "SCSI\DISK&VEN_RED_HAT&PROD_VIRTIO".
DiskBus diskBus(const std::string& interfaceType, const std::string& pnpId) {
    if (interfaceType == "USB" || pnpId.compare(0, 8, "USBSTOR\\") == 0 || pnpId.compare(0, 4, "USB\\") == 0)
        return DiskBus::Usb;
    if (contains(pnpId, "NVME")) return DiskBus::Nvme;
    if (contains(pnpId, "VIRTIO") || contains(pnpId, "VEN_QEMU") || contains(pnpId, "VEN_VMWARE") ||
        contains(pnpId, "VEN_MSFT&PROD_VIRTUAL"))
        return DiskBus::Virtual;
    if (interfaceType == "IDE") return DiskBus::Sata;
    if (interfaceType == "SCSI") return DiskBus::Scsi;
    return DiskBus::Unknown;
}

// The maker as people name it, where the processor gives its CPUID vendor signature.
std::string processorMaker(const std::string& vendor) {
    const std::pair<const char*, const char*> known[] = {
        {"GenuineIntel", "Intel"},  {"AuthenticAMD", "AMD"},  {"HygonGenuine", "Hygon"},
        {"CentaurHauls", "Centaur"}, {"VIA VIA VIA", "VIA"},  {"Shanghai", "Zhaoxin"},
        {"CyrixInstead", "Cyrix"},   {"GenuineTMx86", "Transmeta"}, {"NexGenDriven", "NexGen"},
        {"Geode by NSC", "National Semiconductor"}, {"RiseRiseRise", "Rise"}, {"UMC UMC UMC", "UMC"}};
    return firstOf({nameOf(known, vendor), vendor});
}

std::string byTag(const WmiRow& row) { return upper(row.text("Tag")); }

std::string byNumber(const WmiRow& row) {
    Number number = row.number("Number");
    return number ? std::to_string(*number) : std::string();
}

// The storage stack's own view of each disk (MSFT_Disk, numbered as Win32_DiskDrive's Index):
// its true size, and on Linux its device file.
const WmiRow* storageDisk(ClassSource& source, Number index) {
    return source.find("MSFT_Disk", byNumber, index ? std::to_string(*index) : std::string());
}

// Windows 7 leaves most disks' own SerialNumber empty; Win32_PhysicalMedia has it, its Tag
// being the disk's DeviceID ("\\.\PHYSICALDRIVE0"). Where either is missing (a snapshot saved
// before both were recorded) the media stand in the disks' order, as the Drives group reads them.
std::string mediaSerial(ClassSource& source, const WmiRow& disk, std::size_t position) {
    const WmiRows& media = source.rows("Win32_PhysicalMedia");
    std::string device = disk.text("DeviceID");
    if (device.empty())
        if (Number index = disk.number("Index")) device = "\\\\.\\PHYSICALDRIVE" + std::to_string(*index);
    if (!device.empty() && !media.empty() && !media.front().text("Tag").empty()) {
        const WmiRow* medium = source.find("Win32_PhysicalMedia", byTag, upper(device));
        return medium ? medium->text("SerialNumber") : std::string();
    }
    return position < media.size() ? media[position].text("SerialNumber") : std::string();
}

}  // namespace

void readProcessors(ClassSource& source, Inventory& inventory) {
    for (const WmiRow& row : source.rows("Win32_Processor")) {
        Processor& cpu = inventory.processors.emplace_back();
        cpu.name = row.text("Name");
        cpu.manufacturer = processorMaker(row.text("Manufacturer"));
        cpu.description = row.text("Description");
        cpu.processorId = row.text("ProcessorId");
        if (Number architecture = row.number("Architecture"))
            cpu.architecture = processorArchitectureName(*architecture);
        cpu.socket = row.text("SocketDesignation");
        cpu.cores = row.number("NumberOfCores");
        cpu.threads = row.number("NumberOfLogicalProcessors");
        cpu.currentMhz = row.number("CurrentClockSpeed");
        cpu.maxMhz = row.number("MaxClockSpeed");
        cpu.externalClockMhz = row.number("ExtClock");
        cpu.l2CacheKib = row.number("L2CacheSize");
        cpu.l3CacheKib = row.number("L3CacheSize");
        cpu.family = numberAfter(cpu.description, "Family");
        cpu.model = numberAfter(cpu.description, "Model");
        cpu.stepping = numberAfter(cpu.description, "Stepping");
    }
}

void readMemoryModules(ClassSource& source, Inventory& inventory) {
    for (const WmiRow& row : source.rows("Win32_PhysicalMemory")) {
        MemoryModule& module = inventory.memoryModules.emplace_back();
        module.slot = row.text("DeviceLocator");
        module.bank = row.text("BankLabel");
        std::string smbiosType = smbiosMemoryTypeName(row.number("SMBIOSMemoryType").value_or(0));
        module.type = firstOf({smbiosType, cimMemoryTypeName(row.number("MemoryType").value_or(0))});
        module.formFactor = memoryFormFactorName(row.number("FormFactor").value_or(0));
        module.manufacturer = row.text("Manufacturer");
        module.partNumber = row.text("PartNumber");
        module.serialNumber = row.text("SerialNumber");
        module.capacityBytes = row.number("Capacity");
        module.speedMts = row.number("Speed");
        module.configuredSpeedMts = row.number("ConfiguredClockSpeed");
    }
}

void readDisks(ClassSource& source, Inventory& inventory) {
    const std::size_t first = source.firstRow("Win32_DiskDrive");  // the disks may be read a piece at a time
    for (const WmiRow& row : source.rows("Win32_DiskDrive")) {
        Disk& disk = inventory.disks.emplace_back();
        const WmiRow* whole = storageDisk(source, row.number("Index"));
        std::string device = whole ? whole->text("Path") : std::string();
        disk.name = device.compare(0, 5, "/dev/") == 0 ? device : row.text("DeviceID");
        disk.model = firstOf({row.text("Model"), row.text("Caption")});
        disk.manufacturer = diskMaker(row.text("Manufacturer"));
        disk.serialNumber =
            firstOf({row.text("SerialNumber"), mediaSerial(source, row, first + inventory.disks.size() - 1)});
        disk.firmware = row.text("FirmwareRevision");
        disk.interfaceType = row.text("InterfaceType");
        disk.mediaType = row.text("MediaType");
        disk.bus = diskBus(disk.interfaceType, row.text("PNPDeviceID"));
        disk.removable = disk.bus == DiskBus::Usb || disk.mediaType == "Removable Media" ||
                         disk.mediaType == "External hard disk media";
        disk.sizeBytes = whole && whole->number("Size") ? whole->number("Size") : row.number("Size");
    }
    readDiskHealth(source, inventory);
}

void readVolumes(ClassSource& source, Inventory& inventory) {
    for (const WmiRow& row : source.rows("Win32_LogicalDisk")) {
        Volume& volume = inventory.volumes.emplace_back();
        volume.mountPoint = row.text("DeviceID");
        volume.fileSystem = row.text("FileSystem");
        volume.label = row.text("VolumeName");
        volume.serial = row.text("VolumeSerialNumber");
        volume.source = row.text("ProviderName");
        if (Number type = row.number("DriveType"); type && *type < 16) volume.driveType = static_cast<int>(*type);
        volume.sizeBytes = row.number("Size");
        volume.freeBytes = row.number("FreeSpace");
    }
}

}  // namespace moravel::parts
