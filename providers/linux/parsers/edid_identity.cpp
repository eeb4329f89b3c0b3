#include "providers/linux/parsers/edid_identity.h"

#include <cstdio>

#include "providers/linux/parsers/bytes.h"

namespace moravel::lx {
namespace {

// A descriptor's text: up to 13 characters, ended by a line feed, padded with blanks.
std::string descriptorText(const std::string& edid, std::size_t at) {
    std::string text;
    for (std::size_t i = at + 5; i < at + 18; ++i) {
        unsigned c = byteAt(edid, i);
        if (c == 0x0A || c == 0) break;
        text += c >= 0x20 && c < 0x7F ? static_cast<char>(c) : '?';
    }
    std::size_t end = text.find_last_not_of(' ');
    return end == std::string::npos ? std::string() : text.substr(0, end + 1);
}

}  // namespace

std::optional<EdidIdentity> edidIdentity(const std::string& edid) {
    static const std::string kHeader("\x00\xFF\xFF\xFF\xFF\xFF\xFF\x00", 8);
    if (edid.size() < 128 || edid.compare(0, 8, kHeader) != 0) return std::nullopt;
    EdidIdentity identity;
    unsigned maker = byteAt(edid, 8) << 8 | byteAt(edid, 9);
    for (int shift = 10; shift >= 0; shift -= 5) {
        unsigned letter = maker >> shift & 0x1F;
        if (letter >= 1 && letter <= 26) identity.maker += static_cast<char>('A' + letter - 1);
    }
    char code[8];
    std::snprintf(code, sizeof code, "%04X", byteAt(edid, 10) | byteAt(edid, 11) << 8);
    identity.productCode = code;
    for (std::size_t at = 54; at + 18 <= 126; at += 18) {
        if (byteAt(edid, at) != 0 || byteAt(edid, at + 1) != 0) continue;  // a timing, not a descriptor
        if (byteAt(edid, at + 3) == 0xFC) identity.name = descriptorText(edid, at);
        if (byteAt(edid, at + 3) == 0xFF) identity.serial = descriptorText(edid, at);
    }
    std::uint64_t number = littleEndian(edid, 12, 4);
    if (identity.serial.empty() && number != 0) identity.serial = std::to_string(number);
    unsigned week = byteAt(edid, 16), year = byteAt(edid, 17);
    if (week >= 1 && week <= 54) identity.week = week;
    if (year > 0) identity.year = 1990 + year;  // week 0xFF: the model year
    if (byteAt(edid, 21) > 0 && byteAt(edid, 22) > 0) {
        identity.widthCm = byteAt(edid, 21);
        identity.heightCm = byteAt(edid, 22);
    }
    return identity;
}

}  // namespace moravel::lx
