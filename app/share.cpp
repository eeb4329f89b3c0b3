#include "app/share.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
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
std::vector<GroupRecord> hiddenReport() {
    ScopedBackend replay(makeRedactedBackend(makeSnapshotBackend(*appState().record)));
    std::ostringstream discarded;
    DiagnosticsTo diagnostics(discarded);
    ReportCollector report;
    buildAllGroups(report);
    return report.groups;
}

// The inventory, read once through the recording, so that the kept answers hold it: the
// window's build read the 38 fields only.
const Inventory& keptInventory() {
    AppState& state = appState();
    if (!state.inventory) {
        state.inventory = readInventory(state.recording.provider.get(), state.recording.probes.get());
    }
    return *state.inventory;
}

// The inventory again from the kept answers, hidden as moravel-report --redact hides it.
Inventory hiddenInventory() {
    keptInventory();
    Backend replay = makeRedactedBackend(makeSnapshotBackend(*appState().record));
    std::ostringstream discarded;
    DiagnosticsTo diagnostics(discarded);
    return readInventory(replay.provider.get(), replay.probes.get());
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
    if (std::optional<Comparison> changes = shownComparison(hidden)) {
        std::ostringstream text;
        if (form == ReportForm::Json)
            writeJsonComparison(*changes, false, text);
        else
            writeTextComparison(*changes, false, text);
        return text.str();
    }
    const std::vector<GroupRecord> groups = reportGroups(hidden);
    std::ostringstream text;
    if (form == ReportForm::Json)
        writeJsonReport(groups, text);
    else
        writeTextReport(groups, text);
    return text.str();
}

void compareShownWith(const std::string& path) {
    AppState& state = appState();
    CompareSide snapshot = CompareSide::fromFile(path);
    keptInventory();
    state.compared.emplace(
        AppState::Compared{std::move(snapshot), CompareSide::fromAnswers(*state.record, "this machine")});
}

void clearComparison() { appState().compared.reset(); }

std::optional<Comparison> shownComparison(bool hidden) {
    const auto& compared = appState().compared;
    if (!compared) return std::nullopt;
    return compareSides(compared->snapshot, compared->machine, hidden);
}

std::string comparedName(const Comparison& comparison) {
    return std::filesystem::u8path(comparison.before).filename().u8string();
}

bool comparing() { return appState().compared.has_value(); }

const DetailsList& shownDetails(bool hidden) {
    AppState& state = appState();
    std::optional<DetailsList>& details = hidden ? state.hiddenDetails : state.details;
    if (!details) details = detailsList(hidden ? hiddenInventory() : keptInventory());
    return *details;
}

std::string shareSnapshot(bool hidden) {
    std::ostringstream snapshot;
    Backend* live = appState().live;
    if (!live || !live->provider || !live->probes) return {};
    Backend redacted = hidden ? makeRedactedView(*live->provider, *live->probes) : Backend{};
    ScopedBackend view(hidden ? redacted.provider.get() : live->provider.get(),
                       hidden ? redacted.probes.get() : live->probes.get());
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

namespace {

std::string lowerCase(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

SaveChoice resolveSaveChoice(const std::string& name, const std::vector<std::string>& extensions, int chosenType,
                             int startType) {
    if (chosenType < 0 || chosenType >= static_cast<int>(extensions.size())) return {name, -1};
    std::filesystem::path file = std::filesystem::u8path(name);
    const std::string extension = lowerCase(file.extension().u8string());
    const auto known = std::find(extensions.begin(), extensions.end(), extension);
    const bool ofAType = known != extensions.end();
    if (ofAType && chosenType == startType) return {name, static_cast<int>(known - extensions.begin())};
    if (!extension.empty() && extension != "." && !ofAType) return {name, chosenType};
    file.replace_extension(std::filesystem::u8path(extensions[static_cast<std::size_t>(chosenType)]));
    return {file.u8string(), chosenType};
}

}  // namespace moravel
