// dpkg's status database (/var/lib/dpkg/status): one paragraph of "Field: value" lines per
// package, paragraphs apart by blank lines, a value's further lines indented. Takes any bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace moravel::lx {

struct DpkgPackage {
    std::string name;
    std::string version;       // with its epoch: "1:2.38.1-5+deb12u3"
    std::string architecture;  // "amd64", "all"
    std::string maintainer;    // "Debian GCC Maintainers <debian-gcc@lists.debian.org>"
    std::string section;       // "libs", "utils"
    std::optional<std::uint64_t> installedKib;
    bool multiArchSame = false;  // its files are listed under "<name>:<architecture>"
};

struct DpkgStatus {
    std::vector<DpkgPackage> installed;  // packages whose state is "installed", in file order
    std::size_t unreadable = 0;          // paragraphs that are no package record
    bool cut = false;                    // more installed packages than were asked for
};

// The installed packages of `text`, at most `limit` of them; every value is clipped to the
// software list's bound. A paragraph with a line that is neither a field nor a continuation, or
// without a package name, is counted as unreadable and passed over.
DpkgStatus parseDpkgStatus(const std::string& text, std::size_t limit);

// "Name <address>" without the address: "Debian GCC Maintainers".
std::string personName(const std::string& maintainer);

}  // namespace moravel::lx
