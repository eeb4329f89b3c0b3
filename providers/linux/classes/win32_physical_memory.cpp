// Win32_PhysicalMemory: one object per installed module, from the firmware's table when it is
// readable, else from what udev recorded of it (see memory_modules.h).
#include "providers/linux/parsers/memory_modules.h"
#include "providers/linux/classes/readers.h"
#include "query/smbios_names.h"

namespace moravel::lx {
namespace {

std::vector<MemoryModuleInfo> installedModules(const LinuxContext& context) {
    std::optional<std::string> table = context.fs.read("/sys/firmware/dmi/tables/DMI");
    std::vector<MemoryModuleInfo> modules = table ? smbiosMemoryModules(*table) : std::vector<MemoryModuleInfo>();
    if (!modules.empty()) return modules;
    return udevMemoryModules(context.udev.record("+dmi:id"));
}

WmiValue textOrNull(const std::string& text) { return text.empty() ? WmiValue::null() : WmiValue::string(text); }

}  // namespace

ObjectList readPhysicalMemory(const LinuxContext& context) {
    ObjectList objects;
    for (const MemoryModuleInfo& module : installedModules(context)) {
        newObject(objects)
            .add("BankLabel", [module] { return textOrNull(module.bank); })
            .add("DeviceLocator", [module] { return textOrNull(module.locator); })
            .add("Capacity", [module] { return uint64OrNull(module.sizeBytes); })
            .add("SMBIOSMemoryType", [module] { return uint32OrNull(module.type.value_or(0)); })
            .add("MemoryType", [] { return uint32OrNull(0); })  // the older CIM code: unknown, as on Windows 10
            .add("FormFactor",
                 [module] { return uint32OrNull(cimFormFactor(module.formFactor.value_or(2)).value_or(0)); })
            .add("Speed", [module] { return uint32OrNull(module.speed); })
            .add("ConfiguredClockSpeed", [module] { return uint32OrNull(module.configuredSpeed); })
            .add("Manufacturer", [module] { return textOrNull(module.manufacturer); })
            .add("PartNumber", [module] { return textOrNull(module.partNumber); })
            .add("SerialNumber", [module] { return textOrNull(module.serialNumber); });
    }
    return objects;
}

}  // namespace moravel::lx
