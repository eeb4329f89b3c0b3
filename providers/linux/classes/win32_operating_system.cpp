// Win32_OperatingSystem: the distribution, the kernel and the boot time.
#include <sstream>

#include "providers/linux/parsers/os_release.h"
#include "providers/linux/classes/readers.h"

namespace moravel::lx {
namespace {

std::optional<std::string> osRelease(const RootFs& fs) {
    std::optional<std::string> text = fs.read("/etc/os-release");
    return text ? text : fs.read("/usr/lib/os-release");
}

std::optional<std::string> osReleaseField(const RootFs& fs, const std::string& key) {
    std::optional<std::string> text = osRelease(fs);
    return text ? osReleaseValue(*text, key) : std::nullopt;
}

// Where Windows has its build, the distribution's release: "12.11", "22.04".
std::optional<std::string> release(const RootFs& fs) {
    return distributionRelease(osRelease(fs).value_or(""), fs.read("/etc/debian_version", 4096).value_or(""));
}

std::optional<std::string> caption(const RootFs& fs) {
    if (std::optional<std::string> pretty = osReleaseField(fs, "PRETTY_NAME")) return pretty;
    return osReleaseField(fs, "NAME");
}

std::optional<std::string> architecture(const std::string& machine) {
    if (machine.empty()) return std::nullopt;
    bool wide = machine.find("64") != std::string::npos || machine == "s390x";
    return std::string(wide ? "64-bit" : "32-bit");
}

std::optional<std::string> lastBootUpTime(const LinuxContext& context) {
    std::optional<std::string> stat = context.fs.read("/proc/stat");
    if (!stat) return std::nullopt;
    std::istringstream lines(*stat);
    for (std::string line; std::getline(lines, line);) {
        if (line.compare(0, 6, "btime ") != 0) continue;
        std::optional<std::uint64_t> seconds = parseNumber(line.substr(6));
        if (seconds) return cimDateTime(context.host, static_cast<std::time_t>(*seconds));
    }
    return std::nullopt;
}

}  // namespace

constexpr std::int64_t kOsTypeLinux = 36;  // CIM_OperatingSystem OSType

ObjectList readOperatingSystems(const LinuxContext& context) {
    const LinuxContext* c = &context;
    ObjectList objects;
    newObject(objects)
        .add("Caption", [c] { return stringOrNull(caption(c->fs)); })
        .add("Name", [c] { return stringOrNull(caption(c->fs)); })
        .add("OSArchitecture", [c] { return stringOrNull(architecture(c->host.machine())); })
        .add("SerialNumber", [c] { return stringOrNull(machineId(c->fs)); })
        .add("Version", [c] { return stringOrNull(c->fs.line("/proc/sys/kernel/osrelease")); })
        .addNull("CSDVersion")  // Linux has no service packs
        .add("LastBootUpTime", [c] { return stringOrNull(lastBootUpTime(*c)); })
        .add("CSName", [c] { return stringOrNull(hostName(c->fs)); })
        .add("Manufacturer", [c] { return stringOrNull(osReleaseField(c->fs, "NAME")); })
        .add("BuildNumber", [c] { return stringOrNull(release(c->fs)); })
        .add("OSType", [] { return WmiValue::i4(kOsTypeLinux); })
        .add("InstallDate",
             [c] {
                 // The root file system was made when the system was installed.
                 std::optional<std::time_t> made = c->host.birthTime(c->fs.path("/"));
                 return made ? WmiValue::string(cimDateTime(c->host, *made)) : WmiValue::null();
             })
        .add("CurrentTimeZone", [c] {
            return WmiValue::integerOf(vt::I2,
                                       c->host.utcOffsetMinutes(std::time(nullptr)));  // sint16, as WMI types it
        });
    return objects;
}

}  // namespace moravel::lx
