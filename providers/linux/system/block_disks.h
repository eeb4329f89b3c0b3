// The whole disks of /sys/block, in the one order Win32_DiskDrive and Win32_PhysicalMedia share.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "providers/linux/system/linux_context.h"

namespace moravel::lx {

struct Disk {
    std::string name;  // "sda", "nvme0n1"
    std::string path;  // "/sys/block/sda"
};

// Disks with media: no loop, RAM, zram, device-mapper, md, network-block or optical devices.
std::vector<Disk> listDisks(const RootFs& fs);

// "IDE" for ATA (SATA included, as Windows reports AHCI disks), "USB", else "SCSI" (NVMe,
// virtio and SCSI alike).
std::string interfaceType(const RootFs& fs, const Disk& disk);
std::optional<std::string> diskSerial(const LinuxContext& context, const Disk& disk);
// A value udev recorded for the device ("ID_MODEL_ENC", "ID_SERIAL_SHORT"), decoded; udev's
// records are readable by every user but exist only where udev runs.
std::optional<std::string> udevProperty(const LinuxContext& context, const Disk& disk, const std::string& key);
// The device instance path Win32_DiskDrive gives the disk ("SCSI\DISK&VEN_NVME&PROD_...").
std::string diskInstancePath(const LinuxContext& context, const Disk& disk);

}  // namespace moravel::lx
