// The values that come from direct system calls rather than WMI, and the operating-system
// version that start-up tests.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace moravel {

struct MemoryStatus {
    std::uint32_t memoryLoad = 0;  // percent in use, 0 to 100
    std::uint64_t availPhys = 0;   // bytes
};

using HardwareAddress = std::array<std::uint8_t, 6>;

struct OsVersion {
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
};

class SystemProbes {
public:
    virtual ~SystemProbes() = default;
    // GlobalMemoryStatusEx or its equivalent; false when the platform cannot tell.
    virtual bool memoryStatus(MemoryStatus& status) = 0;
    // The adapter list in the platform's order; empty when there is none or it cannot be read.
    virtual std::vector<HardwareAddress> adapterAddresses() = 0;
    // A version that replaces the platform's own for the notice test, if this source has one.
    virtual std::optional<OsVersion> osVersion() { return std::nullopt; }
    // True when the addresses stand for hidden ones: their texts then show every digit as an X.
    virtual bool addressesHidden() { return false; }
    // True when the answers hide what identifies the machine and its owner (a redacted view, or a
    // snapshot saved through one): such answers are no machine's inventory.
    virtual bool redacted() { return false; }
    // The identifier the system gives its installation (Windows MachineGuid, Linux machine-id);
    // it stays the same across boots, so inventory servers recognise the machine by it.
    virtual std::optional<std::string> machineGuid() { return std::nullopt; }
    // The hypervisor the system runs under, by the name inventory servers know it ("KVM",
    // "VMware", "Hyper-V"), as the processor itself tells it; empty text on hardware, nothing
    // where the platform does not say (the inventory then judges by the machine's model).
    virtual std::optional<std::string> hypervisor() { return std::nullopt; }
};

struct MemoryTexts {
    std::string available;  // "2048 MB"
    std::string load;       // "45%"
};

// The probes as the System group reads them, through `probes` (null: nothing to read).
MemoryTexts readMemoryStatus(SystemProbes* probes);
// The address of the last adapter in the list, or empty text when there is none.
std::string readAdapterAddress(SystemProbes* probes);

MemoryTexts formatMemoryStatus(const MemoryStatus& status);
std::string formatAdapterAddress(const HardwareAddress& address);
// An address as `probes` give it out: formatted, and with every digit an X when they hide it.
std::string adapterAddressText(SystemProbes& probes, const HardwareAddress& address);
// Every hexadecimal digit of `text` replaced by "X", the separators kept.
std::string hideHexDigits(std::string text);

}  // namespace moravel
