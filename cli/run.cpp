#include "cli/run.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <new>
#include <optional>
#include <sstream>

#include "cli/options.h"
#include "cli/submission.h"
#include "compare/compare.h"
#include "details/details.h"
#include "export/glpi_json.h"
#include "export/ocs_xml.h"
#include "export/submit.h"
#include "export/zlib_data.h"
#include "inventory/read_inventory.h"
#include "io/device_state.h"
#include "io/file_writer.h"
#include "io/http.h"
#include "io/url.h"
#include "moravel_version.h"
#include "providers/backends.h"
#include "query/backend.h"
#include "query/snapshot/snapshot_provider.h"
#include "query/snapshot/snapshot_writer.h"
#include "query/views/provider_tap.h"
#include "query/views/redaction.h"
#include "query/wmi_query.h"
#include "report/writers.h"
#include "sections/collector.h"
#include "sections/sections.h"
#include "text/terminal.h"
#include "text/utf8.h"

namespace moravel {
namespace {

const char* const kProgram = "moravel-report";

// A refusal or failure: one line on standard error whatever the file name, the argument or the
// refused file held, with the password of any URL in it hidden, and status 2.
int refuse(std::ostream& err, const std::string& line) {
    err << visibleText(hidePasswords(line)) << std::endl;
    return 2;
}

Backend selectBackend(const ReportOptions& options) {
    Backend backend = options.snapshot.empty() ? makeBackendFromEnvironment() : makeSnapshotBackend(options.snapshot);
    return options.redact ? makeRedactedBackend(std::move(backend)) : std::move(backend);
}

int cannotWrite(const std::string& path, const std::string& problem, std::ostream& err) {
    return refuse(err, std::string(kProgram) + ": cannot write " + path + ": " + problem);
}

// The whole file or none of it; on failure one line naming the file and the reason.
int writeFile(const std::string& path, const std::string& content, std::ostream& err) {
    std::optional<std::string> problem = writeFileSafely(path, content);
    return problem ? cannotWrite(path, *problem, err) : 0;
}

int saveSnapshot(const Backend& backend, const std::string& path, std::ostream& err) {
    std::ostringstream stream;
    writeSnapshot(backend.provider.get(), backend.probes.get(), stream);
    const std::string snapshot = stream.str();
    if (std::optional<std::string> problem = snapshotSizeProblem(snapshot.size()))
        return cannotWrite(path, *problem, err);
    return writeFile(path, snapshot, err);
}

// Standard output, flushed; a write that failed (a full disk, a file size limit) is status 2.
int flushOutput(std::ostream& out, std::ostream& err) {
    errno = 0;
    out.flush();
    return out ? 0 : cannotWrite("standard output", errno ? std::strerror(errno) : "write error", err);
}

// What --stats adds on standard error: "queries: 149, elapsed: 2.1 ms", "inventory pass, elapsed: ...".
void writeStats(const std::string& what, std::chrono::steady_clock::duration elapsed, std::ostream& err) {
    const double milliseconds = std::chrono::duration<double, std::milli>(elapsed).count();
    char line[96];
    std::snprintf(line, sizeof line, "%s, elapsed: %.1f ms", what.c_str(), milliseconds);
    err << line << std::endl;
}

// What `write` writes, on standard output (flushed) or whole in the --output file: text with
// this platform's line ends, JSON as it is. A failure is one line and status 2.
int deliver(const ReportOptions& options, std::ostream& out, std::ostream& err,
            const std::function<void(std::ostream&)>& write) {
    std::ostringstream file;
    write(options.output.empty() ? out : file);
    if (const int failed = flushOutput(out, err)) return failed;
    if (options.output.empty()) return 0;
    return writeFile(options.output, options.json ? file.str() : textFileContent(file.str()), err);
}

int printReport(const Backend& backend, const ReportOptions& options, std::ostream& out, std::ostream& err) {
    ReportCollector report;
    QueryContext context = backend.context(&err);
    const auto start = std::chrono::steady_clock::now();
    buildAllGroups(context, report);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    const int status = deliver(options, out, err, [&](std::ostream& to) {
        if (options.json)
            writeJsonReport(report.groups, to);
        else
            writeTextReport(report.groups, to);
    });
    // After the report, on a shared terminal; none when standard output failed.
    if (options.stats && out) writeStats("queries: " + std::to_string(context.queries), elapsed, err);
    return status;
}

CompareSide thisMachine(std::ostream& err) {
    Backend machine = makeBackendFromEnvironment();
    return CompareSide::fromMachine(*machine.provider, *machine.probes, "this machine", err);
}

// OLD first, so an unusable OLD is told before the machine is read; the exit status follows
// diff and cmp.
int printComparison(const ReportOptions& options, std::ostream& out, std::ostream& err) {
    const CompareSide before = CompareSide::fromFile(options.compare);
    const std::string& newFile = options.compareWith.empty() ? options.snapshot : options.compareWith;
    const CompareSide after = newFile.empty() ? thisMachine(err) : CompareSide::fromFile(newFile);
    const Comparison comparison = compareSides(before, after, options.redact);
    const int status = deliver(options, out, err, [&](std::ostream& to) {
        if (options.json)
            writeJsonComparison(comparison, options.hardwareOnly, to);
        else
            writeTextComparison(comparison, options.hardwareOnly, to);
    });
    if (status != 0) return status;
    return comparison.differs(options.hardwareOnly) ? 1 : 0;
}

// The inventory pass, and for --stats the time it took (the line follows the inventory's output).
struct TimedInventory {
    Inventory inventory;
    std::chrono::steady_clock::duration elapsed;
    bool redacted;  // read from a redacted snapshot, which may not say so: it is no machine's inventory
};

TimedInventory timedInventory(const Backend& backend) {
    auto spotter = std::make_shared<HiddenValueSpotter>();
    std::unique_ptr<WmiProvider> watched = backend.provider ? makeTappedProvider(*backend.provider, spotter) : nullptr;
    const auto start = std::chrono::steady_clock::now();
    Inventory inventory = readInventory(watched.get(), backend.probes.get());
    const bool redacted = spotter->spotted || (backend.probes && backend.probes->redacted());
    return {std::move(inventory), std::chrono::steady_clock::now() - start, redacted};
}

// Serial numbers "(hidden)" and addresses XX-XX-...: a server would take every such machine for one.
int refuseRedacted(const char* option, std::ostream& err) {
    return refuse(err, std::string(kProgram) + ": a redacted snapshot cannot identify a machine: '" + option +
                           "' needs one saved without '--redact'");
}

// The inventory in the asked format; an OCS inventory written to a .ocs file is compressed, as
// OCS's local import and its injector take it.
int printInventory(const Backend& backend, const ReportOptions& options, std::ostream& out, std::ostream& err) {
    ExportOptions exportOptions{options.tag};
    TimedInventory pass = timedInventory(backend);
    if (pass.redacted) return refuseRedacted("--inventory", err);
    const bool ocs = options.format == InventoryFormat::Ocs;
    std::string document =
        ocs ? ocsInventoryXml(pass.inventory, exportOptions) : glpiInventoryJson(pass.inventory, exportOptions);
    int status = 0;
    if (options.output.empty()) {
        out << document;
        status = flushOutput(out, err);
    } else {
        bool compressed = ocs && endsWith(options.output, ".ocs");
        std::string bytes = compressed ? zlibCompress(document) : document;
        if (compressed && bytes.empty())
            return refuse(err,
                          std::string(kProgram) + ": " + options.output + ": zlib could not be loaded to compress it");
        status = writeFile(options.output, bytes, err);
    }
    if (options.stats && status == 0) writeStats("inventory pass", pass.elapsed, err);
    return status;
}

// Everything the inventory holds, grouped as the Details window shows it (a redacted snapshot's
// too: nothing leaves the machine).
int printDetails(const Backend& backend, const ReportOptions& options, std::ostream& out, std::ostream& err) {
    TimedInventory pass = timedInventory(backend);
    const DetailsList list = detailsList(pass.inventory);
    std::ostringstream text;  // whole, then written in one piece
    if (options.json)
        writeJsonDetails(list, text);
    else
        writeTextDetails(list, text);
    const int status = deliver(options, out, err, [&](std::ostream& to) { to << text.str(); });
    if (options.stats && status == 0) writeStats("inventory pass", pass.elapsed, err);
    return status;
}

// Nothing is written locally but, where the service keeps its state, the device id sent; a
// failure is one line naming the server (its password hidden), the step and the reason.
int submit(const Backend& backend, const ReportOptions& options, std::ostream& err) {
    std::optional<Submission> submission;
    try {
        submission = submissionOf(options, err);
    } catch (const SubmissionError& error) {
        return refuse(err, error.what());
    }
    if (!submission) return 0;  // a configuration that names no server: nothing to send
    TimedInventory pass = timedInventory(backend);
    if (pass.redacted) return refuseRedacted(options.config.empty() ? "--submit" : "--config", err);
    ExportOptions exportOptions{submission->tag};
    // The machine itself, not a snapshot of another, remembers what it was last sent as.
    std::optional<std::string> state =
        options.snapshot.empty() && environmentGivesThisMachine() ? stateDirectory() : std::nullopt;
    if (state) exportOptions.oldDeviceId = keptDeviceId(*state).value_or("");
    std::unique_ptr<HttpClient> http = makeHttpClient(submission->credentials);
    std::string problem = submitInventory(pass.inventory, exportOptions, submission->url, *http,
                                          std::chrono::seconds(submission->timeoutSeconds));
    if (problem.empty()) {
        std::string sentAs = inventoryDeviceId(pass.inventory);
        // A state place that takes no file leaves the run as it was without one.
        if (state && sentAs != exportOptions.oldDeviceId) keepDeviceId(*state, sentAs);
        if (options.stats) writeStats("inventory pass", pass.elapsed, err);
        return 0;
    }
    refuse(err, std::string(kProgram) + ": " + submission->server + ": " + problem);
    return 3;
}

int run(const ReportOptions& options, std::ostream& out, std::ostream& err) {
    switch (options.mode) {
    case ReportMode::Help: out << kReportUsage; return 0;
    case ReportMode::Version: out << kProgram << " " MORAVEL_VERSION << std::endl; return 0;
    case ReportMode::Compare: return printComparison(options, out, err);
    case ReportMode::SaveSnapshot: return saveSnapshot(selectBackend(options), options.saveSnapshot, err);
    case ReportMode::Inventory: return printInventory(selectBackend(options), options, out, err);
    case ReportMode::Submit: return submit(selectBackend(options), options, err);
    case ReportMode::Details: return printDetails(selectBackend(options), options, out, err);
    case ReportMode::Report: break;
    }
    return printReport(selectBackend(options), options, out, err);
}

}  // namespace

int runReport(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    ReportOptions options;
    try {
        options = parseReportOptions(arguments);
    } catch (const UsageError& error) {
        return refuse(err, std::string(kProgram) + ": " + error.what() + " (see --help)");
    }
    try {
        return run(options, out, err);
    } catch (const SnapshotError& error) {
        return refuse(err, error.what());
    } catch (const std::bad_alloc&) {
        // What the work held is let go by now; the line itself needs no memory of its own.
        err << kProgram << ": not enough memory to finish" << std::endl;
        return 2;
    }
}

}  // namespace moravel
