// Where the inventory's newer readings come from on Linux: the account lists, the resolver, the
// login records and the release files as their parsers take them apart, and the desktop fixture
// through the provider to the inventory (PCI devices, disks by their Linux names, accounts).
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "inventory/read_inventory.h"
#include "providers/linux/parsers/accounts.h"
#include "providers/linux/parsers/login_records.h"
#include "providers/linux/parsers/os_release.h"
#include "providers/linux/system/machine_identity.h"
#include "tests/providers/linux/linux_fixture.h"

namespace moravel::lx::test {
namespace {

TEST(AccountFiles, EntriesWithoutCommentsInclusionsOrBrokenLines) {
    std::vector<AccountEntry> users = passwdEntries(
        "root:x:0:0:root:/root:/bin/bash\n#x:x:1:1::/:/bin/sh\n+@admins::::::\n-bad:x:2:2::/:\nno colons\n"
        "jdoe:x:1000:1000:Jane Doe,Room 4,,:/home/jdoe:/bin/bash\nnegative:x:-1:0::/:/bin/sh\n"
        "shell:x:7:7::/:/bin/sh:with:colons\n:x:8:8::/:/bin/sh\n");
    ASSERT_EQ(users.size(), 3u);
    EXPECT_EQ(users[0].name, "root");
    EXPECT_EQ(users[1].id, 1000u);
    EXPECT_EQ(users[1].fullName, "Jane Doe");  // the comment's first part only
    EXPECT_EQ(users[2].name, "shell");
    std::vector<AccountEntry> groups = groupEntries("sudo:x:27:jdoe,alice\nshort:x:5\nusers:x:100:\n");
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_EQ(groups[0].name, "sudo");
    EXPECT_EQ(groups[1].id, 100u);
}

TEST(ResolverFile, NameServersInOrderEachOnce) {
    EXPECT_EQ(nameServers("# comment\nsearch lan\nnameserver 10.0.0.1\n nameserver\t fe80::1%eth0 \nnameserver 10.0.0.1\n"
                          "nameserverx 1.2.3.4\n;nameserver 9.9.9.9\nnameserver\n"),
              (std::vector<std::string>{"10.0.0.1", "fe80::1%eth0"}));
    EXPECT_TRUE(nameServers("").empty());
}

std::string utmpRecord(short type, const char* user) {
    std::string record(384, '\0');
    std::memcpy(&record[0], &type, sizeof type);
    std::memcpy(&record[44], user, std::strlen(user));
    return record;
}

TEST(LoginRecords, TheNewestLoginWithAName) {
    std::string records = utmpRecord(2, "reboot") + utmpRecord(7, "jdoe") + utmpRecord(7, "alice") +
                          utmpRecord(8, "") + utmpRecord(7, "");
    EXPECT_EQ(lastLoginUser(records), std::optional<std::string>("alice"));
    EXPECT_EQ(lastLoginUser(records + "partial record"), std::optional<std::string>("alice"));
    EXPECT_EQ(lastLoginUser(utmpRecord(7, "a-user-name-of-exactly-32-bytes!")),
              std::optional<std::string>("a-user-name-of-exactly-32-bytes!"));  // no NUL after it
    EXPECT_EQ(lastLoginUser(utmpRecord(2, "reboot")), std::nullopt);
    EXPECT_EQ(lastLoginUser(""), std::nullopt);
}

TEST(DistributionRelease, DebiansPointReleaseElseVersionId) {
    EXPECT_EQ(distributionRelease("VERSION_ID=\"12\"\n", "12.11\n"), std::optional<std::string>("12.11"));
    EXPECT_EQ(distributionRelease("VERSION_ID=\"12\"\n", "12\n"), std::optional<std::string>("12"));
    EXPECT_EQ(distributionRelease("VERSION_ID=\"24.04\"\n", "trixie/sid\n"), std::optional<std::string>("24.04"));
    EXPECT_EQ(distributionRelease("VERSION_ID=\"13\"\n", "12.11\n"), std::optional<std::string>("13"));  // a stale file
    EXPECT_EQ(distributionRelease("VERSION_ID=40\n", ""), std::optional<std::string>("40"));
    EXPECT_EQ(distributionRelease("NAME=Arch\n", ""), std::nullopt);
    EXPECT_EQ(distributionRelease("", "11.9\n"), std::optional<std::string>("11.9"));
}

TEST(HypervisorSystem, TheNameServersFileMachinesUnder) {
    RootFs desktop(fixtureRoot("desktop")), kvm(fixtureRoot("kvm"));
    EXPECT_EQ(hypervisorSystem(desktop, std::nullopt), "");
    EXPECT_EQ(hypervisorSystem(desktop, std::string("KVMKVMKVM")), "KVM");
    EXPECT_EQ(hypervisorSystem(desktop, std::string("Microsoft Hv")), "Hyper-V");
    EXPECT_EQ(hypervisorSystem(desktop, std::string("VMwareVMware")), "VMware");
    EXPECT_EQ(hypervisorSystem(desktop, std::string("Jailhouse")), "Jailhouse");
    EXPECT_EQ(hypervisorSystem(kvm, std::nullopt), "KVM");  // by its paravirtual clock
}

struct DesktopInventory : ::testing::Test {
    FixtureMachine machine{fixtureRoot("desktop")};
    Inventory inventory = readInventory(&machine.provider(), machine.probes.get());
};

TEST_F(DesktopInventory, ReleaseKernelDisksAndProcessorMakerAsLinuxNamesThem) {
    EXPECT_EQ(inventory.os.release, "12.11");
    EXPECT_EQ(inventory.os.version, "6.1.0-13-amd64");
    ASSERT_EQ(inventory.disks.size(), 2u);
    EXPECT_EQ(inventory.disks[0].name, "/dev/sda");
    EXPECT_EQ(inventory.disks[0].sizeBytes, 488397168ull * 512);  // Win32_DiskDrive's Size is cut to cylinders
    EXPECT_EQ(inventory.disks[1].name, "/dev/sdb");
    EXPECT_EQ(inventory.processors.at(0).manufacturer, "Intel");
    EXPECT_EQ(inventory.computer.vmSystem, "Physical");
    EXPECT_EQ(inventory.computer.lastLoggedUser, "alice");
}

TEST_F(DesktopInventory, EveryPciFunctionWithItsIdsClassAndDriver) {
    ASSERT_EQ(inventory.controllers.size(), RootFs(fixtureRoot("desktop")).list("/sys/bus/pci/devices").size());
    const Controller *ethernet = nullptr, *usb = nullptr;
    for (const Controller& controller : inventory.controllers) {
        if (controller.productId == "153b") ethernet = &controller;
        if (controller.productId == "8c31") usb = &controller;
    }
    ASSERT_TRUE(ethernet && usb);
    EXPECT_EQ(ethernet->vendorId, "8086");
    EXPECT_EQ(ethernet->name, "Ethernet Connection I217-V");
    EXPECT_EQ(ethernet->manufacturer, "Intel Corporation");
    EXPECT_EQ(ethernet->type, "Ethernet controller");
    EXPECT_EQ(ethernet->pciClass, "0200");
    EXPECT_EQ(ethernet->subsystemId, "1458:e000");
    EXPECT_EQ(ethernet->revision, "04");
    EXPECT_EQ(ethernet->driver, "e1000e");
    // A device the ids list does not know is named by its class.
    EXPECT_EQ(usb->name, "USB controller");
    EXPECT_EQ(usb->manufacturer, "Intel Corporation");
}

TEST_F(DesktopInventory, AccountsResolverAndNothingOfAPassword) {
    ASSERT_EQ(inventory.localUsers.size(), 3u);
    EXPECT_EQ(inventory.localUsers[1].login, "jdoe");
    EXPECT_EQ(inventory.localUsers[1].name, "Jane Doe");
    EXPECT_EQ(inventory.localUsers[1].id, "1000");
    EXPECT_EQ(inventory.localUsers[0].disabled, std::nullopt);  // that is in /etc/shadow, never read
    ASSERT_EQ(inventory.localGroups.size(), 4u);
    EXPECT_EQ(inventory.localGroups[1].name, "sudo");
    EXPECT_EQ(inventory.localGroups[1].id, "27");
    // The resolver serves the interface that is up (docker0 is up too in the fixture).
    EXPECT_EQ(inventory.networkAdapters.at(0).dnsServers, (std::vector<std::string>{"192.168.1.1", "fe80::1%eth0"}));
}

}  // namespace
}  // namespace moravel::lx::test
