#include "providers/windows/display_memory.h"

#include <windows.h>

#include <cstring>
#include <utility>

#include "text/wide.h"

namespace moravel::windows {
namespace {

// An open registry key, closed when its owner goes.
class RegistryKey {
public:
    RegistryKey(HKEY parent, const std::wstring& path) {
        if (RegOpenKeyExW(parent, path.c_str(), 0, KEY_QUERY_VALUE, &key_) != ERROR_SUCCESS) key_ = nullptr;
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    ~RegistryKey() {
        if (key_) RegCloseKey(key_);
    }
    explicit operator bool() const { return key_ != nullptr; }

    // The raw bytes of a value and its type; nothing when it is missing or larger than `limit`.
    std::optional<std::pair<DWORD, std::string>> value(const wchar_t* name, DWORD limit) const {
        std::string bytes(limit, '\0');
        DWORD type = 0, size = limit;
        if (RegQueryValueExW(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(&bytes[0]), &size) != ERROR_SUCCESS)
            return std::nullopt;
        bytes.resize(size);
        return std::make_pair(type, bytes);
    }

private:
    HKEY key_ = nullptr;
};

// The device key's "Driver" value: "{4d36e968-e325-11ce-bfc1-08002be10318}\0001".
std::optional<std::wstring> driverKeyName(const std::string& pnpDeviceId) {
    RegistryKey device(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Enum\\" + toWide(pnpDeviceId));
    if (!device) return std::nullopt;
    auto driver = device.value(L"Driver", 512);
    if (!driver || driver->first != REG_SZ || driver->second.size() < sizeof(wchar_t)) return std::nullopt;
    std::wstring name(driver->second.size() / sizeof(wchar_t), L'\0');
    std::memcpy(&name[0], driver->second.data(), name.size() * sizeof(wchar_t));
    name.resize(name.find(L'\0') == std::wstring::npos ? name.size() : name.find(L'\0'));
    if (name.empty()) return std::nullopt;
    return name;
}

}  // namespace

std::optional<std::uint64_t> driverMemorySize(const std::string& pnpDeviceId) {
    if (pnpDeviceId.empty()) return std::nullopt;
    std::optional<std::wstring> driver = driverKeyName(pnpDeviceId);
    if (!driver) return std::nullopt;
    RegistryKey display(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\Class\\" + *driver);
    if (!display) return std::nullopt;
    // Drivers write it as REG_QWORD or as 8 bytes of REG_BINARY, little-endian either way.
    auto size = display.value(L"HardwareInformation.qwMemorySize", 8);
    if (!size || (size->first != REG_QWORD && size->first != REG_BINARY) || size->second.size() != 8)
        return std::nullopt;
    std::uint64_t bytes = 0;
    for (int i = 7; i >= 0; --i) bytes = bytes << 8 | static_cast<unsigned char>(size->second[i]);
    return bytes;
}

}  // namespace moravel::windows
