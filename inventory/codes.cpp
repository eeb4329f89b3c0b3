#include "inventory/codes.h"

#include <algorithm>
#include <cctype>

namespace moravel {
namespace {

using CodeName = std::pair<std::uint64_t, const char*>;

// SMBIOS 3.x, system enclosure type (7.4.1).
// clang-format off
const CodeName kChassis[] = {
    {1, "Other"}, {2, "Unknown"}, {3, "Desktop"}, {4, "Low Profile Desktop"}, {5, "Pizza Box"}, {6, "Mini Tower"},
    {7, "Tower"}, {8, "Portable"}, {9, "Laptop"}, {10, "Notebook"}, {11, "Hand Held"}, {12, "Docking Station"},
    {13, "All in One"}, {14, "Sub Notebook"}, {15, "Space-saving"}, {16, "Lunch Box"}, {17, "Main Server Chassis"},
    {18, "Expansion Chassis"}, {19, "SubChassis"}, {20, "Bus Expansion Chassis"}, {21, "Peripheral Chassis"},
    {22, "RAID Chassis"}, {23, "Rack Mount Chassis"}, {24, "Sealed-case PC"}, {25, "Multi-system chassis"},
    {26, "Compact PCI"}, {27, "Advanced TCA"}, {28, "Blade"}, {29, "Blade Enclosure"}, {30, "Tablet"},
    {31, "Convertible"}, {32, "Detachable"}, {33, "IoT Gateway"}, {34, "Embedded PC"}, {35, "Mini PC"}, {36, "Stick PC"},
};

// CIM_PhysicalMemory MemoryType, where SMBIOSMemoryType is 0 (Windows before 10).
const CodeName kCimMemoryTypes[] = {
    {2, "DRAM"}, {3, "Synchronous DRAM"}, {4, "Cache DRAM"}, {5, "EDO"}, {6, "EDRAM"}, {7, "VRAM"}, {8, "SRAM"},
    {9, "RAM"}, {10, "ROM"}, {11, "Flash"}, {12, "EEPROM"}, {13, "FEPROM"}, {14, "EPROM"}, {15, "CDRAM"},
    {16, "3DRAM"}, {17, "SDRAM"}, {18, "SGRAM"}, {19, "RDRAM"}, {20, "DDR"}, {21, "DDR2"}, {22, "DDR2 FB-DIMM"},
    {24, "DDR3"}, {25, "FBD2"}, {26, "DDR4"},
};

const CodeName kFormFactors[] = {
    {1, "Other"}, {2, "SIP"}, {3, "DIP"}, {4, "ZIP"}, {5, "SOJ"}, {6, "Proprietary"}, {7, "SIMM"}, {8, "DIMM"},
    {9, "TSOP"}, {10, "PGA"}, {11, "RIMM"}, {12, "SODIMM"}, {13, "SRIMM"}, {14, "SMD"}, {15, "SSMP"}, {16, "QFP"},
    {17, "TQFP"}, {18, "SOIC"}, {19, "LCC"}, {20, "PLCC"}, {21, "BGA"}, {22, "FPBGA"}, {23, "LGA"},
};

// Win32_Processor Architecture, named as the inventory formats name them.
const CodeName kArchitectures[] = {
    {0, "i686"}, {1, "mips"}, {2, "alpha"}, {3, "powerpc"}, {5, "arm"}, {9, "x86_64"}, {12, "aarch64"},
};

const CodeName kChemistries[] = {
    {1, "Other"}, {3, "Lead Acid"}, {4, "NiCd"}, {5, "NiMH"}, {6, "Li-ion"}, {7, "Zinc air"}, {8, "LiP"},
};

const CodeName kPointingTypes[] = {
    {1, "Other"}, {3, "Mouse"}, {4, "Track Ball"}, {5, "Track Point"}, {6, "Glide Point"}, {7, "Touch Pad"},
    {8, "Touch Screen"}, {9, "Mouse - Optical Sensor"},
};

const CodeName kPointingInterfaces[] = {
    {1, "Other"}, {3, "Serial"}, {4, "PS/2"}, {5, "Infrared"}, {6, "HP-HIL"}, {7, "Bus mouse"}, {8, "ADB"},
    {160, "Bus mouse DB-9"}, {161, "Bus mouse micro-DIN"}, {162, "USB"},
};

// The monitor makers met most often (PNP ids are assigned by the UEFI forum).
const std::pair<const char*, const char*> kMonitorMakers[] = {
    {"ACI", "Asus"},      {"ACR", "Acer"},        {"AOC", "AOC"},          {"APP", "Apple"},
    {"AUO", "AU Optronics"}, {"BNQ", "BenQ"},     {"BOE", "BOE"},          {"CMN", "Chimei Innolux"},
    {"DEL", "Dell"},      {"EIZ", "Eizo"},        {"ENC", "Eizo"},         {"FUS", "Fujitsu"},
    {"GSM", "LG Electronics"}, {"HPN", "HP"},     {"HWP", "HP"},           {"IVM", "Iiyama"},
    {"LEN", "Lenovo"},    {"LGD", "LG Display"},  {"MEI", "Panasonic"},    {"MSI", "MSI"},
    {"NEC", "NEC"},       {"PHL", "Philips"},     {"SAM", "Samsung"},      {"SDC", "Samsung Display"},
    {"SHP", "Sharp"},     {"SNY", "Sony"},        {"VSC", "ViewSonic"},    {"GBT", "Gigabyte"},
};

// PCI class codes (the PCI-SIG's assignments), by base class and subclass, with the names lspci
// gives them; a subclass not listed is named by its base class alone.
const CodeName kPciSubclasses[] = {
    {0x0000, "Non-VGA unclassified device"}, {0x0001, "VGA compatible unclassified device"},
    {0x0100, "SCSI storage controller"}, {0x0101, "IDE interface"}, {0x0102, "Floppy disk controller"},
    {0x0104, "RAID bus controller"}, {0x0105, "ATA controller"}, {0x0106, "SATA controller"},
    {0x0107, "Serial Attached SCSI controller"}, {0x0108, "Non-Volatile memory controller"},
    {0x0109, "Universal Flash Storage controller"},
    {0x0200, "Ethernet controller"}, {0x0201, "Token ring network controller"}, {0x0207, "Infiniband controller"},
    {0x0208, "Fabric controller"},
    {0x0300, "VGA compatible controller"}, {0x0301, "XGA compatible controller"}, {0x0302, "3D controller"},
    {0x0400, "Multimedia video controller"}, {0x0401, "Multimedia audio controller"}, {0x0403, "Audio device"},
    {0x0500, "RAM memory"}, {0x0501, "FLASH memory"}, {0x0502, "CXL"},
    {0x0600, "Host bridge"}, {0x0601, "ISA bridge"}, {0x0602, "EISA bridge"}, {0x0604, "PCI bridge"},
    {0x0605, "PCMCIA bridge"}, {0x0607, "CardBus bridge"}, {0x0609, "Semi-transparent PCI-to-PCI bridge"},
    {0x0700, "Serial controller"}, {0x0701, "Parallel controller"}, {0x0702, "Multiport serial controller"},
    {0x0703, "Modem"}, {0x0705, "Smart Card controller"},
    {0x0800, "PIC"}, {0x0801, "DMA controller"}, {0x0802, "Timer"}, {0x0803, "RTC"},
    {0x0804, "PCI Hot-plug controller"}, {0x0805, "SD Host controller"}, {0x0806, "IOMMU"},
    {0x0900, "Keyboard controller"}, {0x0901, "Digitizer Pen"}, {0x0902, "Mouse controller"},
    {0x0903, "Scanner controller"}, {0x0904, "Gameport controller"},
    {0x0c00, "FireWire (IEEE 1394)"}, {0x0c03, "USB controller"}, {0x0c04, "Fibre Channel"}, {0x0c05, "SMBus"},
    {0x0c06, "InfiniBand"}, {0x0c07, "IPMI Interface"}, {0x0c09, "CANBUS"},
    {0x0d00, "IRDA controller"}, {0x0d11, "Bluetooth"}, {0x0d12, "Broadband"},
};
const CodeName kPciClasses[] = {
    {0x00, "Unclassified device"}, {0x01, "Mass storage controller"}, {0x02, "Network controller"},
    {0x03, "Display controller"}, {0x04, "Multimedia controller"}, {0x05, "Memory controller"}, {0x06, "Bridge"},
    {0x07, "Communication controller"}, {0x08, "Generic system peripheral"}, {0x09, "Input device controller"},
    {0x0a, "Docking station"}, {0x0b, "Processor"}, {0x0c, "Serial bus controller"}, {0x0d, "Wireless controller"},
    {0x0e, "Intelligent controller"}, {0x0f, "Satellite communications controller"}, {0x10, "Encryption controller"},
    {0x11, "Signal processing controller"}, {0x12, "Processing accelerators"}, {0x13, "Non-Essential Instrumentation"},
    {0x40, "Coprocessor"}, {0xff, "Unassigned class"},
};
// clang-format on

bool allDigits(const std::string& text, std::size_t from, std::size_t count) {
    return text.size() >= from + count &&
           std::all_of(text.begin() + static_cast<long>(from), text.begin() + static_cast<long>(from + count),
                       [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

std::string chassisTypeName(std::uint64_t type) { return nameOf(kChassis, type); }
std::string cimMemoryTypeName(std::uint64_t type) { return nameOf(kCimMemoryTypes, type); }
std::string memoryFormFactorName(std::uint64_t code) { return nameOf(kFormFactors, code); }
std::string processorArchitectureName(std::uint64_t code) { return nameOf(kArchitectures, code); }
std::string batteryChemistryName(std::uint64_t code) { return nameOf(kChemistries, code); }
std::string pointingTypeName(std::uint64_t code) { return nameOf(kPointingTypes, code); }
std::string pointingInterfaceName(std::uint64_t code) { return nameOf(kPointingInterfaces, code); }

std::string pciClassName(std::uint64_t classAndSubclass) {
    std::string name = nameOf(kPciSubclasses, classAndSubclass);
    return name.empty() ? nameOf(kPciClasses, classAndSubclass >> 8) : name;
}

std::string batteryChemistryCode(std::uint64_t packed) {
    std::string code;
    for (int shift = 0; shift < 32; shift += 8) {
        char c = static_cast<char>((packed >> shift) & 0xFF);
        if (std::isalnum(static_cast<unsigned char>(c))) code += c;
    }
    return code;
}

std::string monitorMakerName(const std::string& pnpId) { return nameOf(kMonitorMakers, pnpId); }

// Dates of the year 0 or with month or day 0 stand for "not known" in firmware and WMI alike.
bool realDate(const std::string& cim) {
    return allDigits(cim, 0, 8) && cim.compare(0, 4, "0000") != 0 && cim.compare(4, 2, "00") != 0 &&
           cim.compare(6, 2, "00") != 0;
}

std::string cimDateTimeText(const std::string& cim) {
    if (!realDate(cim) || !allDigits(cim, 8, 6)) return {};
    return cim.substr(0, 4) + "-" + cim.substr(4, 2) + "-" + cim.substr(6, 2) + " " + cim.substr(8, 2) + ":" +
           cim.substr(10, 2) + ":" + cim.substr(12, 2);
}

std::string cimDateText(const std::string& cim) {
    if (!realDate(cim)) return {};
    return cim.substr(0, 4) + "-" + cim.substr(4, 2) + "-" + cim.substr(6, 2);
}

}  // namespace moravel
