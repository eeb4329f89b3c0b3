// Small rules that several groups compose their texts with.
#pragma once

#include <cctype>
#include <string>

#include "query/wmi_query.h"

namespace moravel {

// queryWmiText for object `index` of "SELECT * FROM <className>".
inline std::string readProperty(QueryContext& context, const char* className, const char* property, int index = 0) {
    return queryWmiText(context, index, selectAllFrom(className), property);
}

// Board makers leave this in the model and maker slots, in two spellings; the groups leave out
// exactly these.
inline bool isOemPlaceholder(const std::string& text) {
    return text == "To be filled by O.E.M." || text == "To Be Filled By O.E.M.";
}

// What firmware writes where it has no serial number: nothing, zeros, "Unknown", "Not specified",
// "None", "Default string", "N/A" or the makers' placeholder, in any capitals.
inline bool isPlaceholderSerial(const std::string& text) {
    std::string lower;
    for (char c : text) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower.find_first_not_of("0 ") == std::string::npos || lower == "unknown" || lower == "not specified" ||
           lower == "none" || lower == "default string" || lower == "n/a" || lower == "to be filled by o.e.m.";
}

// The text itself, or "None" when it is empty.
inline std::string orNone(const std::string& text) { return text.empty() ? "None" : text; }

// The text itself when it has at least `minimum` characters, else "None".
inline std::string atLeastOrNone(const std::string& text, std::size_t minimum) {
    return text.size() >= minimum ? text : "None";
}

}  // namespace moravel
