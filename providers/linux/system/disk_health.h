// What each disk says of its health, from whichever source answers: the disk itself (root: the
// NVMe health log, ATA SMART through SG_IO) and the kernel's hwmon temperature of the disk.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "providers/linux/parsers/nvme_health.h"
#include "providers/linux/system/block_disks.h"

namespace moravel::lx {

struct DiskHealthRead {
    std::optional<NvmeHealth> nvme;
    std::optional<std::string> smartData;      // an ATA drive's SMART attribute table, 512 bytes
    std::optional<bool> failing;               // the drive's own verdict
    bool denied = false;                       // a source needed rights the program lacks, and none answered
    std::optional<std::int64_t> milliCelsius;  // hwmon's temperature of the disk
    bool answered() const { return nvme || smartData; }
};

DiskHealthRead readDiskHealth(const LinuxContext& context, const Disk& disk);

}  // namespace moravel::lx
