// Facts more than one class reads.
#include "providers/linux/parsers/meminfo.h"
#include "providers/linux/system/linux_classes.h"

namespace moravel::lx {

std::optional<std::string> dmiField(const RootFs& fs, const char* name) {
    return fs.lineOnce(std::string("/sys/class/dmi/id/") + name);  // the firmware's table: fixed
}

std::optional<std::uint64_t> meminfoKib(const RootFs& fs, const char* key) {
    std::optional<std::string> text = fs.read("/proc/meminfo");
    return text ? meminfoValue(*text, key) : std::nullopt;
}

std::optional<std::string> hostName(const RootFs& fs) { return fs.line("/proc/sys/kernel/hostname"); }

}  // namespace moravel::lx
