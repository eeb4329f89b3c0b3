#include "app/report_run.h"

#include <chrono>
#include <cstdio>
#include <fstream>

#include "app/report_collector.h"
#include "app/report_options.h"
#include "app/report_writers.h"
#include "moravel_version.h"
#include "query/backend.h"
#include "query/snapshot_writer.h"
#include "query/wmi_query.h"
#include "sections/sections.h"

namespace moravel {
namespace {

const char* const kProgram = "moravel-report";

// Installs a backend for the query layer and takes it out again before the backend goes away.
class InstalledBackend {
public:
    explicit InstalledBackend(Backend backend) : backend_(std::move(backend)) { backend_.install(); }
    ~InstalledBackend() {
        setWmiProvider(nullptr);
        setSystemProbes(nullptr);
    }
    InstalledBackend(const InstalledBackend&) = delete;
    InstalledBackend& operator=(const InstalledBackend&) = delete;

private:
    Backend backend_;
};

// The query layer's diagnostic lines go to standard error while the report runs.
class DiagnosticsTo {
public:
    explicit DiagnosticsTo(std::ostream& stream) : previous_(diagnosticStream()) { setDiagnosticStream(stream); }
    ~DiagnosticsTo() { setDiagnosticStream(previous_); }
    DiagnosticsTo(const DiagnosticsTo&) = delete;
    DiagnosticsTo& operator=(const DiagnosticsTo&) = delete;

private:
    std::ostream& previous_;
};

// Error texts end up on one line whatever their source put in them.
std::string oneLine(std::string text) {
    for (char& c : text)
        if (c == '\n' || c == '\r') c = ' ';
    return text;
}

Backend selectBackend(const ReportOptions& options) {
    if (!options.snapshot.empty()) return makeSnapshotBackend(options.snapshot);
    return makeBackendFromEnvironment();
}

int saveSnapshot(const std::string& path, std::ostream& err) {
    std::ofstream file(path, std::ios::binary);
    if (file) writeSnapshot(file);
    file.close();
    if (!file) {
        err << kProgram << ": cannot write " << path << std::endl;
        return 1;
    }
    return 0;
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
    if (options.json) writeJsonReport(report.groups, out);
    else writeTextReport(report.groups, out);
    out.flush();  // the stats line must follow the whole report on a shared terminal
    if (options.stats) writeStats(queries, elapsed, err);
    return 0;
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
        InstalledBackend backend(selectBackend(options));
        if (!options.saveSnapshot.empty()) return saveSnapshot(options.saveSnapshot, err);
        return printReport(options, out, err);
    } catch (const SnapshotError& error) {
        err << oneLine(error.what()) << std::endl;
        return 2;
    }
}

}  // namespace moravel
