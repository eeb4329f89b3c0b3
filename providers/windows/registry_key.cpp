#include "providers/windows/registry_key.h"

#include <cstring>
#include <cwchar>

#include "text/wide.h"

namespace moravel::windows {

RegistryKey::RegistryKey(HKEY parent, const std::wstring& path, REGSAM access) {
    if (RegOpenKeyExW(parent, path.c_str(), 0, access, &key_) != ERROR_SUCCESS) key_ = nullptr;
}

RegistryKey::~RegistryKey() {
    if (key_) RegCloseKey(key_);
}

std::optional<std::pair<DWORD, std::string>> RegistryKey::value(const wchar_t* name, DWORD limit) const {
    DWORD type = 0, size = 0;
    // Asked for its size first, so a small value costs a small buffer and a huge one no buffer.
    if (!key_ || RegQueryValueExW(key_, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || size > limit)
        return std::nullopt;
    std::string bytes(size, '\0');
    if (RegQueryValueExW(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(bytes.data()), &size) != ERROR_SUCCESS)
        return std::nullopt;  // ERROR_MORE_DATA: it grew meanwhile; read as missing
    bytes.resize(size);
    return std::make_pair(type, bytes);
}

std::optional<std::string> RegistryKey::text(const wchar_t* name, DWORD limit) const {
    auto raw = value(name, limit);
    if (!raw || (raw->first != REG_SZ && raw->first != REG_EXPAND_SZ)) return std::nullopt;
    std::wstring wide(raw->second.size() / sizeof(wchar_t), L'\0');
    if (!wide.empty()) std::memcpy(wide.data(), raw->second.data(), wide.size() * sizeof(wchar_t));
    return toUtf8(wide.data(), wide.size());
}

std::optional<std::uint32_t> RegistryKey::dword(const wchar_t* name) const {
    auto raw = value(name, sizeof(DWORD));
    if (!raw || raw->first != REG_DWORD || raw->second.size() != sizeof(DWORD)) return std::nullopt;
    std::uint32_t number = 0;
    std::memcpy(&number, raw->second.data(), sizeof number);
    return number;
}

std::vector<std::wstring> RegistryKey::subkeys(std::size_t limit) const {
    std::vector<std::wstring> names;
    wchar_t name[256];  // the longest a key's name may be, with its NUL
    for (DWORD index = 0; key_ && names.size() < limit; ++index) {
        DWORD length = sizeof name / sizeof name[0];
        LONG status = RegEnumKeyExW(key_, index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_SUCCESS) names.emplace_back(name, length);
        else if (status != ERROR_MORE_DATA) break;  // the end, or the key went away meanwhile
    }
    return names;
}

std::optional<FILETIME> RegistryKey::lastWritten() const {
    FILETIME written{};
    if (!key_ || RegQueryInfoKeyW(key_, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                  nullptr, nullptr, &written) != ERROR_SUCCESS)
        return std::nullopt;
    return written;
}

}  // namespace moravel::windows
