#include "providers/linux/parsers/smbios.h"

#include <algorithm>
#include <sstream>

#include "providers/linux/parsers/bytes.h"
#include "providers/linux/parsers/plain_text.h"

namespace moravel::lx {

std::uint64_t SmbiosStructure::field(std::size_t at, std::size_t bytes) const {
    return at + bytes <= area.size() ? littleEndian(area, at, bytes) : 0;
}

std::string SmbiosStructure::text(std::size_t at) const {
    std::size_t number = at < area.size() ? byteAt(area, at) : 0;
    return number >= 1 && number <= strings.size() ? trim(strings[number - 1]) : std::string();
}

std::vector<SmbiosStructure> smbiosStructures(const std::string& table, unsigned wanted) {
    std::vector<SmbiosStructure> found;
    for (std::size_t at = 0; at + 4 <= table.size();) {
        unsigned type = byteAt(table, at);
        std::size_t length = byteAt(table, at + 1);
        if (length < 4 || at + length > table.size() || type == 127) break;
        // The formatted area is followed by its strings, ended by two NULs.
        std::size_t end = table.find(std::string(2, '\0'), at + length);
        if (end == std::string::npos) break;
        if (type == wanted) {
            SmbiosStructure structure{table.substr(at, length), {}};
            std::istringstream strings(table.substr(at + length, end - at - length));
            for (std::string text; std::getline(strings, text, '\0');) structure.strings.push_back(text);
            found.push_back(std::move(structure));
        }
        at = end + 2;
    }
    return found;
}

std::optional<std::uint64_t> smbiosEndingKib(const std::string& table) {
    std::optional<std::uint64_t> ending;
    for (const SmbiosStructure& range : smbiosStructures(table, 19)) {
        if (range.area.size() < 0x0F) continue;
        std::uint64_t end = range.field(8, 4);
        if (range.field(4, 4) == 0xFFFFFFFFu && range.area.size() >= 0x1F) end = range.field(0x17, 8) / 1024;
        ending = std::max(ending.value_or(0), end);
    }
    return ending;
}

}  // namespace moravel::lx
