#include <gtest/gtest.h>

#include "sections/sections.h"
#include "tests/support/snapshot_fixture.h"

namespace moravel::testing {
namespace {

const char* const kDisk = "Win32_DiskDrive";
const char* const kMedia = "Win32_PhysicalMedia";
const char* const kLogical = "Win32_LogicalDisk";

struct Disk {
    std::string interfaceType, caption, serial, size, firmware, partitions, cylinders, heads, sectors, tracks;
};

const Disk kSamsung{"IDE",
                    "Samsung SSD 850 EVO 500GB",
                    "S21JNXAG812345X",
                    "500105249280",
                    "EMT02B6Q",
                    "2",
                    "60801",
                    "255",
                    "976768065",
                    "15504255"};
const Disk kSeagate{"IDE",
                    "ST1000DM003-1CH162",
                    "            Z1D5ABCD",
                    "1000202273280",
                    "CC47",
                    "1",
                    "121601",
                    "255",
                    "1953520065",
                    "31008255"};
const Disk kStick{"USB",
                  "Kingston DataTraveler 3.0 USB Device",
                  "60A44C3FACC93110B9970A2F",
                  "30943995904",
                  "",
                  "1",
                  "3762",
                  "255",
                  "60436530",
                  "959310"};

void addDisk(SnapshotBuilder& inventory, int index, const Disk& d) {
    inventory.set(kDisk, index, "InterfaceType", d.interfaceType)
        .set(kDisk, index, "Caption", d.caption)
        .set(kDisk, index, "Size", d.size)
        .set(kDisk, index, "FirmwareRevision", d.firmware)
        .set(kDisk, index, "Partitions", d.partitions)
        .set(kDisk, index, "TotalCylinders", d.cylinders)
        .set(kDisk, index, "TotalHeads", d.heads)
        .set(kDisk, index, "TotalSectors", d.sectors)
        .set(kDisk, index, "TotalTracks", d.tracks)
        .set(kMedia, index, "SerialNumber", d.serial);
}

void addLogicalDisk(SnapshotBuilder& inventory, int index, int type, const std::string& id,
                    const std::string& freeBytes) {
    inventory.setNumber(kLogical, index, "DriveType", type)
        .set(kLogical, index, "DeviceID", id)
        .set(kLogical, index, "FreeSpace", freeBytes);
}

GroupRun runDrives(const SnapshotBuilder& inventory) {
    GroupRun run = runGroup(inventory, drivesGroup);
    EXPECT_EQ(run.diagnostics, "");  // every query is well formed and no value makes a type line
    return run;
}

const std::vector<std::string> kNoDiskEvents = {"group Drives",    "field HDD Name:", "field HDD Serial No.:",
                                                "field HDD Size:", "field HDD Spec:", "end",
                                                "progress 1"};

TEST(DrivesGroup, NothingAtAllGivesNoneAndStillEndsTheProgress) {
    const GroupRun run = runDrives(SnapshotBuilder{});
    EXPECT_EQ(run.report.events, kNoDiskEvents);
    for (const char* label : {"HDD Name:", "HDD Serial No.:", "HDD Size:", "HDD Spec:"})
        EXPECT_EQ(run.text(label), "None") << label;
    EXPECT_EQ(run.queries, 6);
}

TEST(DrivesGroup, DisksOfOtherInterfacesAreNeverShown) {
    SnapshotBuilder inventory;
    for (int index = 0; index < 4; ++index) {
        Disk disk = kSamsung;
        disk.interfaceType = index == 0 ? "1394" : index == 1 ? "ide" : index == 2 ? "scsi" : "SCSI ";
        addDisk(inventory, index, disk);
    }
    addLogicalDisk(inventory, 0, 3, "C:", "107374182400");
    const GroupRun run = runDrives(inventory);
    EXPECT_EQ(run.report.events, kNoDiskEvents);
    for (const char* label : {"HDD Name:", "HDD Serial No.:", "HDD Size:", "HDD Spec:"})
        EXPECT_EQ(run.text(label), "None") << label;
    EXPECT_EQ(run.queries, 6);
}

TEST(DrivesGroup, LastIdeDiskIsShownWhileDrivesAccumulateOverAll) {
    SnapshotBuilder inventory;
    addDisk(inventory, 0, kSamsung);
    addDisk(inventory, 1, kSeagate);
    addLogicalDisk(inventory, 0, 3, "C:", "107374182400");
    addLogicalDisk(inventory, 1, 3, "D:", "53687091200");
    const GroupRun run = runDrives(inventory);
    EXPECT_EQ(run.text("HDD Name:"), "ST1000DM003-1CH162");
    EXPECT_EQ(run.text("HDD Serial No.:"), "            Z1D5ABCD");
    // C: is the first disk's: the second one passes it over unread and adds a blank.
    EXPECT_EQ(run.text("HDD Size:"), "932 GB   FreeSpace: 150 GB  Drives:  C: D: ");
    EXPECT_EQ(run.text("HDD Spec:"),
              "Firmware: CC47  Cylinders: 121601  Heads: 255  Sectors: 1953520065  Tracks: 31008255"
              "  ( No USB disk found. )");
    // Six interface reads, nine per IDE disk, and one plus two per examined local drive.
    EXPECT_EQ(run.queries, 6 + 9 + 6 + 9);
}

// Today's NVMe, virtio and RST disks say "SCSI": shown like IDE disks when there is no IDE disk,
// after the six interface reads, and never beside one.
TEST(DrivesGroup, ScsiDisksTakeThePlaceOfMissingIdeDisks) {
    Disk nvme = kSamsung;
    nvme.interfaceType = "SCSI";
    nvme.partitions = "3";
    Disk second = kSeagate;
    second.interfaceType = "SCSI";
    second.partitions = "2";
    SnapshotBuilder inventory;
    addDisk(inventory, 0, nvme);
    addDisk(inventory, 1, kStick);
    addDisk(inventory, 2, second);
    addLogicalDisk(inventory, 0, 3, "C:", "107374182400");
    addLogicalDisk(inventory, 1, 3, "D:", "53687091200");
    addLogicalDisk(inventory, 2, 2, "E:", "30000000000");
    addLogicalDisk(inventory, 3, 3, "F:", "10737418240");
    const GroupRun run = runDrives(inventory);
    EXPECT_EQ(run.text("HDD Name:"), "ST1000DM003-1CH162");
    EXPECT_EQ(run.text("HDD Size:"), "932 GB   FreeSpace: 150 GB  Drives:  C: D:   ");
    EXPECT_EQ(run.text("USB Drive:"),
              "Kingston DataTraveler 3.0 USB Device (Size: 29 GB) (Serial No.: 60A44C3FACC93110B9970A2F)");
    const std::vector<std::string> interfaceReads(run.reads.begin(), run.reads.begin() + 9);
    EXPECT_EQ(interfaceReads,
              (std::vector<std::string>{
                  "Win32_DiskDrive.InterfaceType", "Win32_DiskDrive.InterfaceType", "Win32_DiskDrive.Caption",
                  "Win32_PhysicalMedia.SerialNumber", "Win32_DiskDrive.Size", "Win32_DiskDrive.InterfaceType",
                  "Win32_DiskDrive.InterfaceType", "Win32_DiskDrive.InterfaceType", "Win32_DiskDrive.InterfaceType"}));
    // Disk 0 examines C:, D:, E:; disk 2 finds C: and D: taken and reads nothing for them.
    EXPECT_EQ(run.queries, 6 + 3 + 9 + 3 + 2 * 2 + 9);

    SnapshotBuilder besideIde = inventory;
    addDisk(besideIde, 3, kSamsung);
    const GroupRun ide = runDrives(besideIde);
    EXPECT_EQ(ide.text("HDD Name:"), "Samsung SSD 850 EVO 500GB");
    EXPECT_EQ(ide.text("HDD Size:"), "466 GB   FreeSpace: 150 GB  Drives:  C: D:");
    EXPECT_EQ(ide.queries, 6 + 3 + 9 + 2 * 3);
}

TEST(DrivesGroup, EntriesWithoutALocalDriveStillAddTheirBlank) {
    Disk disk = kSamsung;
    disk.partitions = "3";
    SnapshotBuilder absent;
    addDisk(absent, 0, disk);
    addLogicalDisk(absent, 0, 3, "C:", "107374182400");
    EXPECT_EQ(runDrives(absent).text("HDD Size:"), "466 GB   FreeSpace: 100 GB  Drives:  C:  ");

    SnapshotBuilder notLocal = absent;
    addLogicalDisk(notLocal, 1, 5, "E:", "4700000000");
    addLogicalDisk(notLocal, 2, 4, "Z:", "999999999999");
    const GroupRun run = runDrives(notLocal);
    EXPECT_EQ(run.text("HDD Size:"), "466 GB   FreeSpace: 100 GB  Drives:  C:  ");
    EXPECT_EQ(run.queries, 6 + 9 + 3 + 2);
}

TEST(DrivesGroup, LocalDrivesFillTheListFromTheFront) {
    Disk disk = kSamsung;
    disk.partitions = "3";
    SnapshotBuilder inventory;
    addDisk(inventory, 0, disk);
    addLogicalDisk(inventory, 0, 2, "A:", "1457664");
    addLogicalDisk(inventory, 1, 3, "C:", "107374182400");
    addLogicalDisk(inventory, 2, 3, "D:", "53687091200");
    EXPECT_EQ(runDrives(inventory).text("HDD Size:"), "466 GB   FreeSpace: 150 GB  Drives:  C: D: ");
}

TEST(DrivesGroup, FloppyAloneLeavesNoDrive) {
    Disk disk = kSamsung;
    disk.partitions = "1";
    SnapshotBuilder inventory;
    addDisk(inventory, 0, disk);
    addLogicalDisk(inventory, 0, 2, "A:", "1457664");
    addLogicalDisk(inventory, 1, 3, "C:", "107374182400");
    EXPECT_EQ(runDrives(inventory).text("HDD Size:"), "466 GB   FreeSpace: 0 GB  Drives: No drive found!");
}

TEST(DrivesGroup, PartitionCountWithoutAPositiveNumberReadsNoLogicalDisk) {
    for (const char* partitions : {"", "0", "-2", "two", "Null"}) {
        Disk disk = kSamsung;
        disk.partitions = partitions;
        SnapshotBuilder inventory;
        addDisk(inventory, 0, disk);
        addLogicalDisk(inventory, 0, 3, "C:", "107374182400");
        const GroupRun run = runDrives(inventory);
        EXPECT_EQ(run.text("HDD Size:"), "466 GB   FreeSpace: 0 GB  Drives: No drive found!") << partitions;
        EXPECT_EQ(run.queries, 6 + 9) << partitions;
    }
}

TEST(DrivesGroup, HugePartitionCountStopsAtTheLastLogicalDisk) {
    Disk disk = kSamsung;
    disk.partitions = "2000000000";
    SnapshotBuilder inventory;
    addDisk(inventory, 0, disk);
    addLogicalDisk(inventory, 0, 3, "C:", "107374182400");
    addLogicalDisk(inventory, 1, 3, "D:", "53687091200");
    const GroupRun run = runDrives(inventory);
    // The entries past the last logical disk are blanks, at most as many as a partition table holds.
    EXPECT_EQ(run.text("HDD Size:"), "466 GB   FreeSpace: 150 GB  Drives:  C: D:" + std::string(128 - 2, ' '));
    EXPECT_EQ(run.queries, 6 + 9 + 3 + 4);
}

TEST(DrivesGroup, FreeSpaceTotalSaturatesInsteadOfOverflowing) {
    SnapshotBuilder inventory;
    addDisk(inventory, 0, kSamsung);
    addLogicalDisk(inventory, 0, 3, "C:", "1e300");
    addLogicalDisk(inventory, 1, 3, "D:", "1e300");
    EXPECT_EQ(runDrives(inventory).text("HDD Size:"), "466 GB   FreeSpace: 2147483647 GB  Drives:  C: D:");
}

TEST(DrivesGroup, SizesRoundHalfGigabytesAwayFromZero) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"1610612736", "2 GB"}, {"536870911", "1 GB"}, {"536870000", "0 GB"}, {"Null", "0 GB"}};
    for (const auto& [bytes, gigabytes] : cases) {
        Disk disk = kSamsung;
        disk.size = bytes;
        disk.partitions = "";
        SnapshotBuilder inventory;
        addDisk(inventory, 0, disk);
        EXPECT_EQ(runDrives(inventory).text("HDD Size:"), gigabytes + "   FreeSpace: 0 GB  Drives: No drive found!")
            << bytes;
    }
    for (const char* tooShort : {"", "512"}) {
        Disk disk = kSamsung;
        disk.size = tooShort;
        SnapshotBuilder inventory;
        addDisk(inventory, 0, disk);
        EXPECT_EQ(runDrives(inventory).text("HDD Size:"), "None") << tooShort;
    }
}

