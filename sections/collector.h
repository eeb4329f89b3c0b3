// A sink that keeps every group and field in window order: the report prints from it, and tests
// compare whole texts with it.
#pragma once

#include <string>
#include <vector>

#include "sections/report_sink.h"

namespace moravel {

struct FieldRecord {
    std::string label;
    int x = 0, y = 0;
    std::string text;
};

struct GroupRecord {
    std::string label;
    int x = 0, y = 0, w = 0, h = 0;
    bool embossed = false;
    std::vector<FieldRecord> fields;
};

class ReportCollector : public ReportSink {
public:
    void beginGroup(const char* label, int x, int y, int w, int h, bool embossed) override;
    void addField(const char* label, int x, int y, const std::string& text) override;
    void endGroup() override;
    void progress(float fraction) override;

    std::vector<GroupRecord> groups;
    // Every call in order, for tests that check where progress points fall: "group System",
    // "field Type:", "progress 0.25", "end".
    std::vector<std::string> events;
};

}  // namespace moravel
