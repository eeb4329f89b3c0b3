// Smoke tests on the live machine: the provider's values against the standard tools. What the
// machine lacks (DMI in a VM or container, a GPU, a battery) is not checked here.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <tuple>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

#include "providers/backends.h"
#include "providers/linux/system/network_interfaces.h"
#include "providers/linux/system/root_fs.h"
#include "query/backend.h"
#include "query/wmi_query.h"
#include "sections/collector.h"
#include "sections/sections.h"

namespace moravel {
namespace {

struct PipeCloser {
    void operator()(FILE* f) const { ::pclose(f); }
};

// The standard output of a shell command; empty when it cannot run.
std::string run(const std::string& command) {
    std::unique_ptr<FILE, PipeCloser> pipe(::popen((command + " 2>/dev/null").c_str(), "r"));
    if (!pipe) return {};
    std::string out;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe.get())) > 0;) out.append(buffer, n);
    return out;
}

std::string firstLine(const std::string& text) { return lx::trim(text.substr(0, text.find('\n'))); }

// The value after "Key:" in lscpu's output.
std::string lscpuField(const std::string& key) {
    return firstLine(run("lscpu | sed -n 's/^" + key + ":[[:space:]]*//p'"));
}

class SmokeLive : public ::testing::Test {
protected:
    std::string text(const char* className, const char* property, int index = 0) {
        return queryWmiText(context_, index, selectAllFrom(className), property);
    }

    Backend backend_{makePlatformBackend()};
    QueryContext context_ = backend_.context();
};

TEST_F(SmokeLive, ProcessorNameAndCountsMatchLscpuAndNproc) {
    std::string name = lscpuField("Model name");
    if (name.empty()) GTEST_SKIP() << "lscpu is not available";
    EXPECT_EQ(text("Win32_Processor", "Name"), name);
    EXPECT_EQ(text("Win32_Processor", "NumberOfCores"), lscpuField("Core.s. per socket"));
    long logical = 0;
    for (int i = 0; !text("Win32_Processor", "NumberOfLogicalProcessors", i).empty(); ++i)
        logical += std::stol(text("Win32_Processor", "NumberOfLogicalProcessors", i));
    EXPECT_EQ(std::to_string(logical), firstLine(run("nproc --all")));
    EXPECT_EQ(text("Win32_Processor", "Manufacturer"), lscpuField("Vendor ID"));
}

TEST_F(SmokeLive, ComputerNameIsTheHostNameAsHostnamePrintsIt) {
    const std::string host = firstLine(run("hostname"));
    if (host.empty()) GTEST_SKIP() << "hostname is not available";
    EXPECT_EQ(text("Win32_ComputerSystem", "Name"), host);
}

#if defined(__x86_64__) || defined(__i386__)
TEST_F(SmokeLive, ProcessorIdIsCpuidLeafOne) {
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    ASSERT_TRUE(__get_cpuid(1, &eax, &ebx, &ecx, &edx));
    char expected[20];
    std::snprintf(expected, sizeof expected, "%08X%08X", edx, eax & 0x0FFF3FFF);  // no reserved bits
    EXPECT_EQ(text("Win32_Processor", "ProcessorId"), expected);
}
#endif

TEST_F(SmokeLive, MemoryMatchesMeminfo) {
    std::string kib = firstLine(run("awk '/^MemTotal:/ {print $2}' /proc/meminfo"));
    ASSERT_FALSE(kib.empty());
    EXPECT_EQ(text("Win32_ComputerSystem", "TotalPhysicalMemory"), std::to_string(std::stoull(kib) * 1024));
    MemoryTexts memory = readMemoryStatus(backend_.probes.get());
    long availableMb = std::stol(memory.available);
    long expectedMb = std::stol(firstLine(run("awk '/^MemAvailable:/ {print int($2/1024)}' /proc/meminfo")));
    // free memory moves while the test runs
    EXPECT_NEAR(static_cast<double>(availableMb), static_cast<double>(expectedMb), 64);
}

TEST_F(SmokeLive, MacAddressesMatchIpLink) {
    std::string listing = run("ip -o link | grep -o 'link/ether [0-9a-f:]*' | cut -d' ' -f2 | tr a-f A-F");
    if (listing.empty()) GTEST_SKIP() << "no Ethernet link, or no ip command";
    std::set<std::string> expected;
    std::istringstream lines(listing);
    for (std::string mac; lines >> mac;)
        if (mac != "00:00:00:00:00:00") expected.insert(mac);
    std::set<std::string> found;
    for (int i = 0; i < 64; ++i) {
        std::string mac = text("Win32_NetworkAdapterConfiguration", "MACAddress", i);
        if (mac.empty()) break;
        if (mac != "Null") found.insert(mac);
    }
    EXPECT_EQ(found, expected);
    std::string last = readAdapterAddress(backend_.probes.get());
    std::replace(last.begin(), last.end(), '-', ':');
    EXPECT_EQ(expected.count(last), 1u) << last;
}

