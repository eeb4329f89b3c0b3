#include "providers/linux/parsers/plain_text.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace moravel::lx {

std::string trim(const std::string& text) {
    const char* blanks = " \t\n\r\v\f";
    std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

std::optional<std::uint64_t> parseNumber(const std::string& text) {
    std::string t = trim(text);
    if (t.empty()) return std::nullopt;
    int base = 10;
    if (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) base = 16;
    char* end = nullptr;
    errno = 0;
    unsigned long long value = std::strtoull(t.c_str(), &end, base);
    if (errno != 0 || end == t.c_str() || *end != '\0' || t[0] == '-') return std::nullopt;
    return value;
}

bool startsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

std::string baseName(const std::string& path) {
    std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string hex(const char* format, unsigned value) {
    char text[16];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::optional<std::uint64_t> roundedMeasure(double value) {
    if (!(value >= 0 && value < 1e15)) return std::nullopt;
    return static_cast<std::uint64_t>(value + 0.5);
}

}  // namespace moravel::lx
