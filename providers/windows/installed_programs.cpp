#include "providers/windows/installed_programs.h"

#include <windows.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "providers/windows/registry_key.h"
#include "query/installed_software.h"
#include "query/wmi_names.h"
#include "text/wide.h"

namespace moravel::windows {
namespace {

const wchar_t* const kUninstall = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
// A value larger than this is read as missing; one below it is read whole and then clipped.
constexpr DWORD kMaxValueBytes = 32u << 20;

// One uninstall record's values, by the class's property names.
class RecordObject : public WmiObject {
public:
    void set(const char* property, WmiValue value) { values_.emplace_back(property, std::move(value)); }
    HResult get(const std::string& property, WmiValue& value) override {
        for (const auto& [name, known] : values_) {
            if (!sameWmiName(name, property)) continue;
            value = known;
            return kOk;
        }
        return kNotFound;
    }

private:
    std::vector<std::pair<const char*, WmiValue>> values_;
};

// Where records are kept, and the architecture of the programs recorded there.
struct Place {
    HKEY root;
    std::wstring path;
    REGSAM view;
    const char* architecture;  // empty where a user's records may be either
};

// "x86_64" or "aarch64" for a 64-bit Windows, as the agents name it; nothing for a 32-bit one.
const char* nativeArchitecture() {
    SYSTEM_INFO system{};
    GetNativeSystemInfo(&system);
    switch (system.wProcessorArchitecture) {
    case PROCESSOR_ARCHITECTURE_AMD64: return "x86_64";
    case PROCESSOR_ARCHITECTURE_ARM64: return "aarch64";
    default: return nullptr;
    }
}

// Whether this process runs as the local system account, as the inventory service does.
bool runsAsSystem() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
    alignas(TOKEN_USER) BYTE buffer[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
    DWORD size = 0;
    bool system = GetTokenInformation(token, TokenUser, buffer, sizeof buffer, &size) &&
                  IsWellKnownSid(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, WinLocalSystemSid);
    CloseHandle(token);
    return system;
}

// The hives of people who are logged on (S-1-5-21-..., S-1-12-1-...), not their _Classes keys nor
// the service accounts' hives.
bool personsHive(const std::wstring& name) {
    const std::wstring classes = L"_Classes";
    bool classesKey = name.size() > classes.size() && name.compare(name.size() - classes.size(), classes.size(), classes) == 0;
    return !classesKey && (name.rfind(L"S-1-5-21-", 0) == 0 || name.rfind(L"S-1-12-1-", 0) == 0);
}

std::vector<Place> places() {
    std::vector<Place> found;
    const char* native = nativeArchitecture();
    if (native) {
        found.push_back({HKEY_LOCAL_MACHINE, kUninstall, KEY_WOW64_64KEY, native});
        found.push_back({HKEY_LOCAL_MACHINE, kUninstall, KEY_WOW64_32KEY, "i586"});
    } else {
        found.push_back({HKEY_LOCAL_MACHINE, kUninstall, 0, "i586"});
    }
    found.push_back({HKEY_CURRENT_USER, kUninstall, 0, ""});
    if (runsAsSystem()) {
        RegistryKey users(HKEY_USERS, L"", KEY_ENUMERATE_SUB_KEYS);
        for (const std::wstring& sid : users.subkeys(kMaxInstalledSoftware))
            if (personsHive(sid)) found.push_back({HKEY_USERS, sid + L"\\" + kUninstall, 0, ""});
    }
    return found;
}

// "20240115" (as installers write it), or "2024-01-15" and "2024/01/15": a CIM date whose time
// is not known.
std::optional<std::string> recordDate(const std::string& text) {
    unsigned year = 0, month = 0, day = 0;
    char rest = 0;
    bool read = (text.size() == 8 && std::sscanf(text.c_str(), "%4u%2u%2u%c", &year, &month, &day, &rest) == 3) ||
                std::sscanf(text.c_str(), "%4u-%2u-%2u%c", &year, &month, &day, &rest) == 3 ||
                std::sscanf(text.c_str(), "%4u/%2u/%2u%c", &year, &month, &day, &rest) == 3;
    if (!read || year < 1980 || month < 1 || month > 12 || day < 1 || day > 31) return std::nullopt;
    char cim[32];
    std::snprintf(cim, sizeof cim, "%04u%02u%02u******.******+***", year, month, day);
    return std::string(cim);
}

// Where a record has no install date, the Programs list shows the day its key was last written.
std::optional<std::string> keyDate(const RegistryKey& key) {
    std::optional<FILETIME> written = key.lastWritten();
    FILETIME local{};
    SYSTEMTIME day{};
    if (!written || !FileTimeToLocalFileTime(&*written, &local) || !FileTimeToSystemTime(&local, &day))
        return std::nullopt;
    char cim[32];
    std::snprintf(cim, sizeof cim, "%04u%02u%02u******.******+***", day.wYear, day.wMonth, day.wDay);
    return std::string(cim);
}

WmiValue textValue(const std::optional<std::string>& text) {
    return text ? WmiValue::string(clippedSoftwareText(*text)) : WmiValue::null();
}

std::unique_ptr<WmiObject> record(const RegistryKey& key, const std::wstring& name, const Place& place) {
    auto object = std::make_unique<RecordObject>();
    object->set("Name", textValue(key.text(L"DisplayName", kMaxValueBytes)));
    object->set("Version", textValue(key.text(L"DisplayVersion", kMaxValueBytes)));
    object->set("Publisher", textValue(key.text(L"Publisher", kMaxValueBytes)));
    std::optional<std::string> written = key.text(L"InstallDate", kMaxValueBytes);
    std::optional<std::string> date = written ? recordDate(*written) : std::nullopt;
    object->set("InstallDate", textValue(date ? date : keyDate(key)));
    std::optional<std::uint32_t> kib = key.dword(L"EstimatedSize");
    object->set("Size", kib ? WmiValue::string(std::to_string(std::uint64_t{*kib} * 1024)) : WmiValue::null());
    object->set("InstallLocation", textValue(key.text(L"InstallLocation", kMaxValueBytes)));
    object->set("ProductCode", textValue(toUtf8(name.data(), name.size())));
    object->set("Architecture", *place.architecture ? WmiValue::string(place.architecture) : WmiValue::null());
    object->set("Source", WmiValue::string("registry"));
    object->set("Category", WmiValue::null());
    std::optional<std::uint32_t> component = key.dword(L"SystemComponent");
    object->set("SystemComponent", component ? WmiValue::boolean(*component != 0) : WmiValue::null());
    object->set("ParentKeyName", textValue(key.text(L"ParentKeyName", kMaxValueBytes)));
    return object;
}

}  // namespace

ClassObjects installedPrograms() {
    auto objects = std::make_shared<std::vector<std::unique_ptr<WmiObject>>>();
    for (const Place& place : places()) {
        RegistryKey list(place.root, place.path, KEY_ENUMERATE_SUB_KEYS | place.view);
        for (const std::wstring& name : list.subkeys(kMaxInstalledSoftware - objects->size())) {
            RegistryKey key(list.get(), name, KEY_QUERY_VALUE | place.view);
            if (key) objects->push_back(record(key, name, place));
        }
    }
    return {objects->size(), [objects](std::size_t at) { return std::move((*objects)[at]); }};
}

}  // namespace moravel::windows
