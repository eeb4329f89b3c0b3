// One WMI object on Linux: a table of property names, each with a function that computes its
// value only when it is asked for, so a query costs what the asked property costs.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "query/wmi_provider.h"

namespace moravel::lx {

using PropertyReader = std::function<WmiValue()>;

class LinuxObject : public WmiObject {
public:
    LinuxObject() { properties_.reserve(16); }  // a class's table is built whole for every query
    LinuxObject& add(const char* name, PropertyReader reader);
    // A property this class has but Linux has no source for.
    LinuxObject& addNull(const char* name);

    // Property names compare without regard to case, as WMI's do. A reader's VT_NULL (no
    // source on this machine) is handed out as empty text.
    HResult get(const std::string& property, WmiValue& value) override;

protected:
    // A reader's value as the object hands it out: VT_NULL as empty text.
    static WmiValue answered(WmiValue value);

private:
    std::vector<std::pair<const char*, PropertyReader>> properties_;
};

using ObjectList = std::vector<std::unique_ptr<LinuxObject>>;

// A new object at the end of `objects`, for its reader to fill in.
LinuxObject& newObject(ObjectList& objects);

// Values typed as WMI types them: strings and uint64 as BSTR, uint16/uint32 as VT_I4, and
// VT_NULL for a value that is not known (which get() answers as empty text).
WmiValue stringOrNull(const std::optional<std::string>& text);
WmiValue uint32OrNull(const std::optional<std::uint64_t>& number);  // saturates at 2^32 - 1
WmiValue uint64OrNull(const std::optional<std::uint64_t>& number);

}  // namespace moravel::lx
