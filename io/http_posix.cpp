// HTTP with libcurl: proxies from http_proxy, https_proxy and no_proxy (libcurl reads them),
// certificates checked against the system's store. libcurl and the thirty libraries it brings
// are loaded only when something is sent, so the report starts as fast as without them.
#include <curl/curl.h>
#include <dlfcn.h>

#include "io/http.h"

namespace moravel {
namespace {

// The libcurl functions used here, from the library loaded at run time.
struct Curl {
    void* library = dlopen("libcurl.so.4", RTLD_NOW | RTLD_LOCAL);
    CURLcode (*globalInit)(long) = symbol<CURLcode (*)(long)>("curl_global_init");
    void (*globalCleanup)() = symbol<void (*)()>("curl_global_cleanup");
    CURL* (*init)() = symbol<CURL* (*)()>("curl_easy_init");
    CURLcode (*setopt)(CURL*, CURLoption, ...) = symbol<CURLcode (*)(CURL*, CURLoption, ...)>("curl_easy_setopt");
    CURLcode (*perform)(CURL*) = symbol<CURLcode (*)(CURL*)>("curl_easy_perform");
    CURLcode (*getinfo)(CURL*, CURLINFO, ...) = symbol<CURLcode (*)(CURL*, CURLINFO, ...)>("curl_easy_getinfo");
    void (*cleanup)(CURL*) = symbol<void (*)(CURL*)>("curl_easy_cleanup");
    const char* (*strerror)(CURLcode) = symbol<const char* (*)(CURLcode)>("curl_easy_strerror");
    curl_slist* (*append)(curl_slist*,
                          const char*) = symbol<curl_slist* (*)(curl_slist*, const char*)>("curl_slist_append");
    void (*freeAll)(curl_slist*) = symbol<void (*)(curl_slist*)>("curl_slist_free_all");

    Curl() {
        if (usable()) globalInit(CURL_GLOBAL_DEFAULT);
    }
    ~Curl() {
        if (usable()) globalCleanup();
        if (library) dlclose(library);
    }
    Curl(const Curl&) = delete;
    Curl& operator=(const Curl&) = delete;

    bool usable() const {
        return library && globalInit && globalCleanup && init && setopt && perform && getinfo && cleanup && strerror &&
               append && freeAll;
    }

    template <typename F>
    F symbol(const char* name) {
        return library ? reinterpret_cast<F>(dlsym(library, name)) : nullptr;
    }
};

// One transfer's handle and headers, given back however it ends.
struct Transfer {
    const Curl& curl;
    CURL* handle = curl.init();
    curl_slist* headers = nullptr;
    ~Transfer() {
        curl.freeAll(headers);
        if (handle) curl.cleanup(handle);
    }
};

using Clock = std::chrono::steady_clock;

// What one transfer receives, counted as it comes against the reply's budget and the deadline.
struct Receiving {
    ReplyBudget budget;
    Clock::time_point deadline;
    std::string body;
    const char* cut = nullptr;  // why a callback ended the transfer

    // False, and `cut` says why, when `bytes` more may not come.
    bool take(std::size_t bytes, bool header) {
        if (Clock::now() >= deadline)
            cut = kTimeRanOut;
        else if (!budget.take(bytes, header))
            cut = budget.problem();
        return cut == nullptr;
    }
};

std::size_t keepBody(char* data, std::size_t size, std::size_t count, void* user) {
    auto* receiving = static_cast<Receiving*>(user);
    if (!receiving->take(size * count, false)) return 0;
    receiving->body.append(data, size * count);
    return size * count;
}

// Every header line, the status line and the trailers after a chunked body included: libcurl
// would keep them all (for curl_easy_header) however many a server sends.
std::size_t countHeader(char*, std::size_t size, std::size_t count, void* user) {
    return static_cast<Receiving*>(user)->take(size * count, true) ? size * count : 0;
}

// Called at least once a second whatever the server does, so the deadline holds in every phase.
int checkDeadline(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<Receiving*>(user)->take(0, false) ? 0 : 1;
}

HttpReply failure(const std::string& reason) {
    HttpReply reply;
    reply.failure = reason;
    return reply;
}

// libcurl 8.6 and later say this of a header line longer than they take; earlier ones, out of memory.
constexpr int kCurlTooLarge = 100;

// Our words for what a transfer that failed ran into.
std::string failureText(CURLcode code, const Receiving& receiving, const char* error, const Curl& curl) {
    if (receiving.cut) return receiving.cut;
    if (code == CURLE_OPERATION_TIMEDOUT) return kTimeRanOut;
    if ((code == CURLE_OUT_OF_MEMORY || code == kCurlTooLarge) && receiving.body.empty()) return kHeadersTooLarge;
    return error[0] ? error : curl.strerror(code);
}

class CurlClient : public HttpClient {
public:
    explicit CurlClient(HttpCredentials credentials) : credentials_(std::move(credentials)) {}

