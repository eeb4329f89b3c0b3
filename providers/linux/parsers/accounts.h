// The account lists of /etc/passwd and /etc/group, and the name servers of /etc/resolv.conf.
// Takes any text at all. Nothing of a password is kept: its field is skipped unread.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace moravel::lx {

struct AccountEntry {
    std::string name;      // the login, or the group's name
    std::uint64_t id = 0;  // uid or gid
    std::string fullName;  // the comment field's first part (users)
};

// The well-formed "name:password:uid:gid:comment:home:shell" lines, in the file's order.
std::vector<AccountEntry> passwdEntries(const std::string& text);
// The well-formed "name:password:gid:members" lines, in the file's order.
std::vector<AccountEntry> groupEntries(const std::string& text);

// The addresses of the "nameserver" lines, in order, each once.
std::vector<std::string> nameServers(const std::string& text);

}  // namespace moravel::lx
