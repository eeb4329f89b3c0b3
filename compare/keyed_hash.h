// A 64-bit hash that someone who writes a snapshot cannot steer: SipHash-2-4 under a key drawn
// when the program starts, so two different texts hash alike by chance alone (once in 2^64),
// never because a file was made to.
#pragma once

#include <cstdint>
#include <string_view>

namespace moravel {

struct HashKey {
    std::uint64_t k0 = 0, k1 = 0;
};

// SipHash-2-4 of `bytes` under `key`.
std::uint64_t sipHash(std::string_view bytes, HashKey key);

// Under the process's own key.
std::uint64_t keyedHash(std::string_view bytes);

}  // namespace moravel
