// One HTTP POST with a deadline, behind a small interface: libcurl on Linux
// (http_posix.cpp), WinHTTP on Windows (http_windows.cpp). Both take a proxy from
// the usual environment variables and verify TLS certificates as the system does.
#pragma once

#include <chrono>
#include <memory>
#include <string>

namespace moravel {

struct HttpReply {
    long status = 0;  // 0 when no reply came: `failure` says why
    std::string body;
    std::string failure;
};

// Replies of inventory servers are small; more than this is not one.
constexpr std::size_t kMaxReplyBytes = 1u << 20;

class HttpClient {
public:
    virtual ~HttpClient() = default;
    // Sends `body` and reads the reply, all before `deadline`.
    virtual HttpReply post(const std::string& url, const std::string& contentType, const std::string& userAgent,
                           const std::string& body, std::chrono::steady_clock::time_point deadline) = 0;
};

std::unique_ptr<HttpClient> makeHttpClient();

}  // namespace moravel
