// Machines without DMI tables: a KVM guest and a 64-bit ARM board, through the provider and the
// System group's "Type:" text.
#include <gtest/gtest.h>

#include <utility>

#include "sections/collector.h"
#include "sections/sections.h"
#include "tests/providers/linux/linux_fixture.h"

namespace moravel::lx::test {
namespace {

std::string typeField(FixtureMachine& machine) {
    ReportCollector report;
    SharedValues shared;
    systemGroup(machine.context, report, shared);
    return report.groups.at(0).fields.at(1).text;  // "Type:"
}

struct KvmGuest : ::testing::Test {
    FixtureMachine machine{fixtureRoot("kvm")};
};

struct ArmBoard : ::testing::Test {
    ArmBoard() { machine.host.machineName = "aarch64"; }
    FixtureMachine machine{fixtureRoot("arm")};
};

TEST_F(KvmGuest, NamedByCpuidElseByItsClockSource) {
    machine.host.hypervisor = "KVMKVMKVM";
    EXPECT_EQ(typeField(machine), "x64-based PC ( Model: KVM Virtual Machine ) - KVM");
    // The same without CPUID (another architecture, or a build without it).
    machine.host.hypervisor.reset();
    EXPECT_EQ(typeField(machine), "x64-based PC ( Model: KVM Virtual Machine ) - KVM");
    EXPECT_EQ(machine.text("Win32_BaseBoard", "Product"), "KVM Virtual Machine");
    // An unknown signature is still a name.
    machine.host.hypervisor = "Jailhouse";
    EXPECT_EQ(machine.text("Win32_ComputerSystem", "Manufacturer"), "Jailhouse");
    EXPECT_EQ(machine.text("Win32_ComputerSystem", "Model"), "Jailhouse Virtual Machine");
}

// CPUID signatures as the processor hands them over (blanks trimmed at the ends only), read as
// the names a user knows.
TEST_F(KvmGuest, KnownSignaturesGiveReadableNames) {
    const std::pair<const char*, const char*> signatures[] = {
        {"bhyve bhyve", "x64-based PC ( Model: bhyve Virtual Machine ) - FreeBSD bhyve"},
        {"TCGTCGTCGTCG", "x64-based PC ( Model: QEMU Virtual Machine ) - QEMU"},
        {"Linux KVM Hv", "x64-based PC ( Model: KVM Virtual Machine ) - KVM"},
        {"Microsoft Hv", "x64-based PC ( Model: Virtual Machine ) - Microsoft Corporation"},
        {"lrpepyh  vr", "x64-based PC ( Model: Parallels Virtual Platform ) - Parallels International GmbH"},
        {"ACRNACRNACRN", "x64-based PC ( Model: ACRN Virtual Machine ) - Project ACRN"},
        {"QNXQVMBSQG", "x64-based PC ( Model: QNX Hypervisor Virtual Machine ) - BlackBerry QNX"},
        {"Apple VZ", "x64-based PC ( Model: Apple Virtualization Generic Platform ) - Apple Inc."},
    };
    for (const auto& [signature, type] : signatures) {
        machine.host.hypervisor = signature;
        EXPECT_EQ(typeField(machine), type) << signature;
    }
}

// The device tree comes before the hypervisor; the processor values need no CPUID.
TEST_F(ArmBoard, ModelMakerAndSerialFromTheDeviceTree) {
    machine.host.hypervisor = "KVMKVMKVM";
    EXPECT_EQ(typeField(machine), "ARM64-based PC ( Model: Raspberry Pi 4 Model B Rev 1.4 ) - Raspberry Pi Foundation");
    EXPECT_EQ(machine.text("Win32_BaseBoard", "Product"), "Raspberry Pi 4 Model B Rev 1.4");
    EXPECT_EQ(machine.text("Win32_BaseBoard", "SerialNumber"), "10000000a1b2c3d4");
    EXPECT_EQ(machine.text("Win32_Processor", "NumberOfLogicalProcessors"), "4");
    EXPECT_EQ(machine.text("Win32_Processor", "MaxClockSpeed"), "1800");
    EXPECT_EQ(machine.text("Win32_Processor", "ProcessorId"), "410FD083");  // ARM's main ID register
}

}  // namespace
}  // namespace moravel::lx::test
