// One package's header as the RPM database keeps it (the blob of rpmdb.sqlite's Packages table):
// the count of index entries and the size of the data, both 32-bit big-endian, then the entries
// (tag, type, offset, count) and the data they point into. Takes any bytes at all.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace moravel::lx {

struct RpmPackage {
    std::string name;
    std::string version;  // "[epoch:]version-release", as rpm's %{EVR}
    std::string architecture;
    std::string vendor;  // "Fedora Project"
    std::string group;   // "Unspecified", "System Environment/Base"
    std::optional<std::uint64_t> installTime;  // seconds since 1970
    std::optional<std::uint64_t> sizeBytes;
};

// Nothing when the bytes are no header or hold no package name; every text is clipped to the
// software list's bound.
std::optional<RpmPackage> parseRpmHeader(const std::string& blob);

}  // namespace moravel::lx
