// The printers of the CUPS scheduler, asked over its socket with one CUPS-Get-Printers request.
// The exchange is written here rather than left to libcups so that it can be bounded as a whole:
// a scheduler that accepts and never answers, trickles, or answers garbage or gigabytes costs at
// most kSchedulerBudget for the whole run, and one that failed is not asked again.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "providers/linux/parsers/cups_reply.h"
#include "providers/linux/system/linux_context.h"

namespace moravel::lx {

constexpr std::chrono::milliseconds kSchedulerBudget{200};  // for all exchanges of one run

// Where the scheduler listens: a local socket, or a host and port.
struct SchedulerAddress {
    std::string socketPath;
    std::string host;
    std::uint16_t port = 631;
};

// "host", "host:port", "[v6]:port" or "/socket" as CUPS_SERVER and ServerName write it.
SchedulerAddress parseServerName(const std::string& name);

// One budget and one failure for every exchange made through it.
class PrintScheduler {
public:
    explicit PrintScheduler(std::chrono::milliseconds budget = kSchedulerBudget) : left_(budget) {}
    // Nothing at once once an exchange failed or the budget is spent.
    std::vector<PrinterInfo> printers(const SchedulerAddress& address);
    bool failed() const { return failed_; }
    // True once nothing will be asked any more: an exchange failed or the budget is spent.
    bool exhausted() const;

private:
    std::chrono::steady_clock::duration left_;
    bool failed_ = false;
};

// The printers of the CUPS scheduler, asked directly over its socket within the scheduler's
// budget; nothing (at once) when no scheduler answers, so a machine without CUPS pays no delay.
std::vector<PrinterInfo> readCupsPrinters(PrintScheduler& scheduler);

}  // namespace moravel::lx
