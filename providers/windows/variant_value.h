// A VARIANT as the query layer's WmiValue: the type code as it stands (flag bits included) and
// the payload of the codes the conversion table reads.
#pragma once

#include <oaidl.h>

#include "query/wmi_value.h"

namespace moravel::windows {

WmiValue toWmiValue(const VARIANT& variant);

}  // namespace moravel::windows
