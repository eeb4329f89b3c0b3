// One side of a comparison: where its fields and items come from, each way of looking at them
// composed when first asked for and kept, and a print of its answers to tell alike sides apart
// without reading their items.
#include <algorithm>
#include <map>
#include <sstream>

#include "compare/compare.h"
#include "compare/keyed_hash.h"
#include "compare/pairing.h"
#include "inventory/read_inventory.h"
#include "query/views/provider_tap.h"
#include "query/views/recording.h"
#include "query/views/redaction.h"
#include "query/views/steady_values.h"
#include "query/wmi_classes.h"
#include "query/wmi_names.h"
#include "query/wmi_query.h"
#include "sections/sections.h"

namespace moravel {

using ItemVisitor = std::function<void(const InventoryItem&)>;

// What a side answered to the query of one class: how many objects, and all of them hashed.
struct AnswersPrint {
    std::size_t objects = 0;
    std::uint64_t hash = 0;
    bool operator==(const AnswersPrint& other) const { return objects == other.objects && hash == other.hash; }
};

struct CompareSide::Source {
    virtual ~Source() = default;
    virtual std::vector<GroupRecord> readGroups(Lens lens) = 0;
    virtual void readItems(Lens lens, InventoryKind kind, const ItemVisitor& visit) = 0;
    virtual bool hides() const = 0;
    // The print of the file's text for `className`, where the side is a file; then two files'
    // prints are alike exactly when their objects are written alike.
    virtual std::optional<AnswersPrint> textPrint(const std::string&) const { return std::nullopt; }
    // The print of the values as the query layer hands them out; none where it cannot tell.
    virtual std::optional<AnswersPrint> valuePrint(const std::string&) { return std::nullopt; }

    std::optional<std::vector<GroupRecord>> groups[kLensCount];
    std::map<std::pair<Lens, InventoryKind>, ItemDigests> digests;
};

namespace {

// Views handed over whole (tests): their items come as one group.
class ViewsSource : public CompareSide::Source {
public:
    ViewsSource(std::array<SideView, kLensCount> views, bool hides) : views_(std::move(views)), hides_(hides) {}
    std::vector<GroupRecord> readGroups(Lens lens) override { return views_[lens].groups; }
    void readItems(Lens lens, InventoryKind kind, const ItemVisitor& visit) override {
        if (kind != comparedKinds().front()) return;
        for (const InventoryItem& item : views_[lens].items) visit(item);
    }
    bool hides() const override { return hides_; }

private:
    std::array<SideView, kLensCount> views_;
    bool hides_;
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
        case kHidden: use(makeRedactedView(provider, probes)); break;
        case kSteady: use(makeSteadyView(provider, probes)); break;
        case kHiddenSteady:
            inner_ = makeSteadyView(provider, probes);
            use(makeRedactedView(*inner_.provider, *inner_.probes));
            break;
        case kLensCount: break;
        }
    }
    WmiProvider* provider() const { return provider_; }
    SystemProbes* probes() const { return probes_; }

private:
    void use(Backend made) {
        outer_ = std::move(made);
        provider_ = outer_.provider.get(), probes_ = outer_.probes.get();
    }
    std::unique_ptr<WmiProvider> tapped_;
    Backend inner_, outer_;
    WmiProvider* provider_ = nullptr;
    SystemProbes* probes_ = nullptr;
};

// The text of each class's objects in the file, and the failure it stages for the class's query.
std::map<std::string, AnswersPrint> textPrints(const SnapshotData& data) {
    std::map<std::string, AnswersPrint> prints;
    for (const WmiClass& recorded : wmiClasses()) {
        SipHasher hasher;
        AnswersPrint print;
        auto inFile = findWmiName(data.fileClasses, recorded.name);
        if (inFile != data.fileClasses.end()) {
            print.objects = inFile->second.size();
            for (const ObjectSpan& span : inFile->second)
                hasher.addPiece(data.text.substr(span.begin, span.end - span.begin));
        }
        auto staged = data.failures.find(selectAllFrom(recorded.name));
        if (staged != data.failures.end())
            hasher.addPiece(std::to_string(static_cast<int>(staged->second.step)) + " " +
                            std::to_string(staged->second.code));
        print.hash = hasher.finish();
        prints.emplace(recorded.name, print);
    }
    return prints;
}

// Answers read once (a snapshot file, a machine's recording). Every view replays them; their
// diagnostic lines were written when they were read.
class AnswersSource : public CompareSide::Source {
public:
    // Only a file's answers (a recording's list their classes) have a text to print.
    explicit AnswersSource(SnapshotData answers)
        : textPrints_(answers.classes.empty() ? textPrints(answers) : std::map<std::string, AnswersPrint>()),
          answers_(makeSnapshotBackend(std::move(answers))) {}

    std::vector<GroupRecord> readGroups(Lens lens) override {
        std::ostringstream discarded;
        LensView view(answers_, lens, spotter_);
        QueryContext context{view.provider(), view.probes(), &discarded};
        ReportCollector report;
        buildAllGroups(context, report);
        return std::move(report.groups);
    }
    void readItems(Lens lens, InventoryKind kind, const ItemVisitor& visit) override {
        LensView view(answers_, lens, spotter_);
        moravel::readItems(view.provider(), view.probes(), kind, visit);
    }
    bool hides() const override { return spotter_->spotted || answers_.probes->addressesHidden(); }

