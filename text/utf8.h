// The one reading of UTF-8: every text from outside (a value, a file name, a server's reply) is
// taken apart here before it is shown, escaped or written to a document.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace moravel {

// A well-formed UTF-8 character at a place in a text: its code and length in bytes; length 0
// where none begins (a stray continuation byte, 0xC0, 0xC1, 0xF5 to 0xFF, an overlong form, a
// surrogate, a code beyond U+10FFFF, a cut sequence).
struct Utf8Character {
    char32_t code;
    std::size_t length;
};
Utf8Character decodeUtf8(const std::string& text, std::size_t at);

// How much of `bytes` can be passed on without cutting a character: all of it, but for a last
// character whose remaining bytes have not come yet (a console written a buffer at a time). A
// byte that cannot begin or continue a character is passed on at once (its reader replaces it).
std::size_t completeUtf8Length(std::string_view bytes);

// Text as valid UTF-8: each byte that is not part of a UTF-8 character becomes U+FFFD.
std::string validUtf8(const std::string& text);

// Whether `text` ends with `end`.
bool endsWith(const std::string& text, const std::string& end);

}  // namespace moravel
