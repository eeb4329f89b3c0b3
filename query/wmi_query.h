// The one operation through which nearly every value passes, and the shared word splitter.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "query/wmi_value.h"

namespace moravel {

class WmiProvider;

// The named property of object `index` (from 0) of a WQL query, as text; empty text on any
// failure. Each call is a complete connect-query-read-disconnect cycle through the provider.
std::string queryWmiText(int index, const std::string& wqlQuery, const std::string& propertyName);

// The whitespace-separated words of `text`, in order.
std::vector<std::string> splitWords(std::string text);

// The text of one property value, writing the type lines of the integer codes to `diagnostics`.
std::string valueToText(const WmiValue& value, std::ostream& diagnostics);

// The provider every query goes through; not owned. Must be set before the first query.
void setWmiProvider(WmiProvider* provider);
WmiProvider* wmiProvider();

// Where the diagnostic lines go: standard output unless a front end says otherwise.
void setDiagnosticStream(std::ostream& out);
std::ostream& diagnosticStream();

// Sends the diagnostic lines to `stream` for as long as it lives.
class DiagnosticsTo {
public:
    explicit DiagnosticsTo(std::ostream& stream) : previous_(diagnosticStream()) { setDiagnosticStream(stream); }
    ~DiagnosticsTo() { setDiagnosticStream(previous_); }
    DiagnosticsTo(const DiagnosticsTo&) = delete;
    DiagnosticsTo& operator=(const DiagnosticsTo&) = delete;

private:
    std::ostream& previous_;
};

// How many times queryWmiText has been called since the last reset.
long queryCount();
void resetQueryCount();

}  // namespace moravel
