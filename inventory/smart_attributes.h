// The SMART attribute table of an ATA drive, as SMART READ DATA returns it (Windows hands the same
// 512 bytes out as MSStorageDriver_FailurePredictData.VendorSpecific): a 2-byte revision, then 30
// entries of 12 bytes (id, flags, normalised value, worst, 6 raw bytes least significant first,
// one reserved). Takes any bytes at all.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace moravel {

struct SmartAttribute {
    unsigned id = 0;
    unsigned value = 0;  // normalised, 1 to 253 where the drive keeps one
    unsigned worst = 0;
    std::uint64_t raw = 0;  // 48 bits
};

// The table's entries, without the empty ones (id 0).
std::vector<SmartAttribute> smartAttributes(const std::string& data);

// What the attributes say of the drive's health, where it has the attribute. Counts are the low
// 32 bits of the raw value (vendors keep other things above them).
struct SmartReadings {
    std::optional<std::uint64_t> powerOnHours;        // 9
    std::optional<std::uint64_t> powerCycles;         // 12
    std::optional<std::uint64_t> temperatureCelsius;  // 194, else 190: the raw value's low byte
    std::optional<std::uint64_t> reallocatedSectors;  // 5
    std::optional<std::uint64_t> pendingSectors;      // 197
    std::optional<std::uint64_t> uncorrectable;       // 187, reported uncorrectable errors
    // For SSDs, 100 minus the normalised remaining life of the first wear attribute the drive has
    // (177 wear levelling, 231 life left, 233 media wearout, 202 lifetime remaining, 169 remaining
    // life), where that value is a percentage.
    std::optional<std::uint64_t> wearPercent;
};
SmartReadings smartReadings(const std::vector<SmartAttribute>& attributes);

}  // namespace moravel
