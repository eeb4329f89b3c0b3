// Number conversions shared by the groups that turn byte and kibibyte counts into whole units.
#pragma once

#include <cstdint>
#include <string>

namespace moravel {

constexpr double kPerMebi = 9.5367431640625e-07;    // 2^-20
constexpr double kPerGibi = 9.313225746154785e-10;  // 2^-30

// Parses `text` as atof does, narrows it to single precision, scales it and rounds halves away
// from zero. Results beyond the 32-bit range saturate; NaN gives 0.
std::int32_t scaledRound(const std::string& text, double scale);

// The leading decimal integer as atoi reads it, saturated to the 32-bit range.
std::int32_t leadingInteger(const std::string& text);

// `value` toward zero, or the nearer end of the 32-bit range beyond it; NaN gives 0.
std::int32_t saturate(double value);

// "%d" of a number.
std::string decimal(std::int32_t value);

}  // namespace moravel
