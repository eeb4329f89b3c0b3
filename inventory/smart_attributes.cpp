#include "inventory/smart_attributes.h"

namespace moravel {
namespace {

constexpr std::size_t kTableStart = 2;
constexpr std::size_t kEntryBytes = 12;
constexpr std::size_t kEntries = 30;

unsigned byteAt(const std::string& data, std::size_t at) { return static_cast<unsigned char>(data[at]); }

const SmartAttribute* find(const std::vector<SmartAttribute>& attributes, unsigned id) {
    for (const SmartAttribute& attribute : attributes)
        if (attribute.id == id) return &attribute;
    return nullptr;
}

std::optional<std::uint64_t> count(const std::vector<SmartAttribute>& attributes, unsigned id) {
    const SmartAttribute* attribute = find(attributes, id);
    return attribute ? std::optional<std::uint64_t>(attribute->raw & 0xFFFFFFFFu) : std::nullopt;
}

std::optional<std::uint64_t> temperature(const std::vector<SmartAttribute>& attributes) {
    for (unsigned id : {194u, 190u})
        if (const SmartAttribute* attribute = find(attributes, id)) return attribute->raw & 0xFFu;
    return std::nullopt;
}

std::optional<std::uint64_t> wear(const std::vector<SmartAttribute>& attributes) {
    for (unsigned id : {177u, 231u, 233u, 202u, 169u}) {
        const SmartAttribute* attribute = find(attributes, id);
        if (attribute && attribute->value <= 100) return 100 - attribute->value;
    }
    return std::nullopt;
}

}  // namespace

std::vector<SmartAttribute> smartAttributes(const std::string& data) {
    std::vector<SmartAttribute> attributes;
    for (std::size_t i = 0; i < kEntries; ++i) {
        const std::size_t at = kTableStart + i * kEntryBytes;
        if (at + kEntryBytes > data.size()) break;
        SmartAttribute attribute;
        attribute.id = byteAt(data, at);
        if (attribute.id == 0) continue;
        attribute.value = byteAt(data, at + 3);
        attribute.worst = byteAt(data, at + 4);
        for (std::size_t b = 6; b-- > 0;) attribute.raw = attribute.raw << 8 | byteAt(data, at + 5 + b);
        attributes.push_back(attribute);
    }
    return attributes;
}

SmartReadings smartReadings(const std::vector<SmartAttribute>& attributes) {
    SmartReadings readings;
    readings.powerOnHours = count(attributes, 9);
    readings.powerCycles = count(attributes, 12);
    readings.temperatureCelsius = temperature(attributes);
    readings.reallocatedSectors = count(attributes, 5);
    readings.pendingSectors = count(attributes, 197);
    readings.uncorrectable = count(attributes, 187);
    readings.wearPercent = wear(attributes);
    return readings;
}

}  // namespace moravel
