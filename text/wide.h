// Windows' wide (UTF-16) strings and the program's UTF-8 text, at the edges where Windows is
// called: file names, the command line, the environment, WMI's and the registry's strings, the
// console. Built for Windows only (wide_windows.cpp).
#pragma once

#include <string>
#include <string_view>

namespace moravel {

// UTF-8 as UTF-16; a byte that begins no character becomes U+FFFD.
std::wstring toWide(std::string_view text);

// UTF-16 up to its first NUL (at most `length` units) as UTF-8; a lone surrogate becomes U+FFFD.
std::string toUtf8(const wchar_t* text, std::size_t length);
std::string toUtf8(std::wstring_view text);

}  // namespace moravel
