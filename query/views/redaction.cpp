#include "query/views/redaction.h"

#include "query/views/provider_tap.h"
#include "query/wmi_classes.h"
#include "query/wmi_names.h"

namespace moravel {
namespace {

// Whether the value's text would show anything of the machine: a non-empty string or a number.
bool showsSomething(const WmiValue& value) {
    if (value.type == vt::Bstr) return value.hasText && !value.text.empty() && value.text[0] != '\0';
    return isIntegerType(value.type);
}

// The codes of "(hidden)" in an array of the same length, zeros after it.
WmiValue hiddenCodes(const WmiValue& value) {
    std::vector<std::string> codes(value.items.size(), "0");
    for (std::size_t i = 0; i < codes.size() && kHiddenText[i]; ++i)
        codes[i] = std::to_string(static_cast<unsigned char>(kHiddenText[i]));
    return WmiValue::array(static_cast<std::uint16_t>(value.type & ~vt::Array), codes);
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
    std::optional<std::string> hypervisor() override { return inner_.hypervisor(); }
    bool redacted() override { return true; }
    std::optional<std::string> machineGuid() override {
        std::optional<std::string> guid = inner_.machineGuid();
        return guid ? std::optional<std::string>(kHiddenText) : std::nullopt;
    }

private:
    std::unique_ptr<SystemProbes> owned_;
    SystemProbes& inner_;
};

}  // namespace

WmiValue redactedValue(const std::string& className, const std::string& property, WmiValue value) {
    Identifies identifies = identifiesOf(className, property);
    if (identifies == Identifies::CharacterCodes && (value.type & vt::Array) && !value.items.empty() &&
        value.items[0] != "0")
        return hiddenCodes(value);
    if (identifies == Identifies::Nothing || !showsSomething(value)) return value;
    if (identifies == Identifies::Address && value.type == vt::Bstr) return WmiValue::string(hideHexDigits(value.text));
    const std::size_t lastBackslash = value.type == vt::Bstr ? value.text.rfind('\\') : std::string::npos;
    if (identifies == Identifies::DeviceInstance && lastBackslash != std::string::npos)
        return WmiValue::string(value.text.substr(0, lastBackslash + 1) + kHiddenText);
    return WmiValue::string(kHiddenText);
}

void HiddenValueSpotter::valueRead(const std::string& query, std::size_t, const std::string& property,
                                   WmiValue& value) {
    // Only a text that holds what redaction writes can be one it wrote; the class is looked up
    // for those alone, as a comparison may read millions of values.
    if (spotted || value.type != vt::Bstr ||
        (value.text.find(kHiddenText) == std::string::npos && value.text.find("XX") == std::string::npos))
        return;
    // A value redaction has hidden already is one it leaves as it is, in a property it hides.
    const std::string className = queriedClassName(query);
    spotted = identifiesOf(className, property) != Identifies::Nothing && showsSomething(value) &&
              redactedValue(className, property, value).text == value.text;
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
