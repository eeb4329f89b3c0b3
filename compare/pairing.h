// Items of two sides paired by identity, in time that grows as n log n and memory that grows as
// n: each item is held as a few hashes, never as its text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <utility>
#include <vector>

namespace moravel {

struct InventoryItem;

// An item as the pairing sees it: 32 bytes, whatever its text.
struct ItemDigest {
    static constexpr std::size_t kLevels = 2;  // what it is, then where it is
    std::uint64_t key[kLevels] = {};           // each known identity key, hashed with the item's kind
    std::uint64_t content = 0;                 // the kind, identity and properties, hashed
    std::uint16_t kind = 0;                    // itemKindNumber of its kind
    std::uint8_t known = 0;                    // bit k: identity key k is known
    bool fixed = true;
    bool program = false;
};

// The items of one side (of one kind of the inventory), in order: a deque grows without moving
// what it holds, so a million of them never stand twice in memory.
using ItemDigests = std::deque<ItemDigest>;

// A kind of item as a number, the same for the whole run.
std::uint16_t itemKindNumber(const std::string& kind);

// `item` as the pairing sees it.
ItemDigest digestOf(const InventoryItem& item);

// An identity key tells nothing when it is missing or redaction has hidden it.
bool knownKey(const std::string& key);

struct ItemPairs {
    std::vector<std::pair<std::size_t, std::size_t>> same;      // (before, after): one item
    std::vector<std::pair<std::size_t, std::size_t>> replaced;  // another item in its place
    std::vector<std::size_t> removed, added;
};

// Pairs the items of `before` and `after` (indexes into them): items at the same place that are
// wholly equal; then by the first identity key both know; then, in order, those that cannot be
// told apart; of the rest, an item found where another of its kind was replaced it (the same
// place, or the only one of its kind gone and come); everything else went or came.
ItemPairs pairItems(const ItemDigests& before, const ItemDigests& after);

}  // namespace moravel
