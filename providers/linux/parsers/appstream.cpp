#include "providers/linux/parsers/appstream.h"

#include <vector>

#include "providers/linux/parsers/plain_text.h"
#include "query/installed_software.h"

namespace moravel::lx {
namespace {

// The five entities XML predefines and numeric references below 128; anything else is kept as
// it is written.
std::string unescaped(const std::string& text) {
    static const std::pair<const char*, char> kEntities[] = {
        {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        bool replaced = false;
        for (const auto& [entity, c] : kEntities) {
            std::size_t length = std::char_traits<char>::length(entity);
            if (text.compare(i, length, entity) == 0) {
                out += c, i += length - 1, replaced = true;
                break;
            }
        }
        if (!replaced) out += text[i];
    }
    return out;
}

// The value of `name` in a start tag's text (`<release version="1.2" date="...">`).
std::string attribute(const std::string& tag, const std::string& name) {
    for (std::size_t at = tag.find(name); at != std::string::npos; at = tag.find(name, at + 1)) {
        std::size_t equals = at + name.size();
        bool word = at > 0 && (tag[at - 1] == ' ' || tag[at - 1] == '\t' || tag[at - 1] == '\n');
        if (!word || equals + 1 >= tag.size() || tag[equals] != '=') continue;
        char quote = tag[equals + 1];
        std::size_t end = tag.find(quote, equals + 2);
        if ((quote != '"' && quote != '\'') || end == std::string::npos) return {};
        return unescaped(tag.substr(equals + 2, end - equals - 2));
    }
    return {};
}

std::string elementName(const std::string& tag) {
    std::size_t end = tag.find_first_of(" \t\r\n/>", 1);
    return tag.substr(1, (end == std::string::npos ? tag.size() : end) - 1);
}

// Walks the elements, keeping the path from the root to the one open now.
class Walk {
public:
    explicit Walk(AppStreamComponent& found) : found_(found) {}

    void startTag(const std::string& tag, bool empty) {
        path_.push_back(elementName(tag));
        if (atPath({"component", "releases", "release"}) && found_.version.empty())
            found_.version = clippedSoftwareText(attribute(tag, "version"));
        language_ = !attribute(tag, "xml:lang").empty();
        if (empty) path_.pop_back();
    }
    void endTag() {
        if (!path_.empty()) path_.pop_back();
    }
    void text(const std::string& text) {
        if (language_) return;
        if (atPath({"component", "name"})) keep(found_.name, text);
        if (atPath({"component", "developer_name"}) || atPath({"component", "developer", "name"}))
            keep(found_.developer, text);
    }

private:
    bool atPath(std::initializer_list<const char*> names) const {
        if (path_.size() != names.size()) return false;
        std::size_t i = 0;
        for (const char* name : names)
            if (path_[i++] != name) return false;
        return true;
    }
    static void keep(std::string& to, const std::string& text) {
        if (to.empty()) to = clippedSoftwareText(trim(unescaped(text)));
    }

    AppStreamComponent& found_;
    std::vector<std::string> path_;
    bool language_ = false;
};

// Where the markup that starts at `at` ends: comments, declarations and processing instructions
// are passed over whole.
std::size_t markupEnd(const std::string& xml, std::size_t at) {
    if (xml.compare(at, 4, "<!--") == 0) {
        std::size_t end = xml.find("-->", at + 4);
        return end == std::string::npos ? std::string::npos : end + 2;
    }
    return xml.find('>', at);
}

}  // namespace

AppStreamComponent appStreamComponent(const std::string& xml) {
    AppStreamComponent found;
    Walk walk(found);
    std::size_t at = 0;
    while (at < xml.size()) {
        std::size_t open = xml.find('<', at);
        walk.text(xml.substr(at, (open == std::string::npos ? xml.size() : open) - at));
        if (open == std::string::npos) break;
        std::size_t close = markupEnd(xml, open);
        if (close == std::string::npos) break;
        std::string tag = xml.substr(open, close - open + 1);
        if (tag.size() > 2 && tag[1] == '/')
            walk.endTag();
        else if (tag.size() > 2 && tag[1] != '!' && tag[1] != '?')
            walk.startTag(tag, tag[tag.size() - 2] == '/');
        at = close + 1;
    }
    return found;
}

}  // namespace moravel::lx
