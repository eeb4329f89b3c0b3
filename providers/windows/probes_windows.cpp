#include "providers/windows/probes_windows.h"

// winsock2.h must come before windows.h for iphlpapi.h.
#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>

#include <cstring>

#include "text/wide.h"

namespace moravel::windows {
namespace {

// GetAdaptersInfo into a buffer of the size it asks for; the list may grow between the calls,
// so it is asked a few times. Empty when it fails or there are no adapters.
std::vector<IP_ADAPTER_INFO> readAdapterList() {
    ULONG size = 0;
    std::vector<IP_ADAPTER_INFO> buffer;
    for (int attempt = 0; attempt < 3; ++attempt) {
        DWORD status = GetAdaptersInfo(buffer.empty() ? nullptr : buffer.data(), &size);
        if (status == NO_ERROR) return buffer;
        if (status != ERROR_BUFFER_OVERFLOW || size == 0) break;
        buffer.assign(size / sizeof(IP_ADAPTER_INFO) + 1, IP_ADAPTER_INFO{});
        size = static_cast<ULONG>(buffer.size() * sizeof(IP_ADAPTER_INFO));
    }
    return {};
}

HardwareAddress firstSixBytes(const IP_ADAPTER_INFO& adapter) {
    HardwareAddress address{};
    std::memcpy(address.data(), adapter.Address, address.size());
    return address;
}

}  // namespace

bool Win32Probes::memoryStatus(MemoryStatus& status) {
    MEMORYSTATUSEX record{};
    record.dwLength = sizeof record;
    if (!GlobalMemoryStatusEx(&record)) return false;
    status.memoryLoad = record.dwMemoryLoad;
    status.availPhys = record.ullAvailPhys;
    return true;
}

std::vector<HardwareAddress> Win32Probes::adapterAddresses() {
    std::vector<IP_ADAPTER_INFO> list = readAdapterList();
    std::vector<HardwareAddress> addresses;
    if (list.empty()) return addresses;
    for (const IP_ADAPTER_INFO* a = list.data(); a; a = a->Next) addresses.push_back(firstSixBytes(*a));
    return addresses;
}

std::optional<OsVersion> Win32Probes::osVersion() { return readWindowsVersion(); }

// HKLM\SOFTWARE\Microsoft\Cryptography\MachineGuid, from the 64-bit view of the registry
// whatever this build's bitness, as setup wrote it.
std::optional<std::string> Win32Probes::machineGuid() {
    wchar_t value[64];
    DWORD size = sizeof value;
    LSTATUS status = RegGetValueW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Cryptography", L"MachineGuid",
                                  RRF_RT_REG_SZ | RRF_SUBKEY_WOW6464KEY, nullptr, value, &size);
    if (status != ERROR_SUCCESS || size < sizeof(wchar_t)) return std::nullopt;
    return toUtf8(value, size / sizeof(wchar_t));
}

OsVersion readWindowsVersion() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;  // 148 bytes
    // Deprecated, and wanted all the same: it reports the version this program is made to see
    // (6.2 on Windows 8 and later, as the manifest names no supported OS).
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#elif defined(_MSC_VER)
#pragma warning(suppress : 4996)
#endif
    GetVersionExA(&info);
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
    return {info.dwMajorVersion, info.dwMinorVersion};
}

static_assert(sizeof(OSVERSIONINFOA) == 148, "GetVersionExA expects the 148-byte record");
static_assert(sizeof(MEMORYSTATUSEX) == 64, "GlobalMemoryStatusEx expects the 64-byte record");

}  // namespace moravel::windows
