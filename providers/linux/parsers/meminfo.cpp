#include "providers/linux/parsers/meminfo.h"

#include <sstream>

namespace moravel::lx {

std::optional<std::uint64_t> meminfoValue(const std::string& text, const char* key) {
    std::istringstream in(text);
    std::string wanted = std::string(key) + ":";
    for (std::string name; in >> name;) {
        std::uint64_t value = 0;
        if (!(in >> value)) return std::nullopt;
        if (name == wanted) return value;
        in.ignore(64, '\n');
    }
    return std::nullopt;
}

}  // namespace moravel::lx
