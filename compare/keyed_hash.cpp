#include "compare/keyed_hash.h"

#include <random>

namespace moravel {
namespace {

std::uint64_t rotl(std::uint64_t x, int b) { return (x << b) | (x >> (64 - b)); }

struct SipState {
    std::uint64_t v0, v1, v2, v3;
    void rounds(int n) {
        for (int i = 0; i < n; ++i) {
            v0 += v1, v1 = rotl(v1, 13), v1 ^= v0, v0 = rotl(v0, 32);
            v2 += v3, v3 = rotl(v3, 16), v3 ^= v2;
            v0 += v3, v3 = rotl(v3, 21), v3 ^= v0;
            v2 += v1, v1 = rotl(v1, 17), v1 ^= v2, v2 = rotl(v2, 32);
        }
    }
    void absorb(std::uint64_t m) {
        v3 ^= m;
        rounds(2);
        v0 ^= m;
    }
};

// Eight bytes (or fewer, the rest zero) as a little-endian word, whatever the machine's order.
std::uint64_t word(const char* bytes, std::size_t count) {
    std::uint64_t m = 0;
    for (std::size_t i = 0; i < count; ++i) m |= std::uint64_t{static_cast<unsigned char>(bytes[i])} << (8 * i);
    return m;
}

HashKey processKey() {
    std::random_device entropy;
    auto draw = [&entropy] { return (std::uint64_t{entropy()} << 32) ^ entropy(); };
    return {draw(), draw()};
}

}  // namespace

std::uint64_t sipHash(std::string_view bytes, HashKey key) {
    SipState s{key.k0 ^ 0x736f6d6570736575ull, key.k1 ^ 0x646f72616e646f6dull, key.k0 ^ 0x6c7967656e657261ull,
               key.k1 ^ 0x7465646279746573ull};
    const std::size_t whole = bytes.size() / 8 * 8;
    for (std::size_t at = 0; at < whole; at += 8) s.absorb(word(bytes.data() + at, 8));
    s.absorb(word(bytes.data() + whole, bytes.size() - whole) | (std::uint64_t{bytes.size() & 0xff} << 56));
    s.v2 ^= 0xff;
    s.rounds(4);
    return s.v0 ^ s.v1 ^ s.v2 ^ s.v3;
}

std::uint64_t keyedHash(std::string_view bytes) {
    static const HashKey key = processKey();
    return sipHash(bytes, key);
}

}  // namespace moravel
