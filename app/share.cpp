#include "app/share.h"

#include <cctype>
#include <memory>
#include <sstream>

#include "app/app_state.h"
#include "app/report_writers.h"
#include "query/views/recording.h"
#include "query/views/redaction.h"
#include "query/snapshot/snapshot_writer.h"
#include "query/wmi_query.h"
#include "sections/sections.h"

namespace moravel {
namespace {

// The sections once more over the kept answers, hidden; the diagnostics were already written.
std::vector<GroupRecord> hiddenReport() {
    ScopedBackend replay(makeRedactedBackend(makeSnapshotBackend(*appState().record)));
    std::ostringstream discarded;
    DiagnosticsTo diagnostics(discarded);
    ReportCollector report;
    buildAllGroups(report);
    return report.groups;
}

}  // namespace

void installRecordedBackend(Backend& live) {
    AppState& state = appState();
    state.live = &live;
    state.recording = makeRecordingView(*live.provider, *live.probes, state.record);
    state.recording.install();
}

void setShownReport(std::vector<GroupRecord> groups) { appState().shown = std::move(groups); }

std::vector<GroupRecord> reportGroups(bool hidden) { return hidden ? hiddenReport() : appState().shown; }

std::string shareReport(ReportForm form, bool hidden) {
    const std::vector<GroupRecord> groups = reportGroups(hidden);
    std::ostringstream text;
    if (form == ReportForm::Json) writeJsonReport(groups, text);
    else writeTextReport(groups, text);
    return text.str();
}

std::string shareSnapshot(bool hidden) {
    std::ostringstream snapshot;
    Backend* live = appState().live;
    if (!live || !live->provider || !live->probes) return {};
    Backend redacted = hidden ? makeRedactedView(*live->provider, *live->probes) : Backend{};
    ScopedBackend view(hidden ? redacted.provider.get() : live->provider.get(), hidden ? redacted.probes.get() : live->probes.get());
    writeSnapshot(snapshot);
    return snapshot.str();
}

ReportForm reportFormFor(const std::string& fileName) {
    const std::string suffix = ".json";
    if (fileName.size() < suffix.size()) return ReportForm::Text;
    for (std::size_t i = 0; i < suffix.size(); ++i) {
        char c = fileName[fileName.size() - suffix.size() + i];
        if (std::tolower(static_cast<unsigned char>(c)) != suffix[i]) return ReportForm::Text;
    }
    return ReportForm::Json;
}

}  // namespace moravel
