// What every HTTP client shares: the byte budget of a reply and Basic authentication.
#include "io/http.h"

namespace moravel {

bool ReplyBudget::take(std::size_t bytes, bool header) {
    if (problem_) return false;
    if (header && bytes > kMaxHeaderBytes - headers_)
        problem_ = kHeadersTooLarge;
    else if (bytes > kMaxReplyBytes - reply_)
        problem_ = kReplyTooLarge;
    else if (bytes > exchangeLeft_)
        problem_ = kExchangeTooLarge;
    if (problem_) return false;
    headers_ += header ? bytes : 0;
    reply_ += bytes;
    exchangeLeft_ -= bytes;
    return true;
}

std::string basicAuthorization(const HttpCredentials& credentials) {
    static const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    const std::string plain = credentials.user + ":" + credentials.password;
    std::string encoded;
    for (std::size_t i = 0; i < plain.size(); i += 3) {
        unsigned bits = static_cast<unsigned char>(plain[i]) << 16;
        if (i + 1 < plain.size()) bits |= static_cast<unsigned char>(plain[i + 1]) << 8;
        if (i + 2 < plain.size()) bits |= static_cast<unsigned char>(plain[i + 2]);
        encoded += kDigits[bits >> 18 & 63];
        encoded += kDigits[bits >> 12 & 63];
        encoded += i + 1 < plain.size() ? kDigits[bits >> 6 & 63] : '=';
        encoded += i + 2 < plain.size() ? kDigits[bits & 63] : '=';
    }
    return "Basic " + encoded;
}

}  // namespace moravel
