// Win32_MemoryArray: the physical address range of memory, in KiB. SMBIOS type 19 (Memory
// Array Mapped Address) when the table is readable (root), else the firmware's memory map.
#include <algorithm>
#include <cstring>

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
