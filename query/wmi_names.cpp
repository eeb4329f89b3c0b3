#include "query/wmi_names.h"

#include <algorithm>
#include <vector>

#include "query/wmi_query.h"

namespace moravel {
namespace {

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool isIdentifier(const std::string& name) {
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

std::optional<std::string> queriedClass(const std::string& query) {
    std::vector<std::string> words = splitWords(query);
    if (words.size() != 4 || !sameWmiName(words[0], "SELECT") || words[1] != "*" || !sameWmiName(words[2], "FROM") ||
        !isIdentifier(words[3]))
        return std::nullopt;
    return words[3];
}

}  // namespace moravel
