// An application's AppStream metadata (share/metainfo/<id>.metainfo.xml, formerly appdata), as
// Flatpak applications carry it: the name people know it by, its maker and its newest release.
// Takes any bytes at all; only the few elements named below are looked at.
#pragma once

#include <string>

namespace moravel::lx {

struct AppStreamComponent {
    std::string name;       // the component's <name> without a language
    std::string developer;  // <developer_name>, or the <name> of <developer>
    std::string version;    // the version of the first <release> (the list is newest first)
};

AppStreamComponent appStreamComponent(const std::string& xml);

}  // namespace moravel::lx
