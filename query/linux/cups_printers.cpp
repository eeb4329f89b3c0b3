// The printer list from the local CUPS scheduler, asked with one IPP request over a connection
// of our own, so that neither network browsing nor a missing scheduler can hold start-up up.
#include <cups/cups.h>

#include <unistd.h>

#include <cstring>
#include <memory>

#include "query/linux/cups_printers.h"

namespace moravel::lx {
namespace {

// A scheduler named in client.conf on another host that does not answer costs at most this,
// per query; a local one that is not running costs nothing (the socket is refused at once).
constexpr int kConnectTimeoutMs = 100;

struct HttpCloser {
    void operator()(http_t* http) const { httpClose(http); }
};
struct IppDeleter {
    void operator()(ipp_t* ipp) const { ippDelete(ipp); }
};

// The scheduler's address: a local socket must exist, and a named host must accept the
// connection within a short time.
std::unique_ptr<http_t, HttpCloser> connectScheduler() {
    const char* server = cupsServer();
    if (!server || !*server) return nullptr;
    if (server[0] == '/' && ::access(server, F_OK) != 0) return nullptr;
    return std::unique_ptr<http_t, HttpCloser>(httpConnect2(server, ippPort(), nullptr, AF_UNSPEC,
                                                            HTTP_ENCRYPTION_IF_REQUESTED, 1,
                                                            kConnectTimeoutMs, nullptr));
}

void readAttribute(ipp_attribute_t* attribute, PrinterInfo& printer) {
    const char* name = ippGetName(attribute);
    if (std::strcmp(name, "printer-name") == 0) {
        printer.name = ippGetString(attribute, 0, nullptr);
    } else if (std::strcmp(name, "printer-state") == 0) {
        printer.status = printerStatusOf(ippGetInteger(attribute, 0));
    } else if (std::strcmp(name, "printer-resolution-default") == 0) {
        int vertical = 0;
        ipp_res_t units = IPP_RES_PER_INCH;
        int horizontal = ippGetResolution(attribute, 0, &vertical, &units);
        if (units == IPP_RES_PER_CM) {  // WMI counts dots per inch
            horizontal = (horizontal * 254 + 50) / 100;
            vertical = (vertical * 254 + 50) / 100;
        }
        if (horizontal > 0) printer.horizontalResolution = static_cast<std::uint64_t>(horizontal);
        if (vertical > 0) printer.verticalResolution = static_cast<std::uint64_t>(vertical);
    }
}

}  // namespace

std::vector<PrinterInfo> printersFromIpp(ipp_t* response) {
    std::vector<PrinterInfo> printers;
    PrinterInfo current;
    auto finish = [&] {
        if (!current.name.empty()) printers.push_back(current);
        current = PrinterInfo();
    };
    for (ipp_attribute_t* a = ippFirstAttribute(response); a; a = ippNextAttribute(response)) {
        if (!ippGetName(a)) finish();  // a separator between two printers' groups
        else if (ippGetGroupTag(a) == IPP_TAG_PRINTER) readAttribute(a, current);
    }
    finish();
    return printers;
}

std::vector<PrinterInfo> readCupsPrinters() {
    std::unique_ptr<http_t, HttpCloser> http = connectScheduler();
    if (!http) return {};
    static const char* const kWanted[] = {"printer-name", "printer-state", "printer-resolution-default"};
    ipp_t* request = ippNewRequest(IPP_OP_CUPS_GET_PRINTERS);
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  sizeof kWanted / sizeof kWanted[0], nullptr, kWanted);
    std::unique_ptr<ipp_t, IppDeleter> response(cupsDoRequest(http.get(), request, "/"));  // frees request
    return response ? printersFromIpp(response.get()) : std::vector<PrinterInfo>();
}

}  // namespace moravel::lx
