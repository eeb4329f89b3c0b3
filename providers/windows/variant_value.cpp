#include "providers/windows/variant_value.h"

#include <oleauto.h>

#include "text/wide.h"

namespace moravel::windows {
namespace {

WmiValue stringValue(BSTR bstr) {
    if (!bstr) return WmiValue::integerOf(vt::Bstr, 0);  // an absent string: no text at all
    return WmiValue::string(toUtf8(bstr, SysStringLen(bstr)));
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

// One element of a one-dimensional array as text: strings as they are, integers in decimal.
std::string elementText(SAFEARRAY* array, VARTYPE type, LONG index) {
    VARIANT element;
    VariantInit(&element);
    V_VT(&element) = type;
    void* slot = type == VT_BSTR ? static_cast<void*>(&V_BSTR(&element)) : static_cast<void*>(&V_I8(&element));
    if (FAILED(SafeArrayGetElement(array, &index, slot))) return {};
    std::string text = type == VT_BSTR ? stringValue(V_BSTR(&element)).text : std::to_string(integerPayload(element));
    VariantClear(&element);
    return text;
}

std::vector<std::string> arrayItems(const VARIANT& variant) {
    std::vector<std::string> items;
    SAFEARRAY* array = V_ARRAY(&variant);
    VARTYPE type = static_cast<VARTYPE>(V_VT(&variant) & ~VT_ARRAY);
    LONG low = 0, high = -1;
    if (!array || SafeArrayGetDim(array) != 1 || FAILED(SafeArrayGetLBound(array, 1, &low)) ||
        FAILED(SafeArrayGetUBound(array, 1, &high)))
        return items;
    bool readable = type == VT_BSTR || type == VT_I1 || type == VT_UI1 || type == VT_I2 || type == VT_UI2 ||
                    type == VT_I4 || type == VT_UI4 || type == VT_I8 || type == VT_UI8 || type == VT_BOOL;
    for (LONG i = low; i <= high; ++i) items.push_back(readable ? elementText(array, type, i) : std::string());
    return items;
}

}  // namespace

WmiValue toWmiValue(const VARIANT& variant) {
    if (V_VT(&variant) == VT_BSTR) return stringValue(V_BSTR(&variant));
    if ((V_VT(&variant) & VT_ARRAY) && !(V_VT(&variant) & VT_BYREF))
        return WmiValue::array(static_cast<std::uint16_t>(V_VT(&variant) & ~VT_ARRAY), arrayItems(variant));
    return WmiValue::integerOf(V_VT(&variant), integerPayload(variant));
}

}  // namespace moravel::windows
