// The names behind the numbers WMI and SMBIOS report, as inventory servers show them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

namespace moravel {

// The name a table of (key, name) pairs gives `key`; empty when it lists no such key.
template <typename Key, typename Wanted, std::size_t N>
const char* nameOf(const std::pair<Key, const char*> (&table)[N], const Wanted& key) {
    for (const auto& [known, name] : table)
        if (known == key) return name;
    return "";
}

std::string chassisTypeName(std::uint64_t smbiosType);           // 3 "Desktop", 10 "Notebook"
std::string cimMemoryTypeName(std::uint64_t memoryType);         // MemoryType, used before SMBIOS 2.x
std::string memoryFormFactorName(std::uint64_t cimFormFactor);   // 8 "DIMM", 12 "SODIMM"
std::string processorArchitectureName(std::uint64_t code);       // 9 "x86_64", 12 "aarch64"
std::string batteryChemistryName(std::uint64_t win32Chemistry);  // 6 "Li-ion"
// BatteryStaticData's Chemistry: four ASCII letters in a 32-bit number ("LION", "PBAC").
std::string batteryChemistryCode(std::uint64_t packed);
std::string pointingTypeName(std::uint64_t code);       // 3 "Mouse", 7 "Touch Pad"
std::string pointingInterfaceName(std::uint64_t code);  // 4 "PS/2", 162 "USB"
std::string pciClassName(std::uint64_t classAndSubclass);  // 0x0600 "Host bridge", 0x0c03 "USB controller"
// The maker behind a monitor's three-letter PNP id; empty when not in the table.
std::string monitorMakerName(const std::string& pnpId);

// A CIM datetime "yyyymmddHHMMSS.mmmmmmsUUU" as "yyyy-mm-dd HH:MM:SS"; empty when it is not one.
std::string cimDateTimeText(const std::string& cim);
// Its date alone, "yyyy-mm-dd".
std::string cimDateText(const std::string& cim);

}  // namespace moravel
