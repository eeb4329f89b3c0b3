#include "commands/message_box.h"

#include <FL/Fl.H>
#include <FL/fl_ask.H>
#include <FL/fl_draw.H>

namespace moravel {
namespace {

// The toolkit sizes a box to its text's longest line and never breaks one itself: a long
// reason would push the box and its button off the screen.
constexpr double kWidestLine = 560;

// Where the line that starts at `from` must end, at the latest, to fit `width` pixels in the
// current font: after the last blank, slash or backslash that still fits, else after the last
// whole character that does (at least one, so every line holds something).
std::size_t lineEnd(const std::string& text, std::size_t from, std::size_t end, double width) {
    std::size_t fits = from, breakAfter = std::string::npos;
    for (std::size_t at = from; at < end;) {
        std::size_t next = at + 1;
        while (next < end && (static_cast<unsigned char>(text[next]) & 0xC0) == 0x80) ++next;  // whole characters
        if (fl_width(text.data() + from, static_cast<int>(next - from)) > width) break;
        fits = next;
        if (text[at] == ' ' || text[at] == '/' || text[at] == '\\') breakAfter = next;
        at = next;
    }
    if (fits == end) return end;
    if (breakAfter != std::string::npos) return breakAfter;
    return fits > from ? fits : from + 1;
}

// The box's title set, and `text` as its label, broken into lines in the font it draws them in.
std::string boxText(const char* title, const std::string& text) {
    fl_message_title(title);
    fl_font(fl_message_font_, fl_message_size_ > 0 ? fl_message_size_ : FL_NORMAL_SIZE);
    return literalLabel(brokenIntoLines(text, kWidestLine));
}

}  // namespace

std::string literalLabel(const std::string& text) {
    std::string literal;
    literal.reserve(text.size());
    for (char c : text) {
        literal += c;
        if (c == '@') literal += '@';  // "@@" draws one "@"
    }
    return literal;
}

std::string brokenIntoLines(const std::string& text, double width) {
    std::string lines;
    for (std::size_t from = 0; from <= text.size();) {
        std::size_t end = text.find('\n', from);
        if (end == std::string::npos) end = text.size();
        for (std::size_t at = from; at < end;) {
            const std::size_t cut = lineEnd(text, at, end, width);
            lines.append(text, at, cut - at);
            if (cut < end) {
                if (lines.back() == ' ') lines.pop_back();
                lines += '\n';
            }
            at = cut;
        }
        if (end < text.size()) lines += '\n';
        from = end + 1;
    }
    return lines;
}

// A format of exactly "%s" hands the text to the box as it is, with no length limit.
void alertBox(const char* title, const std::string& text) { fl_alert("%s", boxText(title, text).c_str()); }

bool confirmBox(const char* title, const std::string& text, const char* first, const char* second) {
    return fl_choice("%s", first, second, nullptr, boxText(title, text).c_str()) == 1;
}

}  // namespace moravel
