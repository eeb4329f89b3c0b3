#include "inventory/class_rows.h"

#include <cstdint>

#include "query/wmi_classes.h"
#include "query/wmi_names.h"
#include "query/wmi_query.h"

namespace moravel {
namespace {

// The integer as WMI means it: VT_I4 carries uint16 and uint32 values, so it reads unsigned.
std::uint64_t integerOf(const WmiValue& value) {
    switch (value.type) {
    case vt::I4:
    case vt::UI4: return static_cast<std::uint32_t>(value.integer);
    case vt::UI2: return static_cast<std::uint16_t>(value.integer);
    case vt::UI1: return static_cast<std::uint8_t>(value.integer);
    default: return static_cast<std::uint64_t>(value.integer);
    }
}

std::string trimmed(const std::string& text) {
    const char* blank = " \t\r\n";
    std::size_t first = text.find_first_not_of(blank);
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(blank) - first + 1);
}

}  // namespace

const WmiValue* WmiRow::find(const char* property) const {
    auto it = findWmiName(values_, property);
    return it == values_.end() ? nullptr : &it->second;
}

std::string WmiRow::text(const char* property) const {
    const WmiValue* value = find(property);
    if (!value) return {};
    if (value->type == vt::Bstr) return trimmed(value->text);
    if (isIntegerType(value->type)) return std::to_string(integerOf(*value));
    return {};
}

Number WmiRow::number(const char* property) const {
    const WmiValue* value = find(property);
    if (!value) return std::nullopt;
    if (isIntegerType(value->type)) return integerOf(*value);
    if (value->type != vt::Bstr) return std::nullopt;
    std::string digits = trimmed(value->text);
    if (digits.empty() || digits.size() > 19 || digits.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    return std::stoull(digits);
}

std::optional<std::int64_t> WmiRow::signedNumber(const char* property) const {
    const WmiValue* value = find(property);
    if (!value) return std::nullopt;
    switch (value->type) {
    case vt::I1: return static_cast<std::int8_t>(value->integer);
    case vt::I2: return static_cast<std::int16_t>(value->integer);
    case vt::I4: return static_cast<std::int32_t>(value->integer);
    case vt::I8: return value->integer;
    default: break;
    }
    Number unsignedValue = number(property);
    if (unsignedValue && *unsignedValue <= static_cast<std::uint64_t>(INT64_MAX))
        return static_cast<std::int64_t>(*unsignedValue);
    return std::nullopt;
}

Flag WmiRow::flag(const char* property) const {
    const WmiValue* value = find(property);
    if (!value || value->type != vt::Bool) return std::nullopt;
    return value->integer != 0;
}

std::vector<std::string> WmiRow::list(const char* property) const {
    const WmiValue* value = find(property);
    return value && (value->type & vt::Array) ? value->items : std::vector<std::string>();
}

const ClassSource::Read& ClassSource::read(const std::string& className) {
    auto it = read_.find(className);
    if (it == read_.end()) {
        Read read;
        if (provider_) read.rows = readRows(*provider_, className, &read.failure);
        it = read_.emplace(className, std::move(read)).first;
    }
    return it->second;
}

const WmiRows& ClassSource::rows(const std::string& className) { return read(className).rows; }

std::optional<CycleFailure> ClassSource::failure(const std::string& className) { return read(className).failure; }

std::size_t ClassSource::readPiece(const std::string& className, std::size_t first, std::size_t count) {
    Read piece;
    piece.first = first;
    if (provider_) piece.rows = readRows(*provider_, className, &piece.failure, first, count);
    const std::size_t read = piece.rows.size();
    read_[className] = std::move(piece);
    return read;
}

std::size_t ClassSource::firstRow(const std::string& className) const {
    auto it = read_.find(className);
    return it == read_.end() ? 0 : it->second.first;
}

const WmiRow* ClassSource::find(const std::string& className, RowKey key, const std::string& value) {
    read(className);  // read even when nothing is looked up, so what a reader reads does not depend on values
    if (value.empty()) return nullptr;
    Read& rows = read_.find(className)->second;
    auto made = rows.indexes.find(key);
    if (made == rows.indexes.end()) {
        made = rows.indexes.emplace(key, std::unordered_map<std::string, const WmiRow*>()).first;
        for (const WmiRow& row : rows.rows)
            if (std::string known = key(row); !known.empty()) made->second.emplace(std::move(known), &row);
    }
    auto found = made->second.find(value);
    return found == made->second.end() ? nullptr : found->second;
}

std::vector<std::string> ClassSource::classesRead() const {
    std::vector<std::string> names;
    for (const auto& read : read_) names.push_back(read.first);
    return names;
}

WmiRows readRows(WmiProvider& provider, const std::string& className, std::optional<CycleFailure>* failure,
                 std::size_t first, std::size_t count) {
    WmiRows rows;
    const WmiClass* recorded = findWmiClass(className);
    if (!recorded || count == 0) return rows;
    std::optional<CycleFailure> stopped =
        runQueryCycleFrom(provider, recorded->nameSpace, classQuery(*recorded), first,
                          recorded->properties.front().name, [&](WmiObject& object) {
                              WmiRow& row = rows.emplace_back();
                              for (const WmiProperty& property : recorded->properties) {
                                  WmiValue value;
                                  if (property.recorded && !failed(object.get(property.name, value)))
                                      row.set(property.name, std::move(value));
                              }
                              return rows.size() < count;
                          });
    if (failure) *failure = stopped;
    return rows;
}

}  // namespace moravel
