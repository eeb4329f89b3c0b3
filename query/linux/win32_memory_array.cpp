// Win32_MemoryArray: the physical address range of memory, in KiB. SMBIOS type 19 (Memory
// Array Mapped Address) when the table is readable (root), else the firmware's memory map.
#include <algorithm>

#include "query/linux/linux_classes.h"
#include "query/linux/smbios.h"

namespace moravel::lx {
namespace {

// The end of the highest "System RAM" range of /sys/firmware/memmap, in KiB.
std::optional<std::uint64_t> memmapEndingKib(const RootFs& fs) {
    std::optional<std::uint64_t> ending;
    for (const std::string& entry : fs.list("/sys/firmware/memmap")) {
        std::string dir = "/sys/firmware/memmap/" + entry;
        if (fs.line(dir + "/type") != std::optional<std::string>("System RAM")) continue;
        if (std::optional<std::uint64_t> end = fs.number(dir + "/end")) ending = std::max(ending.value_or(0), *end / 1024);
    }
    return ending;
}

}  // namespace

ObjectList readMemoryArrays(const LinuxContext& context) {
    ObjectList objects;
    std::optional<std::string> table = context.fs.read("/sys/firmware/dmi/tables/DMI");
    std::optional<std::uint64_t> ending = table ? smbiosEndingKib(*table) : std::nullopt;
    if (!ending) ending = memmapEndingKib(context.fs);
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
