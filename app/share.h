// What the window's share commands hand out: the report as moravel-report prints it, composed
// from the answers read while the window was built, and a snapshot, recorded when asked for.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "compare/compare.h"
#include "details/details.h"
#include "query/backend.h"
#include "query/snapshot/snapshot_provider.h"
#include "sections/collector.h"

namespace moravel {

enum class ReportForm { Text, Json };

// Makes a view of `live` that keeps its answers the one the window is built through; `live`
// must outlive `state`.
void installRecordedBackend(AppState& state, Backend& live);

// The report's groups; with `hidden`, those moravel-report --redact prints, composed again
// from the kept answers (the machine is not asked twice).
std::vector<GroupRecord> reportGroups(const AppState& state, bool hidden);

// The report in `form`, of reportGroups(hidden); while a comparison is on, the comparison
// instead, as moravel-report --compare prints it.
std::string shareReport(const AppState& state, ReportForm form, bool hidden);

// Compares the snapshot at `path` (read once; throws SnapshotError) with the machine the window
// shows, from the answers kept; the comparison stays on until cleared.
void compareShownWith(AppState& state, const std::string& path);
// The comparison that is on, its texts with identifying values hidden when `hidden`.
std::optional<Comparison> shownComparison(const AppState& state, bool hidden);
// The compared snapshot's file name, as the marks' tooltips and the title name it.
std::string comparedName(const Comparison& comparison);

// Everything the inventory holds, as moravel-report --details (with --redact when `hidden`)
// prints it: read through the kept answers the first time it is asked for, then kept.
const DetailsList& shownDetails(AppState& state, bool hidden);

// What moravel-report --save-snapshot (with --redact when `hidden`) writes, read now.
std::string shareSnapshot(const AppState& state, bool hidden);

// "report.json" and "REPORT.JSON" are saved in the JSON form, any other name as text.
ReportForm reportFormFor(const std::string& fileName);

// A save dialog's answer: the file (UTF-8, as the dialog hands it) and the index of the type it
// is saved as, among the dialog's types; -1 when the dialog told no type (the name decides).
struct SaveChoice {
    std::string name;
    int type = -1;
};

// A type the user picked decides, and the name follows it: a name without an extension, or with
// the extension of another of the types (`extensions`, one per type, ".txt"), takes the type's
// (report.txt saved as "JSON report" is report.json), as Windows' own dialogs do; any other
// extension stays. Left at the type the dialog started with (`startType`), a name with one of
// the types' extensions decides instead.
SaveChoice resolveSaveChoice(const std::string& name, const std::vector<std::string>& extensions, int chosenType,
                             int startType);

}  // namespace moravel
