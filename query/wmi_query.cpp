#include "query/wmi_query.h"

#include <cstdio>
#include <iostream>
#include <limits>
#include <memory>

#include "query/wmi_names.h"

namespace moravel {
namespace {

const char* const kLanguage = "WQL";

// Error codes are written in lower-case hexadecimal without touching the stream's base, so
// later type lines stay decimal.
std::string hex(HResult hr) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%x", static_cast<unsigned>(hr));
    return buffer;
}

void writeLine(std::ostream& out, const std::string& line) { out << line << std::endl; }

// The number is written through to_string so it is decimal whatever the stream was set to.
void writeTypeLine(std::ostream& out, const char* label, std::int64_t value) {
    out << label << std::to_string(static_cast<std::int32_t>(static_cast<std::uint32_t>(value))) << std::endl;
}

CycleFailure failure(CycleStep step, HResult hr) { return {step, failed(hr) ? hr : kFailed}; }

// What a cycle does with the enumerator its query delivered.
using EnumeratorWalk = std::function<void(WmiEnumerator& enumerator)>;

// Proxy settings, the query and the walk; the enumerator is handed out so the caller releases
// it after the services and the locator.
std::optional<CycleFailure> walkObjects(WmiServices& services, const std::string& query, const EnumeratorWalk& walk,
                                        std::unique_ptr<WmiEnumerator>& enumerator) {
    HResult hr = services.setProxyBlanket();
    if (failed(hr)) return failure(CycleStep::ProxyBlanket, hr);
    hr = services.execQuery(kLanguage, query, kQueryFlags, enumerator);
    if (failed(hr)) return failure(CycleStep::ExecQuery, hr);
    if (enumerator) walk(*enumerator);
    return std::nullopt;
}

// Steps after COM initialisation; the caller uninitialises. Declared in this order, the services,
// the locator and the enumerator are released in that order.
std::optional<CycleFailure> connectedCycle(WmiProvider& provider, const std::string& nameSpace,
                                           const std::string& query, const EnumeratorWalk& walk) {
    HResult hr = provider.initializeSecurity();
    if (failed(hr)) return failure(CycleStep::Security, hr);
    std::unique_ptr<WmiEnumerator> enumerator;
    std::unique_ptr<WmiLocator> locator;
    hr = provider.createLocator(locator);
    if (failed(hr) || !locator) return failure(CycleStep::CreateLocator, hr);
    std::unique_ptr<WmiServices> services;
    hr = locator->connectServer(nameSpace, services);
    if (failed(hr) || !services) return failure(CycleStep::Connect, hr);
    return walkObjects(*services, query, walk, enumerator);
}

std::optional<CycleFailure> queryCycle(WmiProvider& provider, const std::string& nameSpace, const std::string& wqlQuery,
                                       const EnumeratorWalk& walk) {
    provider.beginCycle(wqlQuery);
    HResult hr = provider.initialize();
    if (failed(hr) && hr != kChangedMode) return failure(CycleStep::Initialize, hr);
    ComScope com(provider);
    return connectedCycle(provider, nameSpace, wqlQuery, walk);
}

// The property of object `index`; objects count whether or not Get succeeds. Each object and
// its value are let go before the next object is asked for, and a walk that does not end with a
// value goes on to the end. The objects that are only counted are stepped over by the
// enumerator, which a provider may do without building them (WmiEnumerator::skip).
std::string readObject(WmiEnumerator& enumerator, int index, const std::string& property, std::ostream& diagnostics) {
    constexpr std::size_t kAll = std::numeric_limits<std::size_t>::max();
    if (index < 0) {  // matches no object
        enumerator.skip(kAll, property);
        return {};
    }
    if (enumerator.skip(static_cast<std::size_t>(index), property) < static_cast<std::size_t>(index)) return {};
    std::unique_ptr<WmiObject> object = enumerator.next();
    if (!object) return {};
    WmiValue value;
    if (failed(object->get(property, value))) {
        object.reset();
        enumerator.skip(kAll, property);
        return {};
    }
    return valueToText(value, diagnostics);
}

}  // namespace

std::string valueToText(const WmiValue& value, std::ostream& out) {
    switch (value.type) {
    case vt::Empty: return "Empty";
    case vt::Null: return "Null";
    case vt::I4: return std::to_string(static_cast<std::uint32_t>(value.integer));
    case vt::Date: return "DATE is not available!";
    case vt::Bstr: return value.hasText ? value.text.substr(0, value.text.find('\0')) : std::string();
    case vt::Bool: return "VT_BOOL!";
    case vt::I2: writeTypeLine(out, "VT_I2: ", value.integer); return {};
    case vt::I1: writeTypeLine(out, "VT_I1: ", value.integer); return {};
    case vt::UI1: writeTypeLine(out, "VT_UI1: ", value.integer); return {};
    case vt::UI2: writeTypeLine(out, "VT_UI2: ", value.integer); return {};
    case vt::UI4: writeTypeLine(out, "VT_UI4: ", value.integer); return {};
    case vt::I8: writeTypeLine(out, "VT_I8: ", value.integer); return {};
    case vt::UI8: writeTypeLine(out, "VT_UI8: ", value.integer); return {};
    default: return {};
    }
}

std::optional<CycleFailure> runQueryCycle(WmiProvider& provider, const std::string& nameSpace,
                                          const std::string& wqlQuery, const ObjectVisitor& visit) {
    return runQueryCycleFrom(provider, nameSpace, wqlQuery, 0, {}, visit);  // stepping over none does nothing
}

std::optional<CycleFailure> runQueryCycleFrom(WmiProvider& provider, const std::string& nameSpace,
                                              const std::string& wqlQuery, std::size_t first,
                                              const std::string& property, const ObjectVisitor& visit) {
    return queryCycle(provider, nameSpace, wqlQuery, [&](WmiEnumerator& enumerator) {
        if (enumerator.skip(first, property) < first) return;
        while (std::unique_ptr<WmiObject> object = enumerator.next())
            if (!visit(*object)) break;
    });
}

std::string queryWmiText(QueryContext& context, int index, const std::string& wqlQuery,
                         const std::string& propertyName) {
    ++context.queries;
    WmiProvider* provider = context.provider;
    if (!provider) return {};
    std::string text;
    std::optional<CycleFailure> stopped = queryCycle(
        *provider, kWmiNamespace, wqlQuery,
        [&](WmiEnumerator& enumerator) { text = readObject(enumerator, index, propertyName, *context.diagnostics); });
    if (stopped && stopped->step == CycleStep::Initialize)
        writeLine(*context.diagnostics, "Failed to initialize COM library. Error code = 0x" + hex(stopped->code));
    if (stopped && stopped->step == CycleStep::ExecQuery)
        writeLine(*context.diagnostics, "Query for operating system name failed. Error code = 0x" + hex(stopped->code));
    return text;
}

std::string selectAllFrom(const std::string& className) { return "SELECT * FROM " + className; }

std::vector<std::string> splitWords(std::string text) {
    // Whitespace as the "C" classification has it, whatever the global locale. Every query's class
    // name passes through here, so no stream is built for it.
    static constexpr const char* kSpace = " \t\n\v\f\r";
    std::vector<std::string> words;
    for (std::size_t end = 0, start; (start = text.find_first_not_of(kSpace, end)) != std::string::npos;) {
        end = text.find_first_of(kSpace, start);
        words.push_back(text.substr(start, end - start));
    }
    return words;
}

}  // namespace moravel
