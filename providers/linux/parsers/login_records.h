// The login records of /var/log/wtmp: glibc's struct utmp, 384 bytes each, little-endian as
// x86 and ARM machines write them. Takes any bytes at all; a partial record at the end is left out.
#pragma once

#include <optional>
#include <string>

namespace moravel::lx {

// The user of the newest login (a USER_PROCESS record with a name), the one `last` lists first.
std::optional<std::string> lastLoginUser(const std::string& records);

}  // namespace moravel::lx
