#include "providers/linux/parsers/snap_yaml.h"

#include "providers/linux/parsers/plain_text.h"
#include "query/installed_software.h"

namespace moravel::lx {
namespace {

std::string unquoted(std::string value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

// The value of a line's flow list "[amd64, arm64]": its first item.
std::string firstOfFlowList(const std::string& value) {
    if (value.size() < 2 || value.front() != '[') return value;
    std::size_t end = value.find_first_of(",]", 1);
    return trim(value.substr(1, end == std::string::npos ? std::string::npos : end - 1));
}

}  // namespace

std::string snapYamlValue(const std::string& text, const std::string& key) {
    std::size_t at = 0;
    bool inList = false;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(at, end - at);
        at = end + 1;
        if (inList) {
            std::string item = trim(line);
            if (item.compare(0, 2, "- ") == 0) return clippedSoftwareText(unquoted(trim(item.substr(2))));
            if (!item.empty() && line[0] != ' ') return {};  // the next key: an empty list
            continue;
        }
        if (line.compare(0, key.size() + 1, key + ":") != 0) continue;
        std::string value = trim(line.substr(key.size() + 1));
        if (!value.empty()) return clippedSoftwareText(unquoted(firstOfFlowList(value)));
        inList = true;
    }
    return {};
}

}  // namespace moravel::lx
