// The two forms of the report: aligned text for people and one line of JSON for programs.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "sections/collector.h"

namespace moravel {

// Each group's label on its own line, then one line per field: two blanks, the caption padded
// to the longest caption of the report, and the text as visibleText (text/terminal.h) shows it.
void writeTextReport(const std::vector<GroupRecord>& groups, std::ostream& out);

// The text report as a file of this platform holds it: with CRLF line ends on Windows, where
// older editors show a file of bare line feeds as one line, and unchanged elsewhere. The
// console gets CRLF from the C runtime; JSON is the same everywhere.
std::string textFileContent(const std::string& report);
std::string withCrlfLineEnds(const std::string& text);

// {"groups":[{"label":...,"fields":[{"label":...,"text":...},...]},...]} and a line end.
// Bytes that are not UTF-8 become U+FFFD; control characters, DEL and C1 are \u escapes.
void writeJsonReport(const std::vector<GroupRecord>& groups, std::ostream& out);

// JSON text as the writer gives it with DEL and C1 characters, which JSON lets through raw but
// a terminal may act on, written as \u escapes too.
std::string escapeDelAndC1(const std::string& json);

}  // namespace moravel
