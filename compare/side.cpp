// One side of a comparison: where its fields and items come from, each way of looking at them
// composed when first asked for and kept.
#include <algorithm>
#include <sstream>

#include "compare/compare.h"
#include "compare/pairing.h"
#include "inventory/read_inventory.h"
#include "query/views/provider_tap.h"
#include "query/views/recording.h"
#include "query/views/redaction.h"
#include "query/views/steady_values.h"
#include "query/wmi_names.h"
#include "query/wmi_query.h"
#include "sections/sections.h"

namespace moravel {

using ItemVisitor = std::function<void(const InventoryItem&)>;

struct CompareSide::Source {
    virtual ~Source() = default;
    virtual std::vector<GroupRecord> readGroups(Lens lens) = 0;
    virtual void readItems(Lens lens, const ItemVisitor& visit) = 0;
    // Whether a value read as it is was one redaction had hidden.
    virtual bool spottedHidden() const { return false; }

    std::optional<std::vector<GroupRecord>> groups[kLensCount];
    std::optional<std::vector<ItemDigest>> digests[kLensCount];
};

namespace {

// Views handed over whole (tests).
class ViewsSource : public CompareSide::Source {
public:
    explicit ViewsSource(std::array<SideView, kLensCount> views) : views_(std::move(views)) {}
    std::vector<GroupRecord> readGroups(Lens lens) override { return views_[lens].groups; }
    void readItems(Lens lens, const ItemVisitor& visit) override {
        for (const InventoryItem& item : views_[lens].items) visit(item);
    }

private:
    std::array<SideView, kLensCount> views_;
};

// Kept answers, looked at through one lens: the views' wrappers stacked on them.
class LensView {
public:
    LensView(Backend& answers, Lens lens, const std::shared_ptr<HiddenValueSpotter>& spotter) {
        WmiProvider& provider = *answers.provider;
        SystemProbes& probes = *answers.probes;
        switch (lens) {
        case kAsRead:
            tapped_ = makeTappedProvider(provider, spotter), provider_ = tapped_.get(), probes_ = &probes;
            break;
        case kHidden: use(makeRedactedView(provider, probes), outer_); break;
        case kSteady: use(makeSteadyView(provider, probes), outer_); break;
        case kHiddenSteady:
            inner_ = makeSteadyView(provider, probes);
            use(makeRedactedView(*inner_.provider, *inner_.probes), outer_);
            break;
        case kLensCount: break;
        }
    }
    WmiProvider* provider() const { return provider_; }
    SystemProbes* probes() const { return probes_; }

private:
    void use(Backend made, Backend& into) {
        into = std::move(made);
        provider_ = into.provider.get(), probes_ = into.probes.get();
    }
    std::unique_ptr<WmiProvider> tapped_;
    Backend inner_, outer_;
    WmiProvider* provider_ = nullptr;
    SystemProbes* probes_ = nullptr;
};

// Answers read once (a snapshot file, a machine's recording). Every view replays them; their
// diagnostic lines were written when they were read.
class AnswersSource : public CompareSide::Source {
public:
    explicit AnswersSource(Backend answers) : answers_(std::move(answers)) {}
    std::vector<GroupRecord> readGroups(Lens lens) override {
        std::ostringstream discarded;
        DiagnosticsTo diagnostics(discarded);
        LensView view(answers_, lens, spotter_);
        ScopedBackend installed(view.provider(), view.probes());
        ReportCollector report;
        buildAllGroups(report);
        return std::move(report.groups);
    }
    void readItems(Lens lens, const ItemVisitor& visit) override {
        std::ostringstream discarded;
        DiagnosticsTo diagnostics(discarded);
        LensView view(answers_, lens, spotter_);
        for (const InventoryItem& item : inventoryItems(readInventory(view.provider(), view.probes()))) visit(item);
    }
    bool spottedHidden() const override { return spotter_->spotted || answers_.probes->addressesHidden(); }

private:
    Backend answers_;
    std::shared_ptr<HiddenValueSpotter> spotter_ = std::make_shared<HiddenValueSpotter>();
};

}  // namespace

CompareSide::CompareSide(std::shared_ptr<Source> source, std::string name, std::vector<std::string> silentKinds)
    : source_(std::move(source)), name_(std::move(name)), silentKinds_(std::move(silentKinds)) {
    groups(kAsRead);
    digests(kAsRead);
    hides_ = source_->spottedHidden();
}

CompareSide::CompareSide(std::string name, bool hides, std::array<SideView, kLensCount> views,
                         std::vector<std::string> silentKinds)
    : source_(std::make_shared<ViewsSource>(std::move(views))), name_(std::move(name)), hides_(hides),
      silentKinds_(std::move(silentKinds)) {}

CompareSide CompareSide::fromFile(const std::string& path) {
    SnapshotData snapshot = readSnapshotFile(path);
    std::vector<std::string> silent = unlistedKinds(snapshot);
    return CompareSide(std::make_shared<AnswersSource>(makeSnapshotBackend(std::move(snapshot))), path,
                       std::move(silent));
}

CompareSide CompareSide::fromAnswers(SnapshotData answers, std::string name) {
    return CompareSide(std::make_shared<AnswersSource>(makeSnapshotBackend(std::move(answers))), std::move(name), {});
}

CompareSide CompareSide::fromMachine(WmiProvider& provider, SystemProbes& probes, std::string name) {
    auto answers = std::make_shared<SnapshotData>();
    {
        Backend recording = makeRecordingView(provider, probes, answers);
        ScopedBackend installed(recording.provider.get(), recording.probes.get());
        ReportCollector report;
        buildAllGroups(report);  // the one read: the report's, then the inventory's
        readInventory(recording.provider.get(), recording.probes.get());
    }
    return fromAnswers(std::move(*answers), std::move(name));
}

const std::vector<GroupRecord>& CompareSide::groups(Lens lens) const {
    std::optional<std::vector<GroupRecord>>& kept = source_->groups[lens];
    if (!kept) kept = source_->readGroups(lens);
    return *kept;
}

void CompareSide::visitItems(Lens lens, const std::function<void(const InventoryItem&)>& visit) const {
    source_->readItems(lens, visit);
}

const std::vector<ItemDigest>& CompareSide::digests(Lens lens) const {
    std::optional<std::vector<ItemDigest>>& kept = source_->digests[lens];
    if (kept) return *kept;
    std::vector<ItemDigest> digests;
    std::vector<std::uint32_t> ofKind;
    source_->readItems(lens, [&](const InventoryItem& item) {
        const std::uint16_t kind = itemKindNumber(item.kind);
        if (ofKind.size() <= kind) ofKind.resize(kind + 1u);
        digests.push_back(digestOf(item, kind, static_cast<std::uint32_t>(digests.size()), ofKind[kind]++));
    });
    digests.shrink_to_fit();
    kept = std::move(digests);
    return *kept;
}

// The kinds met so far, numbered in the order they were first met.
static std::vector<std::string>& kindNames() {
    static std::vector<std::string> names;
    return names;
}

std::uint16_t itemKindNumber(const std::string& kind) {
    std::vector<std::string>& kinds = kindNames();
    auto it = std::find(kinds.begin(), kinds.end(), kind);
    if (it != kinds.end()) return static_cast<std::uint16_t>(it - kinds.begin());
    kinds.push_back(kind);
    return static_cast<std::uint16_t>(kinds.size() - 1);
}

const std::string& itemKindName(std::uint16_t number) { return kindNames().at(number); }

}  // namespace moravel