    std::optional<AnswersPrint> textPrint(const std::string& className) const override {
        auto print = textPrints_.find(className);
        return print == textPrints_.end() ? std::nullopt : std::optional<AnswersPrint>(print->second);
    }
    std::optional<AnswersPrint> valuePrint(const std::string& className) override {
        auto kept = valuePrints_.find(className);
        if (kept == valuePrints_.end()) kept = valuePrints_.emplace(className, printValues(className)).first;
        return kept->second;
    }

private:
    // Every recorded property of every object, as the provider hands it out, and how the
    // query ended.
    std::optional<AnswersPrint> printValues(const std::string& className) {
        const WmiClass* recorded = findWmiClass(className);
        if (!recorded) return std::nullopt;
        SipHasher hasher;
        AnswersPrint print;
        std::optional<CycleFailure> failure = runQueryCycle(
            *answers_.provider, recorded->nameSpace, selectAllFrom(recorded->name), [&](WmiObject& object) {
                ++print.objects;
                for (const WmiProperty& property : recorded->properties) {
                    WmiValue value;
                    if (!property.recorded || failed(object.get(property.name, value))) continue;
                    hasher.addPiece(std::string(property.name) + " " + std::to_string(value.type) + " " +
                                    std::to_string(value.integer));
                    hasher.addPiece(value.text);
                    for (const std::string& item : value.items) hasher.addPiece(item);
                }
                hasher.addPiece("");  // the object's end
                return true;
            });
        if (failure)
            hasher.addPiece(std::to_string(static_cast<int>(failure->step)) + " " + std::to_string(failure->code));
        print.hash = hasher.finish();
        return print;
    }

    std::map<std::string, AnswersPrint> textPrints_;
    Backend answers_;
    std::shared_ptr<HiddenValueSpotter> spotter_ = std::make_shared<HiddenValueSpotter>();
    std::map<std::string, std::optional<AnswersPrint>> valuePrints_;
};

}  // namespace

CompareSide::CompareSide(std::shared_ptr<Source> source, std::string name, std::vector<std::string> silentKinds)
    : source_(std::move(source)), name_(std::move(name)), silentKinds_(std::move(silentKinds)) {
    groups(kAsRead);
}

CompareSide::CompareSide(std::string name, bool hides, std::array<SideView, kLensCount> views,
                         std::vector<std::string> silentKinds)
    : source_(std::make_shared<ViewsSource>(std::move(views), hides)), name_(std::move(name)),
      silentKinds_(std::move(silentKinds)) {}

CompareSide CompareSide::fromFile(const std::string& path) {
    SnapshotData snapshot = readSnapshotFile(path);
    std::vector<std::string> silent = unlistedKinds(snapshot);
    return CompareSide(std::make_shared<AnswersSource>(std::move(snapshot)), path, std::move(silent));
}

CompareSide CompareSide::fromAnswers(SnapshotData answers, std::string name) {
    return CompareSide(std::make_shared<AnswersSource>(std::move(answers)), std::move(name), {});
}

CompareSide CompareSide::fromMachine(WmiProvider& provider, SystemProbes& probes, std::string name,
                                     std::ostream& diagnostics) {
    auto answers = std::make_shared<SnapshotData>();
    {
        Backend recording = makeRecordingView(provider, probes, answers);
        QueryContext context = recording.context(&diagnostics);
        ReportCollector report;
        buildAllGroups(context, report);  // the one read: the report's, then the inventory's
        readInventory(recording.provider.get(), recording.probes.get());
    }
    return fromAnswers(std::move(*answers), std::move(name));
}

bool CompareSide::hidesValues() const { return source_->hides(); }

bool CompareSide::tellsOf(const std::string& kind) const {
    return std::find(silentKinds_.begin(), silentKinds_.end(), kind) == silentKinds_.end();
}

const std::vector<GroupRecord>& CompareSide::groups(Lens lens) const {
    std::optional<std::vector<GroupRecord>>& kept = source_->groups[lens];
    if (!kept) kept = source_->readGroups(lens);
    return *kept;
}

void CompareSide::visitItems(Lens lens, InventoryKind kind,
                             const std::function<void(const InventoryItem&)>& visit) const {
    source_->readItems(lens, kind, visit);
}

const ItemDigests& CompareSide::digests(Lens lens, InventoryKind kind) const {
    auto kept = source_->digests.find({lens, kind});
    if (kept != source_->digests.end()) return kept->second;
    ItemDigests digests;
    source_->readItems(lens, kind, [&](const InventoryItem& item) { digests.push_back(digestOf(item)); });
    return source_->digests.emplace(std::make_pair(lens, kind), std::move(digests)).first->second;
}

bool CompareSide::answersAlike(const CompareSide& other, InventoryKind kind) const {
    const InventoryKindInfo& info = infoOf(kind);
    if (!info.inPieces) return false;  // only lists of parts, which read nothing but their classes
    for (const std::string& className : info.classes) {
        std::optional<AnswersPrint> mine = source_->textPrint(className), theirs = other.source_->textPrint(className);
        if (!mine || !theirs) mine = source_->valuePrint(className), theirs = other.source_->valuePrint(className);
        if (!mine || !theirs || !(*mine == *theirs)) return false;
    }
    return true;
}

std::uint16_t itemKindNumber(const std::string& kind) {
    static std::vector<std::string> kinds;  // the kinds met so far, numbered in the order they were first met
    auto it = std::find(kinds.begin(), kinds.end(), kind);
    if (it != kinds.end()) return static_cast<std::uint16_t>(it - kinds.begin());
    kinds.push_back(kind);
    return static_cast<std::uint16_t>(kinds.size() - 1);
}

}  // namespace moravel
