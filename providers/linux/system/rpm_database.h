// The package headers of an RPM database kept in SQLite (rpmdb.sqlite, rpm 4.16 and later), read
// through the system's SQLite library, loaded at run time as libcurl is, so that a machine
// without RPM loads nothing and the report starts as before.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace moravel::lx {

struct RpmHeaders {
    std::vector<std::string> blobs;  // one header per installed package, in the database's order
    std::string problem;             // why the database could not be read, or not to its end
    bool cut = false;                // it holds more headers than were asked for
};

// At most `maxHeaders` headers, and at most `maxBytes` bytes of them, from the database file at
// `path`, opened read-only.
RpmHeaders readRpmHeaders(const std::string& path, std::size_t maxHeaders, std::size_t maxBytes);

}  // namespace moravel::lx
