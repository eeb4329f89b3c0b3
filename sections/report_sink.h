// Where the sections put what they compose: the window builder and the report writers each
// implement this, so one code path fills both.
#pragma once

#include <string>

namespace moravel {

class ReportSink {
public:
    virtual ~ReportSink() = default;
    // A framed group in window coordinates; `embossed` for the one group drawn embossed.
    virtual void beginGroup(const char* label, int x, int y, int w, int h, bool embossed) = 0;
    // One read-only field at a cell of the field grid, holding its final text.
    virtual void addField(const char* label, int x, int y, const std::string& text) = 0;
    virtual void endGroup() = 0;
    // A progress point of the build (0.25, 0.5, 0.75, 1.0).
    virtual void progress(float fraction) = 0;
};

}  // namespace moravel
