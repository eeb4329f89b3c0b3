#include "text/wide.h"

#include <windows.h>

#include <climits>
#include <cwchar>

namespace moravel {

std::wstring toWide(std::string_view text) {
    if (text.empty() || text.size() > INT_MAX) return {};
    const int size = static_cast<int>(text.size());
    const int needed = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
    if (needed <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(needed), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), needed);
    return wide;
}

std::string toUtf8(const wchar_t* text, std::size_t length) {
    if (!text) return {};
    const wchar_t* nul = std::wmemchr(text, L'\0', length);
    const std::size_t units = nul ? static_cast<std::size_t>(nul - text) : length;
    if (units == 0 || units > INT_MAX / 3) return {};
    const int size = static_cast<int>(units);
    const int needed = WideCharToMultiByte(CP_UTF8, 0, text, size, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) return {};
    std::string narrow(static_cast<std::size_t>(needed), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, size, narrow.data(), needed, nullptr, nullptr);
    return narrow;
}

std::string toUtf8(std::wstring_view text) { return toUtf8(text.data(), text.size()); }

}  // namespace moravel
