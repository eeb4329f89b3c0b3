// The WMI provider on Windows: each operation is the COM call of the same name, and every
// interface, string and value it acquires has an owner that gives it back.
#include "providers/windows/provider_windows.h"

#include <wbemidl.h>
#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "providers/windows/com_handles.h"
#include "providers/windows/display_memory.h"
#include "providers/windows/variant_value.h"
#include "query/wmi_names.h"
#include "text/wide.h"

namespace moravel::windows {
namespace {

class ComObject : public WmiObject {
public:
    ComObject(ComPtr<IWbemClassObject> object, bool videoController)
        : object_(std::move(object)), videoController_(videoController) {}

    HResult get(const std::string& property, WmiValue& value) override {
        Variant variant;
        HRESULT hr = object_->Get(toWide(property).c_str(), 0, variant.get(), nullptr, nullptr);
        if (SUCCEEDED(hr)) value = toWmiValue(*variant);
        if (SUCCEEDED(hr) && videoController_ && sameWmiName(property, "AdapterRAM")) value = wholeAdapterRam(value);
        return hr;  // the variant is cleared here, before the object is released
    }

private:
    // AdapterRAM is a uint32 that stops just below 4 GiB: for today's larger cards the size
    // the display driver recorded, as the decimal text of a uint64.
    WmiValue wholeAdapterRam(const WmiValue& ram) {
        if (ram.type != vt::I4 || static_cast<std::uint32_t>(ram.integer) < kAdapterRamCeiling) return ram;
        Variant id;
        if (FAILED(object_->Get(L"PNPDeviceID", 0, id.get(), nullptr, nullptr))) return ram;
        const WmiValue deviceId = toWmiValue(*id);
        std::optional<std::uint64_t> bytes = deviceId.type == vt::Bstr ? driverMemorySize(deviceId.text) : std::nullopt;
        return bytes ? WmiValue::string(std::to_string(*bytes)) : ram;
    }

    ComPtr<IWbemClassObject> object_;
    bool videoController_;
};

class ComEnumerator : public WmiEnumerator {
public:
    ComEnumerator(ComPtr<IEnumWbemClassObject> enumerator, bool videoController)
        : enumerator_(std::move(enumerator)), videoController_(videoController) {}

    std::unique_ptr<WmiObject> next() override {
        if (peeked_) return std::move(peeked_);
        ComPtr<IWbemClassObject> object;
        ULONG returned = 0;
        last_ = enumerator_->Next(static_cast<long>(WBEM_INFINITE), 1, object.receive(), &returned);
        if (returned == 0 || !object) return nullptr;
        return std::make_unique<ComObject>(std::move(object), videoController_);
    }

    // The first object, fetched now and handed out by the first next(): with
    // WBEM_FLAG_RETURN_IMMEDIATELY a provider's refusal arrives with it, not with ExecQuery.
    HRESULT peek() {
        peeked_ = next();
        return last_;
    }

private:
    ComPtr<IEnumWbemClassObject> enumerator_;
    bool videoController_;
    std::unique_ptr<WmiObject> peeked_;
    HRESULT last_ = S_OK;
};

constexpr HRESULT kWbemAccessDenied = static_cast<HRESULT>(0x80041003u);

// Whether a refusal means the program is not elevated (the storage provider's reliability
// counters, ROOT\WMI's disk classes).
bool refused(HRESULT hr) { return hr == kWbemAccessDenied || hr == E_ACCESSDENIED; }

class ComServices : public WmiServices {
public:
    ComServices(ComPtr<IWbemServices> services, bool groupsNamespace)
        : services_(std::move(services)), groupsNamespace_(groupsNamespace) {}

    HResult setProxyBlanket() override {
        return CoSetProxyBlanket(services_.get(), RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr, RPC_C_AUTHN_LEVEL_CALL,
                                 RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE);
    }

    HResult execQuery(const std::string& language, const std::string& query, long flags,
                      std::unique_ptr<WmiEnumerator>& enumerator) override {
        Bstr languageName(toWide(language));
        Bstr queryText(toWide(query));
        if (!languageName || !queryText) return E_OUTOFMEMORY;
        ComPtr<IEnumWbemClassObject> result;
        HRESULT hr = services_->ExecQuery(languageName.get(), queryText.get(), flags, nullptr, result.receive());
        const bool videoController = sameWmiName(queriedClassName(query), "Win32_VideoController");
        if (FAILED(hr) || !result) return hr;
        auto objects = std::make_unique<ComEnumerator>(std::move(result), videoController);
        // Outside ROOT\CIMV2 (the inventory's device data), a class refused to a program that is
        // not elevated fails its query, as a snapshot records it; the groups' queries stay as they are.
        if (!groupsNamespace_ && refused(objects->peek())) return kWbemAccessDenied;
        enumerator = std::move(objects);
        return hr;
    }

private:
    ComPtr<IWbemServices> services_;
    bool groupsNamespace_;
};

class ComLocator : public WmiLocator {
public:
    explicit ComLocator(ComPtr<IWbemLocator> locator) : locator_(std::move(locator)) {}

    HResult connectServer(const std::string& path, std::unique_ptr<WmiServices>& services) override {
        Bstr namespacePath(toWide(path));
        if (!namespacePath) return E_OUTOFMEMORY;
        ComPtr<IWbemServices> result;
        HRESULT hr = locator_->ConnectServer(namespacePath.get(), nullptr, nullptr, nullptr, 0, nullptr, nullptr,
                                             result.receive());
        if (SUCCEEDED(hr) && result)
            services = std::make_unique<ComServices>(std::move(result), sameWmiName(path, kWmiNamespace));
        return hr;
    }

private:
    ComPtr<IWbemLocator> locator_;
};

}  // namespace

HResult ComProvider::initialize() {
    HRESULT hr = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    // Only a successful call takes a reference on the thread's apartment. After
    // RPC_E_CHANGED_MODE the apartment belongs to someone else (the toolkit's OleInitialize),
    // and uninitialising it would pull COM away from under them.
    if (SUCCEEDED(hr) || hr == RPC_E_CHANGED_MODE) owed_.push_back(SUCCEEDED(hr));
    return hr;
}

HResult ComProvider::initializeSecurity() {
    HRESULT hr = CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_DEFAULT,
                                      RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE, nullptr);
    // The process security can be set once while COM lives in the process; when an apartment
    // outlives the cycle, the second call finds it already set, which is all this step needs.
    return hr == RPC_E_TOO_LATE ? S_OK : hr;
}

HResult ComProvider::createLocator(std::unique_ptr<WmiLocator>& locator) {
    ComPtr<IWbemLocator> result;
    HRESULT hr =
        CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator, result.receiveVoid());
    if (SUCCEEDED(hr) && result) locator = std::make_unique<ComLocator>(std::move(result));
    return hr;
}

void ComProvider::uninitialize() {
    if (owed_.empty()) return;
    bool owed = owed_.back();
    owed_.pop_back();
    if (owed) CoUninitialize();
}

}  // namespace moravel::windows
