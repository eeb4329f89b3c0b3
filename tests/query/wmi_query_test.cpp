#include <sstream>

#include <gtest/gtest.h>

#include "query/backend.h"
#include "query/wmi_query.h"
#include "tests/support/scripted_provider.h"

using moravel::HResult;
using moravel::queryWmiText;
using moravel::WmiValue;
using moravel::testing::ScriptedProvider;
using Log = std::vector<std::string>;

namespace {

const std::string kQuery = "SELECT * FROM Win32_Processor";

// A string buffer that counts flushes, so tests can tell each line was flushed.
class FlushCountingBuffer : public std::stringbuf {
public:
    int flushes = 0;

protected:
    int sync() override {
        ++flushes;
        return std::stringbuf::sync();
    }
};

class QueryCycle : public ::testing::Test {
protected:
    void SetUp() override {
        provider.script.objects = {{{"Name", WmiValue::string("first")}},
                                   {{"Name", WmiValue::string("second")}},
                                   {{"Name", WmiValue::string("third")}}};
    }
    std::string takeLines() {
        std::string text = buffer.str();
        buffer.str({});
        return text;
    }
    // The calls of a cycle up to and including a successful ExecQuery.
    static Log opened() {
        return {"CoInitializeEx",    "CoInitializeSecurity",           "CoCreateInstance", "ConnectServer ROOT\\CIMV2",
                "CoSetProxyBlanket", "ExecQuery WQL " + kQuery + " 48"};
    }
    static Log closed() { return {"release services", "release locator", "release enumerator", "CoUninitialize"}; }
    static Log join(Log a, const Log& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    }
    // After any failure, a call with every step succeeding runs the full cycle and reads the value.
    void expectFreshCycleWorks() {
        provider.script = moravel::testing::ProviderScript{{}, {}, {}, {}, {}, {}, provider.script.objects};
        EXPECT_EQ(queryWmiText(context, 0, kQuery, "Name"), "first");
        EXPECT_EQ(provider.takeLog(), join(join(opened(), {"Next", "Get Name", "release object"}), closed()));
        EXPECT_EQ(provider.liveObjects(), 0);
        EXPECT_EQ(takeLines(), "");
    }

