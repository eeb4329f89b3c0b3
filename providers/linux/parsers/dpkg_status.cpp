#include "providers/linux/parsers/dpkg_status.h"

#include <cstring>
#include <strings.h>

#include "providers/linux/parsers/plain_text.h"
#include "query/installed_software.h"

namespace moravel::lx {
namespace {

// One paragraph as it is read: the fields the list needs, and whether it held anything at all.
struct Paragraph {
    DpkgPackage package;
    std::string status;
    bool any = false;
    bool broken = false;
};

bool blank(const char* begin, const char* end) {
    for (const char* c = begin; c < end; ++c)
        if (*c != ' ' && *c != '\t' && *c != '\r') return false;
    return true;
}

// Whether the field name [begin, end) is `name`, ignoring case as dpkg does.
template <std::size_t N>
bool isField(const char* begin, const char* end, const char (&name)[N]) {
    return static_cast<std::size_t>(end - begin) == N - 1 && strncasecmp(begin, name, N - 1) == 0;
}

// Keeps the one field of a "Field: value" line the list reads; the others (and their indented
// further lines, which only long descriptions and file lists have) are passed over.
void takeField(Paragraph& paragraph, const char* begin, const char* end) {
    const char* colon = static_cast<const char*>(std::memchr(begin, ':', static_cast<std::size_t>(end - begin)));
    if (!colon || colon == begin) {
        paragraph.broken = true;
        return;
    }
    DpkgPackage& package = paragraph.package;
    std::string* to = nullptr;
    if (isField(begin, colon, "Package")) to = &package.name;
    else if (isField(begin, colon, "Status")) to = &paragraph.status;
    else if (isField(begin, colon, "Version")) to = &package.version;
    else if (isField(begin, colon, "Architecture")) to = &package.architecture;
    else if (isField(begin, colon, "Maintainer")) to = &package.maintainer;
    else if (isField(begin, colon, "Section")) to = &package.section;
    const bool size = !to && isField(begin, colon, "Installed-Size");
    const bool multiArch = !to && !size && isField(begin, colon, "Multi-Arch");
    if (!to && !size && !multiArch) return;
    std::string value = clippedSoftwareText(trim(std::string(colon + 1, end)));
    if (to) *to = std::move(value);
    else if (size) package.installedKib = parseNumber(value);
    else package.multiArchSame = value == "same";
}

// "install ok installed", "hold ok installed": the third word is the package's state.
bool installed(const std::string& status) {
    std::size_t last = status.find_last_of(" \t");
    return last != std::string::npos && status.compare(last + 1, std::string::npos, "installed") == 0;
}

// Ends a paragraph: an installed package joins the list, a broken one is counted.
void finish(Paragraph& paragraph, DpkgStatus& status, std::size_t limit) {
    if (!paragraph.any) return;
    if (paragraph.broken || paragraph.package.name.empty()) {
        ++status.unreadable;
    } else if (installed(paragraph.status)) {
        if (status.installed.size() < limit)
            status.installed.push_back(std::move(paragraph.package));
        else
            status.cut = true;
    }
    paragraph = Paragraph();
}

}  // namespace

DpkgStatus parseDpkgStatus(const std::string& text, std::size_t limit) {
    DpkgStatus status;
    Paragraph paragraph;
    const char* at = text.data();
    const char* const end = at + text.size();
    while (at < end) {
        const char* newline = static_cast<const char*>(std::memchr(at, '\n', static_cast<std::size_t>(end - at)));
        const char* lineEnd = newline ? newline : end;
        if (blank(at, lineEnd)) {
            finish(paragraph, status, limit);
        } else if (*at != ' ' && *at != '\t') {
            paragraph.any = true;
            takeField(paragraph, at, lineEnd);
        } else if (!paragraph.any) {
            paragraph.any = paragraph.broken = true;  // a continuation with nothing to continue
        }
        at = newline ? newline + 1 : end;
    }
    finish(paragraph, status, limit);
    return status;
}

std::string personName(const std::string& maintainer) {
    std::size_t address = maintainer.find('<');
    return trim(address == std::string::npos ? maintainer : maintainer.substr(0, address));
}

}  // namespace moravel::lx
