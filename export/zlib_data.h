// zlib streams (RFC 1950), the form OCS Inventory's agents send and its import takes.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace moravel {

std::string zlibCompress(const std::string& data);

// The data of a zlib stream; nothing when it is not one, or when it would inflate to more than
// `limit` bytes (a reply is small; a bomb is refused before it fills memory).
std::optional<std::string> zlibInflate(const std::string& stream, std::size_t limit);

}  // namespace moravel
