#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "providers/backends.h"
#include "query/snapshot/snapshot_data.h"

#include <gtest/gtest.h>

#include "query/backend.h"
#include "query/probes.h"
#include "query/snapshot/snapshot_provider.h"
#include "query/wmi_query.h"
#include "tests/support/installed_backend.h"

using moravel::queryWmiText;
using moravel::testing::TestBackend;

namespace {

// One object of class Win32_Test holding `properties` (a JSON object body).
std::string oneObject(const std::string& properties, const std::string& extra = "") {
    return R"({"classes": {"Win32_Test": [{)" + properties + "}]}" + extra + "}";
}

std::string testValue(TestBackend& backend, const std::string& property) {
    return queryWmiText(backend.context(), 0, "SELECT * FROM Win32_Test", property);
}

struct ValueCase {
    const char* json;
    const char* text;
    const char* line;
};

TEST(SnapshotValues, EachFormGivesTheTextOfItsType) {
    const ValueCase cases[] = {
        {R"("Example CPU")", "Example CPU", ""},
        {R"("Ab\u0000cd")", "Ab", ""},
        {R"("")", "", ""},
        {"4", "4", ""},
        {"0", "0", ""},
        {"-1", "4294967295", ""},
        {"4294967295", "4294967295", ""},
        {"-2147483648", "2147483648", ""},
        {"null", "Null", ""},
        {"true", "VT_BOOL!", ""},
        {"false", "VT_BOOL!", ""},
        {"[]", "", ""},
        {R"(["192.168.1.2", "fe80::1"])", "", ""},
        {R"({"vt": 0})", "Empty", ""},
        {R"({"vt": 1})", "Null", ""},
        {R"({"vt": 3, "value": -5})", "4294967291", ""},
        {R"({"vt": 7, "value": 45000.25})", "DATE is not available!", ""},
        {R"({"vt": 8, "value": "Acme"})", "Acme", ""},
        {R"({"vt": 8, "value": null})", "", ""},
        {R"({"vt": 8})", "", ""},
        {R"({"vt": 11, "value": false})", "VT_BOOL!", ""},
        {R"({"vt": 5, "value": 1.5})", "", ""},
        {R"({"vt": 8200, "value": ["a"]})", "", ""},
        {R"({"vt": 8195})", "", ""},
        {R"({"vt": 2, "value": -3})", "", "VT_I2: -3\n"},
        {R"({"vt": 16, "value": 65})", "", "VT_I1: 65\n"},
        {R"({"vt": 17, "value": 5})", "", "VT_UI1: 5\n"},
        {R"({"vt": 18, "value": 65535})", "", "VT_UI2: 65535\n"},
        {R"({"vt": 19, "value": 4294967295})", "", "VT_UI4: -1\n"},
        {R"({"vt": 20, "value": -9223372036854775808})", "", "VT_I8: 0\n"},
        {R"({"vt": 21, "value": 18446744073709551615})", "", "VT_UI8: -1\n"},
        {R"({"vt": 21, "value": 4294967301})", "", "VT_UI8: 5\n"},
        // Written with a fraction or an exponent: read exactly, as long as a double holds it.
        {"1.5e3", "1500", ""},
        {"-0.0e-9", "0", ""},
        {R"({"vt": 21, "value": 9007199254740994.0})", "", "VT_UI8: 2\n"},
        {R"({"vt": 20, "value": -92233720368547758.08e2})", "", "VT_I8: 0\n"},
        {R"({"vt": 5, "value": 1.7976931348623157e308})", "", ""},
    };
    for (const ValueCase& c : cases) {
        SCOPED_TRACE(c.json);
        auto backend = TestBackend::fromJson(oneObject(std::string(R"("P": )") + c.json));
        EXPECT_EQ(testValue(backend, "P"), c.text);
        EXPECT_EQ(backend.takeLines(), c.line);
    }
}

TEST(SnapshotValues, MinusOneAndItsUnsignedPatternAreOneValue) {
    auto backend = TestBackend::fromJson(oneObject(R"("A": -1, "B": 4294967295)"));
    EXPECT_EQ(testValue(backend, "A"), testValue(backend, "B"));
}

TEST(SnapshotObjects, KeepFileOrderAndAnswerOnlyWhatTheyHold) {
    auto backend = TestBackend::fromJson(R"({"classes": {
        "Win32_DiskDrive": [ {"Caption": "first", "Size": "100"}, {"Size": "200"}, {"Caption": "third"} ],
        "Win32_Battery": [] }})");
    const std::string disks = "SELECT * FROM Win32_DiskDrive";
    EXPECT_EQ(queryWmiText(backend.context(), 0, disks, "Caption"), "first");
    EXPECT_EQ(queryWmiText(backend.context(), 1, disks, "Size"), "200");
    EXPECT_EQ(queryWmiText(backend.context(), 2, disks, "Caption"), "third");
    // The second object lacks Caption: it still counts, and reading it gives empty text.
    EXPECT_EQ(queryWmiText(backend.context(), 1, disks, "Caption"), "");
    EXPECT_EQ(queryWmiText(backend.context(), 3, disks, "Caption"), "");
    EXPECT_EQ(queryWmiText(backend.context(), 0, "select  *  from win32_diskdrive", "caption"),
              "first");  // WMI ignores case
    EXPECT_EQ(queryWmiText(backend.context(), 0, "SELECT * FROM Win32_Battery", "Name"), "");
    EXPECT_EQ(queryWmiText(backend.context(), 0, "SELECT * FROM Win32_Printer", "Name"), "");
    EXPECT_EQ(backend.takeLines(), "");
}

