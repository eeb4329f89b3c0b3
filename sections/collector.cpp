#include "sections/collector.h"

#include <sstream>

namespace moravel {

void ReportCollector::beginGroup(const char* label, int x, int y, int w, int h, bool embossed) {
    groups.push_back({label, x, y, w, h, embossed, {}});
    events.push_back(std::string("group ") + label);
}

void ReportCollector::addField(const char* label, int x, int y, const std::string& text) {
    if (!groups.empty()) groups.back().fields.push_back({label, x, y, text});
    events.push_back(std::string("field ") + label);
}

void ReportCollector::endGroup() { events.push_back("end"); }

void ReportCollector::progress(float fraction) {
    std::ostringstream text;
    text << "progress " << fraction;
    events.push_back(text.str());
}

}  // namespace moravel
