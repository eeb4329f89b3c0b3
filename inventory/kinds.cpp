#include "inventory/kinds.h"

#include "inventory/inventory_parts.h"
#include "query/installed_software.h"

namespace moravel {

const std::vector<InventoryKindInfo>& inventoryKinds() {
    using namespace parts;
    static const std::vector<InventoryKindInfo> kinds = {
        {InventoryKind::Computer,
         "computer",
         {"Win32_ComputerSystem", "Win32_ComputerSystemProduct", "Win32_SystemEnclosure", "Win32_BIOS",
          "Win32_BaseBoard", "Win32_OperatingSystem", "Win32_TimeZone"},
         readComputer},
        {InventoryKind::Processor, "processors", {"Win32_Processor"}, readProcessors, true},
        {InventoryKind::MemoryModule, "memory modules", {"Win32_PhysicalMemory"}, readMemoryModules, true},
        {InventoryKind::Disk,
         "disks",
         {"Win32_DiskDrive", "Win32_PhysicalMedia", "MSFT_Disk", "MSFT_PhysicalDisk", "MSFT_StorageReliabilityCounter",
          "MSStorageDriver_FailurePredictStatus", "MSStorageDriver_FailurePredictData"},
         readDisks,
         true},
        {InventoryKind::Volume, "volumes", {"Win32_LogicalDisk"}, readVolumes},
        {InventoryKind::NetworkAdapter,
         "network adapters",
         {"Win32_NetworkAdapter", "Win32_NetworkAdapterConfiguration", "MSFT_NetAdapter"},
         readNetworkAdapters,
         true},
        {InventoryKind::VideoAdapter, "video adapters", {"Win32_VideoController"}, readVideoAdapters, true},
        {InventoryKind::Monitor, "monitors", {"WmiMonitorID", "WmiMonitorBasicDisplayParams"}, readMonitors, true},
        {InventoryKind::Battery,
         "batteries",
         {"Win32_Battery", "BatteryStaticData", "BatteryFullChargedCapacity", "BatteryCycleCount"},
         readBatteries},
        {InventoryKind::SoundDevice, "sound devices", {"Win32_SoundDevice"}, readSoundDevices},
        {InventoryKind::Printer, "printers", {"Win32_Printer"}, readPrinters},
        {InventoryKind::InputDevice,
         "keyboards and pointing devices",
         {"Win32_Keyboard", "Win32_PointingDevice"},
         readInputs},
        {InventoryKind::UsbDevice, "USB devices", {"Win32_PnPEntity"}, readUsbDevices},
        {InventoryKind::Temperature, "temperatures", {"MSAcpi_ThermalZoneTemperature"}, readTemperatures},
        {InventoryKind::Controller, "controllers", {"Win32_PnPEntity"}, readControllers},
        {InventoryKind::LocalUser, "local users", {"Win32_UserAccount"}, readLocalUsers},
        {InventoryKind::LocalGroup, "local groups", {"Win32_Group"}, readLocalGroups},
        {InventoryKind::Antivirus, "antivirus products", {"AntiVirusProduct"}, readAntivirus},
        {InventoryKind::Software,
         "software",
         {kInstalledSoftwareClass, "Win32_QuickFixEngineering", "Win32_InstalledStoreProgram"},
         readSoftware},
    };
    return kinds;
}

}  // namespace moravel
