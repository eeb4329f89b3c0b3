// HTTP with the system's WinHTTP: TLS and certificate checks as Windows does them; a proxy from
// HTTPS_PROXY or HTTP_PROXY (and NO_PROXY) when set, else the system's own proxy settings.
#include <windows.h>
#include <winhttp.h>

#include <algorithm>
#include <vector>

#include "io/http.h"
#include "io/network_errors_windows.h"
#include "io/process.h"
#include "text/wide.h"

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

std::string environment(const char* upper, const char* lower) {
    std::string value = environmentValue(upper).value_or("");
    return value.empty() ? environmentValue(lower).value_or("") : value;
}

// "http://proxy:3128" as WinHTTP names a proxy: "proxy:3128".
std::wstring proxyName(std::string proxy) {
    std::size_t scheme = proxy.find("://");
    if (scheme != std::string::npos) proxy = proxy.substr(scheme + 3);
    std::size_t slash = proxy.find('/');
    return toWide(proxy.substr(0, slash));
}

Handle openSession(const std::string& userAgent, bool secure) {
    std::string proxy = secure ? environment("HTTPS_PROXY", "https_proxy") : "";
    if (proxy.empty()) proxy = environment("HTTP_PROXY", "http_proxy");
    if (proxy.empty()) {  // the system's settings; before Windows 8.1, those set with netsh
        HINTERNET session = WinHttpOpen(toWide(userAgent).c_str(), WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY,
                                        WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0);
        if (!session)
            session = WinHttpOpen(toWide(userAgent).c_str(), WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                                  WINHTTP_NO_PROXY_BYPASS, 0);
        return Handle(session);
    }
    std::wstring bypass = toWide(environment("NO_PROXY", "no_proxy"));
    for (wchar_t& c : bypass)
        if (c == L',') c = L';';
    return Handle(WinHttpOpen(toWide(userAgent).c_str(), WINHTTP_ACCESS_TYPE_NAMED_PROXY, proxyName(proxy).c_str(),
                              bypass.empty() ? WINHTTP_NO_PROXY_BYPASS : bypass.c_str(), 0));
}

// Our words for what WinHTTP ran into; past the deadline, that is the reason whatever it says.
std::string failureText(DWORD error, bool expired) {
    if (expired) return kTimeRanOut;
    if (error == ERROR_WINHTTP_HEADER_SIZE_OVERFLOW || error == ERROR_WINHTTP_CHUNKED_ENCODING_HEADER_SIZE_OVERFLOW)
        return kHeadersTooLarge;
    return networkErrorText(error);
}

// The bytes of the reply's status line and headers, as WinHTTP keeps them (it refuses more than
// WINHTTP_OPTION_MAX_RESPONSE_HEADER_SIZE itself).
std::size_t headerBytes(HINTERNET request) {
    DWORD size = 0;
    WinHttpQueryHeaders(request, WINHTTP_QUERY_RAW_HEADERS_CRLF, WINHTTP_HEADER_NAME_BY_INDEX, WINHTTP_NO_OUTPUT_BUFFER,
                        &size, WINHTTP_NO_HEADER_INDEX);
    return size / sizeof(wchar_t);
}

HttpReply& fail(HttpReply& reply, const std::string& reason) {
    reply.status = 0;
    reply.failure = reason;
    return reply;
}

// One request, with everything it reads and writes, shared by the thread that makes it and the
// caller that waits for it.
struct Exchange {
    std::string url, contentType, userAgent, body;
    HttpCredentials credentials;
    std::chrono::steady_clock::time_point deadline;
    std::size_t exchangeLeft;
    HttpReply reply;

