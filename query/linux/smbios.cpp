#include "query/linux/smbios.h"

#include <algorithm>

#include "query/linux/bytes.h"

namespace moravel::lx {

std::optional<std::uint64_t> smbiosEndingKib(const std::string& t) {
    std::optional<std::uint64_t> ending;
    for (std::size_t at = 0; at + 4 <= t.size();) {
        unsigned type = byteAt(t, at);
        std::size_t length = byteAt(t, at + 1);
        if (length < 4 || at + length > t.size() || type == 127) break;
        if (type == 19 && length >= 0x0F) {
            std::uint64_t end = littleEndian(t, at + 8, 4);
            if (littleEndian(t, at + 4, 4) == 0xFFFFFFFFu && length >= 0x1F) end = littleEndian(t, at + 0x17, 8) / 1024;
            ending = std::max(ending.value_or(0), end);
        }
        // The formatted area is followed by its strings, ended by two NULs.
        std::size_t strings = t.find(std::string(2, '\0'), at + length);
        if (strings == std::string::npos) break;
        at = strings + 2;
    }
    return ending;
}

}  // namespace moravel::lx
