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

// Keeps the reply up to the limit; a larger one ends the transfer.
std::size_t keep(char* data, std::size_t size, std::size_t count, void* user) {
    auto* body = static_cast<std::string*>(user);
    std::size_t bytes = size * count;
    if (body->size() + bytes > kMaxReplyBytes) return 0;
    body->append(data, bytes);
    return bytes;
}

HttpReply failure(const std::string& reason) {
    HttpReply reply;
    reply.failure = reason;
    return reply;
}

class CurlClient : public HttpClient {
public:
    HttpReply post(const std::string& url, const std::string& contentType, const std::string& userAgent,
                   const std::string& body, std::chrono::steady_clock::time_point deadline) override {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return failure("no reply within the time allowed");
        if (!curl_.usable()) return failure("libcurl (libcurl.so.4) cannot be loaded");
        Transfer transfer{curl_};
        if (!transfer.handle) return failure("libcurl cannot start a transfer");
        transfer.headers = curl_.append(nullptr, ("Content-Type: " + contentType).c_str());
        transfer.headers = curl_.append(transfer.headers, "Expect:");  // no 100-continue round trip
        HttpReply reply;
        char error[CURL_ERROR_SIZE] = "";
        CURL* h = transfer.handle;
        curl_.setopt(h, CURLOPT_URL, url.c_str());
        curl_.setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
        curl_.setopt(h, CURLOPT_HTTPHEADER, transfer.headers);
        curl_.setopt(h, CURLOPT_USERAGENT, userAgent.c_str());
        curl_.setopt(h, CURLOPT_POSTFIELDS, body.data());
        curl_.setopt(h, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
        curl_.setopt(h, CURLOPT_TIMEOUT_MS, static_cast<long>(left.count()));
        curl_.setopt(h, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(left.count()));
        curl_.setopt(h, CURLOPT_NOSIGNAL, 1L);
        curl_.setopt(h, CURLOPT_WRITEFUNCTION, keep);
        curl_.setopt(h, CURLOPT_WRITEDATA, &reply.body);
        curl_.setopt(h, CURLOPT_ERRORBUFFER, error);
        CURLcode code = curl_.perform(h);
        if (code == CURLE_WRITE_ERROR) return failure("the reply is larger than 1 MiB");
        if (code == CURLE_OPERATION_TIMEDOUT) return failure("no reply within the time allowed");
        if (code != CURLE_OK) return failure(error[0] ? error : curl_.strerror(code));
        curl_.getinfo(h, CURLINFO_RESPONSE_CODE, &reply.status);
        return reply;
    }

private:
    Curl curl_;
};

}  // namespace

std::unique_ptr<HttpClient> makeHttpClient() { return std::make_unique<CurlClient>(); }

}  // namespace moravel
