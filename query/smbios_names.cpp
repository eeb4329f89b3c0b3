#include "query/smbios_names.h"

#include <utility>

#include "query/wmi_names.h"

namespace moravel {
namespace {

using CodeName = std::pair<std::uint64_t, const char*>;

// SMBIOS 3.x, memory device type (7.18.2).
const CodeName kMemoryTypes[] = {
    {3, "DRAM"},    {4, "EDRAM"},   {5, "VRAM"},    {6, "SRAM"},   {7, "RAM"},     {8, "ROM"},
    {9, "FLASH"},   {10, "EEPROM"}, {11, "FEPROM"}, {12, "EPROM"}, {13, "CDRAM"},  {14, "3DRAM"},
    {15, "SDRAM"},  {16, "SGRAM"},  {17, "RDRAM"},  {18, "DDR"},   {19, "DDR2"},   {20, "DDR2 FB-DIMM"},
    {24, "DDR3"},   {25, "FBD2"},   {26, "DDR4"},   {27, "LPDDR"}, {28, "LPDDR2"}, {29, "LPDDR3"},
    {30, "LPDDR4"}, {32, "HBM"},    {33, "HBM2"},   {34, "DDR5"},  {35, "LPDDR5"}, {36, "HBM3"},
};

// SMBIOS form factor (7.18.1) and the CIM code Windows reports for it.
struct FormFactor {
    std::uint64_t smbios;
    const char* name;
    std::uint64_t cim;
};
const FormFactor kFormFactors[] = {
    {1, "Other", 1},    {2, "Unknown", 0}, {3, "SIMM", 7},          {4, "SIP", 2},
    {5, "Chip", 0},     {6, "DIP", 3},     {7, "ZIP", 4},           {8, "Proprietary Card", 6},
    {9, "DIMM", 8},     {10, "TSOP", 9},   {11, "Row Of Chips", 0}, {12, "RIMM", 11},
    {13, "SODIMM", 12}, {14, "SRIMM", 13}, {15, "FB-DIMM", 8},      {16, "Die", 0},
};

}  // namespace

std::string smbiosMemoryTypeName(std::uint64_t code) {
    for (const CodeName& type : kMemoryTypes)
        if (type.first == code) return type.second;
    return {};
}

std::optional<std::uint64_t> smbiosMemoryTypeCode(const std::string& name) {
    for (const CodeName& type : kMemoryTypes)
        if (sameWmiName(type.second, name)) return type.first;
    return std::nullopt;
}

std::optional<std::uint64_t> smbiosFormFactorCode(const std::string& name) {
    for (const FormFactor& form : kFormFactors)
        if (sameWmiName(form.name, name)) return form.smbios;
    return std::nullopt;
}

std::optional<std::uint64_t> cimFormFactor(std::uint64_t smbiosCode) {
    for (const FormFactor& form : kFormFactors)
        if (form.smbios == smbiosCode) return form.cim;
    return std::nullopt;
}

}  // namespace moravel
