#include "providers/linux/parsers/memory_modules.h"

#include <map>

#include "providers/linux/parsers/plain_text.h"
#include "providers/linux/parsers/smbios.h"
#include "providers/linux/parsers/udev_data.h"
#include "query/smbios_names.h"

namespace moravel::lx {
namespace {

constexpr unsigned kMemoryDevice = 17;

// Size: MiB or, with the top bit, KiB; 0x7FFF means the extended size (MiB) says it.
std::uint64_t moduleBytes(const SmbiosStructure& device) {
    std::uint64_t size = device.field(0x0C, 2);
    if (size == 0 || size == 0xFFFF) return 0;
    if (size == 0x7FFF) return device.field(0x1C, 4) << 20;
    return size & 0x8000 ? (size & 0x7FFF) << 10 : size << 20;
}

// A speed of 0xFFFF points to its 32-bit extension; 0 is unknown.
std::optional<std::uint64_t> speedAt(const SmbiosStructure& device, std::size_t at, std::size_t extended) {
    std::uint64_t speed = device.field(at, 2);
    if (speed == 0xFFFF) speed = device.field(extended, 4);
    return speed ? std::optional<std::uint64_t>(speed) : std::nullopt;
}

std::optional<std::uint64_t> knownCode(std::uint64_t code) {
    return code > 2 ? std::optional<std::uint64_t>(code) : std::nullopt;  // 1 other, 2 unknown
}

}  // namespace

std::vector<MemoryModuleInfo> smbiosMemoryModules(const std::string& table) {
    std::vector<MemoryModuleInfo> modules;
    for (const SmbiosStructure& device : smbiosStructures(table, kMemoryDevice)) {
        MemoryModuleInfo module;
        module.sizeBytes = moduleBytes(device);
        if (module.sizeBytes == 0) continue;  // an empty slot
        module.formFactor = knownCode(device.field(0x0E, 1));
        module.locator = device.text(0x10);
        module.bank = device.text(0x11);
        module.type = knownCode(device.field(0x12, 1));
        module.speed = speedAt(device, 0x15, 0x54);
        module.manufacturer = device.text(0x17);
        module.serialNumber = device.text(0x18);
        module.partNumber = device.text(0x1A);
        module.configuredSpeed = speedAt(device, 0x20, 0x58);
        modules.push_back(std::move(module));
    }
    return modules;
}

std::vector<MemoryModuleInfo> udevMemoryModules(const UdevProperties& properties) {
    std::map<unsigned long, MemoryModuleInfo> byNumber;
    const std::string prefix = "MEMORY_DEVICE_";
    for (const auto& [name, raw] : properties) {
        std::size_t underscore = name.find('_', prefix.size());
        if (name.compare(0, prefix.size(), prefix) != 0 || underscore == std::string::npos) continue;
        std::optional<std::uint64_t> number = parseNumber(name.substr(prefix.size(), underscore - prefix.size()));
        std::string field = name.substr(underscore + 1);
        std::optional<std::string> value = udevDecoded(raw);
        if (!number || *number > 1024 || !value) continue;
        MemoryModuleInfo& module = byNumber[*number];
        if (field == "SIZE")
            module.sizeBytes = parseNumber(*value).value_or(0);
        else if (field == "LOCATOR")
            module.locator = *value;
        else if (field == "BANK_LOCATOR")
            module.bank = *value;
        else if (field == "MANUFACTURER")
            module.manufacturer = *value;
        else if (field == "PART_NUMBER")
            module.partNumber = *value;
        else if (field == "SERIAL_NUMBER")
            module.serialNumber = *value;
        else if (field == "TYPE")
            module.type = smbiosMemoryTypeCode(*value);
        else if (field == "FORM_FACTOR")
            module.formFactor = smbiosFormFactorCode(*value);
        else if (field == "SPEED_MTS")
            module.speed = parseNumber(*value);
        else if (field == "CONFIGURED_SPEED_MTS")
            module.configuredSpeed = parseNumber(*value);
    }
    std::vector<MemoryModuleInfo> modules;
    for (auto& entry : byNumber)
        if (entry.second.sizeBytes > 0) modules.push_back(std::move(entry.second));
    return modules;
}

}  // namespace moravel::lx
