// A typed property value as the WMI layer delivers it: a 16-bit type code and its payload.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace moravel {

// Type codes as the platform's VARIANT carries them.
namespace vt {
constexpr std::uint16_t Empty = 0;
constexpr std::uint16_t Null = 1;
constexpr std::uint16_t I2 = 2;
constexpr std::uint16_t I4 = 3;
constexpr std::uint16_t R4 = 4;
constexpr std::uint16_t R8 = 5;
constexpr std::uint16_t Date = 7;
constexpr std::uint16_t Bstr = 8;
constexpr std::uint16_t Bool = 11;
constexpr std::uint16_t I1 = 16;
constexpr std::uint16_t UI1 = 17;
constexpr std::uint16_t UI2 = 18;
constexpr std::uint16_t UI4 = 19;
constexpr std::uint16_t I8 = 20;
constexpr std::uint16_t UI8 = 21;
constexpr std::uint16_t Array = 0x2000;
}  // namespace vt

// Whether `type` is one of the integer types, of 8 to 64 bits, signed or not.
inline bool isIntegerType(std::uint16_t type) {
    switch (type) {
    case vt::I1:
    case vt::UI1:
    case vt::I2:
    case vt::UI2:
    case vt::I4:
    case vt::UI4:
    case vt::I8:
    case vt::UI8: return true;
    default: return false;
    }
}

struct WmiValue {
    std::uint16_t type = vt::Empty;
    std::int64_t integer = 0;  // integer types and VT_BOOL; the bit pattern of the platform value
    std::string text;          // VT_BSTR: narrow text, already cut at the first NUL
    bool hasText = false;      // VT_BSTR: false for an absent (null) string
    // Arrays (type with vt::Array): each element as text, numbers in decimal. The property's text
    // stays empty whatever they hold; only the inventory reads them.
    std::vector<std::string> items = {};

    static WmiValue empty() { return {}; }
    static WmiValue null() { return {vt::Null, 0, {}, false}; }
    static WmiValue string(std::string s) { return {vt::Bstr, 0, std::move(s), true}; }
    static WmiValue i4(std::int64_t bits) { return {vt::I4, bits, {}, false}; }
    static WmiValue boolean(bool b) { return {vt::Bool, b ? -1 : 0, {}, false}; }
    static WmiValue integerOf(std::uint16_t type, std::int64_t v) { return {type, v, {}, false}; }
    static WmiValue array(std::uint16_t elementType, std::vector<std::string> elements) {
        return {static_cast<std::uint16_t>(vt::Array | elementType), 0, {}, false, std::move(elements)};
    }
};

}  // namespace moravel