    ScriptedProvider provider;
    FlushCountingBuffer buffer;
    std::ostream lines{&buffer};
    moravel::QueryContext context{&provider, nullptr, &lines};
};

TEST_F(QueryCycle, ReadsTheObjectAtTheIndexAndReleasesEverythingInOrder) {
    EXPECT_EQ(queryWmiText(context, 1, kQuery, "Name"), "second");
    EXPECT_EQ(provider.announcedQuery(), kQuery);
    EXPECT_EQ(
        provider.takeLog(),
        join(join(opened(), {"Next", "Get Name", "release object", "Next", "Get Name", "release object"}), closed()));
    EXPECT_EQ(provider.liveObjects(), 0);
    EXPECT_EQ(takeLines(), "");
}

TEST_F(QueryCycle, RefusedInitialisationPrintsItsCodeAndUninitialisesNothing) {
    provider.script.initialize = static_cast<HResult>(0x8007000Eu);
    EXPECT_EQ(queryWmiText(context, 0, kQuery, "Name"), "");
    EXPECT_EQ(provider.takeLog(), Log{"CoInitializeEx"});
    EXPECT_EQ(takeLines(), "Failed to initialize COM library. Error code = 0x8007000e\n");
    EXPECT_EQ(buffer.flushes, 1);
    expectFreshCycleWorks();
}

TEST_F(QueryCycle, AcceptedInitialisationCodesGoOnAndUninitialise) {
    for (HResult accepted : {moravel::kSFalse, moravel::kChangedMode}) {
        SCOPED_TRACE(accepted);
        provider.script.initialize = accepted;
        EXPECT_EQ(queryWmiText(context, 2, kQuery, "Name"), "third");
        Log log = provider.takeLog();
        EXPECT_EQ(log.front(), "CoInitializeEx");
        EXPECT_EQ(log.back(), "CoUninitialize");
        EXPECT_EQ(takeLines(), "");
    }
}

struct FailedStep {
    HResult moravel::testing::ProviderScript::*step;
    Log log;
    const char* line;
};

TEST_F(QueryCycle, EachFailingStepReleasesWhatItHeldAndPrintsOnlyWhereDue) {
    const FailedStep rows[] = {
        {&moravel::testing::ProviderScript::security, {"CoInitializeEx", "CoInitializeSecurity", "CoUninitialize"}, ""},
        {&moravel::testing::ProviderScript::createLocator,
         {"CoInitializeEx", "CoInitializeSecurity", "CoCreateInstance", "CoUninitialize"},
         ""},
        {&moravel::testing::ProviderScript::connect,
         {"CoInitializeEx", "CoInitializeSecurity", "CoCreateInstance", "ConnectServer ROOT\\CIMV2", "release locator",
          "CoUninitialize"},
         ""},
        {&moravel::testing::ProviderScript::proxyBlanket,
         {"CoInitializeEx", "CoInitializeSecurity", "CoCreateInstance", "ConnectServer ROOT\\CIMV2",
          "CoSetProxyBlanket", "release services", "release locator", "CoUninitialize"},
         ""},
        {&moravel::testing::ProviderScript::execQuery,
         join(opened(), {"release services", "release locator", "CoUninitialize"}),
         "Query for operating system name failed. Error code = 0x8004100a\n"},
    };
    for (const FailedStep& row : rows) {
        SCOPED_TRACE(row.log.back() == "CoUninitialize" ? row.log[row.log.size() - 2] : row.log.back());
        provider.script.*row.step = static_cast<HResult>(0x8004100Au);
        buffer.flushes = 0;
        EXPECT_EQ(queryWmiText(context, 0, kQuery, "Name"), "");
        EXPECT_EQ(provider.takeLog(), row.log);
        EXPECT_EQ(provider.liveObjects(), 0);
        EXPECT_EQ(takeLines(), row.line);
        EXPECT_EQ(buffer.flushes, *row.line ? 1 : 0);
        expectFreshCycleWorks();
    }
}

TEST_F(QueryCycle, AnIndexBeyondTheLastObjectWalksToTheEndQuietly) {
    EXPECT_EQ(queryWmiText(context, 3, kQuery, "Name"), "");
    Log walk;
    for (int i = 0; i < 3; ++i) walk = join(walk, {"Next", "Get Name", "release object"});
    EXPECT_EQ(provider.takeLog(), join(join(opened(), join(walk, {"Next: none"})), closed()));
    EXPECT_EQ(takeLines(), "");
    EXPECT_EQ(queryWmiText(context, -1, kQuery, "Name"), "");
    provider.script.objects.clear();
    EXPECT_EQ(queryWmiText(context, 0, kQuery, "Name"), "");
    EXPECT_EQ(takeLines(), "");
}

TEST_F(QueryCycle, ObjectsCountEvenWhenTheirPropertyCannotBeRead) {
    provider.script.objects = {{}, {{"Name", WmiValue::string("second")}}, {}};
    EXPECT_EQ(queryWmiText(context, 1, kQuery, "Name"), "second");
    provider.takeLog();
    // The object at the index lacks the property: empty, and the walk goes on to the end.
    EXPECT_EQ(queryWmiText(context, 0, kQuery, "Name"), "");
    Log walk;
    for (int i = 0; i < 3; ++i) walk = join(walk, {"Next", "Get Name", "release object"});
    EXPECT_EQ(provider.takeLog(), join(join(opened(), join(walk, {"Next: none"})), closed()));
    EXPECT_EQ(queryWmiText(context, 0, kQuery, "Caption"), "");
    EXPECT_EQ(provider.liveObjects(), 0);
    EXPECT_EQ(takeLines(), "");
}

TEST_F(QueryCycle, IdenticalCallsRunTwoFullCyclesAndAgree) {
    std::string first = queryWmiText(context, 1, kQuery, "Name");
    Log firstLog = provider.takeLog();
    EXPECT_EQ(queryWmiText(context, 1, kQuery, "Name"), first);
    EXPECT_EQ(provider.takeLog(), firstLog);
}

TEST_F(QueryCycle, ErrorCodesInHexLeaveLaterNumbersDecimal) {
    provider.script.execQuery = static_cast<HResult>(0x80041017u);
    EXPECT_EQ(queryWmiText(context, 0, kQuery, "Name"), "");
    provider.script.execQuery = moravel::kOk;
    provider.script.objects = {{{"Name", WmiValue::integerOf(moravel::vt::I2, 26)}}};
    EXPECT_EQ(queryWmiText(context, 0, kQuery, "Name"), "");
    EXPECT_EQ(takeLines(), "Query for operating system name failed. Error code = 0x80041017\n"
                           "VT_I2: 26\n");
    // Even a stream someone left in hexadecimal gets decimal type numbers.
    lines << std::hex;
    EXPECT_EQ(queryWmiText(context, 0, kQuery, "Name"), "");
    EXPECT_EQ(takeLines(), "VT_I2: 26\n");
}

TEST_F(QueryCycle, EveryCallIsCounted) {
    queryWmiText(context, 0, kQuery, "Name");
    provider.script.initialize = moravel::kFailed;
    queryWmiText(context, 0, kQuery, "Name");
    EXPECT_EQ(context.queries, 2);
}

struct Conversion {
    WmiValue value;
    const char* text;
    const char* line;
};

TEST(ValueToText, FollowsTheConversionTable) {
    using namespace moravel::vt;
    const Conversion rows[] = {
        {WmiValue::empty(), "Empty", ""},
        {WmiValue::null(), "Null", ""},
        {WmiValue::integerOf(I2, -2), "", "VT_I2: -2\n"},
        {WmiValue::i4(0), "0", ""},
        {WmiValue::i4(2600), "2600", ""},
        {WmiValue::i4(-1), "4294967295", ""},
        {WmiValue::i4(0xFFF00000), "4293918720", ""},
        {WmiValue::integerOf(Date, 0), "DATE is not available!", ""},
        {WmiValue::string("Intel(R) Core(TM) i7"), "Intel(R) Core(TM) i7", ""},
        {WmiValue::string(std::string("ab\0cd", 5)), "ab", ""},
        {WmiValue{Bstr, 0, {}, false}, "", ""},
        {WmiValue::boolean(true), "VT_BOOL!", ""},
        {WmiValue::boolean(false), "VT_BOOL!", ""},
        {WmiValue::integerOf(I1, -7), "", "VT_I1: -7\n"},
        {WmiValue::integerOf(UI1, 255), "", "VT_UI1: 255\n"},
        {WmiValue::integerOf(UI2, 65535), "", "VT_UI2: 65535\n"},
        {WmiValue::integerOf(UI4, 0x80000000), "", "VT_UI4: -2147483648\n"},
        {WmiValue::integerOf(UI4, 12), "", "VT_UI4: 12\n"},
        {WmiValue::integerOf(I8, (std::int64_t{1} << 32) + 7), "", "VT_I8: 7\n"},
        {WmiValue::integerOf(UI8, 0xFFFFFFFFFFFFFFFFll), "", "VT_UI8: -1\n"},
        {WmiValue::integerOf(R4, 0), "", ""},
        {WmiValue::integerOf(R8, 0), "", ""},
        {WmiValue::integerOf(6, 0), "", ""},   // currency
        {WmiValue::integerOf(13, 0), "", ""},  // object
        {WmiValue::integerOf(Array | Bstr, 0), "", ""},
        {WmiValue::integerOf(Array | I4, 0), "", ""},
        {WmiValue{static_cast<std::uint16_t>(Array | Bstr), 0, "text", true}, "", ""},
    };
    for (const Conversion& row : rows) {
        SCOPED_TRACE(std::to_string(row.value.type) + " " + std::to_string(row.value.integer));
        FlushCountingBuffer buffer;
        std::ostream out(&buffer);
        EXPECT_EQ(moravel::valueToText(row.value, out), row.text);
        EXPECT_EQ(buffer.str(), row.line);
        EXPECT_EQ(buffer.flushes, *row.line ? 1 : 0);
    }
}

TEST(SplitWords, DropsEveryKindOfWhitespace) {
    EXPECT_EQ(moravel::splitWords("  one   two\tthree "), (std::vector<std::string>{"one", "two", "three"}));
    EXPECT_EQ(moravel::splitWords("\n\vIntel(R)\fCore(TM)\r\n"), (std::vector<std::string>{"Intel(R)", "Core(TM)"}));
    EXPECT_EQ(moravel::splitWords("single"), std::vector<std::string>{"single"});
    // A no-break space in Latin-1 or UTF-8 is not "C" whitespace and stays inside its word.
    EXPECT_EQ(moravel::splitWords("a\xA0"
                                  "b c\xC2\xA0"
                                  "d"),
              (std::vector<std::string>{"a\xA0"
                                        "b",
                                        "c\xC2\xA0"
                                        "d"}));
    EXPECT_TRUE(moravel::splitWords("").empty());
    EXPECT_TRUE(moravel::splitWords(" \t\n\v\f\r").empty());
}

}  // namespace
