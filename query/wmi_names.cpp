#include "query/wmi_names.h"

#include <algorithm>
#include <vector>

#include "query/wmi_query.h"

namespace moravel {
namespace {

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool isIdentifier(std::string_view name) {
    return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
    });
}

}  // namespace

bool sameWmiName(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return lowerAscii(x) == lowerAscii(y); });
}

std::string queriedClassName(const std::string& query) {
    std::vector<std::string> words = splitWords(query);
    for (std::size_t i = 0; i + 1 < words.size(); ++i)
        if (sameWmiName(words[i], "FROM")) return words[i + 1];
    return {};
}

// Every query passes through here: its words are looked at where they are, not copied.
std::optional<std::string> queriedClass(const std::string& query) {
    constexpr const char* kSpace = " \t\n\v\f\r";
    const std::string_view text(query);
    std::string_view words[5];
    std::size_t count = 0;
    for (std::size_t end = 0, start; count < 5 && (start = text.find_first_not_of(kSpace, end)) != text.npos;) {
        end = text.find_first_of(kSpace, start);
        words[count++] = text.substr(start, end == text.npos ? text.npos : end - start);
    }
    if (count != 4 || !sameWmiName(words[0], "SELECT") || words[1] != "*" || !sameWmiName(words[2], "FROM") ||
        !isIdentifier(words[3]))
        return std::nullopt;
    return std::string(words[3]);
}

}  // namespace moravel
