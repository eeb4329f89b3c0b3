// The provider's query handling, value typing and independence between calls; the ids lists.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "query/linux/linux_object.h"
#include "tests/linux/linux_fixture.h"

namespace moravel::lx::test {
namespace {

TEST(LinuxQuery, BadQueriesFailUnknownClassesAndPropertiesAreEmpty) {
    FixtureMachine machine(fixtureRoot("desktop"));
    std::ostringstream diagnostics;
    setDiagnosticStream(diagnostics);
    EXPECT_EQ(queryWmiText(0, "SELECT Name FROM Win32_Processor", "Name"), "");
    EXPECT_EQ(diagnostics.str(), "Query for operating system name failed. Error code = 0x80041017\n");
    diagnostics.str("");
    EXPECT_EQ(machine.text("Win32_Fan", "Name"), "");
    EXPECT_EQ(machine.text("Win32_Processor", "NoSuchProperty"), "");
    EXPECT_EQ(machine.text("Win32_Processor", "SocketDesignation"), "Null");  // exists, no source
    EXPECT_EQ(queryWmiText(0, "select * from win32_processor", "name"), "Intel(R) Core(TM) i3-4130 CPU @ 3.40GHz");
    EXPECT_EQ(diagnostics.str(), "");
    setDiagnosticStream(std::cout);
}

TEST(LinuxQuery, ValuesAreTypedAsWmiTypesThem) {
    FixtureMachine machine(fixtureRoot("desktop"));
    EXPECT_EQ(machine.value("Win32_DiskDrive", "Size").type, vt::Bstr);         // uint64
    EXPECT_EQ(machine.value("Win32_DiskDrive", "TotalHeads").type, vt::I4);     // uint32
    EXPECT_EQ(machine.value("Win32_Processor", "DataWidth").type, vt::I4);      // uint16
    EXPECT_EQ(machine.value("Win32_NetworkAdapterConfiguration", "IPEnabled").type, vt::Bool);
    EXPECT_EQ(machine.value("Win32_OperatingSystem", "CSDVersion").type, vt::Null);
    EXPECT_EQ(machine.value("Win32_BIOS", "ReleaseDate").type, vt::Bstr);       // datetime
}

TEST(LinuxQuery, Uint32ValuesKeepTheirBitsAndSaturate) {
    std::ostringstream quiet;
    EXPECT_EQ(valueToText(uint32OrNull(4293918720u), quiet), "4293918720");
    EXPECT_EQ(valueToText(uint32OrNull(std::uint64_t{5} << 30), quiet), "4294967295");
    EXPECT_EQ(valueToText(uint32OrNull(std::nullopt), quiet), "Null");
    EXPECT_EQ(valueToText(uint64OrNull(std::uint64_t{5} << 40), quiet), "5497558138880");
}

// Copies a fixture so the test can change it between two queries.
std::string copyOf(const std::string& name) {
    std::string target = std::string(MORAVEL_BINARY_DIR) + "/linux-fixture-" + name;
    std::string command = "rm -rf '" + target + "' && cp -a '" + fixtureRoot(name) + "' '" + target + "'";
    EXPECT_EQ(std::system(command.c_str()), 0);
    return target;
}

TEST(LinuxQuery, EveryCallReadsTheMachineAfresh) {
    std::string root = copyOf("container");
    FixtureMachine machine(root);
    EXPECT_EQ(machine.text("Win32_ComputerSystem", "TotalPhysicalMemory"), "2048000000");
    std::ofstream(root + "/proc/meminfo") << "MemTotal:       4000000 kB\nMemAvailable:   1000 kB\n";
    EXPECT_EQ(machine.text("Win32_ComputerSystem", "TotalPhysicalMemory"), "4096000000");
    std::ofstream(root + "/proc/sys/kernel/hostname") << "renamed.example.org\n";
    EXPECT_EQ(machine.text("Win32_ComputerSystem", "Domain"), "example.org");
    MemoryStatus status;
    ASSERT_TRUE(machine.probes->memoryStatus(status));
    EXPECT_EQ(formatMemoryStatus(status).load, "99%");
}

TEST(IdsFileNames, FindsVendorsAndProductsAndStopsAtUnknownOnes) {
    IdsFileNames names{RootFs(fixtureRoot("desktop"))};
    EXPECT_EQ(names.vendor("pci", 0x8086), std::optional<std::string>("Intel Corporation"));
    EXPECT_EQ(names.product("pci", 0x8086, 0x153b), std::optional<std::string>("Ethernet Connection I217-V"));
    EXPECT_EQ(names.product("pci", 0x10de, 0x1c82), std::optional<std::string>("GP107 [GeForce GTX 1050 Ti]"));
    EXPECT_EQ(names.product("pci", 0x8086, 0xe000), std::nullopt);  // a subsystem line, not a device
    EXPECT_EQ(names.product("pci", 0x8086, 0x9999), std::nullopt);
    EXPECT_EQ(names.vendor("pci", 0x1234), std::nullopt);
    EXPECT_EQ(names.vendor("pci", 0xffff), std::nullopt);  // past the last vendor, into the classes
    EXPECT_EQ(names.product("usb", 0x0781, 0x5567), std::optional<std::string>("Cruzer Blade"));
    IdsFileNames none{RootFs(fixtureRoot("container"))};
    EXPECT_EQ(none.vendor("pci", 0x8086), std::nullopt);
}

TEST(RootFsReads, LinesNumbersAndLinksBelowTheRoot) {
    RootFs fs(fixtureRoot("desktop") + "/");
    EXPECT_EQ(fs.line("/proc/sys/kernel/hostname"), std::optional<std::string>("desktop"));
    EXPECT_EQ(fs.number("/sys/bus/pci/devices/0000:00:02.0/class"), std::optional<std::uint64_t>(0x030000));
    EXPECT_EQ(fs.line("/no/such/file"), std::nullopt);
    EXPECT_EQ(fs.resolved("/sys/block/sda"), "/sys/devices/pci0000:00/0000:00:1f.2/ata1/host0/target0:0:0/0:0:0:0/block/sda");
    EXPECT_EQ(parseNumber(" 42 "), std::optional<std::uint64_t>(42));
    EXPECT_EQ(parseNumber("-1"), std::nullopt);
    EXPECT_EQ(parseNumber("12abc"), std::nullopt);
}

}  // namespace
}  // namespace moravel::lx::test
