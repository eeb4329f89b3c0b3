#include <algorithm>
#include <sstream>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "query/snapshot/snapshot_writer.h"
#include "query/wmi_classes.h"
#include "query/wmi_query.h"
#include "tests/support/fake_backend.h"
#include "tests/support/installed_backend.h"
#include "tests/support/scripted_provider.h"

using moravel::queryWmiText;
using moravel::selectAllFrom;
using moravel::WmiValue;
using moravel::testing::TestBackend;
using nlohmann::json;

namespace {

const char* const kMachine = R"({
  "classes": {
    "Win32_Processor": [
      { "Name": "Example CPU", "NumberOfCores": -1, "L2CacheSize": 4294967295, "L3CacheSize": null,
        "Description": true, "DataWidth": {"vt": 17, "value": 5}, "ProcessorId": "BFEB\u0000FBFF",
        "CurrentClockSpeed": {"vt": 19, "value": 4294967295}, "MaxClockSpeed": {"vt": 21, "value": 18446744073709551615},
        "Manufacturer": {"vt": 7, "value": 41234.5}, "NumberOfLogicalProcessors": {"vt": 0},
        "Family": "not read by any group" },
      { "Name": "Second CPU", "Description": {"vt": 8} }
    ],
    "Win32_NetworkAdapterConfiguration": [
      { "MACAddress": ["00:1A:2B:3C:4D:5E"] }, { "MACAddress": {"vt": 8195, "value": [1, 2]} },
      { "MACAddress": {"vt": 2, "value": -3} }, { "MACAddress": {"vt": 16, "value": -4} },
      { "MACAddress": {"vt": 18, "value": 65535} }, { "MACAddress": {"vt": 20, "value": -5} },
      { "MACAddress": {"vt": 5, "value": 2.5} }, { "MACAddress": {"vt": 1} } ],
    "Win32_Battery": [],
    "Win32_LogicalDisk": [ {"DriveType": 3, "DeviceID": "C:", "FreeSpace": "1073741824"}, {"DriveType": 5} ]
  },
  "memoryStatus": { "memoryLoad": 45, "availPhys": "2147483648" },
  "adapters": [ "00-1A-2B-3C-4D-5E", "0A:0B:0C:0D:0E:0F:00:00" ],
  "osVersion": { "major": 6, "minor": 2 },
  "failures": {
    "SELECT * FROM Win32_BIOS": { "step": "ExecQuery", "code": "0x80041017" },
    "SELECT * FROM Win32_Printer": { "step": "CoInitializeEx", "code": "0x8007000e" },
    "SELECT * FROM Win32_SoundDevice": { "step": "ConnectServer", "code": "0x80041003" }
  }
})";

std::string written(moravel::WmiProvider* provider, moravel::SystemProbes* probes) {
    std::ostringstream out;
    moravel::writeSnapshot(provider, probes, out);
    return out.str();
}

// Every answer the groups could ask for: each property of the table for objects 0 to 9, with
// the diagnostic lines each one wrote, then the probe texts.
std::vector<std::string> everyAnswer(TestBackend& backend) {
    std::vector<std::string> answers;
    for (const moravel::WmiClass& recorded : moravel::wmiClasses())
        for (const moravel::WmiProperty& property : recorded.properties)
            for (int index = 0; index < 10 && property.recorded; ++index) {
                std::string text = queryWmiText(backend.context(), index, selectAllFrom(recorded.name), property.name);
                answers.push_back(text + "|" + backend.takeLines());
            }
    moravel::MemoryTexts memory = moravel::readMemoryStatus(backend.probes());
    answers.push_back(memory.available + "|" + memory.load + "|" + moravel::readAdapterAddress(backend.probes()));
    std::optional<moravel::OsVersion> version = backend.probes()->osVersion();
    answers.push_back(version ? std::to_string(version->major) + "." + std::to_string(version->minor) : "none");
    return answers;
}

