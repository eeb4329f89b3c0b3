// Moravel_InstalledSoftware: what dpkg and RPM have installed, and the Flatpak and Snap
// applications. Read only when asked for (an inventory, a snapshot, a comparison): the 38 fields
// never ask.
#include "providers/linux/classes/installed_software.h"

#include <iostream>
#include <strings.h>

#include <cstring>
#include <memory>

#include "providers/linux/parsers/dpkg_status.h"
#include "providers/linux/parsers/rpm_header.h"
#include "providers/linux/system/linux_classes.h"
#include "providers/linux/system/rpm_database.h"
#include "query/installed_software.h"
#include "query/wmi_query.h"

namespace moravel::lx {

std::size_t SoftwareList::room() const {
    return entries.size() < kMaxInstalledSoftware ? kMaxInstalledSoftware - entries.size() : 0;
}

namespace {

constexpr const char* kDpkgStatus = "/var/lib/dpkg/status";
constexpr std::size_t kMaxDpkgStatusBytes = 64u << 20;  // 20,000 packages take about 20 MB
constexpr std::size_t kMaxRpmHeaderBytes = 256u << 20;
// rpm 4.16 moved its database from /var/lib/rpm (often a link now) to /usr/lib/sysimage/rpm.
constexpr const char* kRpmFolders[] = {"/var/lib/rpm", "/usr/lib/sysimage/rpm"};

std::optional<std::string> dpkgStatusText(const RootFs& fs, SoftwareList& list) {
    std::optional<std::string> text = fs.readStart(kDpkgStatus, kMaxDpkgStatusBytes + 1);
    if (!text || text->size() <= kMaxDpkgStatusBytes) return text;
    text->resize(text->rfind("\n\n", kMaxDpkgStatusBytes) + 1);  // the records read whole; npos + 1 is 0
    list.problems.push_back(std::string(kDpkgStatus) + " is larger than " + std::to_string(kMaxDpkgStatusBytes >> 20) +
                            " MB: the packages after that are left out");
    return text;
}

SoftwareEntry dpkgEntry(const DpkgPackage& package) {
    SoftwareEntry entry;
    entry.name = package.name;
    entry.version = package.version;
    entry.publisher = personName(package.maintainer);
    entry.architecture = package.architecture;
    entry.source = "deb";
    entry.category = package.section;
    if (package.installedKib && *package.installedKib <= UINT64_MAX / 1024) entry.sizeBytes = *package.installedKib * 1024;
    return entry;
}

// The name of a package's file list in dpkg's info folder: "<name>.list", or
// "<name>:<architecture>.list" for a package that may be installed for several architectures.
std::string fileList(const DpkgPackage& package, bool qualified) {
    if (package.name.find('/') != std::string::npos) return {};  // no name of a file: none found
    return package.name + (qualified ? ":" + package.architecture : "") + ".list";
}

// dpkg writes a package's file list when it installs or upgrades it: its last change is when the
// package was installed, as the agents take it. The list's other name is asked only where the
// expected one is missing (a system upgraded from a dpkg before multiple architectures).
void addInstallDates(const LinuxContext& context, const std::vector<DpkgPackage>& packages, SoftwareEntry* entries) {
    const std::string info = context.fs.path("/var/lib/dpkg/info");
    std::vector<std::string> names;
    for (const DpkgPackage& package : packages) names.push_back(fileList(package, package.multiArchSame));
    std::vector<std::optional<std::time_t>> times = context.host.modifiedTimes(info, names);
    std::vector<std::size_t> missing;
    names.clear();
    for (std::size_t i = 0; i < packages.size(); ++i) {
        if (times[i]) continue;
        missing.push_back(i);
        names.push_back(fileList(packages[i], !packages[i].multiArchSame));
    }
    std::vector<std::optional<std::time_t>> others = context.host.modifiedTimes(info, names);
    for (std::size_t i = 0; i < missing.size(); ++i) times[missing[i]] = others[i];
    for (std::size_t i = 0; i < packages.size(); ++i) entries[i].installed = times[i];
}

SoftwareEntry rpmEntry(const RpmPackage& package) {
    SoftwareEntry entry;
    entry.name = package.name;
    entry.version = package.version;
    entry.publisher = package.vendor;
    entry.architecture = package.architecture;
    entry.source = "rpm";
    entry.category = package.group;
    entry.sizeBytes = package.sizeBytes;
    if (package.installTime) entry.installed = static_cast<std::time_t>(*package.installTime);
    return entry;
}

std::optional<std::string> installDate(const LinuxContext& context, const SoftwareEntry& entry) {
    std::optional<std::time_t> when = entry.installed;
    if (!when && !entry.installedAsOf.empty()) when = context.host.modifiedTime(context.fs.path(entry.installedAsOf));
    if (!when) return std::nullopt;
    return cimDateTime(context.host, *when);
}

std::optional<std::string> nonEmpty(const std::string& text) {
    return text.empty() ? std::nullopt : std::optional<std::string>(text);
}

using Entries = std::shared_ptr<const std::vector<SoftwareEntry>>;
using PropertyOf = WmiValue (*)(const LinuxContext& context, const SoftwareEntry& entry);

// The class's properties, computed from a program's entry when asked for.
const std::pair<const char*, PropertyOf> kProperties[] = {
    {"Name", [](const LinuxContext&, const SoftwareEntry& e) { return WmiValue::string(e.name); }},
    {"Version", [](const LinuxContext&, const SoftwareEntry& e) { return stringOrNull(nonEmpty(e.version)); }},
    {"Publisher", [](const LinuxContext&, const SoftwareEntry& e) { return stringOrNull(nonEmpty(e.publisher)); }},
    {"InstallDate", [](const LinuxContext& c, const SoftwareEntry& e) { return stringOrNull(installDate(c, e)); }},
    {"Size", [](const LinuxContext&, const SoftwareEntry& e) { return uint64OrNull(e.sizeBytes); }},
    {"InstallLocation", [](const LinuxContext&, const SoftwareEntry& e) { return stringOrNull(nonEmpty(e.location)); }},
    {"ProductCode", [](const LinuxContext&, const SoftwareEntry& e) { return stringOrNull(nonEmpty(e.productCode)); }},
    {"Architecture",
     [](const LinuxContext&, const SoftwareEntry& e) { return stringOrNull(nonEmpty(e.architecture)); }},
    {"Source", [](const LinuxContext&, const SoftwareEntry& e) { return WmiValue::string(e.source); }},
    {"Category", [](const LinuxContext&, const SoftwareEntry& e) { return stringOrNull(nonEmpty(e.category)); }},
    // Windows' marks of what the Programs list leaves out: nothing on Linux is left out.
    {"SystemComponent", [](const LinuxContext&, const SoftwareEntry&) { return WmiValue::null(); }},
    {"ParentKeyName", [](const LinuxContext&, const SoftwareEntry&) { return WmiValue::null(); }},
};

// One program of the list. Every program answers through the one table above, so a long list
// costs no table of readers per program.
class SoftwareObject final : public LinuxObject {
public:
    SoftwareObject(const LinuxContext& context, Entries entries, std::size_t index)
        : context_(context), entries_(std::move(entries)), entry_((*entries_)[index]) {}