TEST(SnapshotObjects, OnlyWholeClassQueriesAreUnderstood) {
    auto backend = TestBackend::fromJson(oneObject(R"("P": "x")"));
    EXPECT_EQ(testValue(backend, "P"), "x");
    EXPECT_EQ(backend.takeLines(), "");
    const char* rejected[] = {"SELECT Name FROM Win32_Test", "SELECT * FROM Win32_Test WHERE P = 'x'", "SELECT * FROM ",
                              "SELECT * FROM Win32_Test;"};
    for (const char* query : rejected) {
        SCOPED_TRACE(query);
        EXPECT_EQ(queryWmiText(backend.context(), 0, query, "P"), "");
        EXPECT_EQ(backend.takeLines(), "Query for operating system name failed. Error code = 0x80041017\n");
    }
}

TEST(SnapshotProbes, AnswerFromTheFile) {
    auto backend = TestBackend::fromJson(R"({"classes": {},
        "memoryStatus": {"memoryLoad": 45, "availPhys": 2147483648},
        "adapters": ["00-1A-2B-3C-4D-5E", "0a:0b:0c:0d:0e:0f:10:11"],
        "osVersion": {"major": 6, "minor": 1}})");
    moravel::MemoryTexts memory = moravel::readMemoryStatus(backend.probes());
    EXPECT_EQ(memory.available, "2048 MB");
    EXPECT_EQ(memory.load, "45%");
    EXPECT_EQ(moravel::readAdapterAddress(backend.probes()), "0A-0B-0C-0D-0E-0F");
    std::optional<moravel::OsVersion> version = backend.probes()->osVersion();
    ASSERT_TRUE(version.has_value());
    EXPECT_EQ(version->major, 6u);
    EXPECT_EQ(version->minor, 1u);
}