    HttpReply post(const std::string& url, const std::string& contentType, const std::string& userAgent,
                   const std::string& body, Clock::time_point deadline) override {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) return failure(kTimeRanOut);
        if (!curl_.usable()) return failure("libcurl (libcurl.so.4) cannot be loaded");
        Transfer transfer{curl_};
        if (!transfer.handle) return failure("libcurl cannot start a transfer");
        transfer.headers = curl_.append(nullptr, ("Content-Type: " + contentType).c_str());
        transfer.headers = curl_.append(transfer.headers, "Expect:");  // no 100-continue round trip
        Receiving receiving{ReplyBudget(exchangeLeft_), deadline, {}, nullptr};
        char error[CURL_ERROR_SIZE] = "";
        CURL* h = transfer.handle;
        // Before anything else: without it (libcurl before 7.85) a redirect could lead anywhere.
        if (curl_.setopt(h, CURLOPT_PROTOCOLS_STR, "http,https") != CURLE_OK)
            return failure("this libcurl cannot keep a transfer to http and https (7.85 or later needed)");
        CURLcode set = CURLE_OK;
        auto option = [&](CURLoption name, auto value) {
            if (set == CURLE_OK) set = curl_.setopt(h, name, value);
        };
        option(CURLOPT_URL, url.c_str());
        option(CURLOPT_HTTPHEADER, transfer.headers);
        option(CURLOPT_USERAGENT, userAgent.c_str());
        option(CURLOPT_POSTFIELDS, body.data());
        option(CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
        option(CURLOPT_TIMEOUT_MS, static_cast<long>(left.count()));
        option(CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(left.count()));
        option(CURLOPT_NOSIGNAL, 1L);
        option(CURLOPT_WRITEFUNCTION, keepBody);
        option(CURLOPT_WRITEDATA, &receiving);
        option(CURLOPT_HEADERFUNCTION, countHeader);
        option(CURLOPT_HEADERDATA, &receiving);
        option(CURLOPT_XFERINFOFUNCTION, checkDeadline);
        option(CURLOPT_XFERINFODATA, &receiving);
        option(CURLOPT_NOPROGRESS, 0L);
        option(CURLOPT_ERRORBUFFER, error);
        if (!credentials_.user.empty()) {  // given apart from the URL, which never holds them
            option(CURLOPT_USERNAME, credentials_.user.c_str());
            option(CURLOPT_PASSWORD, credentials_.password.c_str());
        }
        if (set != CURLE_OK) return failure(std::string("libcurl refused an option: ") + curl_.strerror(set));
        CURLcode code = curl_.perform(h);
        if (code != CURLE_OK) return failure(failureText(code, receiving, error, curl_));
        HttpReply reply;
        curl_.getinfo(h, CURLINFO_RESPONSE_CODE, &reply.status);
        reply.body = std::move(receiving.body);
        return reply;
    }

private:
    Curl curl_;
    HttpCredentials credentials_;
    std::size_t exchangeLeft_ = kMaxExchangeBytes;
};

}  // namespace

std::unique_ptr<HttpClient> makeHttpClient(HttpCredentials credentials) {
    return std::make_unique<CurlClient>(std::move(credentials));
}

}  // namespace moravel
