// Reads JSON text into a tree without recursion and within fixed bounds, so that no text can
// exhaust the stack or make the tree many times larger than the text. Parts of the text a reader
// only needs to check (the objects of a class) are handed over one at a time as they complete
// instead of being kept; other arrays keep their numbers and strings (the elements of an array
// property) and skip any array or object inside them, which nothing reads.
#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace moravel {

constexpr std::size_t kMaxJsonDepth = 64;           // nested objects and arrays
constexpr std::size_t kMaxJsonValuesKept = 100000;  // values held in the tree at one time

// Thrown for text that is not JSON or exceeds a bound; `text` is one line.
struct JsonProblem {
    std::string text;
};

// One object or array that is open while the text is read.
struct JsonLevel {
    nlohmann::json* node = nullptr;           // null: a level inside skipped contents
    std::unique_ptr<nlohmann::json> owned;    // the tree of a value to be handed over
    std::string key;                          // an object's member being read
    std::map<std::string, std::string> keys;  // a kept object's keys so far, by their lower case
    std::size_t count = 0;                    // an object's members or an array's elements so far
    std::size_t begin = 0;                    // byte offset of its opening bracket
    std::size_t keptBefore = 0;
    bool handsOver = false;  // its members or elements go to the taker
};

class JsonTaker {
public:
    virtual ~JsonTaker() = default;
    // Whether the members or elements of `levels.back()` are handed over rather than kept.
    virtual bool takes(const std::vector<JsonLevel>& levels) const = 0;
    // A complete member or element of `levels.back()`, and its bytes [begin, end) in the text.
    virtual void take(const std::vector<JsonLevel>& levels, nlohmann::json&& value, std::size_t begin,
                      std::size_t end) = 0;
    // A key of a taking object, before its value (a kept object checks its keys itself).
    virtual void takenKey(const std::vector<JsonLevel>& levels, const std::string& key) = 0;
};

// A key as messages quote it: JSON-escaped, at most about 80 characters.
std::string quotedKey(const std::string& key);
// The place of `levels.back()` for messages, such as "classes"."Win32_BIOS"[2].
std::string jsonPlace(const std::vector<JsonLevel>& levels);

// The whole of `text` as one value; `taker` may be null. A byte-order mark is skipped. Keys that
// differ only in case are duplicates (class and property names are not case-sensitive). A number
// written with a fraction or an exponent (or beyond 64 bits) is kept as it is written, in a
// binary value, which JSON text cannot give otherwise: so it can be checked exactly and quoted as
// written. A non-zero number that would read as 0 is refused, as one too large for a double is.
nlohmann::json readJson(const std::string& text, std::size_t begin, std::size_t end, JsonTaker* taker);

// Whether `j` is a number, kept as a number or as written.
bool isNumber(const nlohmann::json& j);
// The text of a number kept as written.
std::string writtenNumber(const nlohmann::json& j);

// At most `limit` characters of `text`, cut at a character boundary, with "..." when cut.
std::string excerpt(const std::string& text, std::size_t limit = 80);

}  // namespace moravel
