// One reader per WMI class: each lists the class's objects on this machine, in a stable order,
// with properties that are computed only when asked for.
#pragma once

#include "query/linux/cim_dates.h"
#include "query/linux/linux_context.h"
#include "query/linux/linux_object.h"

namespace moravel::lx {

ObjectList readCdromDrives(const LinuxContext& context);
ObjectList readComputerSystems(const LinuxContext& context);
ObjectList readMemoryArrays(const LinuxContext& context);
ObjectList readNetworkAdapters(const LinuxContext& context);
ObjectList readNetworkAdapterConfigurations(const LinuxContext& context);
ObjectList readBioses(const LinuxContext& context);
ObjectList readOperatingSystems(const LinuxContext& context);
ObjectList readProcessors(const LinuxContext& context);
ObjectList readBaseBoards(const LinuxContext& context);
ObjectList readMotherboardDevices(const LinuxContext& context);
ObjectList readVideoControllers(const LinuxContext& context);
ObjectList readDiskDrives(const LinuxContext& context);
ObjectList readPhysicalMedia(const LinuxContext& context);
ObjectList readLogicalDisks(const LinuxContext& context);
ObjectList readSoundDevices(const LinuxContext& context);
ObjectList readBatteries(const LinuxContext& context);
ObjectList readPrinters(const LinuxContext& context);
// The classes only the inventory reads.
ObjectList readComputerSystemProducts(const LinuxContext& context);
ObjectList readSystemEnclosures(const LinuxContext& context);
ObjectList readTimeZones(const LinuxContext& context);
ObjectList readPhysicalMemory(const LinuxContext& context);
ObjectList readKeyboards(const LinuxContext& context);
ObjectList readPointingDevices(const LinuxContext& context);
ObjectList readPnpEntities(const LinuxContext& context);
ObjectList readNetAdapters(const LinuxContext& context);         // MSFT_NetAdapter, ROOT\StandardCimv2
ObjectList readMonitorIds(const LinuxContext& context);          // WmiMonitorID, ROOT\WMI
ObjectList readMonitorDisplayParams(const LinuxContext& context);  // WmiMonitorBasicDisplayParams
ObjectList readBatteryStaticData(const LinuxContext& context);     // ROOT\WMI
ObjectList readBatteryFullChargedCapacities(const LinuxContext& context);
ObjectList readBatteryCycleCounts(const LinuxContext& context);

// Facts more than one class reads.
// The machine's own batteries in /sys/class/power_supply (not those of mice, whose scope is
// "Device"), in the order Win32_Battery and the ROOT\WMI battery classes share.
std::vector<std::string> systemBatteries(const RootFs& fs);
std::optional<std::string> dmiField(const RootFs& fs, const char* name);  // /sys/class/dmi/id/<name>
std::optional<std::uint64_t> meminfoKib(const RootFs& fs, const char* key);  // "MemTotal", ...
std::optional<std::string> hostName(const RootFs& fs);

}  // namespace moravel::lx