TEST(DrivesGroup, UsbDiskReplacesTheGeometryOnly) {
    SnapshotBuilder inventory;
    addDisk(inventory, 0, kSamsung);
    addDisk(inventory, 1, kStick);
    addLogicalDisk(inventory, 0, 3, "C:", "107374182400");
    addLogicalDisk(inventory, 1, 2, "E:", "30000000000");
    const GroupRun run = runDrives(inventory);
    EXPECT_EQ(run.labels(), (std::vector<std::string>{"HDD Name:", "HDD Serial No.:", "HDD Size:", "USB Drive:"}));
    EXPECT_EQ(run.text("HDD Name:"), "Samsung SSD 850 EVO 500GB");
    EXPECT_EQ(run.text("HDD Serial No.:"), "S21JNXAG812345X");
    EXPECT_EQ(run.text("HDD Size:"), "466 GB   FreeSpace: 100 GB  Drives:  C: ");
    EXPECT_EQ(run.text("USB Drive:"),
              "Kingston DataTraveler 3.0 USB Device (Size: 29 GB) (Serial No.: 60A44C3FACC93110B9970A2F)");
    EXPECT_EQ(run.queries, 6 + 9 + 2 + 2 + 3);
    EXPECT_EQ(run.report.events.back(), "progress 1");
}

