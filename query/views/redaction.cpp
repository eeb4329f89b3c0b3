#include "query/views/redaction.h"

#include "query/views/provider_tap.h"
#include "query/wmi_names.h"

namespace moravel {
namespace {

// Text: the whole value; Address: every digit of a hardware address; Instance: the part of a
// device instance path after its last backslash (a USB device's serial number); Codes: a text
// held as an array of character codes (WmiMonitorID).
enum class Hide { Text, Address, Instance, Codes };

struct HiddenProperty {
    const char* className;  // "*": any class
    const char* property;
    Hide as;
};

// Names of the machine, its owner and its domain, every serial number and the system UUID (the
// battery's DeviceID starts with its serial), and the hardware addresses.
const HiddenProperty kHidden[] = {
    {"*", "SystemName", Hide::Text},
    {"*", "CSName", Hide::Text},
    {"Win32_ComputerSystem", "Name", Hide::Text},
    {"Win32_ComputerSystem", "DNSHostName", Hide::Text},
    {"Win32_ComputerSystem", "PrimaryOwnerName", Hide::Text},
    {"Win32_ComputerSystem", "UserName", Hide::Text},
    {"Win32_ComputerSystem", "Domain", Hide::Text},
    {"Win32_ComputerSystem", "Workgroup", Hide::Text},
    {"Win32_OperatingSystem", "SerialNumber", Hide::Text},
    {"Win32_OperatingSystem", "RegisteredUser", Hide::Text},
    {"Win32_OperatingSystem", "Organization", Hide::Text},
    {"Win32_BaseBoard", "SerialNumber", Hide::Text},
    {"Win32_BIOS", "SerialNumber", Hide::Text},
    {"Win32_SystemEnclosure", "SerialNumber", Hide::Text},
    {"Win32_PhysicalMedia", "SerialNumber", Hide::Text},
    {"Win32_DiskDrive", "SerialNumber", Hide::Text},
    {"Win32_LogicalDisk", "VolumeSerialNumber", Hide::Text},
    {"Win32_Battery", "DeviceID", Hide::Text},
    {"Win32_ComputerSystemProduct", "UUID", Hide::Text},
    {"Win32_ComputerSystemProduct", "IdentifyingNumber", Hide::Text},
    {"Win32_NetworkAdapterConfiguration", "DNSHostName", Hide::Text},
    {"Win32_NetworkAdapterConfiguration", "DNSDomain", Hide::Text},
    {"Win32_NetworkAdapterConfiguration", "MACAddress", Hide::Address},
    {"Win32_NetworkAdapter", "MACAddress", Hide::Address},
    {"Win32_NetworkAdapter", "PermanentAddress", Hide::Address},
    {"Win32_PhysicalMemory", "SerialNumber", Hide::Text},
    {"BatteryStaticData", "SerialNumber", Hide::Text},
    {"WmiMonitorID", "SerialNumberID", Hide::Codes},
    {"Win32_PnPEntity", "DeviceID", Hide::Instance},
    {"Win32_DiskDrive", "PNPDeviceID", Hide::Instance},
};

const HiddenProperty* hiddenProperty(const std::string& className, const std::string& property) {
    for (const HiddenProperty& hidden : kHidden)
        if ((sameWmiName(className, hidden.className) || hidden.className[0] == '*') &&
            sameWmiName(property, hidden.property))
            return &hidden;
    return nullptr;
}

// Whether the value's text would show anything of the machine: a non-empty string or a number.
bool showsSomething(const WmiValue& value) {
    switch (value.type) {
    case vt::Bstr: return value.hasText && !value.text.empty() && value.text[0] != '\0';
    case vt::I2: case vt::I4: case vt::I1: case vt::UI1: case vt::UI2: case vt::UI4: case vt::I8: case vt::UI8:
        return true;
    default: return false;
    }
}

class RedactingTap : public ProviderTap {
public:
    void valueRead(const std::string& query, std::size_t, const std::string& property, WmiValue& value) override {
        value = redactedValue(queriedClassName(query), property, std::move(value));
    }
};

// The list keeps its length, so the last adapter is still the last; its bytes are never handed out.
class RedactingProbes : public SystemProbes {
public:
    RedactingProbes(SystemProbes& inner, std::unique_ptr<SystemProbes> owned)
        : owned_(std::move(owned)), inner_(inner) {}
    bool memoryStatus(MemoryStatus& status) override { return inner_.memoryStatus(status); }
    std::vector<HardwareAddress> adapterAddresses() override {
        return std::vector<HardwareAddress>(inner_.adapterAddresses().size(), HardwareAddress{});
    }
    std::optional<OsVersion> osVersion() override { return inner_.osVersion(); }
    bool addressesHidden() override { return true; }
    std::optional<std::string> machineGuid() override {
        std::optional<std::string> guid = inner_.machineGuid();
        return guid ? std::optional<std::string>(kHiddenText) : std::nullopt;
    }

private:
    std::unique_ptr<SystemProbes> owned_;
    SystemProbes& inner_;
};

}  // namespace

// The codes of "(hidden)" in an array of the same length, zeros after it.
WmiValue hiddenCodes(const WmiValue& value) {
    std::vector<std::string> codes(value.items.size(), "0");
    for (std::size_t i = 0; i < codes.size() && kHiddenText[i]; ++i)
        codes[i] = std::to_string(static_cast<unsigned char>(kHiddenText[i]));
    return WmiValue::array(static_cast<std::uint16_t>(value.type & ~vt::Array), codes);
}

WmiValue redactedValue(const std::string& className, const std::string& property, WmiValue value) {
    const HiddenProperty* hidden = hiddenProperty(className, property);
    if (hidden && hidden->as == Hide::Codes && (value.type & vt::Array) && value.items.size() > 0 && value.items[0] != "0")
        return hiddenCodes(value);
    if (!hidden || !showsSomething(value)) return value;
    if (hidden->as == Hide::Address && value.type == vt::Bstr) return WmiValue::string(hideHexDigits(value.text));
    if (hidden->as == Hide::Instance && value.type == vt::Bstr && value.text.rfind('\\') != std::string::npos)
        return WmiValue::string(value.text.substr(0, value.text.rfind('\\') + 1) + kHiddenText);
    return WmiValue::string(kHiddenText);
}

Backend makeRedactedBackend(Backend inner) {
    WmiProvider& provider = *inner.provider;
    SystemProbes& probes = *inner.probes;
    return {makeTappedProvider(provider, std::make_shared<RedactingTap>(), std::move(inner.provider)),
            std::make_unique<RedactingProbes>(probes, std::move(inner.probes))};
}

Backend makeRedactedView(WmiProvider& provider, SystemProbes& probes) {
    return {makeTappedProvider(provider, std::make_shared<RedactingTap>()),
            std::make_unique<RedactingProbes>(probes, nullptr)};
}

}  // namespace moravel
