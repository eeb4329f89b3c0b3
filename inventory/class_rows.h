// The objects of one WMI class as the inventory reads them: every recorded property of every
// object, typed as the provider gave it, from one query cycle through the query layer.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "inventory/inventory.h"
#include "query/probes.h"
#include "query/wmi_provider.h"

namespace moravel {

class WmiRow {
public:
    void set(const std::string& property, WmiValue value) { values_[property] = std::move(value); }

    // A string without surrounding blanks, or an integer in decimal; empty for null, absent or
    // any other type.
    std::string text(const char* property) const;
    // An integer of any width, or a string of decimal digits (WMI's uint64); VT_I4 is unsigned.
    Number number(const char* property) const;
    // A signed integer (sint16 arrives as VT_I2, sint32 as VT_I4).
    std::optional<std::int64_t> signedNumber(const char* property) const;
    Flag flag(const char* property) const;
    // The elements of an array; empty when the property is not one.
    std::vector<std::string> list(const char* property) const;

private:
    const WmiValue* find(const char* property) const;
    std::map<std::string, WmiValue> values_;
};

using WmiRows = std::vector<WmiRow>;

// The rows of each class the inventory reads, each class read once (one query cycle) when it
// is first asked for.
class ClassSource {
public:
    ClassSource(WmiProvider* provider, SystemProbes* probes) : provider_(provider), probes_(probes) {}
    const WmiRows& rows(const std::string& className);

    // Reads `className` anew as its objects from `first` on, at most `count` of them, and returns
    // how many there were: a pass that takes a class of very many objects a piece at a time
    // holds one piece at once. The other classes stay read whole.
    std::size_t readPiece(const std::string& className, std::size_t first, std::size_t count);
    // Where the rows of `className` start among the class's objects: 0 unless read in pieces.
    std::size_t firstRow(const std::string& className) const;

    // How a row is found by another class: the key it is known by, empty for none.
    using RowKey = std::string (*)(const WmiRow& row);
    // The first row of `className` whose key is `value`, looked up in an index made once per
    // class and key, so a join of n rows with n rows costs n, not n times n.
    const WmiRow* find(const std::string& className, RowKey key, const std::string& value);

    // Where the class's query failed, if it did (kAccessDenied: the program needs more rights).
    std::optional<CycleFailure> failure(const std::string& className);
    SystemProbes* probes() const { return probes_; }  // may be null: it then gives nothing
    // The classes asked for so far.
    std::vector<std::string> classesRead() const;

private:
    struct Read {
        WmiRows rows;
        std::optional<CycleFailure> failure;
        std::size_t first = 0;
        std::map<RowKey, std::unordered_map<std::string, const WmiRow*>> indexes;
    };
    const Read& read(const std::string& className);
    WmiProvider* provider_;
    SystemProbes* probes_;
    std::map<std::string, Read> read_;
};

// Every object of `className` (a class the snapshot writer records, in its namespace) with the
// properties recorded for it, through `provider`; no objects when the class cannot be read, and
// then `failure` says where it failed.
// With `first` and `count`, only the objects [first, first + count).
WmiRows readRows(WmiProvider& provider, const std::string& className, std::optional<CycleFailure>* failure = nullptr,
                 std::size_t first = 0, std::size_t count = SIZE_MAX);

}  // namespace moravel
