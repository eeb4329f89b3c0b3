// Raw bytes to the terminal: the escaping alone, and the text report of a machine whose every
// value is raw bytes from the input, which a snapshot cannot give since its strings are always
// UTF-8. Nothing but well-formed printable UTF-8 and line ends may come out.
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "query/backend.h"
#include "query/snapshot/snapshot_provider.h"
#include "query/wmi_query.h"
#include "report/writers.h"
#include "sections/collector.h"
#include "sections/sections.h"
#include "tests/support/terminal_safe.h"
#include "text/terminal.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    if (!moravel::testing::isTerminalSafe(moravel::visibleText(bytes))) std::abort();
    std::ostringstream diagnostics, text;
    const moravel::Backend backend = moravel::makeSnapshotBackend(moravel::testing::machineOfRawValues(bytes));
    moravel::QueryContext context = backend.context(&diagnostics);
    moravel::ReportCollector report;
    moravel::buildAllGroups(context, report);
    moravel::writeTextReport(report.groups, text);
    if (!moravel::testing::isTerminalSafe(text.str())) std::abort();
    return 0;
}
