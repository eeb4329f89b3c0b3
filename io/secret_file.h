// Reading a small file that holds a secret (a password for an inventory server).
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace moravel {

struct SecretFile {
    std::string text;
    bool othersMayRead = false;  // users other than its owner and its group may read it (POSIX)
};

// Reads the file at `path` whole: a regular file, or a pipe as a shell's <(...) gives, of at most
// `limit` bytes. On failure, the reason in a few words.
std::optional<std::string> readSecretFile(const std::string& path, std::size_t limit, SecretFile& file);

}  // namespace moravel