TEST(SnapshotProbes, AvailableMemoryMayBeWrittenAsDigits) {
    auto backend = TestBackend::fromJson(R"({"classes": {},
        "memoryStatus": {"memoryLoad": 100, "availPhys": "5368709120"}})");
    EXPECT_EQ(moravel::readMemoryStatus(backend.probes()).available, "5120 MB");
    EXPECT_EQ(moravel::readMemoryStatus(backend.probes()).load, "100%");
    moravel::MemoryStatus status;
    auto largest = TestBackend::fromJson(R"({"classes": {},
        "memoryStatus": {"memoryLoad": 0, "availPhys": "18446744073709551615"}})");
    ASSERT_TRUE(largest.probes()->memoryStatus(status));
    EXPECT_EQ(status.availPhys, 18446744073709551615u);
}

TEST(SnapshotProbes, AbsentSectionsMeanNothingKnown) {
    auto backend = TestBackend::fromJson(R"({"classes": {}})");
    EXPECT_EQ(moravel::readMemoryStatus(backend.probes()).available, "0 MB");
    EXPECT_EQ(moravel::readMemoryStatus(backend.probes()).load, "0%");
    EXPECT_EQ(moravel::readAdapterAddress(backend.probes()), "");
    EXPECT_FALSE(backend.probes()->osVersion().has_value());
}

struct FailureCase {
    const char* step;
    const char* code;
    const char* line;
};

TEST(SnapshotFailures, EachStepFailsOnlyItsOwnQuery) {
    const FailureCase cases[] = {
        {"CoInitializeEx", "0x80004005", "Failed to initialize COM library. Error code = 0x80004005\n"},
        {"CoInitializeSecurity", "0x80010119", ""},
        {"CoCreateInstance", "0x80040154", ""},
        {"ConnectServer", "0x8004100E", ""},
        {"CoSetProxyBlanket", "0x80070005", ""},
        {"ExecQuery", "0x80041017", "Query for operating system name failed. Error code = 0x80041017\n"},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.step);
        auto backend = TestBackend::fromJson(oneObject(R"("P": "x")", std::string(R"(, "failures": {
            "SELECT * FROM Win32_Test": {"step": ")") + c.step + R"(", "code": ")" +
                                                                          c.code + R"("}})"));
        EXPECT_EQ(testValue(backend, "P"), "");
        EXPECT_EQ(backend.takeLines(), c.line);
        EXPECT_EQ(queryWmiText(backend.context(), 0, "SELECT * FROM Win32_Other", "P"), "");
        EXPECT_EQ(backend.takeLines(), "");      // another query runs its full cycle undisturbed
        EXPECT_EQ(testValue(backend, "P"), "");  // and the staged failure strikes every time
        EXPECT_EQ(backend.takeLines(), c.line);
    }
}

TEST(SnapshotFailures, AcceptedInitialisationCodesLetTheQueryGoOn) {
    for (const char* code : {"0x80010106", "0x1"}) {
        SCOPED_TRACE(code);
        auto backend = TestBackend::fromJson(oneObject(R"("P": "x")", std::string(R"(, "failures": {
            "SELECT * FROM Win32_Test": {"step": "CoInitializeEx", "code": ")") +
                                                                          code + R"("}})"));
        EXPECT_EQ(testValue(backend, "P"), "x");
        EXPECT_EQ(backend.takeLines(), "");
    }
}

struct BadFile {
    const char* json;
    const char* message;
};