    HResult get(const std::string& property, WmiValue& value) override {
        for (const auto& [name, read] : kProperties) {
            // As sameWmiName compares, without making a string of each name each time.
            if (std::strlen(name) != property.size() || strncasecmp(name, property.data(), property.size()) != 0)
                continue;
            value = answered(read(context_, entry_));
            return kOk;
        }
        return kNotFound;
    }

private:
    const LinuxContext& context_;
    Entries entries_;  // the list lives as long as its objects
    const SoftwareEntry& entry_;
};

// One line for everything the sources could not read, so a broken database costs one line.
void tellProblems(const SoftwareList& list) {
    if (list.problems.empty()) return;
    std::string line = "Installed software:";
    for (std::size_t i = 0; i < list.problems.size(); ++i) line += (i ? "; " : " ") + list.problems[i];
    std::cerr << line << std::endl;
}

void addDpkgPackages(const LinuxContext& context, SoftwareList& list) {
    std::optional<std::string> text = dpkgStatusText(context.fs, list);
    if (!text) return;
    DpkgStatus status = parseDpkgStatus(*text, list.room());
    const std::size_t first = list.entries.size();
    for (const DpkgPackage& package : status.installed) list.entries.push_back(dpkgEntry(package));
    addInstallDates(context, status.installed, list.entries.data() + first);
    list.cut = list.cut || status.cut;
    if (status.unreadable > 0)
        list.problems.push_back(std::string(kDpkgStatus) + ": " + std::to_string(status.unreadable) +
                                (status.unreadable == 1 ? " record is" : " records are") +
                                " not a package and left out");
}

void addRpmPackages(const LinuxContext& context, SoftwareList& list) {
    for (const char* folder : kRpmFolders) {
        const std::string database = std::string(folder) + "/rpmdb.sqlite";
        if (!context.fs.exists(database)) {
            if (context.fs.exists(std::string(folder) + "/Packages") || context.fs.exists(std::string(folder) + "/Packages.db")) {
                list.problems.push_back(std::string("the RPM database in ") + folder +
                                        " is not kept in SQLite, the one form read here: its packages are left out");
                return;
            }
            continue;
        }
        RpmHeaders headers = readRpmHeaders(context.fs.path(database), list.room(), kMaxRpmHeaderBytes);
        list.cut = list.cut || headers.cut;
        std::size_t unreadable = 0;
        for (const std::string& blob : headers.blobs) {
            if (std::optional<RpmPackage> package = parseRpmHeader(blob))
                list.entries.push_back(rpmEntry(*package));
            else
                ++unreadable;
        }
        if (!headers.problem.empty()) list.problems.push_back(database + ": " + headers.problem);
        if (unreadable > 0) list.problems.push_back(database + ": " + std::to_string(unreadable) + " unreadable headers left out");
        return;  // one database: the other folder is the same one, linked
    }
}

}  // namespace

ObjectList readInstalledSoftware(const LinuxContext& context) {
    SoftwareList list;
    for (auto add : {addDpkgPackages, addRpmPackages, addFlatpakApplications, addSnaps}) add(context, list);
    if (list.cut) list.problems.push_back("more than " + std::to_string(kMaxInstalledSoftware) +
                                             " programs: those after them are left out");
    tellProblems(list);
    Entries entries = std::make_shared<const std::vector<SoftwareEntry>>(std::move(list.entries));
    ObjectList objects;
    objects.reserve(entries->size());
    for (std::size_t i = 0; i < entries->size(); ++i) objects.push_back(std::make_unique<SoftwareObject>(context, entries, i));
    return objects;
}

}  // namespace moravel::lx
