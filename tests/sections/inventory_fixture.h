// Describes a machine object by object, writes it as a snapshot document and runs groups over
// the snapshot backend, collecting their fields. Objects listed without a property do not have
// that property; objects never mentioned do not exist.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "app/report_collector.h"

namespace moravel::testing {

struct Inventory {
    // Sets a string property of object `index` of `className`, creating the objects up to it.
    Inventory& set(const std::string& className, int index, const std::string& property,
                   const std::string& text);
    // An integer property as WMI types uint16 and uint32 values.
    Inventory& setNumber(const std::string& className, int index, const std::string& property,
                         long long value);
    // A property without a value.
    Inventory& setNull(const std::string& className, int index, const std::string& property);

    std::string snapshotJson() const;

private:
    nlohmann::json& object(const std::string& className, int index);
    std::map<std::string, std::vector<nlohmann::json>> classes_;
};

struct InventoryRun {
    ReportCollector report;
    long queries = 0;
    // The text of field `label`; fails the test when the groups made no such field.
    std::string text(const std::string& label) const;
    // The labels of the fields in order.
    std::vector<std::string> labels() const;
};

InventoryRun runInventory(const Inventory& inventory, const std::function<void(ReportSink&)>& build);

}  // namespace moravel::testing
