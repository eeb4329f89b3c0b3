// The fuller inventory of one machine, as inventory servers describe a computer: plain values,
// read once by the inventory pass and written by the exporters (GLPI JSON, OCS XML) or compared.
// Texts are empty and numbers absent where the machine did not say; units are in the names.
// Fields are only ever added, never renamed, so every reader of the model keeps working.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace moravel {

using Number = std::optional<std::uint64_t>;
using Flag = std::optional<bool>;

// Who the machine is: what tells it apart from every other on an inventory server.
struct ComputerIdentity {
    std::string name;          // host name
    std::string domain;        // the DNS or Windows domain; empty when it is in a workgroup
    std::string workgroup;     // the workgroup, or the domain when it has joined one
    std::string manufacturer;  // system maker
    std::string model;         // system model
    std::string serialNumber;  // the system's serial number
    std::string uuid;          // SMBIOS system UUID
    std::string skuNumber;
    std::string chassisType;  // "Desktop", "Notebook", ... (SMBIOS chassis names)
    std::string assetTag;
    std::string deviceId;  // stable per installation: Windows MachineGuid, Linux machine-id
    Number memoryBytes;    // physical memory the system reports
    std::string vmSystem;  // the hypervisor it runs under ("KVM", "VMware"), "Physical" on hardware
    std::string lastLoggedUser;  // the login, without its domain
};

struct FirmwareInfo {
    std::string manufacturer;
    std::string version;
    std::string releaseDate;  // yyyy-mm-dd
    std::string serialNumber;
};

struct BoardInfo {
    std::string manufacturer;
    std::string product;
    std::string serialNumber;
};

struct OperatingSystemInfo {
    std::string name;     // full name: "Microsoft Windows 11 Pro", "Debian GNU/Linux 12 (bookworm)"
    std::string version;  // the kernel's: "10.0.22631", "6.1.0-18-amd64"
    std::string build;    // Windows' build, "22631"; the distribution's release on Linux
    std::string release;  // as people name it: "11 23H2 (22631)", "12.11", "22.04"
    std::string servicePack;
    std::string architecture;  // "64-bit", "32-bit", as the system words it
    std::string kernelName;    // "windows", "linux"
    std::string installDate;   // yyyy-mm-dd HH:MM:SS, local time
    std::string lastBoot;      // yyyy-mm-dd HH:MM:SS, local time
    std::string timeZoneName;  // "W. Europe Standard Time", "Europe/Paris"
    std::optional<int> utcOffsetMinutes;
    std::string productId;  // Windows product ID
};

struct Processor {
    std::string name;
    std::string manufacturer;
    std::string description;   // "Intel64 Family 6 Model 60 Stepping 3"
    std::string processorId;   // CPUID leaf 1, "%08X%08X"
    std::string architecture;  // "x86_64", "i686", "aarch64", ...
    std::string socket;
    Number cores;
    Number threads;  // logical processors of the package
    Number currentMhz;
    Number maxMhz;
    Number externalClockMhz;
    Number l2CacheKib;
    Number l3CacheKib;
    Number family, model, stepping;
};

struct MemoryModule {
    std::string slot;        // "DIMM_A1", "ChannelA-DIMM0"
    std::string bank;        // "BANK 0"
    std::string type;        // "DDR4", "LPDDR5", ...
    std::string formFactor;  // "DIMM", "SODIMM", ...
    std::string manufacturer;
    std::string partNumber;
    std::string serialNumber;
    Number capacityBytes;
    Number speedMts;  // rated speed
    Number configuredSpeedMts;
};

// How a disk is attached.
enum class DiskBus { Unknown, Nvme, Sata, Usb, Scsi, Ide, Virtual };

enum class DiskMedia { Unknown, HardDisk, SolidState };
enum class HealthStatus { Unknown, Healthy, Warning, Failing };