TEST(SnapshotRefusal, EachKindOfBadFileIsNamedInOneLine) {
    const BadFile cases[] = {
        {R"({"classes": {"Win32_BIOS": [{"Version": 1.5}]}})",
         R"(moravel: x.json: "classes"."Win32_BIOS"[0]."Version": 1.5 is not a whole number)"},
        {"[]", "moravel: x.json: expected the document to be an object, found an array"},
        {"{}", R"(moravel: x.json: "classes" is missing)"},
        {R"({"classes": {}, "adapter": []})",
         R"(moravel: x.json: "adapter": unknown member (expected "classes", "memoryStatus", "adapters", "osVersion", "machineGuid", "hypervisor", "failures", "redacted"))"},
        {R"({"classes": {}, "redacted": "yes"})", R"(moravel: x.json: "redacted": expected true or false, found a string)"},
        {R"({"classes": []})", R"(moravel: x.json: "classes": expected an object of class names, found an array)"},
        {R"({"classes": {"Win32_BIOS": {}}})",
         R"(moravel: x.json: "classes"."Win32_BIOS": expected an array of objects, found an object)"},
        {R"({"classes": {"Win32_BIOS": ["Acme"]}})",
         R"(moravel: x.json: "classes"."Win32_BIOS"[0]: expected an object, found a string)"},
        {R"({"classes": {"Win32_BIOS": [{"A": 1}, {"Size": 4294967296}]}})",
         R"(moravel: x.json: "classes"."Win32_BIOS"[1]."Size": 4294967296 is out of range (-2147483648 to 4294967295))"},
        {R"({"classes": {"Win32_BIOS": [{"Size": -2147483649}]}})",
         R"(moravel: x.json: "classes"."Win32_BIOS"[0]."Size": -2147483649 is out of range (-2147483648 to 4294967295))"},
        {R"({"classes": {"Win32_BIOS": [{"Odd": {"value": 5}}]}})",
         R"(moravel: x.json: "classes"."Win32_BIOS"[0]."Odd"."vt" is missing)"},
        {R"({"classes": {"Win32_BIOS": [{"Odd": {"vt": 65536}}]}})",
         R"(moravel: x.json: "classes"."Win32_BIOS"[0]."Odd"."vt": 65536 is out of range (0 to 65535))"},
        {R"({"classes": {"Win32_BIOS": [{"Odd": {"vt": 17, "val": 5}}]}})",
         R"(moravel: x.json: "classes"."Win32_BIOS"[0]."Odd"."val": unknown member (expected "vt", "value"))"},
        {R"({"classes": {"Win32_BIOS": [{"Odd": {"vt": 0, "value": 0}}]}})",
         R"(moravel: x.json: "classes"."Win32_BIOS"[0]."Odd"."value": type code 0 takes no value)"},
        {R"({"classes": {"Win32_BIOS": [{"Odd": {"vt": 3, "value": "7"}}]}})",
         R"(moravel: x.json: "classes"."Win32_BIOS"[0]."Odd"."value": expected a whole number, found a string)"},
        {R"({"classes": {"Win32_BIOS": [{"Odd": {"vt": 17}}]}})",
         R"(moravel: x.json: "classes"."Win32_BIOS"[0]."Odd"."value" is missing)"},
        {R"({"classes": {"Win32_BIOS": [{"Odd": {"vt": 8, "value": 8}}]}})",
         R"(moravel: x.json: "classes"."Win32_BIOS"[0]."Odd"."value": expected a string or null for type code 8, found a number)"},
        {R"({"classes": {}, "memoryStatus": {"memoryLoad": 101, "availPhys": 0}})",
         R"(moravel: x.json: "memoryStatus"."memoryLoad": 101 is out of range (0 to 100))"},
        {R"({"classes": {}, "memoryStatus": {"memoryLoad": 5}})",
         R"(moravel: x.json: "memoryStatus"."availPhys" is missing)"},
        {R"({"classes": {}, "memoryStatus": {"memoryLoad": 5, "availPhys": "12a"}})",
         R"(moravel: x.json: "memoryStatus"."availPhys": "12a" is not a string of decimal digits)"},
        {R"({"classes": {}, "memoryStatus": {"memoryLoad": 5, "availPhys": "18446744073709551616"}})",
         R"(moravel: x.json: "memoryStatus"."availPhys": "18446744073709551616" is out of range (0 to 18446744073709551615))"},
        {R"({"classes": {}, "memoryStatus": {"memoryLoad": 5, "availPhys": -1}})",
         R"(moravel: x.json: "memoryStatus"."availPhys": -1 is out of range (0 to 18446744073709551615))"},
        {R"({"classes": {}, "adapters": "00-1A-2B-3C-4D-5E"})",
         R"(moravel: x.json: "adapters": expected an array of address texts, found a string)"},
        {R"({"classes": {}, "adapters": ["00-1A-2B-3C-4D-5E", "00-1A-2B-3C-4D"]})",
         R"(moravel: x.json: "adapters"[1]: "00-1A-2B-3C-4D" is not an address of six or more hex bytes separated by "-" or ":")"},
        {R"({"classes": {}, "adapters": ["00.1A.2B.3C.4D.5E"]})",
         R"(moravel: x.json: "adapters"[0]: "00.1A.2B.3C.4D.5E" is not an address of six or more hex bytes separated by "-" or ":")"},
        {R"({"classes": {}, "adapters": ["00-1A-2B-3C-4D-5G"]})",
         R"(moravel: x.json: "adapters"[0]: "00-1A-2B-3C-4D-5G" is not an address of six or more hex bytes separated by "-" or ":")"},
        {R"({"classes": {}, "osVersion": {"major": 6}})", R"(moravel: x.json: "osVersion"."minor" is missing)"},
        {R"({"classes": {}, "failures": {"SELECT * FROM X": {"step": "Next", "code": "0x1"}}})",
         R"(moravel: x.json: "failures"."SELECT * FROM X"."step": "Next" is not a step (expected one of "CoInitializeEx", "CoInitializeSecurity", "CoCreateInstance", "ConnectServer", "CoSetProxyBlanket", "ExecQuery"))"},
        {R"({"classes": {}, "failures": {"SELECT * FROM X": {"step": "ExecQuery", "code": "80041017"}}})",
         R"(moravel: x.json: "failures"."SELECT * FROM X"."code": "80041017" is not a code of the form "0x" and one to eight hex digits)"},
        {R"({"classes": {}, "failures": {"SELECT * FROM X": {"step": "ExecQuery", "code": "0x800410170"}}})",
         R"(moravel: x.json: "failures"."SELECT * FROM X"."code": "0x800410170" is not a code of the form "0x" and one to eight hex digits)"},
        {R"({"classes": {}, "failures": {"SELECT * FROM X": {"step": "ExecQuery"}}})",
         R"(moravel: x.json: "failures"."SELECT * FROM X"."code" is missing)"},
        {R"({"classes": {"Win32_BIOS": [{"Name": "a", "Name": "b"}]}})",
         R"(moravel: x.json: "classes"."Win32_BIOS"[0]: the key "Name" appears twice in one object)"},
        {R"({"classes": {"Win32_BIOS": [{"Name": "a", "NAME": "b"}]}})",
         R"(moravel: x.json: "classes"."Win32_BIOS"[0]: the keys "Name" and "NAME" differ only in case)"},
        {R"({"classes": {"Win32_BIOS": [], "WIN32_BIOS": []}})",
         R"(moravel: x.json: "classes": the keys "Win32_BIOS" and "WIN32_BIOS" differ only in case)"},
        // Numbers are quoted as they are written.
        {R"({"classes": {"Win32_BIOS": [{"Version": 1.50}]}})",
         R"(moravel: x.json: "classes"."Win32_BIOS"[0]."Version": 1.50 is not a whole number)"},
        {R"({"classes": {"Win32_BIOS": [{"Size": 42949672.96e2}]}})",
         R"(moravel: x.json: "classes"."Win32_BIOS"[0]."Size": 42949672.96e2 is out of range (-2147483648 to 4294967295))"},
        {R"({"classes": {"Win32_BIOS": [{"Odd": {"vt": 21, "value": 18446744073709551616}}]}})",
         R"(moravel: x.json: "classes"."Win32_BIOS"[0]."Odd"."value": 18446744073709551616 is out of range (-9223372036854775808 to 18446744073709551615))"},
        {R"({"classes": {"Win32_BIOS": [{"Odd": {"vt": 21, "value": 9007199254740993.0}}]}})",
         R"(moravel: x.json: "classes"."Win32_BIOS"[0]."Odd"."value": 9007199254740993.0 is too large to be read exactly)"},
    };
    for (const BadFile& c : cases) {
        SCOPED_TRACE(c.json);
        try {
            moravel::makeSnapshotBackendFromJson(c.json, "x.json");
            ADD_FAILURE() << "accepted";
        } catch (const moravel::SnapshotError& e) {
            EXPECT_EQ(std::string(e.what()), c.message);
        }
    }
}

