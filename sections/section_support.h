// Small rules that several groups compose their texts with.
#pragma once

#include <string>

#include "query/wmi_query.h"

namespace moravel {

// queryWmiText for object `index` of "SELECT * FROM <className>".
inline std::string readProperty(const char* className, const char* property, int index = 0) {
    return queryWmiText(index, selectAllFrom(className), property);
}

// The text itself, or "None" when it is empty.
inline std::string orNone(const std::string& text) { return text.empty() ? "None" : text; }

// The text itself when it has at least `minimum` characters, else "None".
inline std::string atLeastOrNone(const std::string& text, std::size_t minimum) {
    return text.size() >= minimum ? text : "None";
}

}  // namespace moravel
