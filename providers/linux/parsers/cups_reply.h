// The bytes of a CUPS-Get-Printers exchange: the request, and the reply's parsers, which take any
// bytes at all (tests and the fuzz target feed them without a scheduler).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace moravel::lx {

// A printer queue as the scheduler describes it.
struct PrinterInfo {
    std::string name;
    std::optional<std::uint64_t> horizontalResolution;  // dots per inch
    std::optional<std::uint64_t> verticalResolution;
    std::optional<std::uint64_t> status;  // WMI PrinterStatus: 3 idle, 4 printing, 7 offline
};

constexpr std::size_t kMaxReplyBytes = 1u << 20;  // a reply for 20 printers is about 3 KB

// The request as sent: HTTP POST of an IPP CUPS-Get-Printers operation.
std::string printersRequest();
// Whether `reply` holds a whole HTTP response already (by its length or its last chunk).
bool replyComplete(const std::string& reply);
// The printers of an HTTP reply carrying an IPP response, one per printer group, resolutions in
// dots per inch; nothing when the reply is not such a response.
std::optional<std::vector<PrinterInfo>> printersFromReply(const std::string& reply);

}  // namespace moravel::lx
