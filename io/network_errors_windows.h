// WinHTTP's and Winsock's error codes in words, for the line a failed submission writes.
#pragma once

#include <string>

namespace moravel {

// Every timeout, WinHTTP's own (12002) or the socket's (10060), is "no reply within the time
// allowed", as on Linux; any other code is the system's text for it (WinHTTP's message table for
// its 12xxx codes), else ours for the codes a submission meets, else "error N".
std::string networkErrorText(unsigned long code);

}  // namespace moravel
