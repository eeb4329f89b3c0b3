#include "sections/conversions.h"

#include <cmath>
#include <cstdlib>
#include <limits>

namespace moravel {
std::int32_t saturate(double value) {
    if (std::isnan(value)) return 0;
    if (value >= static_cast<double>(std::numeric_limits<std::int32_t>::max()))
        return std::numeric_limits<std::int32_t>::max();
    if (value <= static_cast<double>(std::numeric_limits<std::int32_t>::min()))
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

namespace {

// Single precision as the platform narrows: values beyond its range become infinities.
float narrow(double value) {
    if (value > std::numeric_limits<float>::max()) return std::numeric_limits<float>::infinity();
    if (value < -std::numeric_limits<float>::max()) return -std::numeric_limits<float>::infinity();
    return static_cast<float>(value);
}

}  // namespace

std::int32_t scaledRound(const std::string& text, double scale) {
    const float narrowed = narrow(std::strtod(text.c_str(), nullptr));
    // Double arithmetic after the narrowing keeps "x + 0.5" exact for every float.
    const double scaled = static_cast<double>(narrowed) * scale;
    return saturate(scaled > 0 ? scaled + 0.5 : scaled - 0.5);
}

std::int32_t leadingInteger(const std::string& text) {
    const long long value = std::strtoll(text.c_str(), nullptr, 10);
    return saturate(static_cast<double>(value));
}

std::string decimal(std::int32_t value) { return std::to_string(value); }

}  // namespace moravel
