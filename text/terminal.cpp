#include "text/terminal.h"

#include <cstdio>

#include "text/utf8.h"

namespace moravel {
namespace {

bool isBidiControl(char32_t code) { return (code >= 0x202A && code <= 0x202E) || (code >= 0x2066 && code <= 0x2069); }

void appendEscape(std::string& shown, const char* form, unsigned value) {
    char text[12];  // room for any unsigned in the widest form
    std::snprintf(text, sizeof text, form, value);
    shown += text;
}

}  // namespace

std::string visibleText(const std::string& text) {
    std::string shown;
    shown.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const Utf8Character c = decodeUtf8(text, at);
        if (c.length == 0)
            appendEscape(shown, "\\x%02X", static_cast<unsigned char>(text[at]));
        else if (c.code < 0x20 || c.code == 0x7F)
            appendEscape(shown, "\\x%02X", static_cast<unsigned>(c.code));
        else if ((c.code >= 0x80 && c.code < 0xA0) || isBidiControl(c.code))
            appendEscape(shown, "\\u%04X", static_cast<unsigned>(c.code));
        else
            shown.append(text, at, c.length);
        at += c.length ? c.length : 1;
    }
    return shown;
}

}  // namespace moravel
