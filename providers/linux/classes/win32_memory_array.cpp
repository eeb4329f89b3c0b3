// Win32_MemoryArray: the physical address range of memory, in KiB. SMBIOS type 19 (Memory
// Array Mapped Address) when the table is readable (root). Without it the range ends where the
// installed memory would: the modules udev read from that table at boot, else the firmware's
// "System RAM" ranges added up. Never the top of the memory map: memory remapped above the PCI
// hole would count the hole as memory (24 GiB shown as 25).
#include <algorithm>

#include "providers/linux/parsers/smbios.h"
#include "providers/linux/classes/readers.h"

namespace moravel::lx {
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

std::optional<std::uint64_t> installedEndingKib(const LinuxContext& context) {
    std::optional<std::string> table = context.fs.read("/sys/firmware/dmi/tables/DMI");
    if (std::optional<std::uint64_t> ending = table ? smbiosEndingKib(*table) : std::nullopt) return ending;
    if (std::optional<std::uint64_t> modules = endingKib(udevMemoryBytes(context.udev.record("+dmi:id")))) return modules;
    return endingKib(memmapBytes(context.fs));
}

}  // namespace

ObjectList readMemoryArrays(const LinuxContext& context) {
    ObjectList objects;
    std::optional<std::uint64_t> ending = installedEndingKib(context);
    if (!ending) return objects;
    std::uint64_t end = *ending;
    newObject(objects)
        .add("EndingAddress", [end] { return uint64OrNull(end); })
        .add("StartingAddress", [] { return WmiValue::string("0"); })
        .add("Caption", [] { return WmiValue::string("Memory Array"); })
        .addNull("ErrorInfo");
    return objects;
}

}  // namespace moravel::lx
