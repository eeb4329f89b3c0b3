// The parsers of what the provider reads from files, taking the bytes themselves: tests and the
// fuzz targets feed them any content without a file tree. Every one takes any bytes at all.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace moravel::lx {

// One logical processor's "key : value" lines of /proc/cpuinfo.
using CpuBlock = std::map<std::string, std::string>;
std::vector<CpuBlock> cpuinfoBlocks(const std::string& text);
// "Intel64 Family 6 Model 60 Stepping 3" and CPUID leaf 1 as "%08X%08X" (EDX, EAX).
std::optional<std::string> cpuDescription(const CpuBlock& cpu);
std::optional<std::string> cpuProcessorId(const CpuBlock& cpu);

// The number of a "Key:   123 kB" line of /proc/meminfo.
std::optional<std::uint64_t> meminfoValue(const std::string& text, const char* key);
// A KEY=value of os-release, unquoted; nothing when missing or empty.
std::optional<std::string> osReleaseValue(const std::string& text, const std::string& key);
// The highest ending address (KiB) of the SMBIOS table's type 19 structures.
std::optional<std::uint64_t> smbiosEndingKib(const std::string& table);
// The sizes of a udev data file's MEMORY_DEVICE_<n>_SIZE lines added up, in bytes.
std::optional<std::uint64_t> udevMemoryBytes(const std::string& data);
// DMI's "MM/DD/YYYY" as a CIM date.
std::optional<std::string> cimReleaseDate(const std::string& dmiDate);
// The refresh rates of an EDID: of its preferred timing, and the highest of its range limits.
std::optional<std::uint64_t> edidCurrentRefresh(const std::string& edid);
std::optional<std::uint64_t> edidMaxRefresh(const std::string& edid);
// An "E:KEY=value" of a udev data file (/run/udev/data/b8:0), its \x escapes resolved.
std::optional<std::string> udevValue(const std::string& data, const std::string& key);

}  // namespace moravel::lx
