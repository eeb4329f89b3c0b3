// One HTTP POST with a deadline, behind a small interface: libcurl on Linux
// (http_posix.cpp), WinHTTP on Windows (http_windows.cpp). Both take a proxy from
// the usual environment variables and verify TLS certificates as the system does.
#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>

namespace moravel {

struct HttpReply {
    long status = 0;  // 0 when no reply came: `failure` says why
    std::string body;
    std::string failure;
};

// Sent as HTTP Basic authentication when `user` is not empty.
struct HttpCredentials {
    std::string user;
    std::string password;
};

// Replies of inventory servers are small; more than this is not one. Every byte a server sends
// counts: a reply's headers and trailers with its body against kMaxReplyBytes, and alone against
// kMaxHeaderBytes; all the replies one client receives against kMaxExchangeBytes.
constexpr std::size_t kMaxReplyBytes = 1u << 20;
constexpr std::size_t kMaxHeaderBytes = 64u << 10;
constexpr std::size_t kMaxExchangeBytes = 2 * kMaxReplyBytes;

// The reasons a transfer was cut short, the same on every platform.
constexpr const char* kTimeRanOut = "no reply within the time allowed";
constexpr const char* kReplyTooLarge = "the reply is larger than 1 MiB";
constexpr const char* kHeadersTooLarge = "the reply's headers (and trailers) are larger than 64 KiB";
constexpr const char* kExchangeTooLarge = "the server sent more than 2 MiB in all";

class HttpClient {
public:
    virtual ~HttpClient() = default;
    // Sends `body` and reads the reply, all before `deadline`.
    virtual HttpReply post(const std::string& url, const std::string& contentType, const std::string& userAgent,
                           const std::string& body, std::chrono::steady_clock::time_point deadline) = 0;
};

// A client for one exchange with a server (its byte budget is the exchange's), which sends
// `credentials` with each request.
std::unique_ptr<HttpClient> makeHttpClient(HttpCredentials credentials = {});

// What one reply may still receive, and why it would be cut: the reply's cap and what is left of
// the exchange's budget.
class ReplyBudget {
public:
    explicit ReplyBudget(std::size_t& exchangeLeft) : exchangeLeft_(exchangeLeft) {}
    // Counts `bytes` more of the reply; false (and `problem` says why) when they are too many.
    bool take(std::size_t bytes, bool header);
    const char* problem() const { return problem_; }

private:
    std::size_t& exchangeLeft_;
    std::size_t reply_ = 0;
    std::size_t headers_ = 0;
    const char* problem_ = nullptr;
};

// "Basic <base64 of USER:PASSWORD>", the value of an Authorization header.
std::string basicAuthorization(const HttpCredentials& credentials);

}  // namespace moravel
