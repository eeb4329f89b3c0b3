// Text as a terminal may show it: nothing that came from outside (a value, a file name, a key in
// a refused file) can move the cursor, retitle or clear the terminal, or turn text around.
#pragma once

#include <string>

namespace moravel {

// `text` read as UTF-8, with what a terminal would act on written out instead: each byte that
// does not begin a well-formed character (a stray continuation byte, 0xC0, 0xC1, 0xF5 to 0xFF,
// an overlong form, a surrogate, a code beyond U+10FFFF, a cut sequence) as \xNN; C0 controls
// and DEL as \xNN (\x1B for ESC, \x0A for a line feed, so the result is one line); C1 controls
// as \u0080 to \u009F; the bidirectional embeddings, overrides and isolates (U+202A to U+202E,
// U+2066 to U+2069), which can make text read differently from what it holds, as \u202E and so
// on. Every other character is kept.
std::string visibleText(const std::string& text);

}  // namespace moravel
