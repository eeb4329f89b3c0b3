#include "providers/linux/parsers/cpuinfo.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

#include "providers/linux/parsers/plain_text.h"
#include "query/wmi_query.h"

namespace moravel::lx {

std::vector<CpuBlock> cpuinfoBlocks(const std::string& text) {
    std::vector<CpuBlock> blocks(1);
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        std::size_t colon = line.find(':');
        if (trim(line).empty()) {
            if (!blocks.back().empty()) blocks.emplace_back();
        } else if (colon != std::string::npos) {
            blocks.back()[trim(line.substr(0, colon))] = trim(line.substr(colon + 1));
        }
    }
    if (blocks.back().empty()) blocks.pop_back();
    return blocks;
}

std::optional<std::string> cpuField(const CpuBlock& cpu, const char* key) {
    auto it = cpu.find(key);
    if (it == cpu.end() || it->second.empty()) return std::nullopt;
    return it->second;
}

std::optional<std::uint64_t> cpuNumber(const CpuBlock& cpu, const char* key) {
    std::optional<std::string> text = cpuField(cpu, key);
    return text ? parseNumber(*text) : std::nullopt;
}

std::vector<std::string> cpuFlags(const CpuBlock& cpu) { return splitWords(cpuField(cpu, "flags").value_or("")); }

bool hasFlag(const std::vector<std::string>& flags, const std::string& flag) {
    return std::find(flags.begin(), flags.end(), flag) != flags.end();
}

std::optional<std::string> cpuDescription(const CpuBlock& cpu) {
    std::optional<std::uint64_t> family = cpuNumber(cpu, "cpu family");
    std::optional<std::uint64_t> model = cpuNumber(cpu, "model");
    std::optional<std::uint64_t> stepping = cpuNumber(cpu, "stepping");
    if (!family || !model || !stepping) return std::nullopt;
    std::string vendor = cpuField(cpu, "vendor_id").value_or("");
    std::string kind = !hasFlag(cpuFlags(cpu), "lm")                          ? "x86"
                       : vendor == "AuthenticAMD" || vendor == "HygonGenuine" ? "AMD64"
                                                                              : "Intel64";
    return kind + " Family " + std::to_string(*family) + " Model " + std::to_string(*model) + " Stepping " +
           std::to_string(*stepping);
}

std::string processorIdOf(std::uint32_t edx, std::uint32_t eax) {
    char text[20];
    std::snprintf(text, sizeof text, "%08X%08X", edx, eax & 0x0FFF3FFFu);
    return text;
}

// EAX from the family, model and stepping; EDX from the flags the kernel names.
std::optional<std::string> cpuProcessorId(const CpuBlock& cpu) {
    std::optional<std::uint64_t> family = cpuNumber(cpu, "cpu family");
    std::optional<std::uint64_t> model = cpuNumber(cpu, "model");
    std::optional<std::uint64_t> stepping = cpuNumber(cpu, "stepping");
    if (!family || !model || !stepping || !cpuField(cpu, "flags")) return std::nullopt;
    std::uint32_t baseFamily = *family < 15 ? static_cast<std::uint32_t>(*family) : 15;
    std::uint32_t extendedFamily = *family < 15 ? 0 : static_cast<std::uint32_t>(*family - 15);
    std::uint32_t eax = static_cast<std::uint32_t>(*stepping & 0xF) | static_cast<std::uint32_t>(*model & 0xF) << 4 |
                        baseFamily << 8 | static_cast<std::uint32_t>((*model >> 4) & 0xF) << 16 |
                        (extendedFamily & 0xFF) << 20;
    static const char* const kEdxFlags[32] = {"fpu",  "vme",   "de",    "pse",     "tsc",   "msr", "pae",  "mce",
                                              "cx8",  "apic",  nullptr, "sep",     "mtrr",  "pge", "mca",  "cmov",
                                              "pat",  "pse36", "pn",    "clflush", nullptr, "dts", "acpi", "mmx",
                                              "fxsr", "sse",   "sse2",  "ss",      "ht",    "tm",  "ia64", "pbe"};
    std::vector<std::string> flags = cpuFlags(cpu);
    std::uint32_t edx = 0;
    for (unsigned bit = 0; bit < 32; ++bit)
        if (kEdxFlags[bit] && hasFlag(flags, kEdxFlags[bit])) edx |= 1u << bit;
    return processorIdOf(edx, eax);
}

}  // namespace moravel::lx
