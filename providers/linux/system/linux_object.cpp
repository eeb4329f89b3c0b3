#include "providers/linux/system/linux_object.h"

#include <limits>

#include "query/wmi_names.h"

namespace moravel::lx {

LinuxObject& LinuxObject::add(const char* name, PropertyReader reader) {
    properties_.emplace_back(name, std::move(reader));
    return *this;
}

LinuxObject& LinuxObject::addNull(const char* name) {
    return add(name, [] { return WmiValue::null(); });
}

HResult LinuxObject::get(const std::string& property, WmiValue& value) {
    for (const auto& [name, reader] : properties_) {
        if (sameWmiName(name, property)) {
            value = answered(reader());
            return kOk;
        }
    }
    return kNotFound;
}

WmiValue LinuxObject::answered(WmiValue value) {
    // Linux itself never says "null": a value without a source here is answered as WMI answers
    // an empty property, so its field reads "None", never "Null".
    return value.type == vt::Null ? WmiValue::string({}) : value;
}

LinuxObject& newObject(ObjectList& objects) { return *objects.emplace_back(std::make_unique<LinuxObject>()); }

WmiValue stringOrNull(const std::optional<std::string>& text) {
    return text ? WmiValue::string(*text) : WmiValue::null();
}

WmiValue uint32OrNull(const std::optional<std::uint64_t>& number) {
    if (!number) return WmiValue::null();
    std::uint64_t limit = std::numeric_limits<std::uint32_t>::max();
    // The bit pattern of a uint32 in a signed 32-bit VT_I4, as the platform delivers it.
    std::uint32_t bits = static_cast<std::uint32_t>(*number > limit ? limit : *number);
    return WmiValue::i4(static_cast<std::int32_t>(bits));
}

WmiValue uint64OrNull(const std::optional<std::uint64_t>& number) {
    return number ? WmiValue::string(std::to_string(*number)) : WmiValue::null();
}

}  // namespace moravel::lx
