#include "query/wmi_query.h"

#include <cstdio>
#include <iostream>
#include <limits>
#include <locale>
#include <memory>
#include <sstream>

#include "query/wmi_provider.h"

namespace moravel {
namespace {

WmiProvider* currentProvider = nullptr;
std::ostream* diagnostics = &std::cout;
long calls = 0;

const char* const kNamespace = "ROOT\\CIMV2";
const char* const kLanguage = "WQL";

// Error codes are written in lower-case hexadecimal without touching the stream's base, so
// later type lines stay decimal.
std::string hex(HResult hr) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%x", static_cast<unsigned>(hr));
    return buffer;
}

void writeLine(std::ostream& out, const std::string& line) {
    out << line << std::endl;
}

// The number is written through to_string so it is decimal whatever the stream was set to.
void writeTypeLine(std::ostream& out, const char* label, std::int64_t value) {
    out << label << std::to_string(static_cast<std::int32_t>(static_cast<std::uint32_t>(value))) << std::endl;
}

// Walks the enumerator to object `index`; objects count whether or not Get succeeds. Each
// object and its value are let go before the next object is asked for. A walk that does not end
// with a value goes on to the end of the enumeration. The objects that are only counted are
// stepped over by the enumerator, which a provider may do without building them.
std::string readObject(WmiEnumerator& enumerator, int index, const std::string& property) {
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
    return valueToText(value, *diagnostics);
}

// Proxy settings, the query and the walk; the enumerator is handed out so the caller releases
// it after the services and the locator.
std::string runQuery(WmiServices& services, int index, const std::string& query, const std::string& property,
                     std::unique_ptr<WmiEnumerator>& enumerator) {
    if (failed(services.setProxyBlanket())) return {};
    HResult hr = services.execQuery(kLanguage, query, kQueryFlags, enumerator);
    if (failed(hr)) {
        writeLine(*diagnostics, "Query for operating system name failed. Error code = 0x" + hex(hr));
        return {};
    }
    return enumerator ? readObject(*enumerator, index, property) : std::string();
}

// Steps after COM initialisation; the caller uninitialises.
std::string connectedQuery(WmiProvider& provider, int index, const std::string& query,
                           const std::string& property) {
    if (failed(provider.initializeSecurity())) return {};
    std::unique_ptr<WmiLocator> locator;
    if (failed(provider.createLocator(locator)) || !locator) return {};
    std::unique_ptr<WmiServices> services;
    if (failed(locator->connectServer(kNamespace, services)) || !services) return {};
    std::unique_ptr<WmiEnumerator> enumerator;
    std::string result = runQuery(*services, index, query, property, enumerator);
    services.reset();
    locator.reset();
    enumerator.reset();
    return result;
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

std::string queryWmiText(int index, const std::string& wqlQuery, const std::string& propertyName) {
    ++calls;
    WmiProvider* provider = currentProvider;
    if (!provider) return {};
    provider->beginCycle(wqlQuery);
    HResult hr = provider->initialize();
    if (failed(hr) && hr != kChangedMode) {
        writeLine(*diagnostics, "Failed to initialize COM library. Error code = 0x" + hex(hr));
        return {};
    }
    ComScope com(*provider);
    return connectedQuery(*provider, index, wqlQuery, propertyName);
}

std::vector<std::string> splitWords(std::string text) {
    std::istringstream in(text);
    in.imbue(std::locale::classic());  // whitespace as the "C" classification has it, whatever the global locale
    std::vector<std::string> words;
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

void setWmiProvider(WmiProvider* provider) { currentProvider = provider; }
WmiProvider* wmiProvider() { return currentProvider; }
void setDiagnosticStream(std::ostream& out) { diagnostics = &out; }
std::ostream& diagnosticStream() { return *diagnostics; }
long queryCount() { return calls; }
void resetQueryCount() { calls = 0; }

}  // namespace moravel
