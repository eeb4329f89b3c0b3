#include <algorithm>
#include <cstdio>

#include "app/report_writers.h"

namespace moravel {
namespace {

std::string escapeByte(unsigned value, const char* form) {
    char text[8];
    std::snprintf(text, sizeof text, form, value);
    return text;
}

// The length of the well-formed UTF-8 sequence at `at`, or 0.
std::size_t sequenceLength(const std::string& text, std::size_t at) {
    unsigned char lead = static_cast<unsigned char>(text[at]);
    std::size_t length = lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 && lead < 0xE0 ? 2 : 0;
    if (length == 0 || at + length > text.size()) return 0;
    for (std::size_t i = 1; i < length; ++i)
        if ((static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80) return 0;
    unsigned char second = static_cast<unsigned char>(text[at + 1]);
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second >= 0xA0) || (lead == 0xF0 && second < 0x90) ||
        (lead == 0xF4 && second >= 0x90))
        return 0;  // overlong, surrogate or beyond U+10FFFF
    return length;
}

std::size_t longestCaption(const std::vector<GroupRecord>& groups) {
    std::size_t longest = 0;
    for (const GroupRecord& group : groups)
        for (const FieldRecord& field : group.fields) longest = std::max(longest, field.label.size());
    return longest;
}

}  // namespace

std::string visibleText(const std::string& text) {
    std::string shown;
    shown.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        unsigned char byte = static_cast<unsigned char>(text[at]);
        std::size_t length = byte < 0x80 ? 1 : sequenceLength(text, at);
        unsigned char second = length == 2 ? static_cast<unsigned char>(text[at + 1]) : 0;
        if (byte < 0x20 || byte == 0x7F || (length == 0 && byte < 0xA0)) {
            shown += escapeByte(byte, "\\x%02X");  // C0, DEL, or a stray byte a terminal may take for C1
        } else if (byte == 0xC2 && second < 0xA0) {
            shown += escapeByte(second, "\\u00%02X");  // C1 written as UTF-8
        } else {
            shown.append(text, at, std::max<std::size_t>(length, 1));
        }
        at += std::max<std::size_t>(length, 1);
    }
    return shown;
}

void writeTextReport(const std::vector<GroupRecord>& groups, std::ostream& out) {
    const std::size_t column = longestCaption(groups) + 1;
    for (const GroupRecord& group : groups) {
        out << visibleText(group.label) << '\n';
        for (const FieldRecord& field : group.fields) {
            out << "  " << visibleText(field.label);
            // No padding after the caption of an empty field: lines carry no trailing blanks.
            if (!field.text.empty()) out << std::string(column - field.label.size(), ' ') << visibleText(field.text);
            out << '\n';
        }
    }
    out.flush();
}

std::string withCrlfLineEnds(const std::string& text) {
    std::string crlf;
    crlf.reserve(text.size() + text.size() / 32);
    for (char c : text) {
        if (c == '\n') crlf += '\r';
        crlf += c;
    }
    return crlf;
}

std::string textFileContent(const std::string& report) {
#ifdef _WIN32
    return withCrlfLineEnds(report);
#else
    return report;
#endif
}

}  // namespace moravel
