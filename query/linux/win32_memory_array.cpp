// Win32_MemoryArray: the physical address range of memory, in KiB. SMBIOS type 19 (Memory
// Array Mapped Address) when the table is readable (root). Without it the range ends where the
// installed memory would: the modules udev read from that table at boot, else the firmware's
// "System RAM" ranges added up. Never the top of the memory map: memory remapped above the PCI
// hole would count the hole as memory (24 GiB shown as 25).
#include <algorithm>
#include <cstring>
#include <sstream>

#include "query/linux/content_parsers.h"
#include "query/linux/linux_classes.h"

namespace moravel::lx {
namespace {

std::uint64_t little(const std::string& data, std::size_t at, std::size_t bytes) {
    std::uint64_t value = 0;
    for (std::size_t i = bytes; i-- > 0;) value = value << 8 | static_cast<unsigned char>(data[at + i]);
    return value;
}

}  // namespace

// The highest ending address (KiB, inclusive) over the type 19 structures of the SMBIOS table.
std::optional<std::uint64_t> smbiosEndingKib(const std::string& t) {
    std::optional<std::uint64_t> ending;
    for (std::size_t at = 0; at + 4 <= t.size();) {
        unsigned type = static_cast<unsigned char>(t[at]);
        std::size_t length = static_cast<unsigned char>(t[at + 1]);
        if (length < 4 || at + length > t.size() || type == 127) break;
        if (type == 19 && length >= 0x0F) {
            std::uint64_t end = little(t, at + 8, 4);
            if (little(t, at + 4, 4) == 0xFFFFFFFFu && length >= 0x1F) end = little(t, at + 0x17, 8) / 1024;
            ending = std::max(ending.value_or(0), end);
        }
        // The formatted area is followed by its strings, ended by two NULs.
        std::size_t strings = t.find(std::string(2, '\0'), at + length);
        if (strings == std::string::npos) break;
        at = strings + 2;
    }
    return ending;
}

// The bytes of the memory modules systemd's udev rule recorded for the DMI device
// (MEMORY_DEVICE_<n>_SIZE); empty slots have no size.
std::optional<std::uint64_t> udevMemoryBytes(const std::string& data) {
    std::optional<std::uint64_t> total;
    std::istringstream lines(data);
    for (std::string line; std::getline(lines, line);) {
        const std::string prefix = "E:MEMORY_DEVICE_";
        std::size_t equals = line.find('=');
        if (line.compare(0, prefix.size(), prefix) != 0 || equals == std::string::npos || equals < 5 ||
            line.compare(equals - 5, 5, "_SIZE") != 0)
            continue;
        if (std::optional<std::uint64_t> bytes = parseNumber(line.substr(equals + 1)))
            total = total.value_or(0) + std::min<std::uint64_t>(*bytes, std::uint64_t{1} << 50);  // no sum overflows
    }
    return total;
}

namespace {

constexpr std::uint64_t kRamGranule = std::uint64_t{256} << 20;
constexpr std::uint64_t kMaxRange = std::uint64_t{1} << 52;  // no sum of the ranges overflows

// The "System RAM" ranges of /sys/firmware/memmap added up and rounded up to 256 MiB: the
// firmware keeps a few megabytes below 1 MiB and around the PCI hole for itself.
std::optional<std::uint64_t> memmapBytes(const RootFs& fs) {
    std::optional<std::uint64_t> total;
    for (const std::string& entry : fs.list("/sys/firmware/memmap")) {
        std::string dir = "/sys/firmware/memmap/" + entry;
        if (fs.line(dir + "/type") != std::optional<std::string>("System RAM")) continue;
        std::optional<std::uint64_t> start = fs.number(dir + "/start"), end = fs.number(dir + "/end");
        if (start && end && *end >= *start) total = total.value_or(0) + std::min(*end - *start, kMaxRange) + 1;
    }
    if (!total) return std::nullopt;
    return (*total + kRamGranule - 1) / kRamGranule * kRamGranule;
}

// The last KiB of `bytes` of memory counted from address 0, as type 19 gives it.
std::optional<std::uint64_t> endingKib(const std::optional<std::uint64_t>& bytes) {
    if (!bytes || *bytes < 1024) return std::nullopt;
    return *bytes / 1024 - 1;
}

std::optional<std::uint64_t> installedEndingKib(const RootFs& fs) {
    std::optional<std::string> table = fs.read("/sys/firmware/dmi/tables/DMI");
    if (std::optional<std::uint64_t> ending = table ? smbiosEndingKib(*table) : std::nullopt) return ending;
    std::optional<std::string> udev = fs.read("/run/udev/data/+dmi:id");
    if (std::optional<std::uint64_t> modules = endingKib(udev ? udevMemoryBytes(*udev) : std::nullopt)) return modules;
    return endingKib(memmapBytes(fs));
}

}  // namespace

ObjectList readMemoryArrays(const LinuxContext& context) {
    ObjectList objects;
    std::optional<std::uint64_t> ending = installedEndingKib(context.fs);
    if (!ending) return objects;
    auto object = std::make_unique<LinuxObject>();
    std::uint64_t end = *ending;
    object->add("EndingAddress", [end] { return uint64OrNull(end); })
        .add("StartingAddress", [] { return WmiValue::string("0"); })
        .add("Caption", [] { return WmiValue::string("Memory Array"); })
        .addNull("ErrorInfo");
    objects.push_back(std::move(object));
    return objects;
}

}  // namespace moravel::lx
