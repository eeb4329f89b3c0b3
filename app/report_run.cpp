#include "app/report_run.h"

#include <chrono>
#include <cstdio>
#include <optional>
#include <sstream>

#include "app/report_collector.h"
#include "app/report_file.h"
#include "app/report_http.h"
#include "app/report_options.h"
#include "app/report_submit.h"
#include "app/report_writers.h"
#include "export/glpi_json.h"
#include "export/ocs_xml.h"
#include "export/zlib_data.h"
#include "inventory/read_inventory.h"
#include "moravel_version.h"
#include "query/backend.h"
#include "query/views/redaction.h"
#include "query/snapshot/snapshot_writer.h"
#include "query/wmi_query.h"
#include "sections/sections.h"

namespace moravel {
namespace {

const char* const kProgram = "moravel-report";

// Error texts end up on one line whatever their source put in them.
std::string oneLine(std::string text) {
    for (char& c : text)
        if (c == '\n' || c == '\r') c = ' ';
    return text;
}

Backend selectBackend(const ReportOptions& options) {
    Backend backend = options.snapshot.empty() ? makeBackendFromEnvironment() : makeSnapshotBackend(options.snapshot);
    return options.redact ? makeRedactedBackend(std::move(backend)) : std::move(backend);
}

// The whole file or none of it; `status` on failure, with one line naming the file and the reason.
int writeFile(const std::string& path, const std::string& content, int status, std::ostream& err) {
    std::optional<std::string> problem = writeFileAtomically(path, content);
    if (!problem) return 0;
    err << kProgram << ": cannot write " << path << ": " << oneLine(*problem) << std::endl;
    return status;
}

int saveSnapshot(const std::string& path, std::ostream& err) {
    std::ostringstream snapshot;
    writeSnapshot(snapshot);
    return writeFile(path, snapshot.str(), 1, err);
}

void writeStats(long queries, std::chrono::steady_clock::duration elapsed, std::ostream& err) {
    const double milliseconds = std::chrono::duration<double, std::milli>(elapsed).count();
    char line[96];
    std::snprintf(line, sizeof line, "queries: %ld, elapsed: %.1f ms", queries, milliseconds);
    err << line << std::endl;
}

int printReport(const ReportOptions& options, std::ostream& out, std::ostream& err) {
    ReportCollector report;
    resetQueryCount();
    const auto start = std::chrono::steady_clock::now();
    buildAllGroups(report);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    const long queries = queryCount();
    std::ostringstream file;
    std::ostream& to = options.output.empty() ? out : file;
    if (options.json) writeJsonReport(report.groups, to);
    else writeTextReport(report.groups, to);
    int status = 0;
    if (!options.output.empty())
        status = writeFile(options.output, options.json ? file.str() : textFileContent(file.str()), 2, err);
    out.flush();  // the stats line must follow the whole report on a shared terminal
    if (options.stats) writeStats(queries, elapsed, err);
    return status;
}

bool endsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// The inventory in the asked format; an OCS inventory written to a .ocs file is compressed, as
// OCS's local import and its injector take it.
int printInventory(const ReportOptions& options, std::ostream& out, std::ostream& err) {
    ExportOptions exportOptions{options.tag};
    Inventory inventory = readInventory();
    std::string document = options.inventory == "glpi" ? glpiInventoryJson(inventory, exportOptions)
                                                       : ocsInventoryXml(inventory, exportOptions);
    if (options.output.empty()) {
        out << document << std::flush;
        return 0;
    }
    bool compressed = options.inventory == "ocs" && endsWith(options.output, ".ocs");
    return writeFile(options.output, compressed ? zlibCompress(document) : document, 2, err);
}

// Nothing is written locally; a failure is one line naming the server, the step and the reason.
int submit(const ReportOptions& options, std::ostream& err) {
    Inventory inventory = readInventory();
    std::unique_ptr<HttpClient> http = makeHttpClient();
    std::string problem = submitInventory(inventory, ExportOptions{options.tag}, options.submit, *http,
                                          std::chrono::seconds(options.timeoutSeconds));
    if (problem.empty()) return 0;
    err << kProgram << ": " << options.submit << ": " << oneLine(problem) << std::endl;
    return 3;
}

}  // namespace

int runReport(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    ReportOptions options;
    try {
        options = parseReportOptions(arguments);
    } catch (const UsageError& error) {
        err << kProgram << ": " << error.what() << " (see --help)" << std::endl;
        return 2;
    }
    if (options.help) {
        out << kReportUsage;
        return 0;
    }
    if (options.version) {
        out << kProgram << " " MORAVEL_VERSION << std::endl;
        return 0;
    }
    DiagnosticsTo diagnostics(err);
    try {
        ScopedBackend backend(selectBackend(options));
        if (!options.saveSnapshot.empty()) return saveSnapshot(options.saveSnapshot, err);
        if (!options.inventory.empty()) return printInventory(options, out, err);
        if (!options.submit.empty()) return submit(options, err);
        return printReport(options, out, err);
    } catch (const SnapshotError& error) {
        err << oneLine(error.what()) << std::endl;
        return 2;
    }
}

}  // namespace moravel