TEST(SnapshotRefusal, TextThatIsNotJsonIsNamedWithWhereTheParserStopped) {
    for (const char* text : {"", "{\"classes\": {}", "{\"classes\":\n {}, x}", "\xff"}) {
        SCOPED_TRACE(text);
        try {
            moravel::makeSnapshotBackendFromJson(text, "x.json");
            ADD_FAILURE() << "accepted";
        } catch (const moravel::SnapshotError& e) {
            std::string message = e.what();
            EXPECT_EQ(message.rfind("moravel: x.json: not valid JSON: parse error at line ", 0), 0u) << message;
            EXPECT_EQ(message.find('\n'), std::string::npos) << message;
        }
    }
}

TEST(SnapshotRefusal, FilesThatCannotBeReadAreNamed) {
    std::string missing = std::string(MORAVEL_BINARY_DIR) + "/no-such-snapshot.json";
    EXPECT_THROW(
        {
            try {
                moravel::makeSnapshotBackend(missing);
            } catch (const moravel::SnapshotError& e) {
                EXPECT_EQ(std::string(e.what()), "moravel: " + missing + ": cannot be read: No such file or directory");
                throw;
            }
        },
        moravel::SnapshotError);
    try {
        moravel::makeSnapshotBackend(MORAVEL_BINARY_DIR);
        ADD_FAILURE() << "a folder was accepted";
    } catch (const moravel::SnapshotError& e) {
        EXPECT_EQ(std::string(e.what()),
                  std::string("moravel: ") + MORAVEL_BINARY_DIR + ": is a folder, not a snapshot file");
    }
}

