// An open registry key, closed when its owner goes, read with the wide API: values as their raw
// bytes (within a bound) and in the types the inventory reads, and the names of its subkeys.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace moravel::windows {

class RegistryKey {
public:
    // `access` may add a view of the registry (KEY_WOW64_64KEY, KEY_WOW64_32KEY) to reading.
    RegistryKey(HKEY parent, const std::wstring& path, REGSAM access = KEY_QUERY_VALUE);
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    ~RegistryKey();
    explicit operator bool() const { return key_ != nullptr; }
    HKEY get() const { return key_; }

    // The raw bytes of a value and its type; nothing when it is missing or larger than `limit`.
    std::optional<std::pair<DWORD, std::string>> value(const wchar_t* name, DWORD limit) const;
    // A REG_SZ or REG_EXPAND_SZ value (unexpanded) as UTF-8, up to its first NUL; nothing when
    // it is missing, of another type or larger than `limit` bytes.
    std::optional<std::string> text(const wchar_t* name, DWORD limit) const;
    // A REG_DWORD value; nothing when it is missing or of another type.
    std::optional<std::uint32_t> dword(const wchar_t* name) const;
    // The names of its subkeys, at most `limit` of them, in the registry's order.
    std::vector<std::wstring> subkeys(std::size_t limit) const;
    // When the key was last written.
    std::optional<FILETIME> lastWritten() const;

private:
    HKEY key_ = nullptr;
};

}  // namespace moravel::windows
