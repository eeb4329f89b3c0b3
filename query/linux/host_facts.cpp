#include "query/linux/host_facts.h"

#include <pwd.h>
#include <sys/statvfs.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <vector>

namespace moravel::lx {
namespace {

class SystemHostFacts : public HostFacts {
public:
    std::string machine() const override {
        utsname names;
        return ::uname(&names) == 0 ? names.machine : "";
    }

    std::optional<std::string> userFullName() const override {
        long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
        std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
        passwd entry;
        passwd* found = nullptr;
        if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found)
            return std::nullopt;
        // The GECOS field: full name, then room, phones and others after commas.
        std::string gecos = found->pw_gecos ? found->pw_gecos : "";
        std::string name = trim(gecos.substr(0, gecos.find(',')));
        if (name.empty()) name = found->pw_name;
        return name;
    }

    std::optional<std::uint64_t> freeBytes(const std::string& mountPoint) const override {
        struct statvfs info;
        if (::statvfs(mountPoint.c_str(), &info) != 0) return std::nullopt;
        return static_cast<std::uint64_t>(info.f_bavail) * info.f_frsize;
    }

    std::optional<std::uint64_t> sizeBytes(const std::string& mountPoint) const override {
        struct statvfs info;
        if (::statvfs(mountPoint.c_str(), &info) != 0) return std::nullopt;
        return static_cast<std::uint64_t>(info.f_blocks) * info.f_frsize;
    }

    int utcOffsetMinutes(std::time_t when) const override {
        std::tm local{};
        if (!::localtime_r(&when, &local)) return 0;
        return static_cast<int>(local.tm_gmtoff / 60);
    }

    std::vector<PrinterInfo> printers() const override { return readCupsPrinters(); }

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
};

}  // namespace

std::unique_ptr<HostFacts> makeSystemHostFacts() { return std::make_unique<SystemHostFacts>(); }

std::optional<std::uint64_t> printerStatusOf(int ippState) {
    switch (ippState) {
    case 3: return 3;  // idle
    case 4: return 4;  // processing: printing
    case 5: return 7;  // stopped: offline
    default: return std::nullopt;
    }
}

}  // namespace moravel::lx
