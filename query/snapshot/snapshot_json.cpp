#include "query/snapshot/snapshot_json.h"

#include <algorithm>
#include <iterator>

namespace moravel {
namespace {

using json = nlohmann::json;

// A character iterator that leaves the parser's read position where the SAX events can see it:
// '{' and '[' have just been read when their event comes, '}' and ']' likewise.
class TrackedIterator {
public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = char;
    using difference_type = std::ptrdiff_t;
    using pointer = const char*;
    using reference = const char&;

    TrackedIterator(const char* at, const char** mark) : at_(at), mark_(mark) {}
    reference operator*() const { return *at_; }
    TrackedIterator& operator++() {
        *mark_ = ++at_;
        return *this;
    }
    bool operator!=(const TrackedIterator& other) const { return at_ != other.at_; }

private:
    const char* at_;
    const char** mark_;
};

class TreeBuilder {
public:
    TreeBuilder(const std::string& text, const char* const& cursor, JsonTaker* taker)
        : base_(text.data()), cursor_(cursor), taker_(taker) {}

    json& root() { return root_; }

    bool null() { return scalar(nullptr); }
    bool boolean(bool value) { return scalar(value); }
    bool number_integer(std::int64_t value) { return scalar(value); }
    bool number_unsigned(std::uint64_t value) { return scalar(value); }
    bool number_float(double value, const std::string& written) {
        if (value == 0 && written.find_first_of("123456789") < written.find_first_of("eE"))
            fail("", "not valid JSON: number underflow parsing '" + excerpt(written) + "' at byte " +
                         std::to_string(numberEnd(written)));
        return scalar(json::binary(json::binary_t::container_type(written.begin(), written.end())));
    }
    bool string(std::string& value) { return scalar(std::move(value)); }
    bool binary(json::binary_t&) { return scalar(nullptr); }  // JSON text has none
    bool start_object(std::size_t) { return open(json::object()); }
    bool start_array(std::size_t) { return open(json::array()); }
    bool end_object() { return close(); }
    bool end_array() { return close(); }

    bool key(std::string& key) {
        JsonLevel& top = levels_.back();
        ++top.count;
        if (top.node && top.handsOver)
            taker_->takenKey(levels_, key);
        else if (top.node)
            checkNew(top, key);
        top.key = std::move(key);
        return true;
    }

    bool parse_error(std::size_t position, const std::string& token, const nlohmann::detail::exception& error) {
        std::string detail = error.what();
        std::size_t bracket = detail.find("] ");
        if (bracket != std::string::npos) detail.erase(0, bracket + 2);
        // The parser quotes the token it stopped at, which may be a megabyte-long string.
        std::size_t at = token.size() > 80 ? detail.find(token) : std::string::npos;
        if (at != std::string::npos) detail.replace(at, token.size(), excerpt(token));
        if (error.id == 406) detail += " at byte " + std::to_string(position);
        fail("", "not valid JSON: " + detail);
    }

private:
    [[noreturn]] static void fail(const std::string& where, const std::string& problem) {
        throw JsonProblem{where.empty() ? problem : where + ": " + problem};
    }

    std::size_t offset() const { return static_cast<std::size_t>(cursor_ - base_); }

    // Where a number just read ends: the parser has read one character past it, unless the text
    // ended with it.
    std::size_t numberEnd(const std::string& written) const {
        std::size_t end = offset();
        bool past = end > written.size() && std::string(base_ + end - written.size(), written.size()) != written;
        return past ? end - 1 : end;
    }

    // A key of a kept object must differ from its others in more than case.
    void checkNew(JsonLevel& level, const std::string& key) {
        std::string folded = key;
        for (char& c : folded) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        auto [known, added] = level.keys.emplace(std::move(folded), key);
        if (added) return;
        if (known->second == key)
            fail(jsonPlace(levels_), "the key " + quotedKey(key) + " appears twice in one object");
        fail(jsonPlace(levels_),
             "the keys " + quotedKey(known->second) + " and " + quotedKey(key) + " differ only in case");
    }

