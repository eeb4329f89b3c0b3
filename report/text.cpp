#include <algorithm>

#include "report/writers.h"
#include "text/terminal.h"

namespace moravel {
namespace {

std::size_t longestCaption(const std::vector<GroupRecord>& groups) {
    std::size_t longest = 0;
    for (const GroupRecord& group : groups)
        for (const FieldRecord& field : group.fields) longest = std::max(longest, field.label.size());
    return longest;
}

}  // namespace

void writeTextReport(const std::vector<GroupRecord>& groups, std::ostream& out) {
    const std::size_t column = longestCaption(groups) + 1;
    for (const GroupRecord& group : groups) {
        out << visibleText(group.label) << '\n';
        for (const FieldRecord& field : group.fields) {
            out << "  " << visibleText(field.label);
            // No padding after the caption of an empty field: lines carry no trailing blanks.
            if (!field.text.empty()) out << std::string(column - field.label.size(), ' ') << visibleText(field.text);
            out << '\n';
        }
    }
    out.flush();
}

std::string withCrlfLineEnds(const std::string& text) {
    std::string crlf;
    crlf.reserve(text.size() + text.size() / 32);
    for (char c : text) {
        if (c == '\n') crlf += '\r';
        crlf += c;
    }
    return crlf;
}

std::string textFileContent(const std::string& report) {
#ifdef _WIN32
    return withCrlfLineEnds(report);
#else
    return report;
#endif
}

}  // namespace moravel
