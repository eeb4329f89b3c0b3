// The bytes of a CUPS-Get-Printers exchange: the request, and the reply's parsers, which take any
// bytes at all (tests and the fuzz target feed them without a scheduler).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "query/linux/linux_context.h"

namespace moravel::lx {

constexpr std::size_t kMaxReplyBytes = 1u << 20;  // a reply for 20 printers is about 3 KB

// The request as sent: HTTP POST of an IPP CUPS-Get-Printers operation.
std::string printersRequest();
// Whether `reply` holds a whole HTTP response already (by its length or its last chunk).
bool replyComplete(const std::string& reply);
// The printers of an HTTP reply carrying an IPP response, one per printer group, resolutions in
// dots per inch; nothing when the reply is not such a response.
std::optional<std::vector<PrinterInfo>> printersFromReply(const std::string& reply);

}  // namespace moravel::lx
