#include "compare/keyed_hash.h"

#include <random>
#include <string>

namespace moravel {
namespace {

std::uint64_t rotl(std::uint64_t x, int b) { return (x << b) | (x >> (64 - b)); }

void rounds(std::uint64_t (&v)[4], int n) {
    for (int i = 0; i < n; ++i) {
        v[0] += v[1], v[1] = rotl(v[1], 13), v[1] ^= v[0], v[0] = rotl(v[0], 32);
        v[2] += v[3], v[3] = rotl(v[3], 16), v[3] ^= v[2];
        v[0] += v[3], v[3] = rotl(v[3], 21), v[3] ^= v[0];
        v[2] += v[1], v[1] = rotl(v[1], 17), v[1] ^= v[2], v[2] = rotl(v[2], 32);
    }
}

void absorb(std::uint64_t (&v)[4], std::uint64_t m) {
    v[3] ^= m;
    rounds(v, 2);
    v[0] ^= m;
}

// Drawn once, when first needed.
HashKey processKey() {
    static const HashKey key = [] {
        std::random_device entropy;
        auto draw = [&entropy] { return (std::uint64_t{entropy()} << 32) ^ entropy(); };
        return HashKey{draw(), draw()};
    }();
    return key;
}

}  // namespace

SipHasher::SipHasher(HashKey key)
    : v_{key.k0 ^ 0x736f6d6570736575ull, key.k1 ^ 0x646f72616e646f6dull, key.k0 ^ 0x6c7967656e657261ull,
         key.k1 ^ 0x7465646279746573ull} {}

SipHasher::SipHasher() : SipHasher(processKey()) {}

void SipHasher::add(std::string_view bytes) {
    for (char c : bytes) {
        tail_ |= std::uint64_t{static_cast<unsigned char>(c)} << (8 * (length_ % 8));
        if (++length_ % 8 == 0) absorb(v_, tail_), tail_ = 0;
    }
}

void SipHasher::addPiece(std::string_view piece) {
    add(std::to_string(piece.size()) + ":");
    add(piece);
}

std::uint64_t SipHasher::finish() const {
    std::uint64_t v[4] = {v_[0], v_[1], v_[2], v_[3]};
    absorb(v, tail_ | (std::uint64_t{length_ & 0xff} << 56));
    v[2] ^= 0xff;
    rounds(v, 4);
    return v[0] ^ v[1] ^ v[2] ^ v[3];
}

std::uint64_t sipHash(std::string_view bytes, HashKey key) {
    SipHasher hasher(key);
    hasher.add(bytes);
    return hasher.finish();
}

std::uint64_t keyedHash(std::string_view bytes) { return sipHash(bytes, processKey()); }

}  // namespace moravel
