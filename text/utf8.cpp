#include "text/utf8.h"

namespace moravel {
namespace {

// The length of the character a byte begins: 1 to 4, 0 for a byte that begins none.
std::size_t sequenceLength(unsigned char lead) {
    return lead < 0x80                     ? 1
           : lead >= 0xC2 && lead <= 0xDF ? 2
           : lead >= 0xE0 && lead <= 0xEF ? 3
           : lead >= 0xF0 && lead <= 0xF4 ? 4
                                           : 0;
}

}  // namespace

Utf8Character decodeUtf8(const std::string& text, std::size_t at) {
    static constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};  // by length: shorter is overlong
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80) return {lead, 1};
    const std::size_t length = sequenceLength(lead);
    if (length == 0 || text.size() - at < length) return {0, 0};
    char32_t code = lead & (0x7Fu >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) return {0, 0};
        code = code << 6 | (byte(at + i) & 0x3Fu);
    }
    if (code < kLeast[length] || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) return {0, 0};
    return {code, length};
}

std::size_t completeUtf8Length(std::string_view bytes) {
    // The last byte that is no continuation byte, among the last three: a lead that wants more.
    for (std::size_t back = 1; back <= 3 && back <= bytes.size(); ++back) {
        const auto byte = static_cast<unsigned char>(bytes[bytes.size() - back]);
        if ((byte & 0xC0) == 0x80) continue;
        return sequenceLength(byte) > back ? bytes.size() - back : bytes.size();
    }
    return bytes.size();
}

std::string validUtf8(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = decodeUtf8(text, at).length;
        if (length == 0)
            out += "\xEF\xBF\xBD";
        else
            out.append(text, at, length);
        at += length ? length : 1;
    }
    return out;
}

bool endsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace moravel
