// The sources of Moravel_InstalledSoftware on Linux: the package databases (dpkg, RPM), read by
// installed_software.cpp itself, and the application bundles (Flatpak, Snap) of their own file.
#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "providers/linux/system/linux_context.h"

namespace moravel::lx {

// One program as its database lists it.
struct SoftwareEntry {
    std::string name;
    std::string version;
    std::string publisher;
    std::string location;
    std::string productCode;
    std::string architecture;
    std::string source;    // as the agents name it: "deb", "rpm", "flatpak", "snap"
    std::string category;  // dpkg's section, RPM's group, the snap's type
    std::optional<std::uint64_t> sizeBytes;
    std::optional<std::time_t> installed;  // where the database says, or a file's change tells
    // Else the file whose last change tells it, asked only when read.
    std::string installedAsOf;
};

// What the sources found, within the list's bound, and what they could not read: one short
// clause each.
struct SoftwareList {
    std::vector<SoftwareEntry> entries;
    std::vector<std::string> problems;
    bool cut = false;  // a source had more than the bound let in

    std::size_t room() const;  // how many more the bound lets in
};

void addFlatpakApplications(const LinuxContext& context, SoftwareList& list);
void addSnaps(const LinuxContext& context, SoftwareList& list);

}  // namespace moravel::lx
