// The Drives group: the IDE disk with the highest index among the first six disks (name, serial
// number, size, free space and names of the local drives, firmware and geometry) and, when one is
// attached, a USB disk. Machines without an IDE disk show their SCSI disk instead: Windows names
// NVMe, virtio, RST/VMD and Hyper-V disks so. The scan fills text slots first; the fields are
// composed from them.
#include <algorithm>
#include <array>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "sections/conversions.h"
#include "sections/section_support.h"
#include "sections/sections.h"

namespace moravel {
namespace {

const char* const kDiskDrive = "Win32_DiskDrive";
const char* const kPhysicalMedia = "Win32_PhysicalMedia";
const char* const kLogicalDisk = "Win32_LogicalDisk";
constexpr int kDisksScanned = 6;
// More partition entries than any partition table holds; a larger count is a fault of the
// source, and the entries past the last logical disk would only add blanks.
constexpr std::int32_t kMaxPartitionEntries = 128;

enum Slot {
    kIdeName,
    kIdeSerial,
    kIdeSize,
    kUsbName,
    kUsbSerial,
    kUsbSize,
    kFirmware,
    kPartitions,
    kCylinders,
    kHeads,
    kSectors,
    kTracks,
    kSlotCount
};

struct DriveScan {
    std::array<std::string, kSlotCount> slots;
    std::string driveList;
    std::int64_t freeGigabytes = 0;            // wide, so many large drives cannot overflow the sum
    std::set<std::int32_t> takenLogicalDisks;  // each drive belongs to the first disk that took it
};

std::int32_t bytesToGigabytes(const std::string& bytes) { return scaledRound(bytes, kPerGibi); }

std::string readDisk(QueryContext& context, const char* property, int index) {
    return readProperty(context, kDiskDrive, property, index);
}

// The local drives among the first `count` logical disks of the system, one entry per logical
// disk examined; entries that stay empty still add a blank to the list and nothing to the total.
// A drive an earlier disk of the scan took is passed over unread, so no drive is listed or counted
// twice. The search stops at the first logical disk that does not answer.
void partitionStep(QueryContext& context, std::int32_t count, DriveScan& scan) {
    const std::int32_t entries = std::min(count, kMaxPartitionEntries);
    std::vector<std::string> names(entries);
    std::vector<std::string> freeSpace(entries);
    std::int32_t found = 0;
    for (std::int32_t m = 0; m < entries; ++m) {
        if (scan.takenLogicalDisks.count(m)) continue;
        const std::string driveType = readProperty(context, kLogicalDisk, "DriveType", m);
        if (driveType.empty()) break;
        if (driveType != "3") continue;
        names[found] = readProperty(context, kLogicalDisk, "DeviceID", m);
        freeSpace[found] = readProperty(context, kLogicalDisk, "FreeSpace", m);
        scan.takenLogicalDisks.insert(m);
        ++found;
    }
    for (std::int32_t i = 0; i < entries; ++i) {
        scan.driveList += " " + names[i];
        scan.freeGigabytes += bytesToGigabytes(freeSpace[i]);
    }
}

void scanIdeDisk(QueryContext& context, int index, DriveScan& scan) {
    auto& slots = scan.slots;
    slots[kIdeName] = readDisk(context, "Caption", index);
    slots[kIdeSerial] = readProperty(context, kPhysicalMedia, "SerialNumber", index);
    slots[kIdeSize] = readDisk(context, "Size", index);
    slots[kFirmware] = readDisk(context, "FirmwareRevision", index);
    slots[kPartitions] = readDisk(context, "Partitions", index);
    if (!slots[kPartitions].empty()) {
        const std::int32_t partitions = leadingInteger(slots[kPartitions]);
        if (partitions > 0) partitionStep(context, partitions, scan);
    }
    slots[kCylinders] = readDisk(context, "TotalCylinders", index);
    slots[kHeads] = readDisk(context, "TotalHeads", index);
    slots[kSectors] = readDisk(context, "TotalSectors", index);
    slots[kTracks] = readDisk(context, "TotalTracks", index);
}

void scanUsbDisk(QueryContext& context, int index, DriveScan& scan) {
    scan.slots[kUsbName] = readDisk(context, "Caption", index);
    scan.slots[kUsbSerial] = readProperty(context, kPhysicalMedia, "SerialNumber", index);
    scan.slots[kUsbSize] = readDisk(context, "Size", index);
}

// Later disks of the same interface overwrite earlier ones; the drive list and the free space
// accumulate over every IDE disk. Without any IDE disk the SCSI disks take their place, in index
// order, after the six interface reads, which are not made again.
DriveScan scanDisks(QueryContext& context) {
    DriveScan scan;
    std::array<std::string, kDisksScanned> interfaceTypes;
    for (int index = 0; index < kDisksScanned; ++index) {
        interfaceTypes[index] = readDisk(context, "InterfaceType", index);
        if (interfaceTypes[index] == "IDE") scanIdeDisk(context, index, scan);
        if (interfaceTypes[index] == "USB") scanUsbDisk(context, index, scan);
    }
    if (std::find(interfaceTypes.begin(), interfaceTypes.end(), "IDE") != interfaceTypes.end()) return scan;
    for (int index = 0; index < kDisksScanned; ++index)
        if (interfaceTypes[index] == "SCSI") scanIdeDisk(context, index, scan);
    return scan;
}

std::string hddName(const DriveScan& scan) { return atLeastOrNone(scan.slots[kIdeName], 4); }

std::string hddSerialNo(const DriveScan& scan) { return atLeastOrNone(scan.slots[kIdeSerial], 4); }

std::string hddSize(const DriveScan& scan) {
    if (scan.slots[kIdeSize].size() < 4) return "None";
    const std::string drives = scan.driveList.size() < 2 ? "No drive found!" : scan.driveList;
    return decimal(bytesToGigabytes(scan.slots[kIdeSize])) +
           " GB   FreeSpace: " + decimal(saturate(static_cast<double>(scan.freeGigabytes))) + " GB" +
           "  Drives: " + drives;
}

std::string hddSpec(const DriveScan& scan) {
    const auto& slots = scan.slots;
    if (slots[kCylinders].empty()) return "None";
    return "Firmware: " + orNone(slots[kFirmware]) + "  Cylinders: " + slots[kCylinders] + "  Heads: " + slots[kHeads] +
           "  Sectors: " + slots[kSectors] + "  Tracks: " + slots[kTracks] + "  ( No USB disk found. )";
}

std::string usbDrive(const DriveScan& scan) {
    const auto& slots = scan.slots;
    const std::string size = slots[kUsbSize].size() >= 4 ? decimal(bytesToGigabytes(slots[kUsbSize])) : "";
    return slots[kUsbName] + " (Size: " + size + " GB)" + " (Serial No.: " + slots[kUsbSerial] + ")";
}

}  // namespace

void drivesGroup(QueryContext& context, ReportSink& sink) {
    sink.beginGroup("Drives", 10, 565, 705, 75, false);
    const DriveScan scan = scanDisks(context);
    sink.addField("HDD Name:", 115, 590, hddName(scan));
    sink.addField("HDD Serial No.:", 460, 590, hddSerialNo(scan));
    sink.addField("HDD Size:", 115, 615, hddSize(scan));
    if (scan.slots[kUsbName].size() < 4)
        sink.addField("HDD Spec:", 460, 615, hddSpec(scan));
    else
        sink.addField("USB Drive:", 460, 615, usbDrive(scan));
    sink.endGroup();
    sink.progress(1.0f);
}

}  // namespace moravel
