// Who made a screen and what it is, from its EDID (base block, VESA E-EDID 1.3/1.4), as Windows
// decodes it into WmiMonitorID and WmiMonitorBasicDisplayParams. Takes any bytes at all.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace moravel::lx {

struct EdidIdentity {
    std::string maker;        // the three-letter PNP id: "DEL"
    std::string productCode;  // four hexadecimal digits: "A1A4"
    std::string name;         // the display product name descriptor: "DELL U2723QE"
    std::string serial;       // the serial number descriptor, else the numeric serial
    std::optional<std::uint64_t> week, year;
    std::optional<std::uint64_t> widthCm, heightCm;
};

// Nothing when the bytes do not start with an EDID header.
std::optional<EdidIdentity> edidIdentity(const std::string& edid);

}  // namespace moravel::lx
