#include "query/linux/cups_printers.h"

#include <arpa/inet.h>
#include <dlfcn.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>

namespace moravel::lx {
namespace {

// A scheduler named in client.conf on another host that does not answer costs at most this,
// per query; a local one that is not running costs nothing (refused at once).
constexpr int kConnectTimeoutMs = 100;
constexpr std::uint16_t kIppPort = 631;

struct FdCloser {
    int fd;
    ~FdCloser() {
        if (fd >= 0) ::close(fd);
    }
};

bool namesServer(const std::string& clientConf) {
    std::ifstream in(clientConf);
    for (std::string line; std::getline(in, line);) {
        std::istringstream words(line);
        std::string key;
        if (words >> key && key == "ServerName") return true;
    }
    return false;
}

bool loopbackPortAccepts(std::uint16_t port) {
    FdCloser socket{::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)};
    if (socket.fd < 0) return false;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return ::connect(socket.fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
}

template <typename Function>
bool bind(void* handle, const char* name, Function& function) {
    function = handle ? reinterpret_cast<Function>(::dlsym(handle, name)) : nullptr;
    return function != nullptr;
}

void readAttribute(const CupsApi& cups, ipp_attribute_t* attribute, PrinterInfo& printer) {
    const char* name = cups.ippGetName(attribute);
    if (std::strcmp(name, "printer-name") == 0) {
        const char* text = cups.ippGetString(attribute, 0, nullptr);
        printer.name = text ? text : "";
    } else if (std::strcmp(name, "printer-state") == 0) {
        printer.status = printerStatusOf(cups.ippGetInteger(attribute, 0));
    } else if (std::strcmp(name, "printer-resolution-default") == 0) {
        int vertical = 0;
        ipp_res_t units = IPP_RES_PER_INCH;
        int horizontal = cups.ippGetResolution(attribute, 0, &vertical, &units);
        if (units == IPP_RES_PER_CM) {  // WMI counts dots per inch
            horizontal = (horizontal * 254 + 50) / 100;
            vertical = (vertical * 254 + 50) / 100;
        }
        if (horizontal > 0) printer.horizontalResolution = static_cast<std::uint64_t>(horizontal);
        if (vertical > 0) printer.verticalResolution = static_cast<std::uint64_t>(vertical);
    }
}

}  // namespace

CupsLibrary::CupsLibrary() : handle_(::dlopen("libcups.so.2", RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE)) {
    complete_ = bind(handle_, "cupsServer", api_.cupsServer) && bind(handle_, "ippPort", api_.ippPort) &&
                bind(handle_, "httpConnect2", api_.httpConnect2) && bind(handle_, "httpClose", api_.httpClose) &&
                bind(handle_, "ippNewRequest", api_.ippNewRequest) && bind(handle_, "ippAddStrings", api_.ippAddStrings) &&
                bind(handle_, "cupsDoRequest", api_.cupsDoRequest) && bind(handle_, "ippDelete", api_.ippDelete) &&
                bind(handle_, "ippFirstAttribute", api_.ippFirstAttribute) &&
                bind(handle_, "ippNextAttribute", api_.ippNextAttribute) && bind(handle_, "ippGetName", api_.ippGetName) &&
                bind(handle_, "ippGetGroupTag", api_.ippGetGroupTag) && bind(handle_, "ippGetString", api_.ippGetString) &&
                bind(handle_, "ippGetInteger", api_.ippGetInteger) &&
                bind(handle_, "ippGetResolution", api_.ippGetResolution);
}

CupsLibrary::~CupsLibrary() {
    if (handle_) ::dlclose(handle_);
}

void* CupsLibrary::symbol(const char* name) const { return handle_ ? ::dlsym(handle_, name) : nullptr; }

bool schedulerMayAnswer() {
    const char* server = std::getenv("CUPS_SERVER");
    if (server && *server) return true;
    const char* home = std::getenv("HOME");
    if ((home && namesServer(std::string(home) + "/.cups/client.conf")) || namesServer("/etc/cups/client.conf"))
        return true;
    if (::access("/run/cups/cups.sock", F_OK) == 0 || ::access("/var/run/cups/cups.sock", F_OK) == 0) return true;
    return loopbackPortAccepts(kIppPort);
}

std::vector<PrinterInfo> printersFromIpp(const CupsApi& cups, ipp_t* response) {
    std::vector<PrinterInfo> printers;
    PrinterInfo current;
    auto finish = [&] {
        if (!current.name.empty()) printers.push_back(current);
        current = PrinterInfo();
    };
    for (ipp_attribute_t* a = cups.ippFirstAttribute(response); a; a = cups.ippNextAttribute(response)) {
        if (!cups.ippGetName(a)) finish();  // a separator between two printers' groups
        else if (cups.ippGetGroupTag(a) == IPP_TAG_PRINTER) readAttribute(cups, a, current);
    }
    finish();
    return printers;
}

std::vector<PrinterInfo> readCupsPrinters() {
    if (!schedulerMayAnswer()) return {};
    CupsLibrary library;
    const CupsApi* cups = library.api();
    if (!cups) return {};
    const char* server = cups->cupsServer();
    if (!server || !*server || (server[0] == '/' && ::access(server, F_OK) != 0)) return {};
    auto closeHttp = [cups](http_t* http) { cups->httpClose(http); };
    std::unique_ptr<http_t, decltype(closeHttp)> http(
        cups->httpConnect2(server, cups->ippPort(), nullptr, AF_UNSPEC, HTTP_ENCRYPTION_IF_REQUESTED, 1,
                           kConnectTimeoutMs, nullptr),
        closeHttp);
    if (!http) return {};
    static const char* const kWanted[] = {"printer-name", "printer-state", "printer-resolution-default"};
    ipp_t* request = cups->ippNewRequest(IPP_OP_CUPS_GET_PRINTERS);
    cups->ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                        sizeof kWanted / sizeof kWanted[0], nullptr, kWanted);
    auto deleteIpp = [cups](ipp_t* ipp) { cups->ippDelete(ipp); };
    std::unique_ptr<ipp_t, decltype(deleteIpp)> response(cups->cupsDoRequest(http.get(), request, "/"),
                                                          deleteIpp);  // frees the request
    return response ? printersFromIpp(*cups, response.get()) : std::vector<PrinterInfo>();
}

}  // namespace moravel::lx
