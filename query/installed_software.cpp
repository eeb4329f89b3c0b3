#include "query/installed_software.h"

namespace moravel {

std::string clippedSoftwareText(std::string text) {
    if (text.size() <= kMaxSoftwareTextBytes) return text;
    std::size_t cut = kMaxSoftwareTextBytes;
    // Back over the continuation bytes of a character the cut would split (at most three).
    for (int i = 0; i < 3 && cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80; ++i) --cut;
    text.resize(cut);
    return text;
}

}  // namespace moravel
