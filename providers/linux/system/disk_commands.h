// Health requests sent to the disks themselves: the NVMe admin command Get Log Page and ATA SMART
// through SG_IO. Both need root; each is bounded by the kernel's command timeout, and all of a
// process's requests together by one budget, so a disk that does not answer holds nothing up.
#pragma once

#include <string>

#include "providers/linux/system/linux_context.h"

namespace moravel::lx {

// Whether the process's health requests (to the disks and to UDisks2) have time left: one second
// from the first, so the window that shows health never waits longer.
bool healthTimeLeft();

// `device` is the node's name below /dev ("nvme0", "sda").
DiskAnswer askNvmeHealthLog(const std::string& device);
DiskAnswer askAtaSmartData(const std::string& device);

}  // namespace moravel::lx
