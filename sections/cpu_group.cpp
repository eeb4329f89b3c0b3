// The CPU group: the first processor's name, cores and caches, clocks, family, maker and
// identifier. A second processor package is never read.
#include "sections/section_support.h"
#include "sections/sections.h"

namespace moravel {
namespace {

const char* const kProcessor = "Win32_Processor";

std::string readProcessor(const char* property) { return readProperty(kProcessor, property); }

// Inside the one-line summary a missing number reads as 0; "Null" stays as it is.
std::string orZero(const std::string& text) { return text.empty() ? "0" : text; }

std::string processor() { return orNone(readProcessor("Name")); }

std::string specText() {
    const std::string cores = orZero(readProcessor("NumberOfCores"));
    const std::string logical = orZero(readProcessor("NumberOfLogicalProcessors"));
    const std::string l2 = orZero(readProcessor("L2CacheSize"));
    const std::string l3 = orZero(readProcessor("L3CacheSize"));
    return "Cores: " + cores + "  Processors: " + logical + "  L2Cache: " + l2 + "KB" + "  L3Cache: " + l3 + "KB";
}

std::string clock() {
    const std::string current = readProcessor("CurrentClockSpeed");
    if (current.empty()) return "None";
    std::string text = current + " MHz";
    const std::string maximum = readProcessor("MaxClockSpeed");
    if (!maximum.empty()) text += "   ( Max Clock: " + maximum + " MHz )";
    return text;
}

std::string family() {
    const std::string description = readProcessor("Description");
    if (description.size() <= 3) return "None";
    const std::string width = readProcessor("DataWidth");
    if (width.empty()) return description;
    return description + " ( " + width + " Bits )";
}

std::string manufacturer() { return orNone(readProcessor("Manufacturer")); }

std::string uniqueId() { return orNone(readProcessor("ProcessorId")); }

}  // namespace

void cpuGroup(ReportSink& sink) {
    sink.beginGroup("CPU", 10, 275, 705, 100, false);
    sink.addField("Processor:", 115, 300, processor());
    sink.addField("Spec:", 460, 300, specText());
    sink.progress(0.5f);
    sink.addField("Clock:", 115, 325, clock());
    sink.addField("Family:", 460, 325, family());
    sink.addField("Manufacturer:", 115, 350, manufacturer());
    sink.progress(0.75f);
    sink.addField("Unique ID:", 460, 350, uniqueId());
    sink.endGroup();
}

}  // namespace moravel
