#include "query/windows/variant_value.h"

#include <oleauto.h>

#include "query/windows/code_page.h"

namespace moravel::windows {
namespace {

WmiValue stringValue(BSTR bstr) {
    if (!bstr) return WmiValue::integerOf(vt::Bstr, 0);  // an absent string: no text at all
    return WmiValue::string(toNarrow(bstr, SysStringLen(bstr)));
}

// The integer payload as the bit pattern of the platform value.
std::int64_t integerPayload(const VARIANT& v) {
    switch (V_VT(&v)) {
    case VT_I1: return V_I1(&v);
    case VT_UI1: return V_UI1(&v);
    case VT_I2: return V_I2(&v);
    case VT_UI2: return V_UI2(&v);
    case VT_I4: return V_I4(&v);
    case VT_UI4: return V_UI4(&v);
    case VT_I8: return V_I8(&v);
    case VT_UI8: return static_cast<std::int64_t>(V_UI8(&v));
    case VT_BOOL: return V_BOOL(&v);
    default: return 0;
    }
}

}  // namespace

WmiValue toWmiValue(const VARIANT& variant) {
    if (V_VT(&variant) == VT_BSTR) return stringValue(V_BSTR(&variant));
    return WmiValue::integerOf(V_VT(&variant), integerPayload(variant));
}

}  // namespace moravel::windows
