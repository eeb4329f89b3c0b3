// What inventory servers answer, read as their agents read it. Every reason is one short line
// that quotes at most a short excerpt of what the server sent, whatever it sent.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "io/http.h"

namespace moravel {

// An OCS reply is a zlib stream of <REPLY>...</REPLY>. `problem` is empty when the reply is one,
// and `response` then holds its RESPONSE, if it has one.
struct OcsReply {
    std::string problem;
    std::optional<std::string> response;
};
OcsReply readOcsReply(const HttpReply& reply);

// Empty when GLPI's reply says it took the inventory ({"status":"ok", ...}), else why not.
std::string readGlpiReply(const HttpReply& reply);

constexpr std::size_t kExcerptCharacters = 60;

// At most kExcerptCharacters characters of a server's text, in quotes, with "..." when there is
// more: UTF-8 characters kept, a byte that begins none as U+FFFD, C0 controls and DEL as dots.
std::string quotedExcerpt(const std::string& text);

}  // namespace moravel
