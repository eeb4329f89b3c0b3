// Facts more than one class reads.
#include "providers/linux/parsers/meminfo.h"
#include "providers/linux/system/linux_classes.h"

namespace moravel::lx {

// The firmware's table is fixed, and a machine without one (containers, most ARM boards) has no
// folder for it: one look at that spares a failed open for every field.
const char* const kDmi = "/sys/class/dmi/id/";

std::optional<std::string> dmiField(const RootFs& fs, const char* name) {
    return fs.existsOnce(kDmi) ? fs.lineOnce(kDmi + std::string(name)) : std::nullopt;
}

bool hasDmiField(const RootFs& fs, const char* name) {
    return fs.existsOnce(kDmi) && fs.existsOnce(kDmi + std::string(name));
}

std::optional<std::uint64_t> meminfoKib(const RootFs& fs, const char* key) {
    std::optional<std::string> text = fs.read("/proc/meminfo");
    return text ? meminfoValue(*text, key) : std::nullopt;
}

std::optional<std::string> hostName(const RootFs& fs) { return fs.line("/proc/sys/kernel/hostname"); }

std::optional<std::string> machineId(const RootFs& fs) {
    for (const char* file : {"/etc/machine-id", "/var/lib/dbus/machine-id"})
        if (std::optional<std::string> id = fs.line(file)) return id;
    return std::nullopt;
}

}  // namespace moravel::lx
