// A 64-bit hash that someone who writes a snapshot cannot steer: SipHash-2-4 under a key drawn
// when the program starts, so two different texts hash alike by chance alone (once in 2^64),
// never because a file was made to.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace moravel {

struct HashKey {
    std::uint64_t k0 = 0, k1 = 0;
};

// SipHash-2-4 of `bytes` under `key`.
std::uint64_t sipHash(std::string_view bytes, HashKey key);

// The same over bytes handed over in pieces: the hash of all of them, one after the other.
class SipHasher {
public:
    explicit SipHasher(HashKey key);
    SipHasher();  // under the process's own key
    void add(std::string_view bytes);
    // One piece of a list as its length and its bytes, so that no two lists of pieces run together.
    void addPiece(std::string_view piece);
    std::uint64_t finish() const;

private:
    std::uint64_t v_[4];
    std::uint64_t tail_ = 0;  // the bytes of an unfinished word, the first in the lowest byte
    std::size_t length_ = 0;
};

// Under the process's own key.
std::uint64_t keyedHash(std::string_view bytes);

}  // namespace moravel
