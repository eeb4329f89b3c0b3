// The SMART / health information log page of an NVMe controller (log identifier 2), as the
// admin command Get Log Page returns it: 512 bytes, numbers little-endian. Takes any bytes at all.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace moravel::lx {

struct NvmeHealth {
    unsigned criticalWarning = 0;               // bit 0 spare low, 1 temperature, 2 reliability, 3 read-only, 4 backup
    std::optional<unsigned> temperatureKelvin;  // the composite temperature; none where the controller says 0
    unsigned availableSpare = 0;                // percent
    unsigned spareThreshold = 0;                // percent
    unsigned percentageUsed = 0;                // of the rated life; may pass 100
    // 128-bit counters; none when a count does not fit 64 bits (no drive gets there honestly).
    std::optional<std::uint64_t> powerCycles;
    std::optional<std::uint64_t> powerOnHours;
    std::optional<std::uint64_t> unsafeShutdowns;
    std::optional<std::uint64_t> mediaErrors;  // media and data integrity errors
};

// The log's values; none for fewer than 512 bytes.
std::optional<NvmeHealth> nvmeHealth(const std::string& log);

}  // namespace moravel::lx
