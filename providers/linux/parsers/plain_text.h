// The small pieces of text every parser takes apart: blanks trimmed, numbers read, paths' names.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace moravel::lx {

std::string trim(const std::string& text);
std::optional<std::uint64_t> parseNumber(const std::string& text);
// The last component of a path.
std::string baseName(const std::string& path);

}  // namespace moravel::lx
