// The facts that come from system calls on the running machine, and the printer list of the
// local CUPS scheduler.
#pragma once

#include <memory>

#include "query/linux/linux_context.h"

namespace moravel::lx {

std::unique_ptr<HostFacts> makeSystemHostFacts();

// The printers of the CUPS scheduler, asked directly over its socket; nothing (at once) when no
// scheduler answers, so a machine without CUPS pays no delay.
std::vector<PrinterInfo> readCupsPrinters();

// The hypervisor signature of CPUID leaf 0x40000000, and leaf 1; compiled only for x86
// (MORAVEL_CPUID).
std::optional<std::string> readCpuidHypervisorVendor();
std::optional<CpuidLeaf> readCpuidLeafOne();

// WMI's PrinterStatus for an IPP printer-state (3 idle, 4 processing, 5 stopped).
std::optional<std::uint64_t> printerStatusOf(int ippState);

}  // namespace moravel::lx
