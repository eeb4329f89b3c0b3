// Reading the CUPS scheduler's answer to CUPS-Get-Printers.
#pragma once

#include <cups/cups.h>

#include <vector>

#include "query/linux/host_facts.h"

namespace moravel::lx {

// One entry per printer group of the response, resolutions in dots per inch.
std::vector<PrinterInfo> printersFromIpp(ipp_t* response);

}  // namespace moravel::lx