    void run() {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return void(fail(reply, kTimeRanOut));
        std::wstring wideUrl = toWide(url);
        URL_COMPONENTS parts{};
        parts.dwStructSize = sizeof parts;
        parts.dwHostNameLength = parts.dwUrlPathLength = parts.dwExtraInfoLength = static_cast<DWORD>(-1);
        if (!WinHttpCrackUrl(wideUrl.c_str(), 0, 0, &parts)) return void(fail(reply, "not a URL WinHTTP can use"));
        bool secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
        std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
        std::wstring path(parts.lpszUrlPath, parts.dwUrlPathLength + parts.dwExtraInfoLength);
        Handle session = openSession(userAgent, secure);
        if (!session) return void(fail(reply, networkErrorText(GetLastError())));
        int ms = static_cast<int>(left.count());
        WinHttpSetTimeouts(session.get(), ms, ms, ms, ms);
        Handle connection(WinHttpConnect(session.get(), host.c_str(), parts.nPort, 0));
        Handle request(connection
                           ? WinHttpOpenRequest(connection.get(), L"POST", path.c_str(), nullptr, WINHTTP_NO_REFERER,
                                                WINHTTP_DEFAULT_ACCEPT_TYPES, secure ? WINHTTP_FLAG_SECURE : 0)
                           : nullptr);
        if (!request) return void(fail(reply, networkErrorText(GetLastError())));
        // Not every WinHTTP passes the session's timeouts on, and the wait for a reply's headers
        // has a timeout of its own.
        WinHttpSetTimeouts(request.get(), ms, ms, ms, ms);
        DWORD replyWait = static_cast<DWORD>(ms);
        WinHttpSetOption(request.get(), WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &replyWait, sizeof replyWait);
        // Headers, and the bodies of replies WinHTTP reads past by itself, within the caps.
        DWORD headerCap = kMaxHeaderBytes, drainCap = kMaxReplyBytes;
        WinHttpSetOption(request.get(), WINHTTP_OPTION_MAX_RESPONSE_HEADER_SIZE, &headerCap, sizeof headerCap);
        WinHttpSetOption(request.get(), WINHTTP_OPTION_MAX_RESPONSE_DRAIN_SIZE, &drainCap, sizeof drainCap);
        std::wstring header = L"Content-Type: " + toWide(contentType);
        if (!credentials.user.empty()) header += L"\r\nAuthorization: " + toWide(basicAuthorization(credentials));
        Deadline deadlineWatch(request, deadline);
        if (!WinHttpSendRequest(request.get(), header.c_str(), static_cast<DWORD>(-1), const_cast<char*>(body.data()),
                                static_cast<DWORD>(body.size()), static_cast<DWORD>(body.size()), 0) ||
            !WinHttpReceiveResponse(request.get(), nullptr))
            return void(fail(reply, failureText(GetLastError(), deadlineWatch.expired())));
        DWORD status = 0, size = sizeof status;
        WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                            WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX);
        ReplyBudget budget(exchangeLeft);
        if (!budget.take(headerBytes(request.get()), true)) return void(fail(reply, budget.problem()));
        if (!readBody(request.get(), budget)) {
            if (deadlineWatch.expired()) fail(reply, kTimeRanOut);  // a read cut by the watch says little
            return;
        }
        reply.status = static_cast<long>(status);
    }

    bool readBody(HINTERNET request, ReplyBudget& budget) {
        for (;;) {
            if (std::chrono::steady_clock::now() > deadline) return fail(reply, kTimeRanOut), false;
            DWORD available = 0;
            if (!WinHttpQueryDataAvailable(request, &available))
                return fail(reply, failureText(GetLastError(), false)), false;
            if (available == 0) return true;
            if (!budget.take(available, false)) return fail(reply, budget.problem()), false;
            std::vector<char> chunk(available);
            DWORD read = 0;
            if (!WinHttpReadData(request, chunk.data(), available, &read))
                return fail(reply, failureText(GetLastError(), false)), false;
            reply.body.append(chunk.data(), read);
        }
    }
};

DWORD WINAPI runExchange(void* shared) {
    std::unique_ptr<std::shared_ptr<Exchange>> exchange(static_cast<std::shared_ptr<Exchange>*>(shared));
    (*exchange)->run();
    return 0;
}

// How long after the deadline a request closed by the watch may take to give up.
constexpr DWORD kGiveUpMs = 500;

// Each request runs on a thread of its own. At the deadline the watch closes it, which ends any
// wait of Windows' WinHTTP; a WinHTTP that reads on regardless (Wine's reads header lines without
// end, and has no header cap) is left behind half a second later: the caller has its answer in
// time, and the process's end takes the thread with it.
class WinHttpClient : public HttpClient {
public:
    explicit WinHttpClient(HttpCredentials credentials) : credentials_(std::move(credentials)) {}

    HttpReply post(const std::string& url, const std::string& contentType, const std::string& userAgent,
                   const std::string& body, std::chrono::steady_clock::time_point deadline) override {
        auto exchange = std::make_shared<Exchange>(
            Exchange{url, contentType, userAgent, body, credentials_, deadline, exchangeLeft_, {}});
        auto* shared = new std::shared_ptr<Exchange>(exchange);
        HANDLE thread = CreateThread(nullptr, 0, runExchange, shared, 0, nullptr);
        if (!thread) {
            delete shared;
            exchange->run();
        } else {
            auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            DWORD wait = static_cast<DWORD>(std::max<long long>(0, left.count())) + kGiveUpMs;
            bool gaveUp = WaitForSingleObject(thread, wait) == WAIT_TIMEOUT;
            CloseHandle(thread);
            if (gaveUp) return HttpReply{0, {}, kTimeRanOut};
        }
        exchangeLeft_ = exchange->exchangeLeft;
        return exchange->reply;
    }

private:
    HttpCredentials credentials_;
    std::size_t exchangeLeft_ = kMaxExchangeBytes;
};

}  // namespace

std::unique_ptr<HttpClient> makeHttpClient(HttpCredentials credentials) {
    return std::make_unique<WinHttpClient>(std::move(credentials));
}

}  // namespace moravel
