// The objects of one WMI class as the inventory reads them: every recorded property of every
// object, typed as the provider gave it, from one query cycle through the query layer.
#pragma once

#include <map>
#include <optional>
#include <string>
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
    // Where the class's query failed, if it did (kAccessDenied: the program needs more rights).
    std::optional<CycleFailure> failure(const std::string& className);
    SystemProbes* probes() const { return probes_; }  // may be null: it then gives nothing
    // The classes asked for so far.
    std::vector<std::string> classesRead() const;

private:
    struct Read {
        WmiRows rows;
        std::optional<CycleFailure> failure;
    };
    const Read& read(const std::string& className);
    WmiProvider* provider_;
    SystemProbes* probes_;
    std::map<std::string, Read> read_;
};

// Every object of `className` (a class the snapshot writer records, in its namespace) with the
// properties recorded for it, through `provider`; no objects when the class cannot be read, and
// then `failure` says where it failed.
WmiRows readRows(WmiProvider& provider, const std::string& className, std::optional<CycleFailure>* failure = nullptr);

}  // namespace moravel
