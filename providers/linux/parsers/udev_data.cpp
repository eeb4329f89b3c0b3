#include "providers/linux/parsers/udev_data.h"

#include <algorithm>
#include <cctype>
#include <sstream>

#include "providers/linux/parsers/plain_text.h"

namespace moravel::lx {
namespace {

// "\x20" escapes as udev writes them in its *_ENC values.
std::string decodeEscapes(const std::string& text) {
    std::string decoded;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 2, "\\x") == 0 && i + 3 < text.size() &&
            std::isxdigit(static_cast<unsigned char>(text[i + 2])) &&
            std::isxdigit(static_cast<unsigned char>(text[i + 3]))) {
            decoded += static_cast<char>(std::stoi(text.substr(i + 2, 2), nullptr, 16));
            i += 3;
        } else {
            decoded += text[i];
        }
    }
    return decoded;
}

}  // namespace

std::optional<std::string> udevValue(const std::string& data, const std::string& key) {
    std::istringstream lines(data);
    std::string prefix = "E:" + key + "=";
    for (std::string line; std::getline(lines, line);) {
        if (line.compare(0, prefix.size(), prefix) != 0) continue;
        std::string value = trim(decodeEscapes(line.substr(prefix.size())));
        if (!value.empty()) return value;
    }
    return std::nullopt;
}

std::optional<std::uint64_t> udevMemoryBytes(const std::string& data) {
    std::optional<std::uint64_t> total;
    std::istringstream lines(data);
    for (std::string line; std::getline(lines, line);) {
        const std::string prefix = "E:MEMORY_DEVICE_";
        std::size_t equals = line.find('=');
        if (line.compare(0, prefix.size(), prefix) != 0 || equals == std::string::npos || equals < 5 ||
            line.compare(equals - 5, 5, "_SIZE") != 0)
            continue;
        if (std::optional<std::uint64_t> bytes = parseNumber(line.substr(equals + 1)))
            total = total.value_or(0) + std::min<std::uint64_t>(*bytes, std::uint64_t{1} << 50);  // no sum overflows
    }
    return total;
}

}  // namespace moravel::lx
