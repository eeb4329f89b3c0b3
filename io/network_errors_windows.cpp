#include "io/network_errors_windows.h"

#include <winsock2.h>
#include <windows.h>
#include <winhttp.h>

#include "io/system_message_windows.h"

namespace moravel {
namespace {

struct Words {
    unsigned long code;
    const char* text;
};

// Where the system has no text for a code (Wine has none for most), the sense of Windows' own.
const Words kNetworkWords[] = {
    {ERROR_WINHTTP_INTERNAL_ERROR, "an internal error in WinHTTP"},
    {ERROR_WINHTTP_INVALID_URL, "the URL is not valid"},
    {ERROR_WINHTTP_UNRECOGNIZED_SCHEME, "the URL names a scheme WinHTTP does not speak"},
    {ERROR_WINHTTP_NAME_NOT_RESOLVED, "the server's name could not be resolved"},
    {ERROR_WINHTTP_OPERATION_CANCELLED, "the exchange was cancelled"},
    {ERROR_WINHTTP_CANNOT_CONNECT, "could not connect to the server"},
    {ERROR_WINHTTP_CONNECTION_ERROR, "the connection with the server was reset or ended abnormally"},
    {ERROR_WINHTTP_INVALID_SERVER_RESPONSE, "the server's reply could not be read as HTTP"},
    {ERROR_WINHTTP_REDIRECT_FAILED, "the server's redirection could not be followed"},
    {ERROR_WINHTTP_SECURE_FAILURE, "the server's certificate was refused"},
    {ERROR_WINHTTP_SECURE_CERT_DATE_INVALID, "the server's certificate has expired or is not yet valid"},
    {ERROR_WINHTTP_SECURE_CERT_CN_INVALID, "the server's certificate names another server"},
    {ERROR_WINHTTP_SECURE_INVALID_CA, "the server's certificate is signed by an authority this computer does not trust"},
    {ERROR_WINHTTP_SECURE_CERT_REVOKED, "the server's certificate has been revoked"},
    {ERROR_WINHTTP_SECURE_CHANNEL_ERROR, "the secure connection with the server failed"},
    {ERROR_WINHTTP_CLIENT_AUTH_CERT_NEEDED, "the server asks for a client certificate"},
    {ERROR_WINHTTP_AUTODETECTION_FAILED, "the proxy could not be found"},
    {WSAECONNREFUSED, "the server refused the connection"},
    {WSAECONNRESET, "the server reset the connection"},
    {WSAECONNABORTED, "the connection was aborted"},
    {WSAENETUNREACH, "the network cannot be reached"},
    {WSAEHOSTUNREACH, "no route to the server"},
    {WSAHOST_NOT_FOUND, "the server's name could not be resolved"},
    {WSATRY_AGAIN, "the server's name could not be resolved"},
};

bool isTimeout(unsigned long code) { return code == ERROR_WINHTTP_TIMEOUT || code == WSAETIMEDOUT || code == ERROR_TIMEOUT; }

}  // namespace

std::string networkErrorText(unsigned long code) {
    if (isTimeout(code)) return "no reply within the time allowed";
    std::string text = systemMessage(code, GetModuleHandleW(L"winhttp.dll"));
    if (!text.empty()) return text;
    for (const Words& words : kNetworkWords)
        if (words.code == code) return words.text;
    return "error " + std::to_string(code);
}

}  // namespace moravel
