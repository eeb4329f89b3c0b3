#include <cstdio>

#include <nlohmann/json.hpp>

#include "report/writers.h"

namespace moravel {

// The writer escapes C0 as JSON must; DEL and C1 get the same \u form. Both can only stand
// inside strings here.
std::string escapeDelAndC1(const std::string& json) {
    std::string escaped;
    escaped.reserve(json.size());
    for (std::size_t i = 0; i < json.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(json[i]);
        unsigned char next = i + 1 < json.size() ? static_cast<unsigned char>(json[i + 1]) : 0;
        unsigned code = c == 0x7F ? 0x7F : c == 0xC2 && next >= 0x80 && next < 0xA0 ? next : 0;
        if (code == 0) {
            escaped += json[i];
            continue;
        }
        char text[8];
        std::snprintf(text, sizeof text, "\\u%04x", code);
        escaped += text;
        if (c == 0xC2) ++i;
    }
    return escaped;
}

void writeJsonReport(const std::vector<GroupRecord>& groups, std::ostream& out) {
    using Json = nlohmann::ordered_json;  // keys in the order they are written
    Json groupList = Json::array();
    for (const GroupRecord& group : groups) {
        Json fields = Json::array();
        for (const FieldRecord& field : group.fields) fields.push_back({{"label", field.label}, {"text", field.text}});
        groupList.push_back({{"label", group.label}, {"fields", std::move(fields)}});
    }
    const Json document = {{"groups", std::move(groupList)}};
    out << escapeDelAndC1(document.dump(-1, ' ', false, Json::error_handler_t::replace)) << '\n';
    out.flush();
}

}  // namespace moravel
