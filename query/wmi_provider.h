// The operations a WMI provider offers, one per platform call of a query cycle. The query layer
// (wmi_query.cpp) drives them in a fixed order; providers only answer. Releasing an interface is
// destroying the object that stands for it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "query/wmi_value.h"

namespace moravel {

using HResult = std::int32_t;

constexpr HResult kOk = 0;
constexpr HResult kSFalse = 1;  // S_FALSE: success, and COM was already initialised on this thread
constexpr HResult kChangedMode = static_cast<HResult>(0x80010106u);   // RPC_E_CHANGED_MODE
constexpr HResult kInvalidQuery = static_cast<HResult>(0x80041017u);  // WBEM_E_INVALID_QUERY
constexpr HResult kNotFound = static_cast<HResult>(0x80041002u);      // WBEM_E_NOT_FOUND
constexpr HResult kFailed = static_cast<HResult>(0x80004005u);        // E_FAIL
constexpr HResult kAccessDenied = static_cast<HResult>(0x80041003u);  // WBEM_E_ACCESS_DENIED

constexpr long kQueryFlags = 48;  // WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY

inline bool failed(HResult hr) { return hr < 0; }

// The platform calls of a query cycle that can fail, in the order a cycle makes them.
enum class CycleStep { Initialize, Security, CreateLocator, Connect, ProxyBlanket, ExecQuery };

// Where a cycle stopped: the step and its code.
struct CycleFailure {
    CycleStep step;
    HResult code;
};

class WmiObject {
public:
    virtual ~WmiObject() = default;
    // IWbemClassObject::Get: fills `value` and returns a success code, or returns a failure
    // (for example kNotFound for a property the class does not have).
    virtual HResult get(const std::string& property, WmiValue& value) = 0;
};

class WmiEnumerator {
public:
    virtual ~WmiEnumerator() = default;
    // IEnumWbemClassObject::Next(WBEM_INFINITE, 1, ...): the next object, or nullptr when
    // none was returned.
    virtual std::unique_ptr<WmiObject> next() = 0;
    // Steps over up to `count` objects as the walk of a query does (Next, Get, release) and
    // returns how many there were. A provider whose objects can be counted without being built
    // (the snapshot provider) jumps instead, so a read costs the same at any index.
    virtual std::size_t skip(std::size_t count, const std::string& property) {
        std::size_t skipped = 0;
        for (; skipped < count; ++skipped) {
            std::unique_ptr<WmiObject> object = next();
            if (!object) break;
            WmiValue value;
            object->get(property, value);
        }
        return skipped;
    }
};

class WmiServices {
public:
    virtual ~WmiServices() = default;
    virtual HResult setProxyBlanket() = 0;
    // IWbemServices::ExecQuery with the language name, the query text and the flags.
    virtual HResult execQuery(const std::string& language, const std::string& query, long flags,
                              std::unique_ptr<WmiEnumerator>& enumerator) = 0;
};

class WmiLocator {
public:
    virtual ~WmiLocator() = default;
    // IWbemLocator::ConnectServer with the namespace path and every other argument empty.
    virtual HResult connectServer(const std::string& path, std::unique_ptr<WmiServices>& services) = 0;
};

class WmiProvider {
public:
    virtual ~WmiProvider() = default;
    // Called by the query layer at the start of every cycle, before initialize(), with the query
    // text the cycle will run. A provider that stages failures per query (the snapshot provider)
    // needs it before ExecQuery; platform providers ignore it.
    virtual void beginCycle(const std::string& wqlQuery) { (void)wqlQuery; }
    virtual HResult initialize() = 0;          // CoInitializeEx(NULL, COINIT_MULTITHREADED)
    virtual HResult initializeSecurity() = 0;  // CoInitializeSecurity(...)
    virtual HResult createLocator(std::unique_ptr<WmiLocator>& locator) = 0;  // CoCreateInstance
    virtual void uninitialize() = 0;                                          // CoUninitialize
};

// Uninitialises COM when a cycle ends, however it ends; made once initialisation was accepted.
class ComScope {
public:
    explicit ComScope(WmiProvider& provider) : provider_(provider) {}
    ~ComScope() { provider_.uninitialize(); }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    WmiProvider& provider_;
};

}  // namespace moravel
