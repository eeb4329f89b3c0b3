// Installed software: the programs, packages and applications of Moravel_InstalledSoftware, the
// Windows updates of Win32_QuickFixEngineering and the Store applications, each listed once.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <tuple>

#include "inventory/codes.h"
#include "inventory/inventory_parts.h"
#include "query/installed_software.h"

namespace moravel::parts {
namespace {

// What the Programs list leaves out: parts of Windows or of another program (their own
// records say so) and updates of another program (they name it as their parent).
bool listedProgram(const WmiRow& row) {
    return !row.text("Name").empty() && !row.flag("SystemComponent").value_or(false) &&
           row.text("ParentKeyName").empty();
}

void readPrograms(ClassSource& source, Inventory& inventory) {
    for (const WmiRow& row : source.rows(kInstalledSoftwareClass)) {
        if (!listedProgram(row)) continue;
        Software& program = inventory.software.emplace_back();
        program.name = row.text("Name");
        program.version = row.text("Version");
        program.publisher = row.text("Publisher");
        const std::string installed = row.text("InstallDate");
        program.installDate = firstOf({cimDateTimeText(installed), cimDateText(installed)});  // some keep no time
        program.architecture = row.text("Architecture");
        program.guid = row.text("ProductCode");
        program.source = row.text("Source");
        program.category = firstOf({row.text("Category"), program.source == "registry" ? "application" : ""});
        program.folder = row.text("InstallLocation");
        program.sizeBytes = row.number("Size");
    }
}

bool startsWith(const std::string& text, const char* start) { return text.rfind(start, 0) == 0; }

// The categories the agents give updates, from WMI's description of them.
std::string updateCategory(const std::string& description) {
    if (startsWith(description, "Security Update")) return "security_update";
    if (startsWith(description, "Hotfix")) return "hotfix";
    return "update";
}

// InstalledOn as WMI words it, month first in any language: "3/14/2024"; empty for any other
// form (old systems give a FILETIME in hexadecimal).
std::string updateDate(const std::string& text) {
    unsigned month = 0, day = 0, year = 0;
    char rest = 0;
    if (std::sscanf(text.c_str(), "%2u/%2u/%4u%c", &month, &day, &year, &rest) != 3 || month < 1 || month > 12 ||
        day < 1 || day > 31 || year < 1980)
        return {};
    char date[36];  // room for any unsigned, so the compiler sees the text cannot be cut
    std::snprintf(date, sizeof date, "%04u-%02u-%02u", year, month, day);
    return date;
}

void readUpdates(ClassSource& source, Inventory& inventory) {
    for (const WmiRow& row : source.rows("Win32_QuickFixEngineering")) {
        const std::string id = row.text("HotFixID");
        if (id.empty()) continue;
        Software& update = inventory.software.emplace_back();
        update.name = id;
        update.installDate = updateDate(row.text("InstalledOn"));
        update.source = "WMI";
        update.category = updateCategory(row.text("Description"));
    }
}

// A Store application's publisher is a certificate subject: its common name is the maker.
std::string commonName(const std::string& subject) {
    if (!startsWith(subject, "CN=")) return subject;
    std::size_t end = subject.find(',');
    return subject.substr(3, end == std::string::npos ? std::string::npos : end - 3);
}

void readStoreApplications(ClassSource& source, Inventory& inventory) {
    for (const WmiRow& row : source.rows("Win32_InstalledStoreProgram")) {
        if (row.text("Name").empty()) continue;
        Software& application = inventory.software.emplace_back();
        application.name = row.text("Name");
        application.version = row.text("Version");
        application.publisher = commonName(row.text("Vendor"));
        application.architecture = row.text("Architecture");
        application.guid = row.text("ProgramId");
        application.source = "uwp";
        application.category = "application";
    }
}

bool lessIgnoringCase(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
    });
}

// By name as people sort them, then version and architecture; a program two records list alike
// (an update both as a record and in WMI, one program for two users) once, as first found.
void sortOnce(std::vector<Software>& list) {
    auto before = [](const Software& a, const Software& b) {
        if (lessIgnoringCase(a.name, b.name)) return true;
        if (lessIgnoringCase(b.name, a.name)) return false;
        return std::tie(a.version, a.architecture) < std::tie(b.version, b.architecture);
    };
    std::stable_sort(list.begin(), list.end(), before);
    list.erase(std::unique(list.begin(), list.end(),
                           [&](const Software& a, const Software& b) { return !before(a, b) && !before(b, a); }),
               list.end());
}

}  // namespace

void readSoftware(ClassSource& source, Inventory& inventory) {
    readPrograms(source, inventory);
    readUpdates(source, inventory);
    readStoreApplications(source, inventory);
    sortOnce(inventory.software);
}

}  // namespace moravel::parts
