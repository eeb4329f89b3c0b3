#include "providers/linux/parsers/udisks_health.h"

namespace moravel::lx {
namespace {

constexpr std::size_t kBlock = 512;
constexpr int kMilliseconds = 2, kMillikelvin = 4;

void put(std::string& bytes, std::size_t at, std::uint64_t value, std::size_t width) {
    for (std::size_t i = 0; i < width; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i) & 0xFF);
}

// The raw value a drive would hold for the interpreted one: hours, degrees Celsius, counts.
std::uint64_t rawOf(const UdisksAttribute& attribute) {
    if (attribute.pretty < 0) return 0;
    const auto pretty = static_cast<std::uint64_t>(attribute.pretty);
    if (attribute.unit == kMilliseconds) return pretty / 3600000;
    if (attribute.unit == kMillikelvin) return pretty >= 273150 ? (pretty - 273150 + 500) / 1000 : 0;
    return pretty & 0xFFFFFFFFFFFFu;
}

unsigned normalised(int value) { return value >= 0 && value <= 255 ? static_cast<unsigned>(value) : 0; }

}  // namespace

std::string ataTableFromUdisks(const std::vector<UdisksAttribute>& attributes) {
    std::string table(kBlock, '\0');
    put(table, 0, 16, 2);
    std::size_t slot = 0;
    for (const UdisksAttribute& attribute : attributes) {
        if (slot == 30 || attribute.id == 0 || attribute.id > 255) continue;
        const std::size_t at = 2 + 12 * slot++;
        put(table, at, attribute.id, 1);
        put(table, at + 1, attribute.flags, 2);
        put(table, at + 3, normalised(attribute.value), 1);
        put(table, at + 4, normalised(attribute.worst), 1);
        put(table, at + 5, rawOf(attribute), 6);
    }
    return table;
}

std::string nvmeLogFromUdisks(const UdisksNvme& nvme) {
    std::string log(kBlock, '\0');
    const char* const bits[] = {"spare", "temperature", "degraded", "readonly", "volatile_mem"};
    unsigned warning = 0;
    for (const std::string& word : nvme.criticalWarning)
        for (unsigned bit = 0; bit < 5; ++bit)
            if (word == bits[bit]) warning |= 1u << bit;
    put(log, 0, warning, 1);
    put(log, 1, nvme.temperatureKelvin.value_or(0) & 0xFFFF, 2);
    put(log, 3, nvme.availableSpare.value_or(0) & 0xFF, 1);
    put(log, 4, nvme.spareThreshold.value_or(0) & 0xFF, 1);
    put(log, 5, nvme.percentUsed.value_or(0) & 0xFF, 1);
    put(log, 112, nvme.powerCycles.value_or(0), 8);
    put(log, 128, nvme.powerOnHours.value_or(0), 8);
    put(log, 144, nvme.unsafeShutdowns.value_or(0), 8);
    put(log, 160, nvme.mediaErrors.value_or(0), 8);
    return log;
}

}  // namespace moravel::lx
