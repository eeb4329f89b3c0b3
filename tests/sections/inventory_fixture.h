// Builds a machine's WMI answers object by object and runs a group over them, collecting its
// fields. Objects listed without a property answer that property with a failed Get.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/report_collector.h"
#include "query/wmi_value.h"

namespace moravel::testing {

using WmiObjectValues = std::map<std::string, WmiValue>;

struct Inventory {
    std::map<std::string, std::vector<WmiObjectValues>> classes;

    // Sets a string property of object `index` of `className`, creating the objects up to it.
    Inventory& set(const std::string& className, int index, const std::string& property,
                   const std::string& text) {
        return setValue(className, index, property, WmiValue::string(text));
    }
    Inventory& setValue(const std::string& className, int index, const std::string& property,
                        const WmiValue& value);
};

struct GroupRun {
    ReportCollector report;
    long queries = 0;
    // The text of field `label` in the one group run; fails the test when the field is missing.
    std::string text(const std::string& label) const;
    // The labels of the group's fields in order.
    std::vector<std::string> labels() const;
};

GroupRun runGroups(const Inventory& inventory, const std::function<void(ReportSink&)>& build);

}  // namespace moravel::testing
