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

// Facts more than one class reads.
std::optional<std::string> dmiField(const RootFs& fs, const char* name);  // /sys/class/dmi/id/<name>
std::optional<std::uint64_t> meminfoKib(const RootFs& fs, const char* key);  // "MemTotal", ...
std::optional<std::string> hostName(const RootFs& fs);

}  // namespace moravel::lx