TEST(SnapshotFile, TheEnvironmentNamesTheFileTheProgramsRead) {
    std::string path = std::string(MORAVEL_SOURCE_DIR) + "/tests/data/snapshot_example.json";
    ASSERT_EQ(setenv("MORAVEL_SNAPSHOT", path.c_str(), 1), 0);
    TestBackend backend(moravel::makeBackendFromEnvironment());
    unsetenv("MORAVEL_SNAPSHOT");
    EXPECT_EQ(queryWmiText(backend.context(), 0, "SELECT * FROM Win32_Processor", "Name"), "Example CPU");
    EXPECT_EQ(queryWmiText(backend.context(), 0, "SELECT * FROM Win32_Processor", "NumberOfCores"), "4");
    EXPECT_EQ(queryWmiText(backend.context(), 0, "SELECT * FROM Win32_Processor", "L3CacheSize"), "Null");
    EXPECT_EQ(queryWmiText(backend.context(), 0, "SELECT * FROM Win32_BIOS", "Manufacturer"), "");
    EXPECT_EQ(backend.takeLines(), "Query for operating system name failed. Error code = 0x80041017\n");
    EXPECT_EQ(moravel::readAdapterAddress(backend.probes()), "0A-0B-0C-0D-0E-0F");
    EXPECT_EQ(moravel::readMemoryStatus(backend.probes()).available, "2048 MB");
}

}  // namespace

namespace {

std::string refusal(const std::string& text) {
    try {
        moravel::makeSnapshotBackendFromJson(text, "x.json");
    } catch (const moravel::SnapshotError& e) {
        return e.what();
    }
    return "accepted";
}

}  // namespace

