// One reader per WMI class: each lists the class's objects on this machine, in a stable order,
// with properties that are computed only when asked for. The provider finds a class's reader by
// the class's name in its table (providers/linux/provider_linux.cpp).
#pragma once

#include "providers/linux/system/cim_dates.h"
#include "providers/linux/system/linux_context.h"
#include "providers/linux/system/linux_object.h"

namespace moravel::lx {

using ClassReader = ObjectList (*)(const LinuxContext& context);
// Whether the program may list a class on this machine: the code its query then fails with
// (kAccessDenied, as WMI answers a program that is not elevated), or nothing.
using ClassAccess = std::optional<HResult> (*)(const LinuxContext& context);

// Facts more than one class reads.
// The machine's own batteries in /sys/class/power_supply (not those of mice, whose scope is
// "Device"), in the order Win32_Battery and the ROOT\WMI battery classes share.
std::vector<std::string> systemBatteries(const RootFs& fs);
std::optional<std::string> dmiField(const RootFs& fs, const char* name);     // /sys/class/dmi/id/<name>
bool hasDmiField(const RootFs& fs, const char* name);                        // present, if unreadable
std::optional<std::uint64_t> meminfoKib(const RootFs& fs, const char* key);  // "MemTotal", ...
std::optional<std::string> hostName(const RootFs& fs);
// The installation's id: systemd's file, else D-Bus's older copy of the same id.
std::optional<std::string> machineId(const RootFs& fs);

}  // namespace moravel::lx
