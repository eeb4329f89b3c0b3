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

bool isField(const std::string& field, const char* name) { return strcasecmp(field.c_str(), name) == 0; }

// Keeps the one field of a "Field: value" line the list reads; the others (and their indented
// further lines, which only long descriptions and file lists have) are passed over.
void takeField(Paragraph& paragraph, const char* begin, const char* end) {
    const char* colon = static_cast<const char*>(std::memchr(begin, ':', static_cast<std::size_t>(end - begin)));
    if (!colon || colon == begin) {
        paragraph.broken = true;
        return;
    }
    std::string field(begin, colon);
    if (field.size() > 40) return;  // no field the list reads has so long a name
    DpkgPackage& package = paragraph.package;
    std::string* to = nullptr;
    if (isField(field, "Package")) to = &package.name;
    else if (isField(field, "Status")) to = &paragraph.status;
    else if (isField(field, "Version")) to = &package.version;
    else if (isField(field, "Architecture")) to = &package.architecture;
    else if (isField(field, "Maintainer")) to = &package.maintainer;
    else if (isField(field, "Section")) to = &package.section;
    std::string value;
    if (to || isField(field, "Installed-Size") || isField(field, "Multi-Arch"))
        value = clippedSoftwareText(trim(std::string(colon + 1, end)));
    if (to) *to = std::move(value);
    else if (isField(field, "Installed-Size")) package.installedKib = parseNumber(value);
    else if (isField(field, "Multi-Arch")) package.multiArchSame = value == "same";
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
