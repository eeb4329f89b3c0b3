// Conversions between narrow text in the system code page and the platform's wide strings.
#pragma once

#include <string>

namespace moravel::windows {

// Narrow text (system code page) as a wide string.
std::wstring toWide(const std::string& text);

// Wide text up to its first NUL (or `length` characters) as narrow text in the system code
// page; characters the code page lacks become its default character.
std::string toNarrow(const wchar_t* text, std::size_t length);
// The same as UTF-8, whatever the code page; a lone surrogate becomes U+FFFD.
std::string toUtf8(const wchar_t* text, std::size_t length);

}  // namespace moravel::windows
