#include "compare/pairing.h"

#include <algorithm>
#include <optional>
#include <tuple>

#include "compare/compare.h"
#include "compare/keyed_hash.h"
#include "query/views/redaction.h"

namespace moravel {
namespace {

// An item of the other side that a key may find; the bucket tells which earlier keys it knows.
struct Candidate {
    std::uint64_t key;
    std::uint8_t bucket;
    std::uint32_t index;
    bool operator<(const Candidate& o) const {
        return std::tie(key, bucket, index) < std::tie(o.key, o.bucket, o.index);
    }
};

// Candidates sorted by key, each run of one key (and bucket) handed out in order, once each.
class CandidateRuns {
public:
    explicit CandidateRuns(std::vector<Candidate> candidates) : candidates_(std::move(candidates)) {
        std::sort(candidates_.begin(), candidates_.end());
        next_.resize(candidates_.size());
        for (std::size_t at = 0; at < next_.size(); ++at) next_[at] = at;
    }
    // The first candidate of the run of `key` and `bucket` that is not `taken` (by index).
    std::optional<std::uint32_t> first(std::uint64_t key, std::uint8_t bucket, const std::vector<bool>& taken) {
        auto start = std::lower_bound(candidates_.begin(), candidates_.end(), Candidate{key, bucket, 0});
        if (start == candidates_.end() || start->key != key || start->bucket != bucket) return std::nullopt;
        std::size_t& at = next_[static_cast<std::size_t>(start - candidates_.begin())];
        while (at < candidates_.size() && candidates_[at].key == key && candidates_[at].bucket == bucket &&
               taken[candidates_[at].index])
            ++at;
        if (at == candidates_.size() || candidates_[at].key != key || candidates_[at].bucket != bucket)
            return std::nullopt;
        return candidates_[at].index;
    }

private:
    std::vector<Candidate> candidates_;
    std::vector<std::size_t> next_;  // for the start of each run: where its next free candidate may be
};

class Pairing {
public:
    Pairing(const ItemDigests& before, const ItemDigests& after)
        : before_(before), after_(after), pairedBefore_(before.size()), pairedAfter_(after.size()) {}

    // Wholly equal items at the same place: the usual case, settled without a lookup.
    void identical() {
        for (std::size_t i = 0; i < std::min(before_.size(), after_.size()); ++i) {
            const ItemDigest &b = before_[i], &a = after_[i];
            if (b.kind == a.kind && b.known == a.known && b.content == a.content &&
                std::equal(std::begin(b.key), std::end(b.key), std::begin(a.key)))
                pair(i, i, pairs_.same);
        }
    }

    // By key `level`, the first both sides know: the candidates must not both know an earlier key.
    void byKey(std::size_t level) {
        const std::uint8_t bit = static_cast<std::uint8_t>(1u << level), earlier = static_cast<std::uint8_t>(bit - 1);
        std::vector<Candidate> candidates;
        for (std::size_t j = 0; j < after_.size(); ++j)
            if (!pairedAfter_[j] && (after_[j].known & bit))
                candidates.push_back(
                    {after_[j].key[level], static_cast<std::uint8_t>(after_[j].known & earlier), index(j)});
        CandidateRuns runs(std::move(candidates));
        for (std::size_t i = 0; i < before_.size(); ++i) {
            if (pairedBefore_[i] || !(before_[i].known & bit)) continue;
            std::optional<std::uint32_t> best;
            for (std::uint8_t bucket = 0; bucket <= earlier; ++bucket) {
                if (bucket & before_[i].known & earlier) continue;
                std::optional<std::uint32_t> found = runs.first(before_[i].key[level], bucket, pairedAfter_);
                if (found && (!best || *found < *best)) best = found;
            }
            if (best) pair(i, *best, pairs_.same);
        }
    }

    // Items no key tells apart, in order within each kind.
    void inOrder() {
        constexpr std::size_t kClasses = std::size_t{1} << ItemDigest::kLevels;
        std::size_t kinds = 0;
        for (const auto* side : {&before_, &after_})
            for (const ItemDigest& digest : *side) kinds = std::max<std::size_t>(kinds, digest.kind + 1u);
        std::vector<std::vector<std::uint32_t>> queues(kinds * kClasses);
        for (std::size_t j = 0; j < after_.size(); ++j)
            if (!pairedAfter_[j]) queues[after_[j].kind * kClasses + after_[j].known].push_back(index(j));
        std::vector<std::size_t> heads(queues.size()), next(kinds);
        for (std::size_t i = 0; i < before_.size(); ++i) {
            if (pairedBefore_[i]) continue;
            const std::size_t kind = before_[i].kind;
            std::optional<std::uint32_t> best;
            for (std::size_t known = 0; known < kClasses; ++known) {
                if (known & before_[i].known) continue;  // a key both know: told apart, not the same
                const std::vector<std::uint32_t>& queue = queues[kind * kClasses + known];
                std::size_t& head = heads[kind * kClasses + known];
                while (head < queue.size() && (queue[head] < next[kind] || pairedAfter_[queue[head]])) ++head;
                if (head < queue.size() && (!best || queue[head] < *best)) best = queue[head];
            }
            if (!best) continue;
            pair(i, *best, pairs_.same);
            next[kind] = *best + 1u;
        }
    }

