#include "app/share.h"

#include <cctype>
#include <memory>
#include <optional>
#include <sstream>

#include "app/app_state.h"
#include "inventory/read_inventory.h"
#include "query/snapshot/snapshot_provider.h"
#include "query/snapshot/snapshot_writer.h"
#include "query/views/recording.h"
#include "query/views/redaction.h"
#include "query/wmi_query.h"
#include "report/writers.h"
#include "sections/sections.h"

namespace moravel {
namespace {

// The sections once more over the kept answers, hidden; the diagnostics were already written.
std::vector<GroupRecord> hiddenReport(const AppState& state) {
    const Backend replay = makeRedactedBackend(makeSnapshotBackend(*state.record));
    std::ostringstream discarded;
    QueryContext context = replay.context(&discarded);
    ReportCollector report;
    buildAllGroups(context, report);
    return report.groups;
}

}  // namespace

void installRecordedBackend(AppState& state, Backend& live) {
    state.live = &live;
    state.recording = makeRecordingView(*live.provider, *live.probes, state.record);
    state.context = state.recording.context();
}

void setShownReport(AppState& state, std::vector<GroupRecord> groups) { state.shown = std::move(groups); }

std::vector<GroupRecord> reportGroups(const AppState& state, bool hidden) {
    return hidden ? hiddenReport(state) : state.shown;
}

std::string shareReport(const AppState& state, ReportForm form, bool hidden) {
    if (std::optional<Comparison> changes = shownComparison(state, hidden)) {
        std::ostringstream text;
        if (form == ReportForm::Json)
            writeJsonComparison(*changes, false, text);
        else
            writeTextComparison(*changes, false, text);
        return text.str();
    }
    const std::vector<GroupRecord> groups = reportGroups(state, hidden);
    std::ostringstream text;
    if (form == ReportForm::Json)
        writeJsonReport(groups, text);
    else
        writeTextReport(groups, text);
    return text.str();
}

void compareShownWith(AppState& state, const std::string& path) {
    CompareSide snapshot = CompareSide::fromFile(path);
    if (!state.inventoryKept) {  // the window's build read the 38 fields only: the inventory once now
        readInventory(state.recording.provider.get(), state.recording.probes.get());
        state.inventoryKept = true;
    }
    state.compared.emplace(
        AppState::Compared{std::move(snapshot), CompareSide::fromAnswers(*state.record, "this machine")});
}

std::optional<Comparison> shownComparison(const AppState& state, bool hidden) {
    const auto& compared = state.compared;
    if (!compared) return std::nullopt;
    return compareSides(compared->snapshot, compared->machine, hidden);
}

std::string shareSnapshot(const AppState& state, bool hidden) {
    std::ostringstream snapshot;
    Backend* live = state.live;
    if (!live || !live->provider || !live->probes) return {};
    Backend redacted = hidden ? makeRedactedView(*live->provider, *live->probes) : Backend{};
    const Backend& view = hidden ? redacted : *live;
    writeSnapshot(view.provider.get(), view.probes.get(), snapshot);
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