TEST(DrivesGroup, UsbDiskAloneAndWithAShortSize) {
    Disk stick = kStick;
    stick.size = "";
    stick.serial = "";
    SnapshotBuilder inventory;
    addDisk(inventory, 0, stick);
    const GroupRun run = runDrives(inventory);
    EXPECT_EQ(run.text("HDD Name:"), "None");
    EXPECT_EQ(run.text("HDD Size:"), "None");
    EXPECT_EQ(run.text("USB Drive:"), "Kingston DataTraveler 3.0 USB Device (Size:  GB) (Serial No.: )");
}

TEST(DrivesGroup, SpecNeedsCylindersAndNamesAMissingFirmware) {
    Disk noFirmware = kSamsung;
    noFirmware.firmware = "";
    SnapshotBuilder withoutFirmware;
    addDisk(withoutFirmware, 0, noFirmware);
    EXPECT_EQ(runDrives(withoutFirmware).text("HDD Spec:"),
              "Firmware: None  Cylinders: 60801  Heads: 255  Sectors: 976768065  Tracks: 15504255"
              "  ( No USB disk found. )");

    Disk noCylinders = kSamsung;
    noCylinders.cylinders = "";
    SnapshotBuilder withoutCylinders;
    addDisk(withoutCylinders, 0, noCylinders);
    EXPECT_EQ(runDrives(withoutCylinders).text("HDD Spec:"), "None");
}

