#include "providers/linux/parsers/nvme_health.h"

#include "providers/linux/parsers/bytes.h"

namespace moravel::lx {
namespace {

constexpr std::size_t kLogBytes = 512;

// A 16-byte counter: its low 8 bytes, when the high ones are zero.
std::optional<std::uint64_t> counter(const std::string& log, std::size_t at) {
    if (littleEndian(log, at + 8, 8) != 0) return std::nullopt;
    return littleEndian(log, at, 8);
}

}  // namespace

std::optional<NvmeHealth> nvmeHealth(const std::string& log) {
    if (log.size() < kLogBytes) return std::nullopt;
    NvmeHealth health;
    health.criticalWarning = byteAt(log, 0);
    if (unsigned kelvin = static_cast<unsigned>(littleEndian(log, 1, 2))) health.temperatureKelvin = kelvin;
    health.availableSpare = byteAt(log, 3);
    health.spareThreshold = byteAt(log, 4);
    health.percentageUsed = byteAt(log, 5);
    health.powerCycles = counter(log, 112);
    health.powerOnHours = counter(log, 128);
    health.unsafeShutdowns = counter(log, 144);
    health.mediaErrors = counter(log, 160);
    return health;
}

}  // namespace moravel::lx
