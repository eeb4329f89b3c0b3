#include "io/url.h"

#include <algorithm>
#include <charconv>

namespace moravel {
namespace {

// %XX as the byte it stands for; a "%" not followed by two hex digits stays as it is.
std::string percentDecoded(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        unsigned byte = 0;
        const char* digits = text.data() + i + 1;
        if (text[i] == '%' && i + 2 < text.size() && std::from_chars(digits, digits + 2, byte, 16).ptr == digits + 2) {
            out += static_cast<char>(byte);
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

}  // namespace

UrlParts splitUserInfo(const std::string& url) {
    const std::size_t scheme = url.find("://");
    if (scheme == std::string::npos) return {url, {}};
    const std::size_t start = scheme + 3;
    const std::size_t end = std::min(url.find_first_of("/?#", start), url.size());
    const std::size_t at = url.rfind('@', end == start ? start : end - 1);
    if (at == std::string::npos || at < start) return {url, {}};
    const std::string userInfo = url.substr(start, at - start);
    const std::size_t colon = userInfo.find(':');
    HttpCredentials credentials{
        percentDecoded(userInfo.substr(0, colon)),
        colon == std::string::npos ? std::string() : percentDecoded(userInfo.substr(colon + 1))};
    return {url.substr(0, start) + url.substr(at + 1), credentials};
}

std::vector<std::pair<std::size_t, std::size_t>> passwordSpans(const std::string& text) {
    std::vector<std::pair<std::size_t, std::size_t>> spans;
    std::size_t start = 0;
    for (std::size_t scheme; (scheme = text.find("://", start)) != std::string::npos;) {
        start = scheme + 3;
        std::size_t end = start;
        while (end < text.size() && !isSpace(text[end])) ++end;
        const std::size_t at = text.rfind('@', end == start ? start : end - 1);
        const std::size_t colon = text.find(':', start);
        if (at == std::string::npos || at < start || colon >= at) continue;
        spans.emplace_back(colon + 1, at);
        start = at;
    }
    return spans;
}

std::string hidePasswords(const std::string& text) {
    std::string out;
    std::size_t from = 0;
    for (const auto& [begin, end] : passwordSpans(text)) {
        out.append(text, from, begin - from).append("***");
        from = end;
    }
    return out.append(text, from, std::string::npos);
}

}  // namespace moravel
