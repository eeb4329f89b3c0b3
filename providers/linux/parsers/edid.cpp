#include "providers/linux/parsers/edid.h"

#include "providers/linux/parsers/bytes.h"
#include "providers/linux/parsers/plain_text.h"

namespace moravel::lx {

std::optional<std::uint64_t> edidCurrentRefresh(const std::string& edid) {
    if (edid.size() < 72) return std::nullopt;
    const std::size_t d = 54;
    double clock = (byteAt(edid, d) | byteAt(edid, d + 1) << 8) * 10000.0;
    unsigned hTotal = byteAt(edid, d + 2) + byteAt(edid, d + 3) + ((byteAt(edid, d + 4) & 0xF0) << 4) +
                      ((byteAt(edid, d + 4) & 0x0F) << 8);
    unsigned vTotal = byteAt(edid, d + 5) + byteAt(edid, d + 6) + ((byteAt(edid, d + 7) & 0xF0) << 4) +
                      ((byteAt(edid, d + 7) & 0x0F) << 8);
    if (clock <= 0 || hTotal == 0 || vTotal == 0) return std::nullopt;
    return roundedMeasure(clock / (hTotal * static_cast<double>(vTotal)));
}

std::optional<std::uint64_t> edidMaxRefresh(const std::string& edid) {
    for (std::size_t d = 54; d + 18 <= 126 && d + 18 <= edid.size(); d += 18) {
        if (byteAt(edid, d) != 0 || byteAt(edid, d + 1) != 0 || byteAt(edid, d + 3) != 0xFD) continue;
        return byteAt(edid, d + 6) + ((byteAt(edid, d + 4) & 0x02) ? 255u : 0u);
    }
    return std::nullopt;
}

}  // namespace moravel::lx
