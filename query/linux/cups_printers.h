// The printers of the local CUPS scheduler. libcups is loaded at run time, and only when a
// scheduler may answer: linked in, it would load some thirty libraries (TLS, Kerberos, Avahi)
// into every start of the program, about 5 ms, on machines that print nowhere.
#pragma once

#include <cups/cups.h>

#include <vector>

#include "query/linux/host_facts.h"

namespace moravel::lx {

// The libcups functions the printer list needs.
struct CupsApi {
    decltype(&::cupsServer) cupsServer = nullptr;
    decltype(&::ippPort) ippPort = nullptr;
    decltype(&::httpConnect2) httpConnect2 = nullptr;
    decltype(&::httpClose) httpClose = nullptr;
    decltype(&::ippNewRequest) ippNewRequest = nullptr;
    decltype(&::ippAddStrings) ippAddStrings = nullptr;
    decltype(&::cupsDoRequest) cupsDoRequest = nullptr;
    decltype(&::ippDelete) ippDelete = nullptr;
    decltype(&::ippFirstAttribute) ippFirstAttribute = nullptr;
    decltype(&::ippNextAttribute) ippNextAttribute = nullptr;
    decltype(&::ippGetName) ippGetName = nullptr;
    decltype(&::ippGetGroupTag) ippGetGroupTag = nullptr;
    decltype(&::ippGetString) ippGetString = nullptr;
    decltype(&::ippGetInteger) ippGetInteger = nullptr;
    decltype(&::ippGetResolution) ippGetResolution = nullptr;
};

// libcups, open while the object lives.
class CupsLibrary {
public:
    CupsLibrary();
    ~CupsLibrary();
    CupsLibrary(const CupsLibrary&) = delete;
    CupsLibrary& operator=(const CupsLibrary&) = delete;

    // Nothing when the library or one of its functions is missing.
    const CupsApi* api() const { return complete_ ? &api_ : nullptr; }
    // Any other function of the library, for callers that need more.
    void* symbol(const char* name) const;

private:
    void* handle_;
    CupsApi api_;
    bool complete_ = false;
};

// Whether a scheduler may be there: a server named by CUPS_SERVER or client.conf, the local
// socket, or something listening on the loopback IPP port. Costs microseconds.
bool schedulerMayAnswer();

// One entry per printer group of a CUPS-Get-Printers response, resolutions in dots per inch.
std::vector<PrinterInfo> printersFromIpp(const CupsApi& cups, ipp_t* response);

}  // namespace moravel::lx
