#include "query/wmi_classes.h"

#include <algorithm>

#include "query/installed_software.h"
#include "query/wmi_names.h"
#include "query/wmi_query.h"
#include "query/wmi_value.h"

namespace moravel {
namespace {

using T = CimType;
constexpr Identifies kHidden = Identifies::MachineOrOwner;
constexpr Identifies kAddress = Identifies::Address;
constexpr Identifies kInstance = Identifies::DeviceInstance;
constexpr Identifies kCodes = Identifies::CharacterCodes;
constexpr bool kNotRead = false;  // kept here for redaction: the inventory may read it

// The groups' reads first in each class, then the inventory's, in the order the snapshot writer
// records them; the properties nothing reads yet are listed for redaction only.
// clang-format off
const std::vector<WmiClass> kClasses = {
    {"Win32_CDROMDrive", kWmiNamespace, {
        {"SystemName", T::String, kHidden}, {"Name", T::String}, {"MediaType", T::String}}},
    {"Win32_ComputerSystem", kWmiNamespace, {
        {"PrimaryOwnerName", T::String, kHidden}, {"Name", T::String, kHidden}, {"SystemType", T::String},
        {"Model", T::String}, {"Manufacturer", T::String}, {"TotalPhysicalMemory", T::Uint64},
        {"Domain", T::String, kHidden}, {"PartOfDomain", T::Boolean}, {"Workgroup", T::String, kHidden},
        {"DNSHostName", T::String, kHidden, kNotRead}, {"UserName", T::String, kHidden}}},
    {"Win32_MemoryArray", kWmiNamespace, {{"EndingAddress", T::Uint64}}},
    {"Win32_NetworkAdapter", kWmiNamespace, {
        {"AdapterType", T::String}, {"Manufacturer", T::String}, {"Name", T::String}, {"Index", T::Uint32},
        {"InterfaceIndex", T::Uint32}, {"NetConnectionID", T::String}, {"MACAddress", T::String, kAddress},
        {"Speed", T::Uint64}, {"PhysicalAdapter", T::Boolean}, {"NetConnectionStatus", T::Uint16},
        {"PNPDeviceID", T::String},
        {"PermanentAddress", T::String, kAddress, kNotRead}}},
    {"Win32_NetworkAdapterConfiguration", kWmiNamespace, {
        {"MACAddress", T::String, kAddress}, {"Index", T::Uint32}, {"IPEnabled", T::Boolean},
        {"IPAddress", T::StringArray}, {"IPSubnet", T::StringArray}, {"DefaultIPGateway", T::StringArray},
        {"DHCPEnabled", T::Boolean}, {"DHCPServer", T::String}, {"DNSServerSearchOrder", T::StringArray},
        {"DNSHostName", T::String, kHidden, kNotRead}, {"DNSDomain", T::String, kHidden, kNotRead}}},
    {"Win32_BIOS", kWmiNamespace, {
        {"Manufacturer", T::String}, {"Description", T::String}, {"Version", T::String},
        {"SMBIOSBIOSVersion", T::String}, {"ReleaseDate", T::DateTime}, {"SerialNumber", T::String, kHidden}}},
    {"Win32_OperatingSystem", kWmiNamespace, {
        {"Caption", T::String}, {"OSArchitecture", T::String}, {"SerialNumber", T::String, kHidden},
        {"Version", T::String}, {"CSDVersion", T::String}, {"LastBootUpTime", T::DateTime},
        {"BuildNumber", T::String}, {"OSType", T::Uint16}, {"InstallDate", T::DateTime},
        {"CurrentTimeZone", T::Sint16},
        {"RegisteredUser", T::String, kHidden, kNotRead}, {"Organization", T::String, kHidden, kNotRead}}},
    {"Win32_Processor", kWmiNamespace, {
        {"Name", T::String}, {"NumberOfCores", T::Uint32}, {"NumberOfLogicalProcessors", T::Uint32},
        {"L2CacheSize", T::Uint32}, {"L3CacheSize", T::Uint32}, {"CurrentClockSpeed", T::Uint32},
        {"MaxClockSpeed", T::Uint32}, {"Description", T::String}, {"DataWidth", T::Uint16},
        {"Manufacturer", T::String}, {"ProcessorId", T::String}, {"Architecture", T::Uint16},
        {"ExtClock", T::Uint32}, {"SocketDesignation", T::String}}},
    {"Win32_BaseBoard", kWmiNamespace, {
        {"Manufacturer", T::String}, {"SerialNumber", T::String, kHidden}, {"Product", T::String}}},
    {"Win32_MotherboardDevice", kWmiNamespace, {{"PrimaryBusType", T::String}, {"SecondaryBusType", T::String}}},
    {"Win32_VideoController", kWmiNamespace, {
        {"Name", T::String}, {"VideoProcessor", T::String}, {"MaxRefreshRate", T::Uint32},
        {"VideoModeDescription", T::String}, {"CurrentRefreshRate", T::Uint32}, {"AdapterRAM", T::Uint32},
        {"DriverVersion", T::String}, {"DriverDate", T::DateTime}, {"AdapterDACType", T::String},
        {"CurrentHorizontalResolution", T::Uint32}, {"CurrentVerticalResolution", T::Uint32}}},
    {"Win32_DiskDrive", kWmiNamespace, {
        {"InterfaceType", T::String}, {"Caption", T::String}, {"Size", T::Uint64}, {"FirmwareRevision", T::String},
        {"Partitions", T::Uint32}, {"TotalCylinders", T::Uint64}, {"TotalHeads", T::Uint32},
        {"TotalSectors", T::Uint64}, {"TotalTracks", T::Uint64}, {"Index", T::Uint32}, {"DeviceID", T::String},
        {"Model", T::String}, {"Manufacturer", T::String}, {"SerialNumber", T::String, kHidden},
        {"MediaType", T::String}, {"PNPDeviceID", T::String, kInstance}}},
    {"Win32_PhysicalMedia", kWmiNamespace, {{"SerialNumber", T::String, kHidden}, {"Tag", T::String}}},
    {"Win32_LogicalDisk", kWmiNamespace, {
        {"DriveType", T::Uint32}, {"DeviceID", T::String}, {"FreeSpace", T::Uint64}, {"FileSystem", T::String},
        {"Size", T::Uint64}, {"VolumeName", T::String}, {"VolumeSerialNumber", T::String, kHidden},
        {"ProviderName", T::String}}},
    {"Win32_SoundDevice", kWmiNamespace, {{"ProductName", T::String}, {"Manufacturer", T::String}}},
    {"Win32_Battery", kWmiNamespace, {  // its DeviceID starts with the serial number
        {"Name", T::String}, {"DeviceID", T::String, kHidden}, {"EstimatedChargeRemaining", T::Uint16},
        {"Chemistry", T::Uint16}, {"DesignVoltage", T::Uint64}}},
    {"Win32_Printer", kWmiNamespace, {
        {"Caption", T::String}, {"HorizontalResolution", T::Uint32}, {"VerticalResolution", T::Uint32},
        {"PrinterStatus", T::Uint16}, {"DriverName", T::String}, {"PortName", T::String},
        {"Network", T::Boolean}, {"Shared", T::Boolean}, {"ShareName", T::String}, {"Comment", T::String}}},
    // Read by the inventory alone.
    {"Win32_ComputerSystemProduct", kWmiNamespace, {
        {"IdentifyingNumber", T::String, kHidden}, {"UUID", T::String, kHidden}, {"SKUNumber", T::String}}},
    {"Win32_SystemEnclosure", kWmiNamespace, {
        {"ChassisTypes", T::Uint16Array}, {"SMBIOSAssetTag", T::String}, {"SerialNumber", T::String, kHidden}}},
    {"Win32_TimeZone", kWmiNamespace, {{"StandardName", T::String}}},
    {"Win32_PhysicalMemory", kWmiNamespace, {
        {"BankLabel", T::String}, {"DeviceLocator", T::String}, {"Capacity", T::Uint64},
        {"SMBIOSMemoryType", T::Uint32}, {"MemoryType", T::Uint16}, {"FormFactor", T::Uint16}, {"Speed", T::Uint32},
        {"ConfiguredClockSpeed", T::Uint32}, {"Manufacturer", T::String}, {"PartNumber", T::String},
        {"SerialNumber", T::String, kHidden}}},
    {"Win32_Keyboard", kWmiNamespace, {
        {"Name", T::String}, {"Description", T::String}, {"Layout", T::String}, {"PNPDeviceID", T::String}}},
    {"Win32_PointingDevice", kWmiNamespace, {
        {"Name", T::String}, {"Manufacturer", T::String}, {"Description", T::String}, {"PointingType", T::Uint16},
        {"DeviceInterface", T::Uint16}, {"PNPDeviceID", T::String}}},
    {"Win32_PnPEntity", kWmiNamespace, {
        {"DeviceID", T::String, kInstance}, {"Name", T::String}, {"Manufacturer", T::String}, {"PNPClass", T::String},
        {"Service", T::String}, {"CompatibleID", T::StringArray}}},
    {"Win32_UserAccount", kWmiNamespace, {
        {"Name", T::String, kHidden}, {"FullName", T::String, kHidden}, {"SID", T::String, kHidden},
        {"Disabled", T::Boolean}}, "LocalAccount = TRUE"},
    {"Win32_Group", kWmiNamespace, {{"Name", T::String, kHidden}, {"SID", T::String, kHidden}}, "LocalAccount = TRUE"},
    {"MSFT_Disk", kStorageNamespace, {{"Number", T::Uint32}, {"Path", T::String, kInstance}, {"Size", T::Uint64}}},
    {"AntiVirusProduct", kSecurityCenterNamespace, {
        {"displayName", T::String}, {"instanceGuid", T::String}, {"productState", T::Uint32}}},
    {"MSFT_NetAdapter", kStandardCimNamespace, {
        {"InterfaceIndex", T::Uint32}, {"NdisPhysicalMedium", T::Uint32}, {"Virtual", T::Boolean},
        {"HardwareInterface", T::Boolean}}},
    {"WmiMonitorID", kWmiDataNamespace, {
        {"InstanceName", T::String}, {"ManufacturerName", T::Uint16Array}, {"ProductCodeID", T::Uint16Array},
        {"SerialNumberID", T::Uint16Array, kCodes}, {"UserFriendlyName", T::Uint16Array}, {"WeekOfManufacture", T::Uint8},
        {"YearOfManufacture", T::Uint16}}},
    {"WmiMonitorBasicDisplayParams", kWmiDataNamespace, {
        {"InstanceName", T::String}, {"MaxHorizontalImageSize", T::Uint8}, {"MaxVerticalImageSize", T::Uint8}}},
    {"BatteryStaticData", kWmiDataNamespace, {
        {"InstanceName", T::String}, {"DeviceName", T::String}, {"ManufactureName", T::String},
        {"SerialNumber", T::String, kHidden}, {"Chemistry", T::Uint32}, {"DesignedCapacity", T::Uint32}}},
    {"BatteryFullChargedCapacity", kWmiDataNamespace, {{"InstanceName", T::String}, {"FullChargedCapacity", T::Uint32}}},
    {"BatteryCycleCount", kWmiDataNamespace, {{"InstanceName", T::String}, {"CycleCount", T::Uint32}}},
    // Disk health. MSFT_PhysicalDisk's DeviceId is the disk's number (Win32_DiskDrive.Index) and
    // names its reliability counters; the ROOT\WMI classes name the disk by its device instance
    // path and "_0". Windows answers the counters and the ROOT\WMI classes only to an elevated
    // program (WBEM_E_ACCESS_DENIED otherwise), the Linux provider only to root or through
    // UDisks2. FailurePredictData holds the drive's SMART attribute table as ATA returns it.
    {"MSFT_PhysicalDisk", kStorageNamespace, {
        {"DeviceId", T::String}, {"FriendlyName", T::String}, {"SerialNumber", T::String, kHidden},
        {"MediaType", T::Uint16}, {"BusType", T::Uint16}, {"HealthStatus", T::Uint16}}},
    {"MSFT_StorageReliabilityCounter", kStorageNamespace, {
        {"DeviceId", T::String}, {"Temperature", T::Uint8}, {"Wear", T::Uint8}, {"PowerOnHours", T::Uint32},
        {"StartStopCycleCount", T::Uint32}, {"ReadErrorsUncorrected", T::Uint64}}},
    {"MSStorageDriver_FailurePredictStatus", kWmiDataNamespace, {
        {"InstanceName", T::String}, {"PredictFailure", T::Boolean}, {"Reason", T::Uint32}}},
    {"MSStorageDriver_FailurePredictData", kWmiDataNamespace, {
        {"InstanceName", T::String}, {"VendorSpecific", T::Uint8Array}}},
    // Temperatures the firmware (ACPI thermal zones; on Linux every hwmon sensor) reports, in
    // tenths of a kelvin.
    {"MSAcpi_ThermalZoneTemperature", kWmiDataNamespace, {
        {"InstanceName", T::String}, {"CurrentTemperature", T::Uint32}, {"CriticalTripPoint", T::Uint32}}},
    // Installed software (query/installed_software.h): each provider answers it from the system's
    // own records. Every record is listed, the Programs list's left-outs with the marks that leave
    // them out (SystemComponent, ParentKeyName), so the inventory decides the same on any machine.
    {kInstalledSoftwareClass, kWmiNamespace, {
        {"Name", T::String}, {"Version", T::String}, {"Publisher", T::String}, {"InstallDate", T::DateTime},
        {"Size", T::Uint64}, {"InstallLocation", T::String}, {"ProductCode", T::String},
        {"Architecture", T::String}, {"Source", T::String}, {"Category", T::String},
        {"SystemComponent", T::Boolean}, {"ParentKeyName", T::String}}},
    {"Win32_QuickFixEngineering", kWmiNamespace, {
        {"HotFixID", T::String}, {"Description", T::String}, {"InstalledOn", T::String},
        {"InstalledBy", T::String, kHidden, kNotRead}}},
    {"Win32_InstalledStoreProgram", kWmiNamespace, {
        {"Name", T::String}, {"Version", T::String}, {"Vendor", T::String}, {"Architecture", T::String},
        {"ProgramId", T::String}}},
};
// clang-format on

// The namespaces a listing provider connects to: the groups' classes in ROOT\CIMV2, the device
// data of monitors, batteries and disks in ROOT\WMI, network adapters' media in
// ROOT\StandardCimv2, whole and physical disks in ROOT\Microsoft\Windows\Storage, antivirus
// products in the Security Center's.
const char* const kNamespaces[] = {kWmiNamespace, kWmiDataNamespace, kStandardCimNamespace, kStorageNamespace,
                                   kSecurityCenterNamespace};

// Properties that name the machine in whatever class holds them.
const char* const kMachineNameProperties[] = {"SystemName", "CSName"};

const WmiProperty* findWmiProperty(const WmiClass& wmiClass, const std::string& property) {
    for (const WmiProperty& known : wmiClass.properties)
        if (sameWmiName(known.name, property)) return &known;
    return nullptr;
}

}  // namespace

const std::vector<WmiClass>& wmiClasses() { return kClasses; }

std::uint16_t variantTypeOf(CimType type) {
    switch (type) {
    case CimType::Boolean: return vt::Bool;
    case CimType::Uint8: return vt::UI1;
    case CimType::Sint16: return vt::I2;
    case CimType::Uint16:
    case CimType::Uint32:
    case CimType::Sint32: return vt::I4;
    case CimType::StringArray: return vt::Array | vt::Bstr;
    case CimType::Uint8Array: return vt::Array | vt::UI1;
    case CimType::Uint16Array: return vt::Array | vt::I4;
    case CimType::String:
    case CimType::DateTime:
    case CimType::Uint64: break;
    }
    return vt::Bstr;
}

std::vector<const WmiClass*> recordedClasses() {
    std::vector<const WmiClass*> recorded;
    for (const WmiClass& wmiClass : kClasses)
        if (std::any_of(wmiClass.properties.begin(), wmiClass.properties.end(),
                        [](const WmiProperty& property) { return property.recorded; }))
            recorded.push_back(&wmiClass);
    return recorded;
}

const WmiClass* findWmiClass(const std::string& className) {
    for (const WmiClass& wmiClass : kClasses)
        if (sameWmiName(wmiClass.name, className)) return &wmiClass;
    return nullptr;
}

std::string classQuery(const WmiClass& wmiClass) {
    std::string query = selectAllFrom(wmiClass.name);
    return wmiClass.condition ? query + " WHERE " + wmiClass.condition : query;
}

std::optional<std::string> classOfQuery(const std::string& query) {
    if (std::optional<std::string> plain = queriedClass(query)) return plain;
    std::vector<std::string> words = splitWords(query);
    for (const WmiClass& wmiClass : kClasses) {
        if (!wmiClass.condition) continue;
        std::vector<std::string> own = splitWords(classQuery(wmiClass));
        if (std::equal(words.begin(), words.end(), own.begin(), own.end(), sameWmiName)) return wmiClass.name;
    }
    return std::nullopt;
}

std::string namespaceOf(const std::string& className) {
    const WmiClass* wmiClass = findWmiClass(className);
    return wmiClass ? wmiClass->nameSpace : kWmiNamespace;
}

bool isKnownNamespace(const std::string& path) {
    return std::any_of(std::begin(kNamespaces), std::end(kNamespaces),
                       [&](const char* nameSpace) { return sameWmiName(nameSpace, path); });
}

Identifies identifiesOf(const std::string& className, const std::string& property) {
    const WmiClass* wmiClass = findWmiClass(className);
    const WmiProperty* known = wmiClass ? findWmiProperty(*wmiClass, property) : nullptr;
    if (known && known->identifies != Identifies::Nothing) return known->identifies;
    for (const char* name : kMachineNameProperties)
        if (sameWmiName(name, property)) return Identifies::MachineOrOwner;
    return Identifies::Nothing;
}

}  // namespace moravel