TEST(DrivesGroup, NullValuesPassTheLengthTests) {
    SnapshotBuilder inventory;
    inventory.set(kDisk, 0, "InterfaceType", "IDE");
    for (const char* property : {"Caption", "Size", "FirmwareRevision", "Partitions", "TotalCylinders", "TotalHeads",
                                 "TotalSectors", "TotalTracks"})
        inventory.setNull(kDisk, 0, property);
    inventory.setNull(kMedia, 0, "SerialNumber");
    addLogicalDisk(inventory, 0, 3, "C:", "107374182400");
    const GroupRun run = runDrives(inventory);
    EXPECT_EQ(run.text("HDD Name:"), "Null");
    EXPECT_EQ(run.text("HDD Serial No.:"), "Null");
    EXPECT_EQ(run.text("HDD Size:"), "0 GB   FreeSpace: 0 GB  Drives: No drive found!");
    EXPECT_EQ(run.text("HDD Spec:"),
              "Firmware: Null  Cylinders: Null  Heads: Null  Sectors: Null  Tracks: Null  ( No USB disk found. )");
}

TEST(DrivesGroup, ShortNameAndSerialGiveNone) {
    Disk disk = kSamsung;
    disk.caption = "SSD";
    disk.serial = "123";
    SnapshotBuilder inventory;
    addDisk(inventory, 0, disk);
    const GroupRun run = runDrives(inventory);
    EXPECT_EQ(run.text("HDD Name:"), "None");
    EXPECT_EQ(run.text("HDD Serial No.:"), "None");
}

}  // namespace
}  // namespace moravel::testing
