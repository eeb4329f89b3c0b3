#include "app/report_run.h"

#include <chrono>
#include <cstdio>
#include <optional>
#include <sstream>

#include "app/report_collector.h"
#include "app/report_compare.h"
#include "app/report_file.h"
#include "app/report_options.h"
#include "app/report_writers.h"
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
    int status = options.output.empty() ? 0 : writeFile(options.output, file.str(), 2, err);
    out.flush();  // the stats line must follow the whole report on a shared terminal
    if (options.stats) writeStats(queries, elapsed, err);
    return status;
}

CompareSide thisMachine() {
    Backend machine = makeBackendFromEnvironment();
    return CompareSide::fromMachine(*machine.provider, *machine.probes, "this machine");
}

// OLD first, so an unusable OLD is told before the machine is read; the exit status follows
// diff and cmp.
int printComparison(const ReportOptions& options, std::ostream& out, std::ostream& err) {
    const CompareSide before = CompareSide::fromFile(options.compare);
    const std::string& newFile = options.compareWith.empty() ? options.snapshot : options.compareWith;
    const CompareSide after = newFile.empty() ? thisMachine() : CompareSide::fromFile(newFile);
    const Comparison comparison = compareSides(before, after, options.redact);
    std::ostringstream file;
    std::ostream& to = options.output.empty() ? out : file;
    if (options.json) writeJsonComparison(comparison, options.hardwareOnly, to);
    else writeTextComparison(comparison, options.hardwareOnly, to);
    if (!options.output.empty() && writeFile(options.output, file.str(), 2, err) != 0) return 2;
    return comparison.differs(options.hardwareOnly) ? 1 : 0;
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
        if (!options.compare.empty()) return printComparison(options, out, err);
        ScopedBackend backend(selectBackend(options));
        if (!options.saveSnapshot.empty()) return saveSnapshot(options.saveSnapshot, err);
        return printReport(options, out, err);
    } catch (const SnapshotError& error) {
        err << oneLine(error.what()) << std::endl;
        return 2;
    }
}

}  // namespace moravel
