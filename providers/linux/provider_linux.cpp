#include <map>

#include "providers/backends.h"
#include "providers/linux/classes/readers.h"
#include "providers/linux/linux_provider.h"
#include "providers/linux/system/device_names.h"
#include "providers/linux/system/host_facts.h"
#include "providers/linux/system/udev_records.h"
#include "query/backend.h"
#include "query/object_source.h"
#include "query/wmi_names.h"

namespace moravel::lx {
namespace {

// Every class this provider answers, by name: its reader, and who may list it (nullptr: anyone).
struct ClassEntry {
    const char* className;
    ClassReader read;
    ClassAccess access = nullptr;
};
const ClassEntry kClasses[] = {
    {"BatteryCycleCount", readBatteryCycleCounts},
    {"BatteryFullChargedCapacity", readBatteryFullChargedCapacities},
    {"BatteryStaticData", readBatteryStaticData},
    {"MSAcpi_ThermalZoneTemperature", readThermalZones},
    {"Moravel_InstalledSoftware", readInstalledSoftware},
    {"MSFT_Disk", readDisks},
    {"MSFT_NetAdapter", readNetAdapters},
    {"MSFT_PhysicalDisk", readPhysicalDisks},
    {"MSFT_StorageReliabilityCounter", readReliabilityCounters},
    {"MSStorageDriver_FailurePredictData", readFailurePredictData},
    {"MSStorageDriver_FailurePredictStatus", readFailurePredictStatus, failurePredictionAccess},
    {"Win32_BaseBoard", readBaseBoards},
    {"Win32_Battery", readBatteries},
    {"Win32_BIOS", readBioses},
    {"Win32_CDROMDrive", readCdromDrives},
    {"Win32_ComputerSystem", readComputerSystems},
    {"Win32_ComputerSystemProduct", readComputerSystemProducts},
    {"Win32_DiskDrive", readDiskDrives},
    {"Win32_Group", readGroups},
    {"Win32_Keyboard", readKeyboards},
    {"Win32_LogicalDisk", readLogicalDisks},
    {"Win32_MemoryArray", readMemoryArrays},
    {"Win32_MotherboardDevice", readMotherboardDevices},
    {"Win32_NetworkAdapter", readNetworkAdapters},
    {"Win32_NetworkAdapterConfiguration", readNetworkAdapterConfigurations},
    {"Win32_OperatingSystem", readOperatingSystems},
    {"Win32_PhysicalMedia", readPhysicalMedia},
    {"Win32_PhysicalMemory", readPhysicalMemory},
    {"Win32_PnPEntity", readPnpEntities},
    {"Win32_PointingDevice", readPointingDevices},
    {"Win32_Printer", readPrinters},
    {"Win32_Processor", readProcessors},
    {"Win32_SoundDevice", readSoundDevices},
    {"Win32_SystemEnclosure", readSystemEnclosures},
    {"Win32_TimeZone", readTimeZones},
    {"Win32_UserAccount", readUserAccounts},
    {"Win32_VideoController", readVideoControllers},
    {"WmiMonitorBasicDisplayParams", readMonitorDisplayParams},
    {"WmiMonitorID", readMonitorIds},
};

const ClassEntry* classEntry(const std::string& className) {
    for (const ClassEntry& entry : kClasses)
        if (sameWmiName(entry.className, className)) return &entry;
    return nullptr;
}

// Each query reads the machine afresh: the class's reader runs when the query is executed.
class LinuxSource : public ObjectSource {
public:
    LinuxSource(const std::string& root, const DeviceNames& names, const HostFacts& host)
        : LinuxSource(RootFs(root), names, host) {}
    LinuxSource(const RootFs& fs, const DeviceNames& names, const HostFacts& host)
        : udev_(makeUdevRecords(fs)), context_{fs, names, host, *udev_} {}
    ClassObjects objects(const std::string&, const std::string& className) override {
        const ClassEntry* entry = classEntry(className);
        if (!entry) return {};
        auto objects = std::make_shared<ObjectList>(entry->read(context_));
        return {objects->size(),
                [objects](std::size_t at) -> std::unique_ptr<WmiObject> { return std::move((*objects)[at]); }};
    }
    std::optional<CycleFailure> stagedFailure(const std::string& query) const override {
        ClassAccess access = accessFor(query);
        std::optional<HResult> refused = access ? access(context_) : std::nullopt;
        if (!refused) return std::nullopt;
        return CycleFailure{CycleStep::ExecQuery, *refused};
    }

private:
    // Who may list the queried class; the same few queries come again and again, so each is
    // taken apart once.
    ClassAccess accessFor(const std::string& query) const {
        auto known = access_.find(query);
        if (known != access_.end()) return known->second;
        std::optional<std::string> className = queriedClass(query);
        const ClassEntry* entry = className ? classEntry(*className) : nullptr;
        return access_[query] = entry ? entry->access : nullptr;
    }

    std::unique_ptr<UdevRecords> udev_;
    LinuxContext context_;
    mutable std::map<std::string, ClassAccess> access_;  // by query
};

// The name database and host facts of the running system, owned by the source that reads
// through them: a base, so that they are made before it and outlive it.
struct SystemParts {
    std::unique_ptr<DeviceNames> names = makeSystemDeviceNames();
    std::unique_ptr<HostFacts> host = makeSystemHostFacts();
};

class PlatformSource : private SystemParts, public LinuxSource {
public:
    PlatformSource() : LinuxSource("/", *names, *host) {}
};

}  // namespace

std::vector<std::string> linuxClasses() {
    std::vector<std::string> names;
    for (const ClassEntry& entry : kClasses) names.push_back(entry.className);
    return names;
}

std::unique_ptr<WmiProvider> makeLinuxProvider(const std::string& root, const DeviceNames& names,
                                               const HostFacts& host) {
    return makeListingProvider(std::make_shared<LinuxSource>(root, names, host));
}

}  // namespace moravel::lx

namespace moravel {

Backend makePlatformBackend() {
    return {makeListingProvider(std::make_shared<lx::PlatformSource>()),
            lx::makeLinuxProbes("/", lx::makeSystemHostFacts())};
}

}  // namespace moravel
