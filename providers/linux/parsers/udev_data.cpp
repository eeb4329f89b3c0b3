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

std::optional<std::string> udevDecoded(const std::string& value) {
    std::string decoded = trim(decodeEscapes(value));
    return decoded.empty() ? std::nullopt : std::optional<std::string>(decoded);
}

UdevProperties udevProperties(const std::string& data) {
    UdevProperties properties;
    std::istringstream lines(data);
    for (std::string line; std::getline(lines, line);) {
        std::size_t equals = line.find('=');
        if (line.compare(0, 2, "E:") != 0 || equals == std::string::npos) continue;
        properties.emplace_back(line.substr(2, equals - 2), line.substr(equals + 1));
    }
    return properties;
}

std::optional<std::string> udevValue(const UdevProperties& properties, const std::string& key) {
    for (const auto& [name, value] : properties)
        if (name == key)
            if (std::optional<std::string> decoded = udevDecoded(value)) return decoded;
    return std::nullopt;
}

std::optional<std::uint64_t> udevMemoryBytes(const UdevProperties& properties) {
    std::optional<std::uint64_t> total;
    for (const auto& [name, value] : properties) {
        const std::string prefix = "MEMORY_DEVICE_";
        if (name.compare(0, prefix.size(), prefix) != 0 || name.compare(name.size() - 5, 5, "_SIZE") != 0) continue;
        if (std::optional<std::uint64_t> bytes = parseNumber(value))
            total = total.value_or(0) + std::min<std::uint64_t>(*bytes, std::uint64_t{1} << 50);  // no sum overflows
    }
    return total;
}

}  // namespace moravel::lx
