// HTTP with the system's WinHTTP: TLS and certificate checks as Windows does them; a proxy from
// HTTPS_PROXY or HTTP_PROXY (and NO_PROXY) when set, else the system's own proxy settings.
#include <windows.h>
#include <winhttp.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "io/http.h"
#include "io/network_errors_windows.h"
#include "io/process.h"

namespace moravel {
namespace {

class Handle {
public:
    explicit Handle(HINTERNET handle) : handle_(handle) {}
    ~Handle() {
        if (handle_) WinHttpCloseHandle(handle_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HINTERNET get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    void forget() { handle_ = nullptr; }  // closed by someone else

private:
    HINTERNET handle_;
};

// WinHTTP's timeouts bound each wait, not the exchange: a server that trickles would outlast
// them. At the deadline a thread of its own closes the request, and the call that waits returns
// at once (ERROR_WINHTTP_OPERATION_CANCELLED).
class Deadline {
public:
    Deadline(Handle& request, std::chrono::steady_clock::time_point at)
        : request_(request), done_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(at - std::chrono::steady_clock::now());
        wait_ = static_cast<DWORD>(std::max<long long>(0, left.count()));
        if (done_) thread_ = CreateThread(nullptr, 0, watch, this, 0, nullptr);
    }
    ~Deadline() {
        if (thread_) {
            SetEvent(done_);
            WaitForSingleObject(thread_, INFINITE);
            CloseHandle(thread_);
        }
        if (done_) CloseHandle(done_);
        if (expired_) request_.forget();
    }
    Deadline(const Deadline&) = delete;
    Deadline& operator=(const Deadline&) = delete;
    bool expired() const { return expired_; }

private:
    static DWORD WINAPI watch(void* self) {
        auto* deadline = static_cast<Deadline*>(self);
        if (WaitForSingleObject(deadline->done_, deadline->wait_) == WAIT_TIMEOUT) {
            deadline->expired_ = true;
            WinHttpCloseHandle(deadline->request_.get());
        }
        return 0;
    }

    Handle& request_;
    HANDLE done_;
    HANDLE thread_ = nullptr;
    DWORD wait_ = 0;
    volatile bool expired_ = false;  // written by the watch before it closes, read after the join
};

std::wstring wide(const std::string& text) {
    if (text.empty()) return {};
    int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring result(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &result[0], length);
    return result;
}

std::string environment(const char* upper, const char* lower) {
    std::string value = environmentValue(upper).value_or("");
    return value.empty() ? environmentValue(lower).value_or("") : value;
}

// "http://proxy:3128" as WinHTTP names a proxy: "proxy:3128".
std::wstring proxyName(std::string proxy) {
    std::size_t scheme = proxy.find("://");
    if (scheme != std::string::npos) proxy = proxy.substr(scheme + 3);
    std::size_t slash = proxy.find('/');
    return wide(proxy.substr(0, slash));
}

Handle openSession(const std::string& userAgent, bool secure) {
    std::string proxy = secure ? environment("HTTPS_PROXY", "https_proxy") : "";
    if (proxy.empty()) proxy = environment("HTTP_PROXY", "http_proxy");
    if (proxy.empty()) {  // the system's settings; before Windows 8.1, those set with netsh
        HINTERNET session = WinHttpOpen(wide(userAgent).c_str(), WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY,
                                        WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0);
        if (!session)
            session = WinHttpOpen(wide(userAgent).c_str(), WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                                  WINHTTP_NO_PROXY_BYPASS, 0);
        return Handle(session);
    }
    std::wstring bypass = wide(environment("NO_PROXY", "no_proxy"));
    for (wchar_t& c : bypass)
        if (c == L',') c = L';';
    return Handle(WinHttpOpen(wide(userAgent).c_str(), WINHTTP_ACCESS_TYPE_NAMED_PROXY, proxyName(proxy).c_str(),
                              bypass.empty() ? WINHTTP_NO_PROXY_BYPASS : bypass.c_str(), 0));
}

std::string systemMessage(DWORD error) { return networkErrorText(error); }

class WinHttpClient : public HttpClient {
public:
    HttpReply post(const std::string& url, const std::string& contentType, const std::string& userAgent,
                   const std::string& body, std::chrono::steady_clock::time_point deadline) override {
        HttpReply reply;
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return fail(reply, "no reply within the time allowed");
        std::wstring wideUrl = wide(url);
        URL_COMPONENTS parts{};
        parts.dwStructSize = sizeof parts;
        parts.dwHostNameLength = parts.dwUrlPathLength = parts.dwExtraInfoLength = static_cast<DWORD>(-1);
        if (!WinHttpCrackUrl(wideUrl.c_str(), 0, 0, &parts)) return fail(reply, "not a URL WinHTTP can use");
        bool secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
        std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
        std::wstring path(parts.lpszUrlPath, parts.dwUrlPathLength + parts.dwExtraInfoLength);
        Handle session = openSession(userAgent, secure);
        if (!session) return fail(reply, systemMessage(GetLastError()));
        int ms = static_cast<int>(left.count());
        WinHttpSetTimeouts(session.get(), ms, ms, ms, ms);
        Handle connection(WinHttpConnect(session.get(), host.c_str(), parts.nPort, 0));
        Handle request(connection
                           ? WinHttpOpenRequest(connection.get(), L"POST", path.c_str(), nullptr, WINHTTP_NO_REFERER,
                                                WINHTTP_DEFAULT_ACCEPT_TYPES, secure ? WINHTTP_FLAG_SECURE : 0)
                           : nullptr);
        if (!request) return fail(reply, systemMessage(GetLastError()));
        // Not every WinHTTP passes the session's timeouts on, and the wait for a reply's headers
        // has a timeout of its own.
        WinHttpSetTimeouts(request.get(), ms, ms, ms, ms);
        DWORD replyWait = static_cast<DWORD>(ms);
        WinHttpSetOption(request.get(), WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &replyWait, sizeof replyWait);
        std::wstring header = L"Content-Type: " + wide(contentType);
        Deadline deadlineWatch(request, deadline);
        if (!WinHttpSendRequest(request.get(), header.c_str(), static_cast<DWORD>(-1), const_cast<char*>(body.data()),
                                static_cast<DWORD>(body.size()), static_cast<DWORD>(body.size()), 0) ||
            !WinHttpReceiveResponse(request.get(), nullptr))
            return fail(reply,
                        deadlineWatch.expired() ? "no reply within the time allowed" : systemMessage(GetLastError()));
        DWORD status = 0, size = sizeof status;
        WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                            WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX);
        if (!readBody(request.get(), reply, deadline)) {
            if (deadlineWatch.expired()) fail(reply, "no reply within the time allowed");
            return reply;
        }
        reply.status = static_cast<long>(status);
        return reply;
    }

private:
    static HttpReply fail(HttpReply& reply, const std::string& reason) {
        reply.status = 0;
        reply.failure = reason;
        return reply;
    }

    static bool readBody(HINTERNET request, HttpReply& reply, std::chrono::steady_clock::time_point deadline) {
        for (;;) {
            if (std::chrono::steady_clock::now() > deadline)
                return fail(reply, "no reply within the time allowed"), false;
            DWORD available = 0;
            if (!WinHttpQueryDataAvailable(request, &available))
                return fail(reply, systemMessage(GetLastError())), false;
            if (available == 0) return true;
            if (reply.body.size() + available > kMaxReplyBytes)
                return fail(reply, "the reply is larger than 1 MiB"), false;
            std::vector<char> chunk(available);
            DWORD read = 0;
            if (!WinHttpReadData(request, chunk.data(), available, &read))
                return fail(reply, systemMessage(GetLastError())), false;
            reply.body.append(chunk.data(), read);
        }
    }
};

}  // namespace

std::unique_ptr<HttpClient> makeHttpClient() { return std::make_unique<WinHttpClient>(); }

}  // namespace moravel
