// A snapshot's bytes to the two inventory documents: the GLPI JSON must parse as JSON and the
// OCS XML (the PROLOG too) must be well-formed, as a real XML parser (expat) reads it, whatever
// the values hold.
#include <expat.h>

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "export/glpi_json.h"
#include "export/ocs_xml.h"
#include "inventory/read_inventory.h"
#include "query/backend.h"
#include "tests/support/fuzz_snapshot.h"

namespace {

bool wellFormedXml(const std::string& document) {
    XML_Parser parser = XML_ParserCreate("UTF-8");
    const bool parsed =
        parser && XML_Parse(parser, document.data(), static_cast<int>(document.size()), 1) == XML_STATUS_OK;
    if (parser) XML_ParserFree(parser);
    return parsed;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::optional<moravel::Backend> backend = moravel::testing::snapshotOfBytes(data, size);
    if (!backend) return 0;
    const moravel::Inventory inventory = moravel::readInventory(backend->provider.get(), backend->probes.get());
    const moravel::ExportOptions options{"lab \x01\xEF\xBF\xBF"};  // a tag that XML cannot hold as it is
    const nlohmann::json glpi = nlohmann::json::parse(moravel::glpiInventoryJson(inventory, options), nullptr, false);
    if (!glpi.is_object() || !glpi.contains("content")) std::abort();
    if (!wellFormedXml(moravel::ocsInventoryXml(inventory, options)) ||
        !wellFormedXml(moravel::ocsPrologXml(inventory)))
        std::abort();
    return 0;
}
