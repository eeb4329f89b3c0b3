// The About document read back as its elements, in order.
#include "commands/about_window.h"
#include "moravel_version.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

namespace {

struct Link {
    std::string target;
    std::string text;
};

struct Parsed {
    std::vector<std::string> tokens;  // "<tag>", "</tag>" or the text between tags
    std::vector<Link> links;
};

// Splits the markup into tags and texts. Only lower-case tag names count as tags, so an
// upper-case one would stay in a text token and fail the comparison.
Parsed parse(const std::string& html) {
    static const std::regex tag(R"(<(/?)([a-z0-9]+)((?:\s+href="[^"]*")?)>)");
    static const std::regex href(R"(href="([^"]*)\")");
    Parsed parsed;
    std::string::size_type at = 0;
    for (std::sregex_iterator it(html.begin(), html.end(), tag), end; it != end; ++it) {
        const auto& m = *it;
        if (static_cast<std::string::size_type>(m.position()) > at)
            parsed.tokens.push_back(html.substr(at, m.position() - at));
        parsed.tokens.push_back("<" + m[1].str() + m[2].str() + ">");
        if (m[2] == "a" && m[1] == "") {
            std::smatch target;
            const std::string attributes = m[3];
            parsed.links.push_back({std::regex_search(attributes, target, href) ? target[1].str() : "", ""});
        }
        at = m.position() + m.length();
    }
    if (at < html.size()) parsed.tokens.push_back(html.substr(at));
    // A link's visible text is the token right after its opening tag.
    std::size_t link = 0;
    for (std::size_t i = 0; i + 1 < parsed.tokens.size(); ++i)
        if (parsed.tokens[i] == "<a>") parsed.links[link++].text = parsed.tokens[i + 1];
    return parsed;
}

bool isWebAddress(const std::string& text) { return text.rfind("https://", 0) == 0 || text.rfind("http://", 0) == 0; }

TEST(AboutDocument, HasItsFifteenElementsInOrder) {
    const Parsed doc = parse(moravel::aboutDocument());
    const std::string any = "*";  // a text of our own choosing: present, not empty
    const std::vector<std::string> expected = {
        "<br>",
        "<center>",
        "<h3>",
        "Moravel v" MORAVEL_VERSION,
        "</h3>",
        "</center>",
        "<center>",
        "<h6>",
        "(December 30 2013)",
        "</h6>",
        "</center>",
        "<br>",
        "<center>",
        "<h4>",
        "<a>",
        any,
        "</a>",
        "</h4>",
        "</center>",
        "<p>",
        "</p>",
        "<p>",
        "</p>",
        "<p>",
        "</p>",
        "<p>",
        "</p>",
        "<center>",
        "<h5>",
        any,
        "</h5>",
        "<br>",
        any,
        "<p>",
        "<a>",
        "Website",
        "</a>",
        " and ",
        "<a>",
        "Forum",
        "</a>",
        "<br>",
        "Please use my forum for all questions and bug reports or send to",
        "<br>",
        "<a>",
        any,
        "</a>",
        "</p>",
    };
    ASSERT_EQ(doc.tokens.size(), expected.size()) << moravel::aboutDocument();
    for (std::size_t i = 0; i < expected.size(); ++i) {
        if (expected[i] == any)
            EXPECT_FALSE(doc.tokens[i].empty() || doc.tokens[i].front() == '<') << "token " << i;
        else
            EXPECT_EQ(doc.tokens[i], expected[i]) << "token " << i;
    }
}

TEST(AboutDocument, LinksShowTheirAddressesOrFixedNames) {
    const Parsed doc = parse(moravel::aboutDocument());
    ASSERT_EQ(doc.links.size(), 4u);

    const Link& product = doc.links[0];
    EXPECT_TRUE(isWebAddress(product.target)) << product.target;
    EXPECT_EQ(product.text, product.target);

    EXPECT_TRUE(isWebAddress(doc.links[1].target)) << doc.links[1].target;
    EXPECT_TRUE(isWebAddress(doc.links[2].target)) << doc.links[2].target;
    EXPECT_NE(doc.links[1].target, doc.links[2].target);

    const Link& mail = doc.links[3];
    EXPECT_EQ(mail.target, "mailto:" + mail.text);
    EXPECT_NE(mail.text.find('@'), std::string::npos) << mail.text;

    // Our own addresses only: reserved example domains, no real product's site.
    for (const Link& link : doc.links) EXPECT_NE(link.target.find("example.org"), std::string::npos) << link.target;
}

TEST(AboutDocument, CentreAfterTheFourSpacersStaysOpen) {
    const Parsed doc = parse(moravel::aboutDocument());
    int open = 0;
    for (const std::string& token : doc.tokens) {
        if (token == "<center>") ++open;
        if (token == "</center>") --open;
    }
    EXPECT_EQ(open, 1);
}

}  // namespace
