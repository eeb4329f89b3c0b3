// Names as WMI compares them: classes, properties, keywords and the namespace ignore case. The
// Linux and snapshot providers both answer through these, so they cannot drift apart.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace moravel {

// The namespace of the groups' classes, where queryWmiText connects.
constexpr const char* kWmiNamespace = "ROOT\\CIMV2";
// The namespaces of device data: monitors' EDID names and batteries' capacities (ROOT\WMI),
// network adapters' physical media (ROOT\StandardCimv2).
constexpr const char* kWmiDataNamespace = "ROOT\\WMI";
constexpr const char* kStandardCimNamespace = "ROOT\\StandardCimv2";
// The storage management classes (whole disks with their true size, physical disks, their health
// and reliability counters), and the security products Windows' Security Center knows.
constexpr const char* kStorageNamespace = "ROOT\\Microsoft\\Windows\\Storage";
constexpr const char* kSecurityCenterNamespace = "ROOT\\SecurityCenter2";

// The class any WQL query reads: the word after FROM; empty when there is none.
std::string queriedClassName(const std::string& query);

// Whether two names are the same to WMI: equal but for ASCII case.
bool sameWmiName(std::string_view a, std::string_view b);

// The class of "SELECT * FROM <class>" (keywords in any case, words split by any whitespace);
// nothing for any other query text.
std::optional<std::string> queriedClass(const std::string& query);

// The entry of a name-keyed map that `name` means to WMI: the exact key if there is one, else
// the first that differs only in case; end() when none does.
template <class Map>
auto findWmiName(Map& map, const std::string& name) -> decltype(map.begin()) {
    auto exact = map.find(name);
    if (exact != map.end()) return exact;
    for (auto it = map.begin(); it != map.end(); ++it)
        if (sameWmiName(it->first, name)) return it;
    return map.end();
}

}  // namespace moravel
