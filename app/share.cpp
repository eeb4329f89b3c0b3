#include "app/share.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <sstream>

#include "app/app_state.h"
#include "details/rows.h"
#include "inventory/read_inventory.h"
#include "query/snapshot/snapshot_provider.h"
#include "query/snapshot/snapshot_writer.h"
#include "query/views/recording.h"
#include "query/views/redaction.h"
#include "query/wmi_query.h"
#include "report/writers.h"
#include "sections/sections.h"
#include "text/utf8.h"

namespace moravel {
namespace {

// The inventory, read once through the recording, so that the kept answers hold it: the
// window's build read the 38 fields only.
const Inventory& keptInventory(AppState& state) {
    if (!state.inventory) state.inventory = readInventory(state.recording.provider.get(), state.recording.probes.get());
    return *state.inventory;
}

// The inventory again from the kept answers, hidden as moravel-report --redact hides it.
Inventory hiddenInventory(AppState& state) {
    keptInventory(state);
    Backend replay = makeRedactedBackend(makeSnapshotBackend(*state.record));
    return readInventory(replay.provider.get(), replay.probes.get());
}

}  // namespace

void installRecordedBackend(AppState& state, Backend& live) {
    state.live = &live;
    state.recording = makeRecordingView(*live.provider, *live.probes, state.record);
    state.context = state.recording.context();
}

std::vector<GroupRecord> reportGroups(const AppState& state, bool hidden) {
    if (!hidden) return state.shown;
    // The sections once more over the kept answers, hidden; the diagnostics were already written.
    const Backend replay = makeRedactedBackend(makeSnapshotBackend(*state.record));
    std::ostringstream discarded;
    QueryContext context = replay.context(&discarded);
    ReportCollector report;
    buildAllGroups(context, report);
    return report.groups;
}

std::string shareReport(const AppState& state, ReportForm form, bool hidden) {
    std::ostringstream text;
    const bool json = form == ReportForm::Json;
    if (std::optional<Comparison> changes = shownComparison(state, hidden)) {
        if (json)
            writeJsonComparison(*changes, false, text);
        else
            writeTextComparison(*changes, false, text);
    } else if (json) {
        writeJsonReport(reportGroups(state, hidden), text);
    } else {
        writeTextReport(reportGroups(state, hidden), text);
    }
    return text.str();
}

void compareShownWith(AppState& state, const std::string& path) {
    CompareSide snapshot = CompareSide::fromFile(path);
    keptInventory(state);
    state.compared.emplace(
        AppState::Compared{std::move(snapshot), CompareSide::fromAnswers(*state.record, "this machine")});
}

std::optional<Comparison> shownComparison(const AppState& state, bool hidden) {
    if (!state.compared) return std::nullopt;
    return compareSides(state.compared->snapshot, state.compared->machine, hidden);
}

std::string comparedName(const Comparison& comparison) {
    return std::filesystem::u8path(comparison.before).filename().u8string();
}

const DetailsList& shownDetails(AppState& state, bool hidden) {
    std::optional<DetailsList>& details = hidden ? state.hiddenDetails : state.details;
    if (!details) details = detailsList(hidden ? hiddenInventory(state) : keptInventory(state));
    return *details;
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
    return endsWith(foldCase(fileName), ".json") ? ReportForm::Json : ReportForm::Text;
}

SaveChoice resolveSaveChoice(const std::string& name, const std::vector<std::string>& extensions, int chosenType,
                             int startType) {
    if (chosenType < 0 || chosenType >= static_cast<int>(extensions.size())) return {name, -1};
    std::filesystem::path file = std::filesystem::u8path(name);
    const std::string extension = foldCase(file.extension().u8string());
    const auto known = std::find(extensions.begin(), extensions.end(), extension);
    const bool ofAType = known != extensions.end();
    if (ofAType && chosenType == startType) return {name, static_cast<int>(known - extensions.begin())};
    if (!extension.empty() && extension != "." && !ofAType) return {name, chosenType};
    file.replace_extension(std::filesystem::u8path(extensions[static_cast<std::size_t>(chosenType)]));
    return {file.u8string(), chosenType};
}

}  // namespace moravel