TEST(SnapshotWriter, ASnapshotWrittenFromASnapshotAnswersTheSame) {
    std::vector<std::string> original, copy;
    std::string text;
    {
        auto backend = TestBackend::fromJson(kMachine);
        original = everyAnswer(backend);
        text = written(backend.provider(), backend.probes());
        EXPECT_EQ(backend.takeLines(), "");  // recording goes around the query layer's lines
    }
    {
        auto backend = TestBackend::fromJson(text);
        copy = everyAnswer(backend);
    }
    EXPECT_EQ(copy, original);
    // The comparison covered real values, lines and failures, not only empty texts.
    auto has = [&](const std::string& answer) {
        return std::find(original.begin(), original.end(), answer) != original.end();
    };
    EXPECT_TRUE(has("Example CPU|"));
    EXPECT_TRUE(has("4294967295|"));
    EXPECT_TRUE(has("|VT_UI1: 5\n"));
    EXPECT_TRUE(has("|Query for operating system name failed. Error code = 0x80041017\n"));
    EXPECT_TRUE(has("|Failed to initialize COM library. Error code = 0x8007000e\n"));
    EXPECT_TRUE(has("2048 MB|45%|0A-0B-0C-0D-0E-0F"));
    EXPECT_TRUE(has("6.2"));
}

TEST(SnapshotWriter, KeepsEveryTypeInItsOwnForm) {
    auto backend = TestBackend::fromJson(kMachine);
    json document = json::parse(written(backend.provider(), backend.probes()));
    const json& cpu = document["classes"]["Win32_Processor"][0];
    EXPECT_EQ(cpu["Name"], "Example CPU");
    EXPECT_EQ(cpu["NumberOfCores"], 4294967295u);
    EXPECT_EQ(cpu["L2CacheSize"], 4294967295u);
    EXPECT_TRUE(cpu["L3CacheSize"].is_null());
    EXPECT_EQ(cpu["Description"], true);
    EXPECT_EQ(cpu["DataWidth"], json::parse(R"({"vt": 17, "value": 5})"));
    EXPECT_EQ(cpu["ProcessorId"], "BFEB");
    EXPECT_EQ(cpu["CurrentClockSpeed"], json::parse(R"({"vt": 19, "value": -1})"));
    EXPECT_EQ(cpu["MaxClockSpeed"], json::parse(R"({"vt": 21, "value": 18446744073709551615})"));
    EXPECT_EQ(cpu["Manufacturer"], json::parse(R"({"vt": 7})"));
    EXPECT_EQ(cpu["NumberOfLogicalProcessors"], json::parse(R"({"vt": 0})"));
    EXPECT_FALSE(cpu.contains("Family"));  // no group reads it
    const json& second = document["classes"]["Win32_Processor"][1];
    EXPECT_EQ(second, json::parse(R"({"Name": "Second CPU", "Description": {"vt": 8}})"));
    EXPECT_EQ(document["classes"]["Win32_NetworkAdapterConfiguration"],
              json::parse(R"([{"MACAddress": ["00:1A:2B:3C:4D:5E"]}, {"MACAddress": {"vt": 8195, "value": [1, 2]}},
                              {"MACAddress": {"vt": 2, "value": -3}}, {"MACAddress": {"vt": 16, "value": -4}},
                              {"MACAddress": {"vt": 18, "value": 65535}}, {"MACAddress": {"vt": 20, "value": -5}},
                              {"MACAddress": {"vt": 5}}, {"MACAddress": null}])"));
    EXPECT_EQ(document["classes"]["Win32_Battery"], json::array());
    EXPECT_EQ(document["classes"]["Win32_MemoryArray"], json::array());  // a class the file lacks has none
    EXPECT_EQ(document["classes"].size(),
              moravel::recordedClasses().size() - 3);  // every class less the three that fail
    EXPECT_FALSE(document["classes"].contains("Win32_BIOS"));
    EXPECT_EQ(document["failures"], json::parse(R"({
        "SELECT * FROM Win32_BIOS": {"step": "ExecQuery", "code": "0x80041017"},
        "SELECT * FROM Win32_Printer": {"step": "CoInitializeEx", "code": "0x8007000E"},
        "SELECT * FROM Win32_SoundDevice": {"step": "ConnectServer", "code": "0x80041003"}})"));
    EXPECT_EQ(document["memoryStatus"], json::parse(R"({"memoryLoad": 45, "availPhys": 2147483648})"));
    EXPECT_EQ(document["adapters"], json::parse(R"(["00-1A-2B-3C-4D-5E", "0A-0B-0C-0D-0E-0F"])"));
    EXPECT_EQ(document["osVersion"], json::parse(R"({"major": 6, "minor": 2})"));
}

