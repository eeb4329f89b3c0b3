// The provider's query handling, value typing and independence between calls; the ids lists.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

#include "providers/backends.h"
#include "providers/linux/system/linux_classes.h"
#include "providers/linux/system/linux_object.h"
#include "query/backend.h"
#include "sections/collector.h"
#include "sections/sections.h"
#include "tests/providers/linux/linux_fixture.h"

namespace moravel::lx::test {
namespace {

TEST(LinuxQuery, BadQueriesFailUnknownClassesAndPropertiesAreEmpty) {
    FixtureMachine machine(fixtureRoot("desktop"));
    std::ostringstream diagnostics;
    machine.context.diagnostics = &diagnostics;
    EXPECT_EQ(queryWmiText(machine.context, 0, "SELECT Name FROM Win32_Processor", "Name"), "");
    EXPECT_EQ(diagnostics.str(), "Query for operating system name failed. Error code = 0x80041017\n");
    diagnostics.str("");
    EXPECT_EQ(machine.text("Win32_Fan", "Name"), "");
    EXPECT_EQ(machine.text("Win32_Processor", "NoSuchProperty"), "");
    EXPECT_EQ(machine.text("Win32_Processor", "SocketDesignation"), "");  // exists, no source: empty, not "Null"
    EXPECT_EQ(queryWmiText(machine.context, 0, "select * from win32_processor", "name"),
              "Intel(R) Core(TM) i3-4130 CPU @ 3.40GHz");
    EXPECT_EQ(diagnostics.str(), "");
}

TEST(LinuxQuery, ValuesAreTypedAsWmiTypesThem) {
    FixtureMachine machine(fixtureRoot("desktop"));
    EXPECT_EQ(machine.value("Win32_DiskDrive", "Size").type, vt::Bstr);      // uint64
    EXPECT_EQ(machine.value("Win32_DiskDrive", "TotalHeads").type, vt::I4);  // uint32
    EXPECT_EQ(machine.value("Win32_Processor", "DataWidth").type, vt::I4);   // uint16
    EXPECT_EQ(machine.value("Win32_NetworkAdapterConfiguration", "IPEnabled").type, vt::Bool);
    EXPECT_EQ(machine.value("Win32_OperatingSystem", "CSDVersion").type, vt::Bstr);  // no source: empty
    EXPECT_EQ(machine.value("Win32_BIOS", "ReleaseDate").type, vt::Bstr);            // datetime
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

void replaceIn(const std::string& path, const std::string& from, const std::string& to) {
    std::ifstream in(path);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (std::size_t at; (at = text.find(from)) != std::string::npos;) text.replace(at, from.size(), to);
    std::ofstream(path) << text;
}

// What cannot change in a process's life (the PCI list, DMI, the processor's identity) is read
// once per provider; clocks are read afresh, and the processor again when the online set changes.
TEST(LinuxQuery, FixedFactsAreReadOncePerProviderChangingOnesAfresh) {
    std::string root = copyOf("desktop");
    {
        FixtureMachine machine(root);
        const std::string gpu = machine.text("Win32_VideoController", "Name");
        ASSERT_FALSE(gpu.empty());
        EXPECT_EQ(machine.text("Win32_BIOS", "Manufacturer"), "American Megatrends Inc.");
        EXPECT_EQ(machine.text("Win32_Processor", "Name"), "Intel(R) Core(TM) i3-4130 CPU @ 3.40GHz");
        std::ofstream(root + "/sys/bus/pci/devices/0000:00:02.0/class") << "0x060100\n";
        std::ofstream(root + "/sys/class/dmi/id/bios_vendor") << "Other\n";
        std::ofstream(root + "/sys/devices/system/cpu/cpu0/cpufreq/scaling_cur_freq") << "1200000\n";
        replaceIn(root + "/proc/cpuinfo", "i3-4130", "i5-4590");
        EXPECT_EQ(machine.text("Win32_VideoController", "Name"), gpu);
        EXPECT_EQ(machine.text("Win32_BIOS", "Manufacturer"), "American Megatrends Inc.");
        EXPECT_EQ(machine.text("Win32_Processor", "Name"), "Intel(R) Core(TM) i3-4130 CPU @ 3.40GHz");
        EXPECT_EQ(machine.text("Win32_Processor", "CurrentClockSpeed"), "1200");
        std::ofstream(root + "/sys/devices/system/cpu/online") << "0-2\n";
        EXPECT_EQ(machine.text("Win32_Processor", "Name"), "Intel(R) Core(TM) i5-4590 CPU @ 3.40GHz");
    }
    FixtureMachine fresh(root);
    EXPECT_EQ(fresh.text("Win32_VideoController", "Name"), "");
    EXPECT_EQ(fresh.text("Win32_BIOS", "Manufacturer"), "Other");
}

// The class table and the readers agree: every class with a reader is in the table, and on every
// fixture machine each value a reader gives for a recorded property has the table's type, or is
// the empty string that stands for a value Linux has no source for. One departure: a video
// card's memory beyond what a uint32 holds is given whole, as decimal text.
TEST(LinuxQuery, ReadersAnswerWithTheTypesOfTheClassTable) {
    for (const std::string& name : linuxClasses()) EXPECT_NE(findWmiClass(name), nullptr) << name;
    auto typed = [](const WmiProperty& property, const WmiValue& value) {
        bool wide = property.type == CimType::Uint32 && value.type == vt::Bstr && value.text.size() > 9 &&
                    std::stoull(value.text) > 0xFFFFFFFFu;
        bool none = value.type == vt::Bstr && value.text.empty();
        return none || value.type == variantTypeOf(property.type) || wide;
    };
    for (const char* fixture : kFixtureMachines) {
        FixtureMachine machine(fixtureRoot(fixture));
        for (const WmiClass& wmiClass : wmiClasses()) {
            runQueryCycle(machine.provider(), wmiClass.nameSpace, selectAllFrom(wmiClass.name), [&](WmiObject& object) {
                for (const WmiProperty& property : wmiClass.properties) {
                    WmiValue value;
                    if (property.recorded && !failed(object.get(property.name, value))) {
                        EXPECT_TRUE(typed(property, value)) << fixture << ": " << wmiClass.name << "." << property.name
                                                            << " has type code " << value.type;
                    }
                }
                return true;
            });
        }
    }
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
    EXPECT_EQ(fs.resolved("/sys/block/sda"),
              "/sys/devices/pci0000:00/0000:00:1f.2/ata1/host0/target0:0:0/0:0:0:0/block/sda");
    EXPECT_EQ(parseNumber(" 42 "), std::optional<std::uint64_t>(42));
    EXPECT_EQ(parseNumber("-1"), std::nullopt);
    EXPECT_EQ(parseNumber("12abc"), std::nullopt);
}

// What Linux has no source for reads "None" in the window, never "Null", on every machine
// the fixtures describe and on this one. Only a snapshot or WMI itself says "Null".
std::vector<std::string> fieldsSayingNull(QueryContext& context) {
    ReportCollector report;
    buildAllGroups(context, report);
    std::vector<std::string> found;
    for (const GroupRecord& group : report.groups)
        for (const FieldRecord& field : group.fields)
            if (field.text.find("Null") != std::string::npos) found.push_back(field.label + " " + field.text);
    return found;
}

TEST(LinuxReport, NoFieldSaysNullOnAnyFixtureOrThisMachine) {
    for (const char* tree : kFixtureMachines) {
        FixtureMachine machine(fixtureRoot(tree));
        EXPECT_EQ(fieldsSayingNull(machine.context), std::vector<std::string>{}) << tree;
    }
    const Backend live = makePlatformBackend();
    QueryContext context = live.context();
    EXPECT_EQ(fieldsSayingNull(context), std::vector<std::string>{}) << "this machine";
}

}  // namespace
}  // namespace moravel::lx::test
