#include "providers/linux/system/host_facts.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <ifaddrs.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <algorithm>
#include <bitset>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "io/fd.h"
#include "providers/linux/parsers/accounts.h"
#include "providers/linux/system/cups_printers.h"
#include "providers/linux/system/disk_commands.h"
#include "providers/linux/system/udisks.h"

namespace moravel::lx {
namespace {

std::string addressText(const sockaddr* address) {
    char text[INET6_ADDRSTRLEN] = "";
    if (address->sa_family == AF_INET)
        ::inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(address)->sin_addr, text, sizeof text);
    else
        ::inet_ntop(AF_INET6, &reinterpret_cast<const sockaddr_in6*>(address)->sin6_addr, text, sizeof text);
    return text;
}

// An IPv6 mask as its prefix length, as Windows lists it among the subnets.
std::string prefixLength(const sockaddr* mask) {
    const auto* bytes = reinterpret_cast<const sockaddr_in6*>(mask)->sin6_addr.s6_addr;
    std::size_t bits = 0;
    for (int i = 0; i < 16; ++i) bits += std::bitset<8>(bytes[i]).count();
    return std::to_string(bits);
}

std::vector<InterfaceAddress> readInterfaceAddresses() {
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0) return {};
    std::unique_ptr<ifaddrs, void (*)(ifaddrs*)> owner(list, ::freeifaddrs);
    std::vector<InterfaceAddress> addresses;
    for (const ifaddrs* entry = list; entry; entry = entry->ifa_next) {
        if (!entry->ifa_addr || !entry->ifa_netmask) continue;
        int family = entry->ifa_addr->sa_family;
        if (family != AF_INET && family != AF_INET6) continue;
        std::string mask = family == AF_INET ? addressText(entry->ifa_netmask) : prefixLength(entry->ifa_netmask);
        addresses.push_back({entry->ifa_name, addressText(entry->ifa_addr), mask});
    }
    std::stable_partition(addresses.begin(), addresses.end(),
                          [](const InterfaceAddress& a) { return a.address.find(':') == std::string::npos; });
    return addresses;
}

class SystemHostFacts : public HostFacts {
public:
    std::string machine() const override { return machine_; }

    // A local account straight from /etc/passwd, one read where the name service costs about
    // twenty system calls; any other (a directory's user) through the name service.
    std::optional<std::string> userFullName() const override {
        const std::uint64_t uid = ::getuid();
        if (std::optional<std::string> text = RootFs("/").read("/etc/passwd"))
            for (const AccountEntry& entry : passwdEntries(*text))
                if (entry.id == uid) return entry.fullName.empty() ? entry.name : entry.fullName;
        long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
        std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
        passwd entry;
        passwd* found = nullptr;
        if (::getpwuid_r(static_cast<uid_t>(uid), &entry, buffer.data(), buffer.size(), &found) != 0 || !found)
            return std::nullopt;
        // The GECOS field: full name, then room, phones and others after commas.
        std::string gecos = found->pw_gecos ? found->pw_gecos : "";
        std::string name = trim(gecos.substr(0, gecos.find(',')));
        if (name.empty()) name = found->pw_name;
        return name;
    }

    std::optional<std::uint64_t> freeBytes(const std::string& mountPoint) const override {
        return fileSystemBytes(mountPoint, &statvfs::f_bavail);
    }

    std::optional<std::uint64_t> sizeBytes(const std::string& mountPoint) const override {
        return fileSystemBytes(mountPoint, &statvfs::f_blocks);
    }

    int utcOffsetMinutes(std::time_t when) const override {
        std::tm local{};
        if (!::localtime_r(&when, &local)) return 0;
        return static_cast<int>(local.tm_gmtoff / 60);
    }

    std::vector<PrinterInfo> printers() const override { return readCupsPrinters(scheduler_); }

    std::vector<InterfaceAddress> interfaceAddresses() const override { return readInterfaceAddresses(); }

    std::optional<std::time_t> birthTime(const std::string& path) const override {
        struct statx info {};
        if (::statx(AT_FDCWD, path.c_str(), 0, STATX_BTIME, &info) != 0 || !(info.stx_mask & STATX_BTIME) ||
            info.stx_btime.tv_sec <= 0)
            return std::nullopt;  // a file system that keeps no birth time may answer 0
        return static_cast<std::time_t>(info.stx_btime.tv_sec);
    }

    std::optional<std::time_t> modifiedTime(const std::string& path) const override {
        struct stat info;
        if (::stat(path.c_str(), &info) != 0) return std::nullopt;
        return info.st_mtime;
    }

    // Through the folder opened once: the kernel walks the folder's path once, not per file.
    std::vector<std::optional<std::time_t>> modifiedTimes(const std::string& folder,
                                                          const std::vector<std::string>& names) const override {
        std::vector<std::optional<std::time_t>> times(names.size());
        FdCloser directory{::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
        struct stat info;
        for (std::size_t i = 0; directory.fd >= 0 && i < names.size(); ++i)
            if (::fstatat(directory.fd, names[i].c_str(), &info, 0) == 0) times[i] = info.st_mtime;
        return times;
    }

    // CPUID answers the same for the process's life, and in a guest every use of it is a trip to
    // the hypervisor: asked once.
    std::optional<std::string> cpuidHypervisorVendor() const override {
        static const std::optional<std::string> vendor = readCpuidHypervisorVendor();
        return vendor;
    }

    std::optional<CpuidLeaf> cpuidLeafOne() const override {
        static const std::optional<CpuidLeaf> leaf = readCpuidLeafOne();
        return leaf;
    }

    DiskAnswer nvmeHealthLog(const std::string& controller) const override {
        return askedOnce(controller, askNvmeHealthLog);
    }
    DiskAnswer ataSmartData(const std::string& disk) const override { return askedOnce(disk, askAtaSmartData); }
    DiskAnswer udisksHealth(const std::string& disk) const override {
        static const std::map<std::string, DiskAnswer> drives = askUdisksHealth();
        auto it = drives.find("/dev/" + disk);
        return it == drives.end() ? DiskAnswer() : it->second;
    }

private:
    // Each disk is asked once per process: the inventory's classes read the same answers.
    DiskAnswer askedOnce(const std::string& device, DiskAnswer (*ask)(const std::string&)) const {
        std::lock_guard<std::mutex> hold(answersLock_);
        auto it = answers_.find(device);
        if (it == answers_.end()) it = answers_.emplace(device, ask(device)).first;
        return it->second;
    }

    // The file system's blocks of one kind (free to users, all), in bytes.
    static std::optional<std::uint64_t> fileSystemBytes(const std::string& mountPoint, fsblkcnt_t statvfs::*blocks) {
        struct statvfs info;
        if (::statvfs(mountPoint.c_str(), &info) != 0) return std::nullopt;
        return static_cast<std::uint64_t>(info.*blocks) * info.f_frsize;
    }

    static std::string unameMachine() {
        utsname names;
        return ::uname(&names) == 0 ? std::string(names.machine) : std::string();
    }

    const std::string machine_ = unameMachine();  // the kernel's architecture cannot change
    mutable std::mutex answersLock_;
    mutable std::map<std::string, DiskAnswer> answers_;
    mutable PrintScheduler scheduler_;  // one budget for the machine's printers
};

}  // namespace

std::unique_ptr<HostFacts> makeSystemHostFacts() { return std::make_unique<SystemHostFacts>(); }

}  // namespace moravel::lx
