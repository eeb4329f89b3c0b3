// The CPU group: the first processor's name, cores and caches, clocks, family, maker and
// identifier. A second processor package is never read.
#include "sections/section_support.h"
#include "sections/sections.h"

namespace moravel {
namespace {

const char* const kProcessor = "Win32_Processor";

std::string readProcessor(QueryContext& context, const char* property) {
    return readProperty(context, kProcessor, property);
}

// Inside the one-line summary a missing number reads as 0; "Null" stays as it is.
std::string orZero(const std::string& text) { return text.empty() ? "0" : text; }

std::string processor(QueryContext& context) { return orNone(readProcessor(context, "Name")); }

std::string specText(QueryContext& context) {
    const std::string cores = orZero(readProcessor(context, "NumberOfCores"));
    const std::string logical = orZero(readProcessor(context, "NumberOfLogicalProcessors"));
    const std::string l2 = orZero(readProcessor(context, "L2CacheSize"));
    const std::string l3 = orZero(readProcessor(context, "L3CacheSize"));
    return "Cores: " + cores + "  Processors: " + logical + "  L2Cache: " + l2 + "KB" + "  L3Cache: " + l3 + "KB";
}

std::string clock(QueryContext& context) {
    const std::string current = readProcessor(context, "CurrentClockSpeed");
    if (current.empty()) return "None";
    std::string text = current + " MHz";
    const std::string maximum = readProcessor(context, "MaxClockSpeed");
    if (!maximum.empty()) text += "   ( Max Clock: " + maximum + " MHz )";
    return text;
}

std::string family(QueryContext& context) {
    const std::string description = readProcessor(context, "Description");
    if (description.size() <= 3) return "None";
    const std::string width = readProcessor(context, "DataWidth");
    if (width.empty()) return description;
    return description + " ( " + width + " Bits )";
}

std::string manufacturer(QueryContext& context) { return orNone(readProcessor(context, "Manufacturer")); }

std::string uniqueId(QueryContext& context) { return orNone(readProcessor(context, "ProcessorId")); }

}  // namespace

void cpuGroup(QueryContext& context, ReportSink& sink) {
    sink.beginGroup("CPU", 10, 275, 705, 100, false);
    sink.addField("Processor:", 115, 300, processor(context));
    sink.addField("Spec:", 460, 300, specText(context));
    sink.progress(0.5f);
    sink.addField("Clock:", 115, 325, clock(context));
    sink.addField("Family:", 460, 325, family(context));
    sink.addField("Manufacturer:", 115, 350, manufacturer(context));
    sink.progress(0.75f);
    sink.addField("Unique ID:", 460, 350, uniqueId(context));
    sink.endGroup();
}

}  // namespace moravel