TEST(SnapshotWriter, KeepsTheComputerNameOfAMachineWithoutAnOpticalDrive) {
    std::string text;
    {
        auto backend = TestBackend::fromJson(R"({"classes": {"Win32_ComputerSystem": [{"Name": "DESK-7"}]}})");
        text = written(backend.provider(), backend.probes());
    }
    auto backend = TestBackend::fromJson(text);
    EXPECT_EQ(queryWmiText(backend.context(), 0, "SELECT * FROM Win32_ComputerSystem", "Name"), "DESK-7");
}

TEST(SnapshotWriter, LeavesOutWhatTheProbesCannotTell) {
    moravel::testing::FakeProbes probes;
    probes.readable = false;
    json document = json::parse(written(nullptr, &probes));
    EXPECT_EQ(document, json::parse(R"({"classes": {}, "adapters": []})"));
}

class WriterCycles : public ::testing::Test {
protected:
    void SetUp() override { probes.memory = {250, 5}; }  // a load above 100 % is written as 100 %
    moravel::testing::ScriptedProvider provider;
    moravel::testing::FakeProbes probes;
};

TEST_F(WriterCycles, EachClassIsOneBalancedCycle) {
    provider.script.objects = {{{"Name", WmiValue::string("a\xE9")}}, {}};
    provider.script.initialize = moravel::kChangedMode;
    json document = json::parse(written(&provider, &probes));
    std::vector<std::string> log = provider.takeLog();
    const long classes = static_cast<long>(moravel::recordedClasses().size());
    EXPECT_EQ(std::count(log.begin(), log.end(), "CoInitializeEx"), classes);
    EXPECT_EQ(std::count(log.begin(), log.end(), "CoUninitialize"), classes);
    EXPECT_EQ(std::count(log.begin(), log.end(), "release enumerator"), classes);
    EXPECT_EQ(provider.liveObjects(), 0);
    const std::vector<std::string> ending = {"Next: none", "release services", "release locator", "release enumerator",
                                             "CoUninitialize"};
    EXPECT_TRUE(std::equal(ending.rbegin(), ending.rend(), log.rbegin()));
    // A text that is not UTF-8 is written with a replacement character instead of failing.
    EXPECT_EQ(document["classes"]["Win32_Processor"], json::parse(R"([{"Name": "a\ufffd"}, {}])"));
    EXPECT_EQ(document["classes"]["Win32_MemoryArray"], json::parse(R"([{}, {}])"));
    EXPECT_EQ(document["memoryStatus"], json::parse(R"({"memoryLoad": 100, "availPhys": 5})"));
    EXPECT_FALSE(document.contains("osVersion"));
}

TEST_F(WriterCycles, AFailingStepIsRecordedForEveryClassItStrikes) {
    provider.script.connect = static_cast<moravel::HResult>(0x80041003u);
    json document = json::parse(written(&provider, &probes));
    EXPECT_EQ(document["classes"], json::object());
    ASSERT_EQ(document["failures"].size(), moravel::recordedClasses().size());
    EXPECT_EQ(document["failures"]["SELECT * FROM Win32_DiskDrive"],
              json::parse(R"({"step": "ConnectServer", "code": "0x80041003"})"));
    EXPECT_EQ(provider.liveObjects(), 0);
    std::vector<std::string> log = provider.takeLog();
    EXPECT_EQ(std::count(log.begin(), log.end(), "CoUninitialize"),
              static_cast<long>(moravel::recordedClasses().size()));

    provider.script.connect = moravel::kOk;
    provider.script.initialize = moravel::kFailed;
    document = json::parse(written(&provider, &probes));
    EXPECT_EQ(document["failures"]["SELECT * FROM Win32_Battery"],
              json::parse(R"({"step": "CoInitializeEx", "code": "0x80004005"})"));
    log = provider.takeLog();
    EXPECT_EQ(std::count(log.begin(), log.end(), "CoUninitialize"), 0);
}

}  // namespace
