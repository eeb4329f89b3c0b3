// Today's Linux machines as a person reads their window: a hybrid-graphics NVMe laptop read
// without root, a virtio guest with its disk mounted whole, an ARM board, the AMD laptop.
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "providers/linux/parsers/arm_processor.h"
#include "sections/collector.h"
#include "sections/sections.h"
#include "tests/providers/linux/linux_fixture.h"

namespace moravel::lx::test {
namespace {

// "Group Caption:" -> text, for the groups `build` makes.
std::map<std::string, std::string> fields(FixtureMachine& machine,
                                          const std::function<void(QueryContext&, ReportSink&)>& build) {
    ReportCollector report;
    build(machine.context, report);
    std::map<std::string, std::string> texts;
    for (const GroupRecord& group : report.groups)
        for (const FieldRecord& field : group.fields) texts[group.label + " " + field.label] = field.text;
    return texts;
}

std::map<std::string, std::string> hardwareFields(FixtureMachine& machine) {
    return fields(machine, [](QueryContext& context, ReportSink& sink) {
        SharedValues shared;
        systemGroup(context, sink, shared);
        vgaGroup(context, sink);
        drivesGroup(context, sink);
    });
}

TEST(TodaysMachines, HybridLaptopShowsItsNvidiaCardItsDiskAndItsModules) {
    FixtureMachine machine{fixtureRoot("hybrid")};
    machine.host.free = {{"/", 400ull << 30}, {"/boot/efi", 200ull << 20}};
    auto f = hardwareFields(machine);
    // The modules udev recorded, not the firmware's ranges (15.75 GiB rounded) nor their top (18 GiB).
    EXPECT_EQ(machine.text("Win32_MemoryArray", "EndingAddress"), "16777215");
    EXPECT_EQ(f["System Memory:"], "16 GB   ( Useable: 15617 MB )");
    EXPECT_EQ(f["VGA Name:"], "AD106M [GeForce RTX 4070 Max-Q / Mobile]");
    EXPECT_EQ(f["VGA Memory:"], "8192 MB");  // the whole 8 GiB window, not 4095 MB
    EXPECT_EQ(f["VGA DAC Type:"],
              "Integrated RAMDAC ( Internal VGA: Alder Lake-P GT2 [Iris Xe Graphics] - Memory: 256 MB )");
    EXPECT_EQ(f["Drives HDD Name:"], "Samsung SSD 980 PRO 1TB");
    EXPECT_EQ(f["Drives HDD Serial No.:"], "S5GXNF0R912345A");
    EXPECT_EQ(f["Drives HDD Size:"], "932 GB   FreeSpace: 400 GB  Drives:  / /boot/efi");
}

TEST(TodaysMachines, VirtioGuestShowsItsWholeDiskAndNoConverterType) {
    FixtureMachine machine{fixtureRoot("kvm")};
    machine.host.free = {{"/", 12ull << 30}};
    EXPECT_EQ(machine.text("Win32_DiskDrive", "Partitions"), "1");  // ext4 on /dev/vda itself
    auto f = hardwareFields(machine);
    EXPECT_EQ(f["System Memory:"], "2 GB   ( Useable: 1982 MB )");
    EXPECT_EQ(f["Drives HDD Name:"], "Virtio 1.0 block device");
    EXPECT_EQ(f["Drives HDD Serial No.:"], "13866317129696674");
    EXPECT_EQ(f["Drives HDD Size:"], "20 GB   FreeSpace: 12 GB  Drives:  /");
    EXPECT_EQ(f["VGA Name:"], "Virtio 1.0 GPU");
    EXPECT_EQ(f["VGA DAC Type:"], "None");  // a virtual adapter has no converter type
}

TEST(TodaysMachines, AmdLaptopShowsItsIntegratedRadeonAsInternal) {
    FixtureMachine machine{fixtureRoot("laptop")};
    auto f = hardwareFields(machine);
    EXPECT_EQ(f["VGA Name:"], "Picasso/Raven 2 [Radeon Vega Series / Radeon Vega Mobile Series]");
    EXPECT_EQ(f["VGA Memory:"], "512 MB");
    EXPECT_EQ(f["VGA DAC Type:"], "Internal DAC(400MHz)");
    EXPECT_EQ(f["Drives HDD Name:"], "SAMSUNG MZVLB512HBJQ-000L7");
    EXPECT_EQ(f["System Memory:"], "8 GB   ( Useable: 7475 MB )");  // DMI and meminfo agree now
}

TEST(TodaysMachines, ArmBoardNamesItsCoresAndCaches) {
    FixtureMachine machine{fixtureRoot("arm")};
    machine.host.machineName = "aarch64";
    auto f = fields(machine, cpuGroup);
    EXPECT_EQ(f["CPU Processor:"], "Broadcom BCM2711 (Cortex-A72)");
    EXPECT_EQ(f["CPU Spec:"], "Cores: 4  Processors: 4  L2Cache: 1024KB  L3Cache: 0KB");
    EXPECT_EQ(f["CPU Family:"], "ARMv8 Family 8 Model D08 Revision 3 ( 64 Bits )");
    EXPECT_EQ(f["CPU Manufacturer:"], "ARM");
    EXPECT_EQ(f["CPU Unique ID:"], "410FD083");  // the main ID register of a Cortex-A72 r0p3
}

TEST(ArmProcessor, BigLittleUnknownPartsAndMachinesWithoutADeviceTree) {
    auto core = [](const char* implementer, const char* part) {
        return CpuBlock{{"processor", "0"},    {"CPU implementer", implementer},
                        {"CPU part", part},    {"CPU variant", "0x1"},
                        {"CPU revision", "0"}, {"CPU architecture", "8"}};
    };
    const std::vector<CpuBlock> rk3588 = {core("0x41", "0xd05"), core("0x41", "0xd05"), core("0x41", "0xd0b")};
    EXPECT_EQ(armProcessorName(rk3588, socName("rockchip,rk3588")), "Rockchip RK3588 (Cortex-A55 + Cortex-A76)");
    EXPECT_EQ(armProcessorName({core("0x41", "0xd0c")}, std::nullopt), "ARM Neoverse-N1");
    EXPECT_EQ(armProcessorName({core("0x51", "0x001")}, std::nullopt), "Qualcomm Oryon");
    EXPECT_EQ(armProcessorName({core("0x61", "0x023")}, socName("apple,t8103")), "Apple T8103 (Firestorm)");
    EXPECT_EQ(armProcessorName({core("0x41", "0xfff")}, std::nullopt), "ARM part 0xfff");
    EXPECT_EQ(armProcessorName({core("0x99", "0x010")}, std::nullopt), "part 0x010");
    EXPECT_EQ(armManufacturer(core("0x99", "0x010")), std::nullopt);
    EXPECT_EQ(armProcessorId(core("0x51", "0x001")), "511F0010");
    EXPECT_EQ(socName("acme,widget9"), "acme WIDGET9");
    EXPECT_EQ(socName("no-comma"), std::nullopt);
}

}  // namespace
}  // namespace moravel::lx::test
