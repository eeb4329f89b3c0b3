#include "providers/linux/parsers/accounts.h"

#include <algorithm>
#include <sstream>

#include "providers/linux/parsers/plain_text.h"

namespace moravel::lx {
namespace {

// The colon-separated fields of a line; a line with another count is not an entry.
std::vector<std::string> fields(const std::string& line, std::size_t count) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t colon; (colon = line.find(':', start)) != std::string::npos && parts.size() + 1 < count;
         start = colon + 1)
        parts.push_back(line.substr(start, colon - start));
    parts.push_back(line.substr(start));
    return parts.size() == count ? parts : std::vector<std::string>();
}

// Lines that hold entries: not comments, not NIS's "+"/"-" inclusions, not blank.
template <typename Take>
void eachEntryLine(const std::string& text, std::size_t fieldCount, Take take) {
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (line.empty() || line[0] == '#' || line[0] == '+' || line[0] == '-') continue;
        std::vector<std::string> parts = fields(line, fieldCount);
        if (parts.empty() || parts[0].empty()) continue;
        std::optional<std::uint64_t> id = parseNumber(parts[2]);
        if (id && parts[2].find_first_not_of("0123456789") == std::string::npos) take(parts, *id);
    }
}

}  // namespace

std::vector<AccountEntry> passwdEntries(const std::string& text) {
    std::vector<AccountEntry> entries;
    eachEntryLine(text, 7, [&](const std::vector<std::string>& parts, std::uint64_t uid) {
        entries.push_back({parts[0], uid, trim(parts[4].substr(0, parts[4].find(',')))});
    });
    return entries;
}

std::vector<AccountEntry> groupEntries(const std::string& text) {
    std::vector<AccountEntry> entries;
    eachEntryLine(text, 4, [&](const std::vector<std::string>& parts, std::uint64_t gid) {
        entries.push_back({parts[0], gid, {}});
    });
    return entries;
}

std::vector<std::string> nameServers(const std::string& text) {
    std::vector<std::string> servers;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        std::string keyword, address;
        if (!(words >> keyword >> address) || keyword != "nameserver") continue;
        if (std::find(servers.begin(), servers.end(), address) == servers.end()) servers.push_back(address);
    }
    return servers;
}

}  // namespace moravel::lx