// Hostile files: every one is a report or one short line, never an abort.
TEST(SnapshotBounds, NumbersNestingNulAndLongKeysAreBounded) {
    std::string deep(100000, '[');
    EXPECT_EQ(refusal(oneObject(R"("A": )" + deep)), "moravel: x.json: nested deeper than 64 levels at byte 95");
    EXPECT_EQ(refusal(oneObject(R"("A": 1e400)")),
              "moravel: x.json: not valid JSON: number overflow parsing '1e400' at byte 39");
    EXPECT_EQ(refusal(oneObject(R"("A": 1e-400)")),
              "moravel: x.json: not valid JSON: number underflow parsing '1e-400' at byte 40");
    EXPECT_EQ(refusal(oneObject(R"("A": {"vt": 5, "value": -0.)" + std::string(400, '0') + "1}")).substr(0, 68),
              "moravel: x.json: not valid JSON: number underflow parsing '-0.000000");
    std::string digits(100000, '7');
    std::string line = refusal(oneObject(R"("A": )" + digits));
    EXPECT_LT(line.size(), 200u) << line;
    EXPECT_EQ(refusal(oneObject(R"("A": 1)") + std::string(1, '\0') + "garbage"),
              "moravel: x.json: a NUL byte at byte 39 (a snapshot is JSON text)");
    line = refusal(R"({"classes": {}, ")" + std::string(1000000, 'k') + R"(": 1})");
    EXPECT_LT(line.size(), 250u) << line.substr(0, 300);
    EXPECT_NE(refusal(R"({"classes": {}, "failures": {"Q": {"step": "ExecQuery", "code": "0x1"},
                                                       "Q": {"step": "ExecQuery", "code": "0x1"}}})")
                  .find(R"("failures": the key "Q" appears twice)"),
              std::string::npos);

    TestBackend backend =
        TestBackend::fromJson("\xEF\xBB\xBF" + oneObject(R"("Zero": -0, "Whole": 4294967295.0, "List": )" +
                                                         std::string(60, '[') + std::string(60, ']')));
    EXPECT_EQ(testValue(backend, "Zero"), "0");
    EXPECT_EQ(testValue(backend, "Whole"), "4294967295");
    EXPECT_EQ(testValue(backend, "List"), "");
}

TEST(SnapshotBounds, AnyIndexOfALargeClassIsReadDirectly) {
    std::string objects;
    for (int i = 0; i < 100000; ++i) objects += (i ? ",{\"N\":" : "{\"N\":") + std::to_string(i) + "}";
    TestBackend backend = TestBackend::fromJson(R"({"classes": {"Win32_Test": [)" + objects + "]}}");
    EXPECT_EQ(queryWmiText(backend.context(), 99999, "SELECT * FROM Win32_Test", "N"), "99999");
    EXPECT_EQ(queryWmiText(backend.context(), 54321, "SELECT * FROM Win32_Test", "N"), "54321");
    EXPECT_EQ(queryWmiText(backend.context(), 100000, "SELECT * FROM Win32_Test", "N"), "");
}

TEST(SnapshotBounds, OnlyRegularFilesWithinTheLimitAreRead) {
    std::string dir = std::string(MORAVEL_BINARY_DIR) + "/bounds";
    std::filesystem::create_directories(dir);
    std::string fifo = dir + "/fifo.json", large = dir + "/large.json";
    ::unlink(fifo.c_str());
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::ofstream{large};
    std::filesystem::resize_file(large, moravel::kMaxSnapshotBytes + 1);
    for (const std::string& path : {fifo, std::string("/dev/zero"), large}) {
        try {
            moravel::makeSnapshotBackend(path);
            ADD_FAILURE() << path << " was accepted";
        } catch (const moravel::SnapshotError& e) {
            std::string expected = path == large
                                       ? ": is larger than 33554432 bytes, the most a snapshot may hold"
                                       : ": is not a regular file (a device, FIFO or socket), not a snapshot file";
            EXPECT_EQ(std::string(e.what()), "moravel: " + path + expected);
        }
    }
    std::filesystem::remove_all(dir);
}
