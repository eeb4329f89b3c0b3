// The whole path: snapshot, query layer, the eight groups, the text and JSON reports. The text
// report must hold no control character but its line ends.
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <sstream>
#include <string>

#include "query/backend.h"
#include "query/wmi_query.h"
#include "report/writers.h"
#include "sections/collector.h"
#include "sections/sections.h"
#include "tests/support/fuzz_snapshot.h"

namespace {

bool controlFree(const std::string& text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        bool c1 = c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                  static_cast<unsigned char>(text[i + 1]) < 0xA0;
        if ((c < 0x20 && c != '\n') || c == 0x7F || c1) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::optional<moravel::Backend> backend = moravel::testing::snapshotOfBytes(data, size);
    if (!backend) return 0;
    std::ostringstream diagnostics, text, json;
    moravel::ReportCollector report;
    moravel::QueryContext context = backend->context(&diagnostics);
    moravel::buildAllGroups(context, report);
    moravel::writeTextReport(report.groups, text);
    moravel::writeJsonReport(report.groups, json);
    if (!controlFree(text.str()) || !controlFree(json.str())) std::abort();
    return 0;
}
