#include <algorithm>

#include <nlohmann/json.hpp>

#include "details/details.h"
#include "report/writers.h"
#include "text/terminal.h"

namespace moravel {

void writeTextItem(const InventoryItem& item, const std::string& indent, std::ostream& out) {
    out << indent << visibleText(itemTitle(item)) << '\n';
    std::size_t column = 0;
    for (const ItemProperty& property : item.properties) column = std::max(column, property.label.size());
    for (const ItemProperty& property : item.properties)
        out << indent << "  " << visibleText(property.label) << std::string(column + 2 - property.label.size(), ' ')
            << visibleText(property.text) << '\n';
}

void writeTextDetails(const DetailsList& list, std::ostream& out) {
    if (list.empty()) out << "No details.\n";
    for (const DetailsGroup& group : list) {
        out << visibleText(group.title) << '\n';
        if (!group.note.empty()) out << "  (" << visibleText(group.note) << ")\n";
        for (const InventoryItem& item : group.items) writeTextItem(item, "  ", out);
    }
    out.flush();
}

void writeJsonDetails(const DetailsList& list, std::ostream& out) {
    using Json = nlohmann::ordered_json;  // keys in the order they are written
    Json groups = Json::array();
    for (const DetailsGroup& group : list) {
        Json items = Json::array();
        for (const InventoryItem& item : group.items) {
            Json properties = Json::array();
            for (const ItemProperty& property : item.properties)
                properties.push_back({{"label", property.label}, {"text", property.text}});
            items.push_back({{"kind", item.kind}, {"name", itemTitle(item)}, {"properties", std::move(properties)}});
        }
        Json entry = {{"title", group.title}};
        if (!group.note.empty()) entry["note"] = group.note;
        entry["items"] = std::move(items);
        groups.push_back(std::move(entry));
    }
    const Json document = {{"groups", std::move(groups)}};
    out << escapeDelAndC1(document.dump(-1, ' ', false, Json::error_handler_t::replace)) << '\n';
    out.flush();
}

}  // namespace moravel
