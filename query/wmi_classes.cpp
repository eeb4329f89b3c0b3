#include "query/wmi_classes.h"

#include "query/wmi_names.h"
#include "query/wmi_value.h"

namespace moravel {
namespace {

using T = CimType;
constexpr Identifies kHidden = Identifies::MachineOrOwner;
constexpr Identifies kAddress = Identifies::HardwareAddress;
constexpr bool kNotRead = false;  // kept here for redaction: the inventory may read it

// The groups' reads first, in the order the snapshot writer records them; the properties nothing
// reads yet are listed for redaction only.
const std::vector<WmiClass> kClasses = {
    {"Win32_CDROMDrive", kWmiNamespace, {
        {"SystemName", T::String, kHidden}, {"Name", T::String}, {"MediaType", T::String}}},
    {"Win32_ComputerSystem", kWmiNamespace, {
        {"PrimaryOwnerName", T::String, kHidden}, {"Name", T::String, kHidden}, {"SystemType", T::String},
        {"Model", T::String}, {"Manufacturer", T::String}, {"TotalPhysicalMemory", T::Uint64},
        {"Domain", T::String, kHidden},
        {"DNSHostName", T::String, kHidden, kNotRead}, {"UserName", T::String, kHidden, kNotRead},
        {"Workgroup", T::String, kHidden, kNotRead}}},
    {"Win32_MemoryArray", kWmiNamespace, {{"EndingAddress", T::Uint64}}},
    {"Win32_NetworkAdapter", kWmiNamespace, {
        {"AdapterType", T::String}, {"Manufacturer", T::String}, {"Name", T::String},
        {"MACAddress", T::String, kAddress, kNotRead}, {"PermanentAddress", T::String, kAddress, kNotRead}}},
    {"Win32_NetworkAdapterConfiguration", kWmiNamespace, {
        {"MACAddress", T::String, kAddress},
        {"DNSHostName", T::String, kHidden, kNotRead}, {"DNSDomain", T::String, kHidden, kNotRead}}},
    {"Win32_BIOS", kWmiNamespace, {
        {"Manufacturer", T::String}, {"Description", T::String}, {"Version", T::String},
        {"SMBIOSBIOSVersion", T::String}, {"ReleaseDate", T::DateTime},
        {"SerialNumber", T::String, kHidden, kNotRead}}},
    {"Win32_OperatingSystem", kWmiNamespace, {
        {"Caption", T::String}, {"OSArchitecture", T::String}, {"SerialNumber", T::String, kHidden},
        {"Version", T::String}, {"CSDVersion", T::String}, {"LastBootUpTime", T::DateTime},
        {"RegisteredUser", T::String, kHidden, kNotRead}, {"Organization", T::String, kHidden, kNotRead}}},
    {"Win32_Processor", kWmiNamespace, {
        {"Name", T::String}, {"NumberOfCores", T::Uint32}, {"NumberOfLogicalProcessors", T::Uint32},
        {"L2CacheSize", T::Uint32}, {"L3CacheSize", T::Uint32}, {"CurrentClockSpeed", T::Uint32},
        {"MaxClockSpeed", T::Uint32}, {"Description", T::String}, {"DataWidth", T::Uint16},
        {"Manufacturer", T::String}, {"ProcessorId", T::String}}},
    {"Win32_BaseBoard", kWmiNamespace, {
        {"Manufacturer", T::String}, {"SerialNumber", T::String, kHidden}, {"Product", T::String}}},
    {"Win32_MotherboardDevice", kWmiNamespace, {{"PrimaryBusType", T::String}, {"SecondaryBusType", T::String}}},
    {"Win32_VideoController", kWmiNamespace, {
        {"Name", T::String}, {"VideoProcessor", T::String}, {"MaxRefreshRate", T::Uint32},
        {"VideoModeDescription", T::String}, {"CurrentRefreshRate", T::Uint32}, {"AdapterRAM", T::Uint32},
        {"DriverVersion", T::String}, {"DriverDate", T::DateTime}, {"AdapterDACType", T::String}}},
    {"Win32_DiskDrive", kWmiNamespace, {
        {"InterfaceType", T::String}, {"Caption", T::String}, {"Size", T::Uint64}, {"FirmwareRevision", T::String},
        {"Partitions", T::Uint32}, {"TotalCylinders", T::Uint64}, {"TotalHeads", T::Uint32},
        {"TotalSectors", T::Uint64}, {"TotalTracks", T::Uint64},
        {"SerialNumber", T::String, kHidden, kNotRead}}},
    {"Win32_PhysicalMedia", kWmiNamespace, {{"SerialNumber", T::String, kHidden}}},
    {"Win32_LogicalDisk", kWmiNamespace, {
        {"DriveType", T::Uint32}, {"DeviceID", T::String}, {"FreeSpace", T::Uint64},
        {"VolumeSerialNumber", T::String, kHidden, kNotRead}}},
    {"Win32_SoundDevice", kWmiNamespace, {{"ProductName", T::String}, {"Manufacturer", T::String}}},
    {"Win32_Battery", kWmiNamespace, {  // its DeviceID starts with the serial number
        {"Name", T::String}, {"DeviceID", T::String, kHidden}, {"EstimatedChargeRemaining", T::Uint16}}},
    {"Win32_Printer", kWmiNamespace, {
        {"Caption", T::String}, {"HorizontalResolution", T::Uint32}, {"VerticalResolution", T::Uint32},
        {"PrinterStatus", T::Uint16}}},
    {"Win32_SystemEnclosure", kWmiNamespace, {{"SerialNumber", T::String, kHidden, kNotRead}}},
    {"Win32_ComputerSystemProduct", kWmiNamespace, {
        {"UUID", T::String, kHidden, kNotRead}, {"IdentifyingNumber", T::String, kHidden, kNotRead}}},
};

// The namespaces a listing provider connects to: the groups' classes in ROOT\CIMV2, the device
// data of monitors and batteries in ROOT\WMI.
const char* const kNamespaces[] = {kWmiNamespace, kWmiDataNamespace};

// Properties that name the machine in whatever class holds them.
const char* const kMachineNameProperties[] = {"SystemName", "CSName"};

}  // namespace

const std::vector<WmiClass>& wmiClasses() { return kClasses; }

std::uint16_t variantTypeOf(CimType type) {
    switch (type) {
    case CimType::Boolean: return vt::Bool;
    case CimType::Uint8: return vt::UI1;
    case CimType::Uint16: case CimType::Uint32: case CimType::Sint32: return vt::I4;
    case CimType::StringArray: return vt::Array | vt::Bstr;
    case CimType::Uint16Array: return vt::Array | vt::I4;
    case CimType::String: case CimType::DateTime: case CimType::Uint64: break;
    }
    return vt::Bstr;
}

const WmiClass* findWmiClass(const std::string& className) {
    for (const WmiClass& wmiClass : kClasses)
        if (sameWmiName(wmiClass.name, className)) return &wmiClass;
    return nullptr;
}

const WmiProperty* findWmiProperty(const WmiClass& wmiClass, const std::string& property) {
    for (const WmiProperty& known : wmiClass.properties)
        if (sameWmiName(known.name, property)) return &known;
    return nullptr;
}

std::string namespaceOf(const std::string& className) {
    const WmiClass* wmiClass = findWmiClass(className);
    return wmiClass ? wmiClass->nameSpace : kWmiNamespace;
}

bool isKnownNamespace(const std::string& path) {
    for (const char* nameSpace : kNamespaces)
        if (sameWmiName(nameSpace, path)) return true;
    return false;
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
