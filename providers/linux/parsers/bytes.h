// Numbers read from binary contents (EDID, SMBIOS, ACPI, IPP) within the bytes given.
#pragma once

#include <cstdint>
#include <string>

namespace moravel::lx {

inline unsigned byteAt(const std::string& data, std::size_t at) { return static_cast<unsigned char>(data[at]); }

// `bytes` bytes from `at`, the least significant first; the caller checks that they exist.
inline std::uint64_t littleEndian(const std::string& data, std::size_t at, std::size_t bytes) {
    std::uint64_t value = 0;
    for (std::size_t i = bytes; i-- > 0;) value = value << 8 | byteAt(data, at + i);
    return value;
}

// The same, the most significant first, as network protocols write them.
inline std::uint64_t bigEndian(const std::string& data, std::size_t at, std::size_t bytes) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < bytes; ++i) value = value << 8 | byteAt(data, at + i);
    return value;
}

}  // namespace moravel::lx