    // Whether a value starting now is skipped; counts it as an element of an array. An array
    // keeps its numbers and strings (a property's elements) but no array or object inside it.
    bool skipping(bool container) {
        if (levels_.empty()) return false;
        JsonLevel& top = levels_.back();
        if (top.node && top.node->is_array()) ++top.count;
        return !top.node || (top.node->is_array() && !top.handsOver && container);
    }

    void keep() {
        if (++kept_ > kMaxJsonValuesKept)
            fail("", "more than " + std::to_string(kMaxJsonValuesKept) +
                         " values outside the objects of classes, at byte " + std::to_string(offset()));
    }

    // A complete value for the innermost level: handed over or stored.
    void place(json&& value, std::size_t begin, std::size_t end) {
        JsonLevel& top = levels_.back();
        if (top.handsOver) {
            taker_->take(levels_, std::move(value), begin, end);
        } else {
            keep();
            if (top.node->is_array())
                top.node->push_back(std::move(value));
            else
                (*top.node)[top.key] = std::move(value);
        }
    }

    bool scalar(json&& value) {
        if (levels_.empty()) {
            root_ = std::move(value);
        } else if (!skipping(false)) {
            place(std::move(value), offset(), offset());
        }
        return true;
    }

    bool open(json&& container) {
        if (levels_.size() >= kMaxJsonDepth)
            fail("",
                 "nested deeper than " + std::to_string(kMaxJsonDepth) + " levels at byte " + std::to_string(offset()));
        JsonLevel level;
        level.begin = offset() - 1;
        if (levels_.empty()) {
            root_ = std::move(container);
            level.node = &root_;
        } else if (!skipping(true)) {
            JsonLevel& top = levels_.back();
            if (top.handsOver) {
                level.owned = std::make_unique<json>(std::move(container));
                level.node = level.owned.get();
                level.keptBefore = kept_;
            } else {
                keep();
                level.node = &((*top.node)[top.key] = std::move(container));
            }
        }
        levels_.push_back(std::move(level));
        JsonLevel& added = levels_.back();
        added.handsOver = added.node && taker_ && taker_->takes(levels_);
        return true;
    }

    bool close() {
        JsonLevel done = std::move(levels_.back());
        levels_.pop_back();
        if (done.owned) {
            kept_ = done.keptBefore;  // the handed-over tree is let go
            place(std::move(*done.owned), done.begin, offset());
        }
        return true;
    }

    const char* base_;
    const char* const& cursor_;
    JsonTaker* taker_;
    json root_;
    std::vector<JsonLevel> levels_;
    std::size_t kept_ = 0;
};

}  // namespace

json readJson(const std::string& text, std::size_t begin, std::size_t end, JsonTaker* taker) {
    const char* cursor = text.data() + begin;
    TreeBuilder builder(text, cursor, taker);
    TrackedIterator first(text.data() + begin, &cursor), last(text.data() + end, &cursor);
    json::sax_parse(first, last, &builder);
    return std::move(builder.root());
}

bool isNumber(const json& j) { return j.is_number() || j.is_binary(); }

std::string writtenNumber(const json& j) {
    const json::binary_t& bytes = j.get_binary();
    return std::string(bytes.begin(), bytes.end());
}

std::string quotedKey(const std::string& key) {
    bool plain = key.size() <= 80 && std::all_of(key.begin(), key.end(),
                                                 [](char c) { return c >= 0x20 && c < 0x7F && c != '"' && c != '\\'; });
    if (plain) return '"' + key + '"';  // the common case, without a serializer
    return json(excerpt(key)).dump(-1, ' ', false, json::error_handler_t::replace);
}

std::string jsonPlace(const std::vector<JsonLevel>& levels) {
    std::string place;
    for (std::size_t i = 0; i + 1 < levels.size(); ++i) {
        const JsonLevel& level = levels[i];
        bool array = level.node ? level.node->is_array() : level.key.empty();
        if (array)
            place += "[" + std::to_string(level.count - 1) + "]";
        else
            place += (place.empty() ? "" : ".") + quotedKey(level.key);
    }
    return place;
}

std::string excerpt(const std::string& text, std::size_t limit) {
    if (text.size() <= limit) return text;
    std::size_t cut = limit - 3;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;  // not inside a character
    return text.substr(0, cut) + "...";
}

}  // namespace moravel
