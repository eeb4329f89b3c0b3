// Disk health as UDisks2 (the service the desktop's disk utility reads) holds it, asked over the
// system bus with sd-bus: ATA SMART in every version, NVMe from udisks 2.10 on. Any user may ask.
// libsystemd is loaded when health is first asked for, so the plain report never loads it.
#pragma once

#include <map>
#include <string>

#include "providers/linux/system/linux_context.h"

namespace moravel::lx {

// Each drive UDisks2 knows, by its block device ("/dev/sda"), answered as the drive itself
// answers (udisks_health.h); empty when there is no bus, no service or no libsystemd. Every call
// is bounded in time.
std::map<std::string, DiskAnswer> askUdisksHealth();

}  // namespace moravel::lx
