// Redaction over whole recorded machines, through moravel-report as a user runs it, and the
// recording the window composes its hidden report from.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>

#include <nlohmann/json.hpp>

#include "cli/run.h"
#include "query/backend.h"
#include "query/snapshot/snapshot_data.h"
#include "query/snapshot/snapshot_provider.h"
#include "query/views/recording.h"
#include "query/views/redaction.h"
#include "query/wmi_query.h"
#include "sections/collector.h"
#include "sections/sections.h"

namespace moravel {
namespace {

using Json = nlohmann::json;

std::string dataFile(const std::string& name) { return std::string(MORAVEL_SOURCE_DIR) + "/tests/data/" + name; }

std::string readFile(const std::string& path) {
    std::ostringstream text;
    text << std::ifstream(path).rdbuf();
    return text.str();
}

std::string run(std::vector<std::string> arguments, std::string* err = nullptr) {
    std::ostringstream out, errors;
    EXPECT_EQ(runReport(arguments, out, errors), 0) << errors.str();
    if (err) *err = errors.str();
    return out.str();
}

// Every value of the machine that names it, its owner or its parts, as the snapshot holds it.
std::vector<std::string> identifyingValues(const Json& snapshot) {
    const std::vector<std::pair<const char*, const char*>> sources = {
        {"Win32_CDROMDrive", "SystemName"},        {"Win32_ComputerSystem", "PrimaryOwnerName"},
        {"Win32_ComputerSystem", "Domain"},        {"Win32_NetworkAdapterConfiguration", "MACAddress"},
        {"Win32_BaseBoard", "SerialNumber"},       {"Win32_PhysicalMedia", "SerialNumber"},
        {"Win32_OperatingSystem", "SerialNumber"}, {"Win32_Battery", "DeviceID"}};
    std::vector<std::string> values;
    for (const auto& [name, property] : sources)
        for (const Json& object : snapshot["classes"].value(name, Json::array()))
            if (object.contains(property) && object[property].is_string()) values.push_back(object[property]);
    for (const Json& address : snapshot.value("adapters", Json::array())) values.push_back(address);
    return values;
}

std::map<std::string, std::string> fieldTexts(const std::string& jsonReport) {
    std::map<std::string, std::string> texts;
    const Json report = Json::parse(jsonReport);
    for (const Json& group : report["groups"])
        for (const Json& field : group["fields"]) texts[field["label"]] = field["text"];
    return texts;
}

std::string queriesOf(const std::string& statsLine) { return statsLine.substr(0, statsLine.find(',')); }

TEST(Redaction, IdentifyingValuesLeaveEveryOutputAndNothingElseChanges) {
    const std::set<std::string> changing = {"Computer Name:",     "Domain:",         "MAC Address:", "Product ID:",
                                            "Unique Serial No.:", "HDD Serial No.:", "USB Drive:",   "Battery:"};
    for (const char* machine : {"desktop.json", "laptop.json"}) {
        const std::string file = dataFile(machine), saved = ::testing::TempDir() + "redacted-" + machine;
        std::string plainStats, hiddenStats;
        const std::string plainJson = run({"--json", "--stats", "--snapshot", file}, &plainStats);
        const std::string hiddenJson = run({"--json", "--stats", "--redact", "--snapshot", file}, &hiddenStats);
        const std::string hiddenText = run({"--redact", "--snapshot", file});
        run({"--redact", "--snapshot", file, "--save-snapshot", saved});
        const std::string hiddenSnapshot = readFile(saved);

        for (const std::string& value : identifyingValues(Json::parse(readFile(file)))) {
            if (value.size() < 4) continue;
            for (const std::string* output : {&hiddenJson, &hiddenText, &hiddenSnapshot})
                EXPECT_EQ(output->find(value), std::string::npos) << machine << ": " << value;
        }
        std::map<std::string, std::string> plain = fieldTexts(plainJson), hidden = fieldTexts(hiddenJson);
        ASSERT_EQ(plain.size(), hidden.size());
        for (const auto& [label, text] : plain)
            if (!changing.count(label)) {
                EXPECT_EQ(hidden[label], text) << machine << ": " << label;
            }
        EXPECT_EQ(queriesOf(hiddenStats), queriesOf(plainStats)) << machine;
        EXPECT_EQ(run({"--snapshot", saved}), hiddenText) << machine << ": the hidden snapshot replays otherwise";
        std::remove(saved.c_str());
    }
}

TEST(Redaction, AddressesKeepTheirFormAndEmptyOrValuelessAnswersStay) {
    EXPECT_EQ(redactedValue("Win32_NetworkAdapterConfiguration", "MACAddress", WmiValue::string("00-1a-2B:3c")).text,
              "XX-XX-XX:XX");
    EXPECT_EQ(redactedValue("win32_baseboard", "serialNUMBER", WmiValue::string("M80")).text, "(hidden)");
    EXPECT_EQ(redactedValue("Win32_Battery", "DeviceID", WmiValue::i4(7)).text, "(hidden)");
    EXPECT_EQ(redactedValue("Win32_Processor", "SystemName", WmiValue::string("DESK-7")).text, "(hidden)");
    EXPECT_EQ(redactedValue("Win32_BaseBoard", "SerialNumber", WmiValue::null()).type, vt::Null);
    EXPECT_EQ(redactedValue("Win32_BaseBoard", "SerialNumber", WmiValue::string("")).text, "");
    EXPECT_EQ(redactedValue("Win32_NetworkAdapter", "Name", WmiValue::string("Intel 82579LM")).text, "Intel 82579LM");
}

// The inventory's serial numbers: of modules and batteries, inside device paths, as character codes.
TEST(Redaction, InventorySerialsInEveryForm) {
    EXPECT_EQ(redactedValue("Win32_PhysicalMemory", "SerialNumber", WmiValue::string("47A1C2D3")).text, "(hidden)");
    EXPECT_EQ(redactedValue("Win32_PnPEntity", "DeviceID", WmiValue::string("USB\\VID_0781&PID_5581\\4C530001")).text,
              "USB\\VID_0781&PID_5581\\(hidden)");
    WmiValue codes = redactedValue("WmiMonitorID", "SerialNumberID",
                                   WmiValue::array(vt::I4, {"55", "88", "74", "0", "0", "0", "0", "0", "0"}));
    EXPECT_EQ(codes.items, (std::vector<std::string>{"40", "104", "105", "100", "100", "101", "110", "41", "0"}));
    WmiValue none = redactedValue("WmiMonitorID", "SerialNumberID", WmiValue::array(vt::I4, {"0", "0"}));
    EXPECT_EQ(none.items, (std::vector<std::string>{"0", "0"}));  // no serial: nothing to hide
}

// Without an Ethernet adapter the address comes from the adapter list, hidden the same way,
// and a saved snapshot keeps it hidden.
TEST(Redaction, TheAdapterListProbeIsHiddenToo) {
    const std::string file = ::testing::TempDir() + "adapters.json",
                      saved = ::testing::TempDir() + "adapters-saved.json";
    std::ofstream(file) << R"({"classes": {}, "adapters": ["00-1A-2B-3C-4D-5E", "0A-0B-0C-0D-0E-0F"]})";
    EXPECT_NE(run({"--snapshot", file}).find("MAC Address:       0A-0B-0C-0D-0E-0F\n"), std::string::npos);
    const std::string hidden = run({"--redact", "--snapshot", file});
    EXPECT_NE(hidden.find("MAC Address:       XX-XX-XX-XX-XX-XX\n"), std::string::npos) << hidden;
    run({"--redact", "--snapshot", file, "--save-snapshot", saved});
    EXPECT_EQ(run({"--snapshot", saved}), hidden);
    std::remove(file.c_str());
    std::remove(saved.c_str());
}

// A redacted snapshot says so, and neither an inventory nor a submission is made from it: a
// server would take every machine with serial numbers "(hidden)" for one. A file saved before
// snapshots said so is known by its hidden values.
TEST(Redaction, ARedactedSnapshotIsNoInventory) {
    const std::string saved = ::testing::TempDir() + "redacted.json", older = ::testing::TempDir() + "older.json";
    run({"--redact", "--snapshot", dataFile("workstation.json"), "--save-snapshot", saved});
    Json document = Json::parse(readFile(saved));
    EXPECT_EQ(document["redacted"], true);
    run({"--snapshot", dataFile("workstation.json"), "--save-snapshot", older});
    EXPECT_FALSE(Json::parse(readFile(older)).contains("redacted"));
    document.erase("redacted");
    document.erase("adapters");
    std::ofstream(older) << document.dump();
    for (const std::string& file : {saved, older})
        for (const std::vector<std::string>& use :
             {std::vector<std::string>{"--inventory", "glpi"}, {"--submit", "http://127.0.0.1:9/ocsinventory"}}) {
            std::vector<std::string> arguments = {"--snapshot", file};
            arguments.insert(arguments.end(), use.begin(), use.end());
            std::ostringstream out, err;
            EXPECT_EQ(runReport(arguments, out, err), 2) << file << " " << use[0];
            EXPECT_EQ(err.str(), "moravel-report: a redacted snapshot cannot identify a machine: '" + use[0] +
                                     "' needs one saved without '--redact'\n");
            EXPECT_EQ(out.str(), "");
        }
    std::string err;
    EXPECT_NE(run({"--snapshot", dataFile("workstation.json"), "--inventory", "ocs"}, &err), "");
    std::remove(saved.c_str());
    std::remove(older.c_str());
}

// What the window keeps while it is built gives the same report, diagnostics and query count
// when played back, staged failures included.
TEST(Recording, PlaysBackAsTheMachineAnswered) {
    for (const char* machine : {"desktop.json", "snapshot_example.json"}) {
        Backend live = makeSnapshotBackend(dataFile(machine));
        auto record = std::make_shared<SnapshotData>();
        auto build = [](Backend backend, long& queries, std::string& diagnostics) {
            std::ostringstream lines;
            QueryContext context = backend.context(&lines);
            ReportCollector report;
            buildAllGroups(context, report);
            queries = context.queries;
            diagnostics = lines.str();
            std::ostringstream text;
            for (const GroupRecord& group : report.groups)
                for (const FieldRecord& field : group.fields) text << field.label << field.text << '\n';
            return text.str();
        };
        long firstQueries = 0, againQueries = 0;
        std::string firstLines, againLines;
        const std::string first =
            build(makeRecordingView(*live.provider, *live.probes, record), firstQueries, firstLines);
        const std::string again = build(makeSnapshotBackend(*record), againQueries, againLines);
        EXPECT_EQ(again, first) << machine;
        EXPECT_EQ(againQueries, firstQueries) << machine;
        EXPECT_EQ(againLines, firstLines) << machine;
    }
}

// A read at any index costs one object through every view: the objects before it are stepped
// over by the snapshot below, which jumps, instead of being walked through the views one by one.
TEST(Views, ReadsStepOverObjectsBelowEveryView) {
    std::string objects;
    for (int i = 0; i < 1000; ++i)
        objects += (i ? "," : "") + std::string(R"({"SerialNumber": "S)") + std::to_string(i) + "\"}";
    Backend file = makeSnapshotBackendFromJson(R"({"classes": {"Win32_BaseBoard": [)" + objects + "]}}", "m.json");
    auto record = std::make_shared<SnapshotData>();
    Backend recording = makeRecordingView(*file.provider, *file.probes, record);
    Backend redacted = makeRedactedView(*recording.provider, *recording.probes);
    QueryContext context = redacted.context();
    EXPECT_EQ(queryWmiText(context, 999, "SELECT * FROM Win32_BaseBoard", "SerialNumber"), "(hidden)");
    EXPECT_EQ(queryWmiText(context, 1000, "SELECT * FROM Win32_BaseBoard", "SerialNumber"), "");
    const std::vector<SnapshotObject>& kept = record->classes["Win32_BaseBoard"];
    ASSERT_EQ(kept.size(), 1000u);
    EXPECT_EQ(kept[999].at("SerialNumber").text, "S999");
    EXPECT_TRUE(kept[0].empty()) << "object 0 was walked through the views";
}

// A class read by its own query with its condition (local accounts only) is kept under the class,
// so the snapshot answers that query again; the same class under another condition is not kept.
TEST(Views, RecordingKeepsAClassReadByItsOwnConditionalQuery) {
    Backend file = makeSnapshotBackendFromJson(
        R"({"classes": {"Win32_UserAccount": [{"Name": "alice", "LocalAccount": true}]}})", "m.json");
    auto record = std::make_shared<SnapshotData>();
    Backend recording = makeRecordingView(*file.provider, *file.probes, record);
    QueryContext context = recording.context();
    EXPECT_EQ(queryWmiText(context, 0, "SELECT * FROM Win32_UserAccount WHERE LocalAccount = TRUE", "Name"), "alice");
    ASSERT_EQ(record->classes["Win32_UserAccount"].size(), 1u);
    EXPECT_EQ(record->classes["Win32_UserAccount"][0].at("Name").text, "alice");

    auto other = std::make_shared<SnapshotData>();
    Backend otherRecording = makeRecordingView(*file.provider, *file.probes, other);
    QueryContext otherContext = otherRecording.context();
    queryWmiText(otherContext, 0, "SELECT * FROM Win32_UserAccount WHERE Disabled = FALSE", "Name");
    EXPECT_EQ(other->classes.count("Win32_UserAccount"), 0u);
}

}  // namespace
}  // namespace moravel
