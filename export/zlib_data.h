// zlib streams (RFC 1950), the form OCS Inventory's agents send and its import takes.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace moravel {

std::string zlibCompress(const std::string& data);

struct Inflated {
    std::optional<std::string> data;  // nothing when the stream is not one, or is too large
    bool tooLarge = false;            // it would inflate to more than the limit
};

// The data of a zlib stream, refused when it would inflate to more than `limit` bytes (a reply
// is small; a bomb is refused before it fills memory).
Inflated zlibInflate(const std::string& stream, std::size_t limit);

}  // namespace moravel
