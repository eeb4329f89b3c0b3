// What /proc/cpuinfo says of each logical processor. The parsers take any text at all (tests and
// the fuzz target feed them without a file tree).
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace moravel::lx {

// One logical processor's "key : value" lines.
using CpuBlock = std::map<std::string, std::string>;
std::vector<CpuBlock> cpuinfoBlocks(const std::string& text);

// A key's value; nothing when it is missing or empty.
std::optional<std::string> cpuField(const CpuBlock& cpu, const char* key);
std::optional<std::uint64_t> cpuNumber(const CpuBlock& cpu, const char* key);
// The words of the "flags" line.
std::vector<std::string> cpuFlags(const CpuBlock& cpu);
bool hasFlag(const std::vector<std::string>& flags, const std::string& flag);

// "Intel64 Family 6 Model 60 Stepping 3".
std::optional<std::string> cpuDescription(const CpuBlock& cpu);

// CPUID leaf 1 as Windows shows it, "%08X%08X": EDX (the feature flags), then EAX (the
// signature) without its reserved bits.
std::string processorIdOf(std::uint32_t edx, std::uint32_t eax);
// The same rebuilt from the text, where the instruction itself cannot be asked (a fixture tree,
// a build without CPUID). The kernel may hide a flag the processor has, so this is second best.
std::optional<std::string> cpuProcessorId(const CpuBlock& cpu);

}  // namespace moravel::lx
