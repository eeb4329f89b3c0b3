// The readers of the classes the Linux provider answers, one file each (or a few of a kind);
// providers/linux/provider_linux.cpp lists them by their classes' names.
#pragma once

#include "providers/linux/system/linux_classes.h"

namespace moravel::lx {

ObjectList readBatteryStaticData(const LinuxContext& context);
ObjectList readBatteryFullChargedCapacities(const LinuxContext& context);
ObjectList readBatteryCycleCounts(const LinuxContext& context);
ObjectList readPhysicalDisks(const LinuxContext& context);
ObjectList readReliabilityCounters(const LinuxContext& context);
ObjectList readFailurePredictStatus(const LinuxContext& context);
std::optional<HResult> failurePredictionAccess(const LinuxContext& context);
ObjectList readFailurePredictData(const LinuxContext& context);
ObjectList readKeyboards(const LinuxContext& context);
ObjectList readPointingDevices(const LinuxContext& context);
ObjectList readThermalZones(const LinuxContext& context);
ObjectList readInstalledSoftware(const LinuxContext& context);
ObjectList readNetAdapters(const LinuxContext& context);
ObjectList readBaseBoards(const LinuxContext& context);
ObjectList readMotherboardDevices(const LinuxContext& context);
ObjectList readBatteries(const LinuxContext& context);
ObjectList readBioses(const LinuxContext& context);
ObjectList readCdromDrives(const LinuxContext& context);
ObjectList readComputerSystems(const LinuxContext& context);
ObjectList readDiskDrives(const LinuxContext& context);
ObjectList readPhysicalMedia(const LinuxContext& context);
ObjectList readDisks(const LinuxContext& context);
ObjectList readLogicalDisks(const LinuxContext& context);
ObjectList readMemoryArrays(const LinuxContext& context);
ObjectList readNetworkAdapters(const LinuxContext& context);
ObjectList readNetworkAdapterConfigurations(const LinuxContext& context);
ObjectList readOperatingSystems(const LinuxContext& context);
ObjectList readPhysicalMemory(const LinuxContext& context);
ObjectList readPnpEntities(const LinuxContext& context);
ObjectList readPrinters(const LinuxContext& context);
ObjectList readProcessors(const LinuxContext& context);
ObjectList readSoundDevices(const LinuxContext& context);
ObjectList readComputerSystemProducts(const LinuxContext& context);
ObjectList readSystemEnclosures(const LinuxContext& context);
ObjectList readTimeZones(const LinuxContext& context);
ObjectList readUserAccounts(const LinuxContext& context);
ObjectList readGroups(const LinuxContext& context);
ObjectList readVideoControllers(const LinuxContext& context);
ObjectList readMonitorIds(const LinuxContext& context);
ObjectList readMonitorDisplayParams(const LinuxContext& context);

}  // namespace moravel::lx
