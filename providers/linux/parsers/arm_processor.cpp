#include "providers/linux/parsers/arm_processor.h"

#include <algorithm>
#include <cctype>

#include "providers/linux/parsers/plain_text.h"

namespace moravel::lx {
namespace {

struct Named {
    unsigned number;
    const char* name;
};

// The implementer codes the architecture assigns.
// clang-format off
const Named kImplementers[] = {
    {0x41, "ARM"},     {0x42, "Broadcom"}, {0x43, "Cavium"}, {0x46, "Fujitsu"}, {0x48, "HiSilicon"},
    {0x4e, "NVIDIA"},  {0x50, "APM"},      {0x51, "Qualcomm"}, {0x53, "Samsung"}, {0x56, "Marvell"},
    {0x61, "Apple"},   {0x69, "Intel"},    {0xc0, "Ampere"},
};

struct Core {
    unsigned implementer;
    unsigned part;
    const char* name;
};

// The common cores by implementer and part number.
const Core kCores[] = {
    {0x41, 0xc07, "Cortex-A7"},     {0x41, 0xc09, "Cortex-A9"},     {0x41, 0xc0f, "Cortex-A15"},
    {0x41, 0xd03, "Cortex-A53"},    {0x41, 0xd04, "Cortex-A35"},    {0x41, 0xd05, "Cortex-A55"},
    {0x41, 0xd07, "Cortex-A57"},    {0x41, 0xd08, "Cortex-A72"},    {0x41, 0xd09, "Cortex-A73"},
    {0x41, 0xd0a, "Cortex-A75"},    {0x41, 0xd0b, "Cortex-A76"},    {0x41, 0xd0c, "Neoverse-N1"},
    {0x41, 0xd0d, "Cortex-A77"},    {0x41, 0xd40, "Neoverse-V1"},   {0x41, 0xd41, "Cortex-A78"},
    {0x41, 0xd44, "Cortex-X1"},     {0x41, 0xd46, "Cortex-A510"},   {0x41, 0xd47, "Cortex-A710"},
    {0x41, 0xd48, "Cortex-X2"},     {0x41, 0xd49, "Neoverse-N2"},   {0x41, 0xd4b, "Cortex-A78C"},
    {0x41, 0xd4f, "Neoverse-V2"},   {0x41, 0xd80, "Cortex-A520"},   {0x41, 0xd81, "Cortex-A720"},
    {0x4e, 0x004, "Carmel"},        {0x51, 0x001, "Oryon"},         {0x51, 0x800, "Kryo 2xx Gold"},
    {0x51, 0x801, "Kryo 2xx Silver"}, {0x51, 0x802, "Kryo 3xx Gold"}, {0x51, 0x803, "Kryo 3xx Silver"},
    {0x51, 0x804, "Kryo 4xx Gold"}, {0x51, 0x805, "Kryo 4xx Silver"}, {0x51, 0xc00, "Falkor"},
    {0x61, 0x022, "Icestorm"},      {0x61, 0x023, "Firestorm"},     {0x61, 0x024, "Icestorm"},
    {0x61, 0x025, "Firestorm"},     {0x61, 0x028, "Icestorm"},      {0x61, 0x029, "Firestorm"},
    {0x61, 0x032, "Blizzard"},      {0x61, 0x033, "Avalanche"},     {0xc0, 0xac3, "AmpereOne"},
};

// Device-tree vendor prefixes of SoC makers.
const struct {
    const char* prefix;
    const char* maker;
} kSocMakers[] = {
    {"brcm", "Broadcom"},   {"qcom", "Qualcomm"}, {"rockchip", "Rockchip"}, {"allwinner", "Allwinner"},
    {"amlogic", "Amlogic"}, {"mediatek", "MediaTek"}, {"nvidia", "NVIDIA"}, {"apple", "Apple"},
    {"fsl", "NXP"},         {"nxp", "NXP"},       {"ti", "Texas Instruments"}, {"samsung", "Samsung"},
    {"hisilicon", "HiSilicon"}, {"starfive", "StarFive"},
};
// clang-format on

std::optional<unsigned> number(const CpuBlock& cpu, const char* key) {
    auto it = cpu.find(key);
    if (it == cpu.end()) return std::nullopt;
    std::optional<std::uint64_t> value = parseNumber(it->second);
    if (!value || *value > 0xFFFF) return std::nullopt;
    return static_cast<unsigned>(*value);
}

// "Cortex-A72", or the part number when the table does not know it.
std::optional<std::string> coreName(const CpuBlock& cpu) {
    std::optional<unsigned> implementer = number(cpu, "CPU implementer"), part = number(cpu, "CPU part");
    if (!implementer || !part) return std::nullopt;
    for (const Core& core : kCores)
        if (core.implementer == *implementer && core.part == *part) return std::string(core.name);
    return "part " + hex("0x%03x", *part);
}

}  // namespace

bool isArmProcessor(const CpuBlock& cpu) { return cpu.count("CPU implementer") != 0; }

std::optional<std::string> armManufacturer(const CpuBlock& cpu) {
    std::optional<unsigned> implementer = number(cpu, "CPU implementer");
    for (const Named& known : kImplementers)
        if (implementer == known.number) return std::string(known.name);
    return std::nullopt;
}

std::optional<std::string> armProcessorName(const std::vector<CpuBlock>& cpus, const std::optional<std::string>& soc) {
    std::vector<std::string> cores;
    for (const CpuBlock& cpu : cpus) {
        std::optional<std::string> core = coreName(cpu);
        if (core && std::find(cores.begin(), cores.end(), *core) == cores.end()) cores.push_back(*core);
    }
    if (cores.empty()) return soc;
    std::string kinds;
    for (const std::string& core : cores) kinds += (kinds.empty() ? "" : " + ") + core;
    if (soc) return *soc + " (" + kinds + ")";
    std::optional<std::string> maker = armManufacturer(cpus.front());
    return maker ? *maker + " " + kinds : kinds;
}

std::optional<std::string> armDescription(const CpuBlock& cpu) {
    std::optional<unsigned> architecture = number(cpu, "CPU architecture"), part = number(cpu, "CPU part");
    std::optional<unsigned> revision = number(cpu, "CPU revision");
    if (!architecture || !part || !revision) return std::nullopt;
    std::string version = std::to_string(*architecture);
    return "ARMv" + version + " Family " + version + " Model " + hex("%X", *part) + " Revision " +
           std::to_string(*revision);
}

std::optional<std::string> armProcessorId(const CpuBlock& cpu) {
    std::optional<unsigned> implementer = number(cpu, "CPU implementer"), variant = number(cpu, "CPU variant");
    std::optional<unsigned> part = number(cpu, "CPU part"), revision = number(cpu, "CPU revision");
    if (!implementer || !variant || !part || !revision) return std::nullopt;
    // Architecture 0xF: the features are described by the ID registers, as on every ARMv7 and later.
    unsigned midr =
        (*implementer & 0xFF) << 24 | (*variant & 0xF) << 20 | 0xFu << 16 | (*part & 0xFFF) << 4 | (*revision & 0xF);
    return hex("%08X", midr);
}

std::optional<std::string> socName(const std::string& compatibleEntry) {
    std::size_t comma = compatibleEntry.find(',');
    if (comma == std::string::npos || comma + 1 >= compatibleEntry.size()) return std::nullopt;
    std::string prefix = compatibleEntry.substr(0, comma);
    std::string model = compatibleEntry.substr(comma + 1);
    std::transform(model.begin(), model.end(), model.begin(), [](unsigned char c) { return std::toupper(c); });
    for (const auto& known : kSocMakers)
        if (prefix == known.prefix) return std::string(known.maker) + " " + model;
    return prefix + " " + model;
}

}  // namespace moravel::lx
