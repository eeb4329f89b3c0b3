// The KEY=value lines of os-release. Takes any text at all.
#pragma once

#include <optional>
#include <string>

namespace moravel::lx {

// The value of `key`, unquoted and its escapes resolved; nothing when missing or empty.
std::optional<std::string> osReleaseValue(const std::string& text, const std::string& key);

}  // namespace moravel::lx
