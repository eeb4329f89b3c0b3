#include "providers/windows/code_page.h"

#include <windows.h>

#include <cwchar>

namespace moravel::windows {

std::wstring toWide(const std::string& text) {
    if (text.empty()) return {};
    int size = static_cast<int>(text.size());
    int needed = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    if (needed <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(needed), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), needed);
    return wide;
}

namespace {

std::string narrowIn(UINT codePage, const wchar_t* text, std::size_t length) {
    if (!text) return {};
    const wchar_t* nul = std::wmemchr(text, L'\0', length);
    int size = static_cast<int>(nul ? nul - text : length);
    if (size == 0) return {};
    int needed = WideCharToMultiByte(codePage, 0, text, size, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) return {};
    std::string narrow(static_cast<std::size_t>(needed), '\0');
    WideCharToMultiByte(codePage, 0, text, size, narrow.data(), needed, nullptr, nullptr);
    return narrow;
}

}  // namespace

std::string toNarrow(const wchar_t* text, std::size_t length) { return narrowIn(CP_ACP, text, length); }

std::string toUtf8(const wchar_t* text, std::size_t length) { return narrowIn(CP_UTF8, text, length); }

}  // namespace moravel::windows
