#include <nlohmann/json.hpp>

#include "app/report_writers.h"

namespace moravel {

void writeJsonReport(const std::vector<GroupRecord>& groups, std::ostream& out) {
    using Json = nlohmann::ordered_json;  // keys in the order they are written
    Json groupList = Json::array();
    for (const GroupRecord& group : groups) {
        Json fields = Json::array();
        for (const FieldRecord& field : group.fields) fields.push_back({{"label", field.label}, {"text", field.text}});
        groupList.push_back({{"label", group.label}, {"fields", std::move(fields)}});
    }
    const Json document = {{"groups", std::move(groupList)}};
    out << document.dump(-1, ' ', false, Json::error_handler_t::replace) << '\n';
    out.flush();
}

}  // namespace moravel