// The live system's interfaces come from the kernel's link table; the files say the same.
TEST(SmokeLiveNetwork, LinkTableAgreesWithSysClassNet) {
    lx::RootFs fs("/");
    std::optional<std::vector<lx::NetworkInterface>> fromKernel = lx::interfacesFromKernel(fs);
    ASSERT_TRUE(fromKernel) << "rtnetlink refused the dump";
    auto key = [](const lx::NetworkInterface& i) {
        return std::make_tuple(i.index, i.name, i.type, i.physical, i.hardwareAddress);
    };
    std::set<decltype(key(*fromKernel->begin()))> kernel, files;
    for (const lx::NetworkInterface& i : *fromKernel) kernel.insert(key(i));
    for (const lx::NetworkInterface& i : lx::interfacesFromFiles(fs)) files.insert(key(i));
    EXPECT_FALSE(kernel.empty());
    EXPECT_EQ(kernel, files);
}

TEST_F(SmokeLive, RootFileSystemAndFreeSpaceMatchDf) {
    std::string avail = firstLine(run("df -B1 --output=avail / | tail -n 1"));
    ASSERT_FALSE(avail.empty());
    int root = -1;
    for (int i = 0; i < 64 && root < 0; ++i) {
        std::string id = text("Win32_LogicalDisk", "DeviceID", i);
        if (id.empty()) break;
        if (id == "/") root = i;
    }
    ASSERT_GE(root, 0) << "no logical disk for /";
    EXPECT_EQ(text("Win32_LogicalDisk", "DriveType", root), "3");
    double free = std::stod(text("Win32_LogicalDisk", "FreeSpace", root));
    EXPECT_NEAR(free, std::stod(avail), 256.0 * 1024 * 1024);  // other programs write meanwhile
}

// Installed memory in whole gigabytes as lsmem counts the memory blocks the kernel has online.
TEST_F(SmokeLive, InstalledMemoryMatchesLsmem) {
    std::string bytes = firstLine(run("lsmem -b --summary=only | sed -n 's/^Total online memory:[[:space:]]*//p'"));
    if (bytes.empty()) GTEST_SKIP() << "no lsmem, or no memory blocks in sysfs";
    std::string kib = text("Win32_MemoryArray", "EndingAddress");
    ASSERT_FALSE(kib.empty());
    EXPECT_EQ(std::llround(std::stod(kib) / (1 << 20)), std::llround(std::stod(bytes) / (1 << 30))) << kib;
}

// Whatever their interface, the machine's disks are shown: the Drives group names one of the
// whole disks lsblk lists, with its size.
TEST_F(SmokeLive, DrivesGroupShowsADiskLsblkLists) {
    std::istringstream listing(run("lsblk -d -b -n -o TYPE,SIZE,NAME | awk '$1 == \"disk\" && $2 > 0 && "
                                   "$3 !~ /^(loop|zram|ram|sr|fd|nbd|md|dm-)/ {print int($2 / 2^30 + 0.5)}'"));
    std::set<std::string> sizes;
    for (std::string gigabytes; listing >> gigabytes;) sizes.insert(gigabytes + " GB");
    if (sizes.empty()) GTEST_SKIP() << "no whole disk, or no lsblk";
    ReportCollector report;
    drivesGroup(context_, report);
    ASSERT_EQ(report.groups.size(), 1u);
    const std::vector<FieldRecord>& fields = report.groups[0].fields;
    EXPECT_NE(fields[0].text, "None");
    EXPECT_EQ(sizes.count(fields[2].text.substr(0, fields[2].text.find("   FreeSpace: "))), 1u) << fields[2].text;
}

TEST_F(SmokeLive, CaptionIsThePrettyNameOfOsRelease) {
    std::string pretty = firstLine(run(". /etc/os-release && printf '%s\\n' \"$PRETTY_NAME\""));
    if (pretty.empty()) GTEST_SKIP() << "no /etc/os-release";
    EXPECT_EQ(text("Win32_OperatingSystem", "Caption"), pretty);
    EXPECT_EQ(text("Win32_OperatingSystem", "Version"), firstLine(run("uname -r")));
}

TEST_F(SmokeLive, AdapterNamesMatchLspci) {
    std::string slot =
        firstLine(run("for n in /sys/class/net/*; do [ -e $n/device ] && basename $(readlink -f $n/device/..); done "
                      "| grep -E '^[0-9a-f]{4}:' | head -n 1"));
    std::string device = firstLine(run("lspci -vmm -s " + slot + " | sed -n 's/^Device:[[:space:]]*//p'"));
    if (slot.empty() || device.empty()) GTEST_SKIP() << "no PCI network adapter, or no lspci";
    std::string vendor = firstLine(run("lspci -vmm -s " + slot + " | sed -n 's/^Vendor:[[:space:]]*//p'"));
    EXPECT_EQ(text("Win32_NetworkAdapter", "Name"), device);
    EXPECT_EQ(text("Win32_NetworkAdapter", "Manufacturer"), vendor);
}

}  // namespace
}  // namespace moravel
