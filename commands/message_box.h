// Message boxes that show their text as it is written. The toolkit draws a label's "@" as the
// start of a symbol's name: "a@b.json" would show as "a" and a drawn symbol, and a mail
// address would lose its domain. Every box of the program goes through these.
#pragma once

#include <string>

namespace moravel {

// `text` as a label, tooltip or message box draws it literally: each "@" doubled.
std::string literalLabel(const std::string& text);

// `text` with each line that is wider than `width` pixels in the current font broken after a
// blank, slash or backslash (or between characters where a word is wider still).
std::string brokenIntoLines(const std::string& text, double width);

// A box with an exclamation mark, the title `title` and `text`; returns when it is dismissed.
void alertBox(const char* title, const std::string& text);

// A box with the buttons `first` (left, Escape) and `second` (right, Enter); true for `second`.
bool confirmBox(const char* title, const std::string& text, const char* first, const char* second);

}  // namespace moravel
