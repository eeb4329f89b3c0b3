// Writing a whole file or nothing: the text goes to a temporary file beside the target, which
// then takes the target's name, so a failed write never leaves a partial file behind.
#pragma once

#include <optional>
#include <string>

namespace moravel {

// Writes `content` to `path`; on failure, the reason in a few words ("Permission denied",
// "is a folder", ...), and neither `path` nor a temporary file is left changed or behind.
std::optional<std::string> writeFileAtomically(const std::string& path, const std::string& content);

}  // namespace moravel