// What a disk says of its health; each value absent where the disk does not say, the program
// may not ask, or the value is beyond what any disk can have.
struct DiskHealth {
    HealthStatus status = HealthStatus::Unknown;
    Number powerOnHours;
    Number powerCycles;
    Number temperatureCelsius;
    Number wearPercent;  // of an SSD's rated life; NVMe drives count on past 100
    Number mediaErrors;  // SSDs: uncorrectable media and data integrity errors
    Number reallocatedSectors;
    Number pendingSectors;
    bool any() const {
        return status != HealthStatus::Unknown || powerOnHours || powerCycles || temperatureCelsius || wearPercent ||
               mediaErrors || reallocatedSectors || pendingSectors;
    }
};

struct Disk {
    std::string name;  // as the system names it: "\\.\PHYSICALDRIVE0", "/dev/nvme0n1"
    std::string model;
    std::string manufacturer;
    std::string serialNumber;
    std::string firmware;
    std::string interfaceType;  // as WMI words it: "IDE", "SCSI", "USB"
    std::string mediaType;      // "Fixed hard disk media", "Removable Media", ...
    DiskBus bus = DiskBus::Unknown;
    DiskMedia media = DiskMedia::Unknown;
    bool removable = false;
    Number sizeBytes;  // the whole disk (Windows' WMI reports it cut to whole cylinders)
    DiskHealth health;
};

// A mounted file system: a drive letter on Windows, a mount point elsewhere.
struct Volume {
    std::string mountPoint;  // "C:", "/home"
    std::string fileSystem;  // "NTFS", "ext4"
    std::string label;
    std::string serial;            // volume serial number or file system UUID
    std::string source;            // the network share of a network drive
    std::optional<int> driveType;  // WMI DriveType: 2 removable, 3 local, 4 network, 5 optical, 6 RAM disk
    Number sizeBytes;
    Number freeBytes;
};

enum class AdapterKind { Unknown, Ethernet, Wifi, Loopback, Other };

struct NetworkAdapter {
    std::string name;         // the connection's name: "Ethernet", "Wi-Fi", "eth0"
    std::string description;  // the device: "Intel(R) Ethernet Connection I217-V"
    std::string manufacturer;
    std::string macAddress;              // "94:DE:80:6A:01:02"
    std::vector<std::string> ipv4;       // addresses, each with its mask at the same place
    std::vector<std::string> ipv4Masks;  // "255.255.255.0"
    std::vector<std::string> ipv6;
    std::vector<unsigned> ipv6Prefixes;  // the prefix length of each, 64 where the system did not say
    std::vector<std::string> gateways;
    std::vector<std::string> dnsServers;
    std::string dhcpServer;
    Flag dhcp;
    AdapterKind kind = AdapterKind::Unknown;
    bool virtualAdapter = false;  // no hardware behind it: VPN, bridge, container network
    Flag connected;
    Number speedBitsPerSecond;
};

struct VideoAdapter {
    std::string name;
    std::string chip;  // video processor
    std::string driverVersion;
    std::string driverDate;  // yyyy-mm-dd
    std::string resolution;  // "1920x1080"
    Number memoryBytes;      // 64-bit: cards of more than 4 GiB are common
};

struct Monitor {
    std::string manufacturer;    // the maker's name where known, else its three-letter PNP id
    std::string manufacturerId;  // PNP id: "DEL", "SAM"
    std::string model;           // the name the monitor gives itself
    std::string productCode;     // "A0B1"
    std::string serialNumber;
    Number year;  // of manufacture
    Number week;
    Number widthCm, heightCm;
};

struct Battery {
    std::string name;
    std::string manufacturer;
    std::string chemistry;  // "Li-ion", "LiP", ...
    std::string serialNumber;
    std::string manufactureDate;  // yyyy-mm-dd
    Number designCapacityMwh;
    Number fullChargeCapacityMwh;  // below the design capacity as the battery wears
    Number cycleCount;
    Number designVoltageMv;
};

// A temperature the system reports: a thermal zone, a processor's or a disk's sensor.
struct TemperatureSensor {
    std::string name;  // "ACPI\\ThermalZone\\TZ00_0", "coretemp Package id 0"
    std::optional<int> celsius;
    std::optional<int> criticalCelsius;
};

struct SoundDevice {
    std::string name;
    std::string manufacturer;
    std::string description;
};

