// Win32_ComputerSystem: one object, the machine itself.
#include <algorithm>
#include <sstream>
#include <vector>

#include "providers/linux/classes/readers.h"
#include "providers/linux/parsers/login_records.h"
#include "providers/linux/system/machine_identity.h"

namespace moravel::lx {
namespace {

const char* const kWorkgroup = "WORKGROUP";  // Windows' name for a machine in no domain

std::string systemType(const std::string& machine) {
    if (machine == "x86_64") return "x64-based PC";
    if (machine.size() == 4 && machine[0] == 'i' && machine.compare(2, 2, "86") == 0) return "X86-based PC";
    if (machine == "aarch64" || machine == "arm64") return "ARM64-based PC";
    if (machine.compare(0, 3, "arm") == 0) return "ARM-based PC";
    return machine + "-based PC";
}

// The text after the first dot of a fully qualified name.
std::optional<std::string> domainOf(const std::string& name) {
    std::size_t dot = name.find('.');
    if (dot == std::string::npos || dot + 1 >= name.size()) return std::nullopt;
    return name.substr(dot + 1);
}

// The host's full name in /etc/hosts: a dotted name on the line that lists the host name.
std::optional<std::string> domainFromHosts(const RootFs& fs, const std::string& host) {
    std::optional<std::string> hosts = fs.read("/etc/hosts");
    if (!hosts) return std::nullopt;
    std::istringstream lines(*hosts);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line.substr(0, line.find('#')));
        std::string address;
        std::vector<std::string> names;
        words >> address;
        for (std::string name; words >> name;) names.push_back(name);
        if (std::find(names.begin(), names.end(), host) == names.end()) continue;
        for (const std::string& name : names) {
            if (std::optional<std::string> d = domainOf(name)) return d;
        }
    }
    return std::nullopt;
}

std::optional<std::string> domainFromResolver(const RootFs& fs) {
    std::optional<std::string> conf = fs.read("/etc/resolv.conf");
    if (!conf) return std::nullopt;
    std::istringstream lines(*conf);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        std::string key, value;
        if (words >> key >> value && key == "domain" && value != ".") return value;
    }
    return std::nullopt;
}

// Windows names the DNS domain, else the workgroup. Only local files are read: a DNS
// look-up could stall start-up for seconds on a machine without network.
std::string domain(const RootFs& fs) {
    std::optional<std::string> host = hostName(fs);
    if (host) {
        if (std::optional<std::string> d = domainOf(*host)) return *d;
        if (std::optional<std::string> d = domainFromHosts(fs, *host)) return *d;
    }
    if (std::optional<std::string> d = domainFromResolver(fs)) return *d;
    std::optional<std::string> nis = fs.line("/proc/sys/kernel/domainname");
    if (nis && *nis != "(none)") return *nis;
    return kWorkgroup;
}

}  // namespace

ObjectList readComputerSystems(const LinuxContext& context) {
    const LinuxContext* c = &context;
    ObjectList objects;
    newObject(objects)
        .add("Name", [c] { return stringOrNull(hostName(c->fs)); })
        .add("Caption", [c] { return stringOrNull(hostName(c->fs)); })
        .add("DNSHostName", [c] { return stringOrNull(hostName(c->fs)); })
        .add("SystemType", [c] { return WmiValue::string(systemType(c->host.machine())); })
        .add("Model", [c] { return stringOrNull(dmiOr(*c, "product_name", &MachineIdentity::model)); })
        .add("Manufacturer", [c] { return stringOrNull(dmiOr(*c, "sys_vendor", &MachineIdentity::maker)); })
        .add("TotalPhysicalMemory",
             [c] {
                 std::optional<std::uint64_t> kib = meminfoKib(c->fs, "MemTotal");
                 return uint64OrNull(kib ? std::optional<std::uint64_t>(*kib * 1024) : std::nullopt);
             })
        .add("Domain", [c] { return WmiValue::string(domain(c->fs)); })
        .add("PartOfDomain", [c] { return WmiValue::boolean(domain(c->fs) != kWorkgroup); })
        .add("PrimaryOwnerName", [c] { return stringOrNull(c->host.userFullName()); })
        // Windows names the user at the console; the newest login is Linux's nearest answer.
        .add("UserName", [c] { return stringOrNull(lastLoginUser(c->fs.read("/var/log/wtmp").value_or(""))); })
        .add("Workgroup",
             [c] { return domain(c->fs) == kWorkgroup ? WmiValue::string(kWorkgroup) : WmiValue::null(); });
    return objects;
}

}  // namespace moravel::lx