    // What is left: an item where another of its kind was replaced it.
    void replaced() {
        const std::uint8_t place = 2;
        std::vector<Candidate> candidates;
        for (std::size_t j = 0; j < after_.size(); ++j)
            if (!pairedAfter_[j] && (after_[j].known & place))
                candidates.push_back({after_[j].key[1], static_cast<std::uint8_t>(after_[j].fixed), index(j)});
        CandidateRuns runs(std::move(candidates));
        for (std::size_t i = 0; i < before_.size(); ++i)
            if (!pairedBefore_[i] && (before_[i].known & place))
                if (auto found =
                        runs.first(before_[i].key[1], static_cast<std::uint8_t>(before_[i].fixed), pairedAfter_))
                    pair(i, *found, pairs_.replaced);
        onlyOneOfItsKind();
    }

    ItemPairs result() {
        for (std::size_t i = 0; i < before_.size(); ++i)
            if (!pairedBefore_[i]) pairs_.removed.push_back(i);
        for (std::size_t j = 0; j < after_.size(); ++j)
            if (!pairedAfter_[j]) pairs_.added.push_back(j);
        std::sort(pairs_.same.begin(), pairs_.same.end());
        std::sort(pairs_.replaced.begin(), pairs_.replaced.end());
        return std::move(pairs_);
    }

private:
    static std::uint32_t index(std::size_t j) { return static_cast<std::uint32_t>(j); }
    void pair(std::size_t i, std::size_t j, std::vector<std::pair<std::size_t, std::size_t>>& into) {
        into.emplace_back(i, j);
        pairedBefore_[i] = pairedAfter_[j] = true;
    }

    // One item of a kind gone and one come, of the same nature, not known to be in two places. A
    // program gone and another come were uninstalled and installed: never one in the other's place.
    void onlyOneOfItsKind() {
        struct Lone {
            std::size_t count = 0, at = 0;
        };
        std::vector<Lone> gone, come;
        auto note = [](std::vector<Lone>& lone, std::size_t kind, std::size_t at) {
            if (lone.size() <= kind) lone.resize(kind + 1);
            lone[kind].count++, lone[kind].at = at;
        };
        for (std::size_t i = 0; i < before_.size(); ++i)
            if (!pairedBefore_[i]) note(gone, before_[i].kind, i);
        for (std::size_t j = 0; j < after_.size(); ++j)
            if (!pairedAfter_[j]) note(come, after_[j].kind, j);
        for (std::size_t kind = 0; kind < std::min(gone.size(), come.size()); ++kind) {
            if (gone[kind].count != 1 || come[kind].count != 1) continue;
            const ItemDigest &b = before_[gone[kind].at], &a = after_[come[kind].at];
            if (b.fixed == a.fixed && !b.program && !a.program && !(b.known & a.known & 2))
                pair(gone[kind].at, come[kind].at, pairs_.replaced);
        }
    }

    const ItemDigests& before_;
    const ItemDigests& after_;
    std::vector<bool> pairedBefore_, pairedAfter_;
    ItemPairs pairs_;
};

}  // namespace

bool knownKey(const std::string& key) {
    return !key.empty() && key.find(kHiddenText) == std::string::npos && key.find("XX:XX:XX") == std::string::npos &&
           key.find("XX-XX-XX") == std::string::npos;
}

ItemDigest digestOf(const InventoryItem& item) {
    ItemDigest digest;
    digest.kind = itemKindNumber(item.kind), digest.fixed = item.fixed;
    digest.program = item.program;
    for (std::size_t level = 0; level < std::min(ItemDigest::kLevels, item.identity.size()); ++level) {
        if (!knownKey(item.identity[level])) continue;
        digest.known = static_cast<std::uint8_t>(digest.known | (1u << level));
        SipHasher key;
        key.addPiece(item.kind);
        key.addPiece(std::to_string(level));
        key.addPiece(item.identity[level]);
        digest.key[level] = key.finish();
    }
    SipHasher content;
    content.addPiece(item.kind);
    for (const std::string& key : item.identity) content.addPiece(key);
    for (const ItemProperty& property : item.properties)
        content.addPiece(property.label), content.addPiece(property.text);
    content.add(item.fixed ? "F" : "A");
    digest.content = content.finish();
    return digest;
}

ItemPairs pairItems(const ItemDigests& before, const ItemDigests& after) {
    Pairing pairing(before, after);
    pairing.identical();
    for (std::size_t level = 0; level < ItemDigest::kLevels; ++level) pairing.byKey(level);
    pairing.inOrder();
    pairing.replaced();
    return pairing.result();
}

}  // namespace moravel
