// The small pieces of text every parser takes apart: blanks trimmed, numbers read, paths' names.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace moravel::lx {

std::string trim(const std::string& text);
std::optional<std::uint64_t> parseNumber(const std::string& text);
// A measure (megahertz, hertz) to the nearest whole number; nothing when it is negative, not a
// number or beyond any real measure. Done here rather than by llround, the one thing the
// programs would load the maths library for.
std::optional<std::uint64_t> roundedMeasure(double value);
bool startsWith(const std::string& text, const char* prefix);
// The last component of a path.
std::string baseName(const std::string& path);
// `value` written by a printf format of one number ("%04X"), up to 15 characters.
std::string hex(const char* format, unsigned value);

}  // namespace moravel::lx
