#include "providers/linux/parsers/os_release.h"

#include <sstream>

#include "providers/linux/parsers/plain_text.h"

namespace moravel::lx {
namespace {

// A shell-style value of os-release: quotes removed, backslash escapes resolved.
std::string unquote(const std::string& value) {
    if (value.size() < 2 || (value.front() != '"' && value.front() != '\'') || value.back() != value.front())
        return value;
    std::string text;
    for (std::size_t i = 1; i + 1 < value.size(); ++i) {
        if (value[i] == '\\' && i + 2 < value.size()) ++i;
        text += value[i];
    }
    return text;
}

}  // namespace

std::optional<std::string> osReleaseValue(const std::string& text, const std::string& key) {
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (line.compare(0, key.size() + 1, key + "=") != 0) continue;
        std::string value = unquote(trim(line.substr(key.size() + 1)));
        if (!value.empty()) return value;
    }
    return std::nullopt;
}

std::optional<std::string> distributionRelease(const std::string& osRelease, const std::string& debianVersion) {
    std::optional<std::string> id = osReleaseValue(osRelease, "VERSION_ID");
    std::string point = trim(debianVersion.substr(0, debianVersion.find('\n')));
    bool numbered = !point.empty() && point.find_first_not_of("0123456789.") == std::string::npos;
    if (numbered && (!id || point == *id || point.compare(0, id->size() + 1, *id + ".") == 0)) return point;
    return id;
}

}  // namespace moravel::lx