struct Printer {
    std::string name;
    std::string driver;
    std::string port;
    std::string shareName;
    std::string comment;
    std::string resolution;  // "600x600"
    Flag network;
    Flag shared;
    Number status;  // WMI PrinterStatus
};

enum class InputKind { Keyboard, Pointing };

struct InputDevice {
    InputKind kind = InputKind::Keyboard;
    std::string name;
    std::string manufacturer;
    std::string description;
    std::string interfaceType;  // "USB", "PS/2", ...
    std::string layout;         // keyboards
    std::string pointingType;   // pointing devices: "Mouse", "Touch Pad", ...
};

struct UsbDevice {
    std::string name;
    std::string manufacturer;
    std::string vendorId;  // four lower-case hexadecimal digits
    std::string productId;
    std::string serialNumber;
    std::string deviceClass;  // "HIDClass", "USB", ... as the system names it
};

// A device on the PCI bus, as lspci lists them.
struct Controller {
    std::string name;  // from the ids database, else the name of its class
    std::string manufacturer;
    std::string type;      // its class: "Host bridge", "Ethernet controller"
    std::string pciClass;  // class and subclass, "0600"
    std::string vendorId;  // four lower-case hexadecimal digits
    std::string productId;
    std::string subsystemId;  // "1028:0535": the subsystem's vendor and device
    std::string revision;     // "04"
    std::string driver;       // "e1000e", "iaStorAC"
};

// A local account. Nothing of its password is ever read.
struct LocalUser {
    std::string login;
    std::string name;  // the full name
    std::string id;    // the SID on Windows, the uid on Linux
    Flag disabled;
};

struct LocalGroup {
    std::string name;
    std::string id;  // the SID on Windows, the gid on Linux
};

// An antivirus product Windows' Security Center knows.
struct Antivirus {
    std::string name;
    std::string company;
    std::string version;
    std::string guid;
    Flag enabled;   // real-time protection on
    Flag upToDate;  // its signatures current
};

// A program installed on the machine: a package, an application, an update.
struct Software {
    std::string name;
    std::string version;
    std::string publisher;
    std::string installDate;   // yyyy-mm-dd, then " HH:MM:SS" where the system keeps the time
    std::string architecture;  // as its source names it: "x86_64", "i586", "amd64", "all", "noarch"
    std::string guid;          // the Windows uninstall record's key: a product code or a name
    std::string source;        // as the agents name it: "registry", "WMI", "uwp", "deb", "rpm", ...
    std::string category;      // "application", "update", "security_update", "hotfix"; a package's section
    std::string folder;        // where it is installed
    Number sizeBytes;
};

struct Inventory {
    ComputerIdentity computer;
    FirmwareInfo bios;
    BoardInfo board;
    OperatingSystemInfo os;
    std::vector<Processor> processors;
    std::vector<MemoryModule> memoryModules;
    std::vector<Disk> disks;
    std::vector<Volume> volumes;
    std::vector<NetworkAdapter> networkAdapters;
    std::vector<VideoAdapter> videoAdapters;
    std::vector<Monitor> monitors;
    std::vector<Battery> batteries;
    std::vector<SoundDevice> soundDevices;
    std::vector<Printer> printers;
    std::vector<InputDevice> inputs;
    std::vector<UsbDevice> usbDevices;
    std::vector<TemperatureSensor> temperatures;
    // The disks' health was refused to this program: it needs to run as administrator or root.
    bool diskHealthNeedsRights = false;
    // The source lists its physical disks' health at all (an older snapshot, or Wine, does not).
    bool diskHealthListed = false;
    std::vector<Controller> controllers;
    std::vector<LocalUser> localUsers;
    std::vector<LocalGroup> localGroups;
    std::vector<Antivirus> antivirus;
    std::vector<Software> software;  // by name, then version and architecture
};

// The name inventory servers know the bus by: "NVMe", "SATA", "USB", ...; empty when unknown.
const char* diskBusName(DiskBus bus);

// The DNS servers of every adapter, each once, in the order first met.
std::vector<std::string> dnsServerList(const Inventory& inventory);

// How much of its design capacity a battery holds when full, in percent; absent where either is
// unknown or the two make no sense together.
Number batteryCapacityPercent(const Battery& battery);

}  // namespace moravel
