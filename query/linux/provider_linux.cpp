#include "query/backend.h"
#include "query/linux/device_names.h"
#include "query/linux/host_facts.h"
#include "query/linux/linux_classes.h"
#include "query/linux/linux_provider.h"
#include "query/wmi_names.h"

namespace moravel::lx {
namespace {

using ClassReader = ObjectList (*)(const LinuxContext&);

struct ClassEntry {
    const char* name;
    ClassReader read;
};

const ClassEntry kClasses[] = {
    {"Win32_CDROMDrive", readCdromDrives},
    {"Win32_ComputerSystem", readComputerSystems},
    {"Win32_MemoryArray", readMemoryArrays},
    {"Win32_NetworkAdapter", readNetworkAdapters},
    {"Win32_NetworkAdapterConfiguration", readNetworkAdapterConfigurations},
    {"Win32_BIOS", readBioses},
    {"Win32_OperatingSystem", readOperatingSystems},
    {"Win32_Processor", readProcessors},
    {"Win32_BaseBoard", readBaseBoards},
    {"Win32_MotherboardDevice", readMotherboardDevices},
    {"Win32_VideoController", readVideoControllers},
    {"Win32_DiskDrive", readDiskDrives},
    {"Win32_PhysicalMedia", readPhysicalMedia},
    {"Win32_LogicalDisk", readLogicalDisks},
    {"Win32_SoundDevice", readSoundDevices},
    {"Win32_Battery", readBatteries},
    {"Win32_Printer", readPrinters},
    {"Win32_ComputerSystemProduct", readComputerSystemProducts},
    {"Win32_SystemEnclosure", readSystemEnclosures},
    {"Win32_TimeZone", readTimeZones},
    {"Win32_PhysicalMemory", readPhysicalMemory},
    {"Win32_Keyboard", readKeyboards},
    {"Win32_PointingDevice", readPointingDevices},
    {"Win32_PnPEntity", readPnpEntities},
    {"MSFT_NetAdapter", readNetAdapters},
    {"WmiMonitorID", readMonitorIds},
    {"WmiMonitorBasicDisplayParams", readMonitorDisplayParams},
    {"BatteryStaticData", readBatteryStaticData},
    {"BatteryFullChargedCapacity", readBatteryFullChargedCapacities},
    {"BatteryCycleCount", readBatteryCycleCounts},
};

class ListEnumerator : public WmiEnumerator {
public:
    explicit ListEnumerator(ObjectList objects) : objects_(std::move(objects)) {}
    std::unique_ptr<WmiObject> next() override {
        if (position_ >= objects_.size()) return nullptr;
        return std::move(objects_[position_++]);
    }

private:
    ObjectList objects_;
    std::size_t position_ = 0;
};

class Services : public WmiServices {
public:
    explicit Services(const LinuxContext& context) : context_(context) {}
    HResult setProxyBlanket() override { return kOk; }
    HResult execQuery(const std::string& language, const std::string& query, long,
                      std::unique_ptr<WmiEnumerator>& enumerator) override {
        std::optional<std::string> className = queriedClass(query);
        if (!sameWmiName(language, "WQL") || !className) return kInvalidQuery;
        ObjectList objects;
        for (const ClassEntry& entry : kClasses) {
            if (sameWmiName(entry.name, *className)) objects = entry.read(context_);
        }
        enumerator = std::make_unique<ListEnumerator>(std::move(objects));
        return kOk;
    }

private:
    const LinuxContext& context_;
};

class Locator : public WmiLocator {
public:
    explicit Locator(const LinuxContext& context) : context_(context) {}
    HResult connectServer(const std::string& path, std::unique_ptr<WmiServices>& services) override {
        if (!isKnownNamespace(path)) return kFailed;
        services = std::make_unique<Services>(context_);
        return kOk;
    }

private:
    const LinuxContext& context_;
};

class Provider : public WmiProvider {
public:
    Provider(const std::string& root, const DeviceNames& names, const HostFacts& host)
        : context_{RootFs(root), names, host} {}
    HResult initialize() override { return kOk; }
    HResult initializeSecurity() override { return kOk; }
    HResult createLocator(std::unique_ptr<WmiLocator>& locator) override {
        locator = std::make_unique<Locator>(context_);
        return kOk;
    }
    void uninitialize() override {}

private:
    LinuxContext context_;
};

// The platform's provider together with the name database and host facts it reads through.
class PlatformProvider : public WmiProvider {
public:
    PlatformProvider()
        : names_(makeSystemDeviceNames()), host_(makeSystemHostFacts()), provider_("/", *names_, *host_) {}
    HResult initialize() override { return provider_.initialize(); }
    HResult initializeSecurity() override { return provider_.initializeSecurity(); }
    HResult createLocator(std::unique_ptr<WmiLocator>& locator) override { return provider_.createLocator(locator); }
    void uninitialize() override { provider_.uninitialize(); }

private:
    std::unique_ptr<DeviceNames> names_;
    std::unique_ptr<HostFacts> host_;
    Provider provider_;
};

}  // namespace

std::unique_ptr<WmiProvider> makeLinuxProvider(const std::string& root, const DeviceNames& names,
                                               const HostFacts& host) {
    return std::make_unique<Provider>(root, names, host);
}

}  // namespace moravel::lx

namespace moravel {

Backend makePlatformBackend() {
    return {std::make_unique<lx::PlatformProvider>(), lx::makeLinuxProbes("/")};
}

}  // namespace moravel
