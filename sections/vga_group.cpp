// The VGA group: one video controller, chosen in three passes over the first eight controllers
// (internal adapter, integrated converter, any other), with a note on the internal adapter when
// another one is shown. Every value is read before the first field is created.
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "sections/conversions.h"
#include "sections/section_support.h"
#include "sections/sections.h"

namespace moravel {
namespace {

const char* const kVideoController = "Win32_VideoController";
constexpr int kControllersExamined = 8;

// The texts of one controller, in slot order.
enum Slot {
    kName,
    kVideoProcessor,
    kMaxRefreshRate,
    kVideoModeDescription,
    kCurrentRefreshRate,
    kAdapterRam,
    kDriverVersion,
    kDriverDate,
    kAdapterDacType,
    kSlotCount
};
using AdapterRecord = std::array<std::string, kSlotCount>;

struct AdapterSelection {
    AdapterRecord mainAdapter;
    AdapterRecord internalAdapter;
    bool internalFound = false;
};

std::string readController(QueryContext& context, const char* property, int index) {
    return readProperty(context, kVideoController, property, index);
}

// The memory text of controller `index` when it is a candidate. Both values are always read.
std::optional<std::string> candidateMemory(QueryContext& context, int index) {
    std::string memory = readController(context, "AdapterRAM", index);
    const std::string name = readController(context, "Name", index);
    if (memory.empty() || name == "LogMeIn Mirror Driver") return std::nullopt;
    return memory;
}

bool isInternal(const std::string& dacType) {
    const std::vector<std::string> words = splitWords(dacType);
    return dacType == "Internal" || (!words.empty() && words.front() == "Internal");
}

// The memory text comes from the candidate test; it is not read again.
AdapterRecord readAdapter(QueryContext& context, int index, const std::string& memory) {
    AdapterRecord record;
    record[kName] = readController(context, "Name", index);
    record[kVideoProcessor] = readController(context, "VideoProcessor", index);
    record[kMaxRefreshRate] = readController(context, "MaxRefreshRate", index);
    record[kVideoModeDescription] = readController(context, "VideoModeDescription", index);
    record[kCurrentRefreshRate] = readController(context, "CurrentRefreshRate", index);
    record[kAdapterRam] = memory;
    record[kDriverVersion] = readController(context, "DriverVersion", index);
    record[kDriverDate] = readController(context, "DriverDate", index);
    record[kAdapterDacType] = readController(context, "AdapterDACType", index);
    return record;
}

// One pass: the first candidate whose converter type `accepts`, read into a record.
template <typename DacTest>
std::optional<AdapterRecord> firstMatch(QueryContext& context, DacTest accepts) {
    for (int index = 0; index < kControllersExamined; ++index) {
        const std::optional<std::string> memory = candidateMemory(context, index);
        if (!memory) continue;
        if (accepts(readController(context, "AdapterDACType", index))) return readAdapter(context, index, *memory);
    }
    return std::nullopt;
}

// Later passes override earlier ones.
AdapterSelection selectAdapter(QueryContext& context) {
    AdapterSelection selection;
    if (auto internal = firstMatch(context, isInternal)) {
        selection.internalAdapter = *internal;
        selection.mainAdapter = *internal;
        selection.internalFound = true;
    }
    if (auto integrated = firstMatch(context, [](const std::string& dac) { return dac == "Integrated RAMDAC"; }))
        selection.mainAdapter = *integrated;
    if (auto other =
            firstMatch(context, [](const std::string& dac) { return dac != "Integrated RAMDAC" && !isInternal(dac); }))
        selection.mainAdapter = *other;
    return selection;
}

bool hasValue(const std::string& text) { return !text.empty() && text != "Null"; }

std::string formatMegabytes(const std::string& bytes) { return decimal(scaledRound(bytes, kPerMebi)) + " MB"; }

std::string name(const AdapterRecord& adapter) { return orNone(adapter[kName]); }

std::string chipType(const AdapterRecord& adapter) {
    if (adapter[kVideoProcessor].empty()) return "None";
    std::string text = adapter[kVideoProcessor];
    if (hasValue(adapter[kMaxRefreshRate])) text += "  ( Max Refresh Rate: " + adapter[kMaxRefreshRate] + "Hertz )";
    return text;
}

std::string videoMode(const AdapterRecord& adapter) {
    if (adapter[kVideoModeDescription].empty()) return "None";
    std::string text = adapter[kVideoModeDescription];
    if (hasValue(adapter[kCurrentRefreshRate])) text += " ( " + adapter[kCurrentRefreshRate] + "Hertz )";
    return text;
}

std::string memory(const AdapterRecord& adapter) {
    return adapter[kAdapterRam].empty() ? "None" : formatMegabytes(adapter[kAdapterRam]);
}

// A date shorter than the eight digits of year, month and day has no date to show.
std::string driverVersion(const AdapterRecord& adapter) {
    if (adapter[kDriverVersion].empty()) return "None";
    std::string text = adapter[kDriverVersion];
    const std::string& date = adapter[kDriverDate];
    if (hasValue(date) && date.size() >= 8)
        text += " ( Date: " + date.substr(0, 4) + "-" + date.substr(4, 2) + "-" + date.substr(6, 2) + " )";
    return text;
}

std::string dacType(const AdapterSelection& selection) {
    const AdapterRecord& shown = selection.mainAdapter;
    const AdapterRecord& internal = selection.internalAdapter;
    if (shown[kAdapterDacType].empty()) return "None";
    std::string text = shown[kAdapterDacType];
    if (selection.internalFound && internal[kAdapterDacType] != shown[kAdapterDacType])
        text += " ( Internal VGA: " + internal[kName] + " - Memory: " + formatMegabytes(internal[kAdapterRam]) + " )";
    return text;
}

}  // namespace

void vgaGroup(QueryContext& context, ReportSink& sink) {
    sink.beginGroup("VGA", 10, 460, 705, 100, false);
    const AdapterSelection selection = selectAdapter(context);
    const AdapterRecord& shown = selection.mainAdapter;
    sink.addField("Name:", 115, 485, name(shown));
    sink.addField("Chip Type:", 460, 485, chipType(shown));
    sink.addField("Video Mode:", 115, 510, videoMode(shown));
    sink.addField("Memory:", 460, 510, memory(shown));
    sink.addField("Driver Version:", 115, 535, driverVersion(shown));
    sink.addField("DAC Type:", 460, 535, dacType(selection));
    sink.endGroup();
}

}  // namespace moravel
