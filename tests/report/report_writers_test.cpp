#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "cli/run.h"
#include "moravel_version.h"
#include "query/backend.h"
#include "query/snapshot/snapshot_provider.h"
#include "query/wmi_query.h"
#include "report/writers.h"
#include "sections/collector.h"
#include "sections/sections.h"
#include "tests/support/terminal_safe.h"
#include "text/terminal.h"

using moravel::FieldRecord;
using moravel::GroupRecord;

namespace {

GroupRecord group(const std::string& label, std::vector<FieldRecord> fields) {
    GroupRecord g;
    g.label = label;
    g.fields = std::move(fields);
    return g;
}

FieldRecord field(const std::string& label, const std::string& text) { return {label, 115, 35, text}; }

std::string json(const std::vector<GroupRecord>& groups) {
    std::ostringstream out;
    moravel::writeJsonReport(groups, out);
    return out.str();
}

std::string text(const std::vector<GroupRecord>& groups) {
    std::ostringstream out;
    moravel::writeTextReport(groups, out);
    return out.str();
}

struct ReportResult {
    int status;
    std::string out;
    std::string err;
};

ReportResult report(const std::vector<std::string>& arguments) {
    std::ostringstream out, err;
    const int status = moravel::runReport(arguments, out, err);
    return {status, out.str(), err.str()};
}

// A snapshot file for the length of a test.
class SnapshotFile {
public:
    explicit SnapshotFile(const std::string& content)
        : path_(testing::TempDir() + "report_writers_test_" + std::to_string(getpid()) + "_" +
                std::to_string(counter_++) + ".json") {
        std::ofstream(path_) << content;
    }
    ~SnapshotFile() { std::remove(path_.c_str()); }
    const std::string& path() const { return path_; }

private:
    static inline int counter_ = 0;
    std::string path_;
};

}  // namespace

TEST(JsonReport, GroupsAndFieldsInWindowOrderWithLabelsFirst) {
    EXPECT_EQ(json({group("System", {field("Computer Name:", "DESK-7  ( Owner Name: Ana )"), field("Type:", "")}),
                    group("Other", {})}),
              "{\"groups\":[{\"label\":\"System\",\"fields\":[{\"label\":\"Computer Name:\",\"text\":"
              "\"DESK-7  ( Owner Name: Ana )\"},{\"label\":\"Type:\",\"text\":\"\"}]},"
              "{\"label\":\"Other\",\"fields\":[]}]}\n");
    EXPECT_EQ(json({}), "{\"groups\":[]}\n");
}

TEST(JsonReport, EscapesAndKeepsValidUtf8) {
    EXPECT_EQ(json({group("G", {field("L", "a \"quoted\" C:\\path\ttab\nline\x01")})}),
              "{\"groups\":[{\"label\":\"G\",\"fields\":[{\"label\":\"L\",\"text\":"
              "\"a \\\"quoted\\\" C:\\\\path\\ttab\\nline\\u0001\"}]}]}\n");
    EXPECT_EQ(json({group("G", {field("L", "Gr\xC3\xA4"
                                           "fikkarte \xE2\x9C\x93")})}),
              "{\"groups\":[{\"label\":\"G\",\"fields\":[{\"label\":\"L\",\"text\":\"Gr\xC3\xA4"
              "fikkarte \xE2\x9C\x93\"}]}]}\n");
}

TEST(JsonReport, BytesThatAreNotUtf8BecomeReplacementCharacters) {
    const std::string replacement = "\xEF\xBF\xBD";
    // A code-page byte (0xE9, "é" in Windows-1252), a lone continuation byte, a cut sequence.
    const std::string out = json({group("G", {field("L", "Caf\xE9 \x80 end\xE2\x82")})});
    EXPECT_EQ(out, "{\"groups\":[{\"label\":\"G\",\"fields\":[{\"label\":\"L\",\"text\":\"Caf" + replacement + " " +
                       replacement + " end" + replacement + "\"}]}]}\n");
}

TEST(TextReport, CaptionsPaddedToOneColumnWithoutTrailingBlanks) {
    EXPECT_EQ(text({group("System", {field("Type:", "x64-based PC"), field("Domain:", "")}),
                    group("MotherBoard", {field("Unique Serial No.:", "  ")})}),
              "System\n"
              "  Type:              x64-based PC\n"
              "  Domain:\n"
              "MotherBoard\n"
              "  Unique Serial No.:   \n");
}

// A value cannot move the cursor, retitle or clear the terminal: control characters are shown.
TEST(TextReport, ControlCharactersFromValuesAreShownNotWritten) {
    EXPECT_EQ(moravel::visibleText("a\x1B]0;title\x07"
                                   "b\tc\nd\x7F\xC2\x9B"
                                   "2J \x9B \xE9 \xE2\x80\x8F ok"),
              "a\\x1B]0;title\\x07b\\x09c\\x0Ad\\x7F\\u009B2J \\x9B \\xE9 \xE2\x80\x8F ok");
    // A lead byte no character starts with is one byte, not the start of one: the 8-bit CSI after it is shown too.
    EXPECT_EQ(moravel::visibleText("\xF5\x9B"
                                   "31m \xED\xA0\x80 \xE2\x80\xAE"
                                   "txt.exe \xE2\x81\xA6 \xC3\xA9"),
              "\\xF5\\x9B31m \\xED\\xA0\\x80 \\u202Etxt.exe \\u2066 \xC3\xA9");
    EXPECT_EQ(text({group("G", {field("L", "x\ry")})}), "G\n  L x\\x0Dy\n");
    EXPECT_EQ(json({group("G", {field("L", "\x7F\xC2\x85")})}),
              "{\"groups\":[{\"label\":\"G\",\"fields\":[{\"label\":\"L\",\"text\":\"\\u007f\\u0085\"}]}]}\n");
}

// A report file for Windows has CRLF line ends; a CR inside a value was escaped already.
TEST(TextReport, WindowsFilesEndLinesWithCrLf) {
    const std::string report = text({group("G", {field("L", "x\ry"), field("M", "")})});
    EXPECT_EQ(moravel::withCrlfLineEnds(report), "G\r\n  L x\\x0Dy\r\n  M\r\n");
#ifdef _WIN32
    EXPECT_EQ(moravel::textFileContent(report), moravel::withCrlfLineEnds(report));
#else
    EXPECT_EQ(moravel::textFileContent(report), report);
#endif
}

// Every byte alone and every malformed UTF-8 form, as every value of a machine: the text report
// holds nothing but printable UTF-8 and line ends.
TEST(TextReport, NoByteOfAValueActsOnTheTerminal) {
    std::vector<std::string> forms;
    for (int byte = 0; byte < 256; ++byte) forms.emplace_back(1, static_cast<char>(byte));
    for (int lead = 0xF5; lead < 256; ++lead)
        forms.push_back(std::string(1, static_cast<char>(lead)) + "\x9B"
                                                                  "31m");
    for (const char* form : {"\xC0\x80",
                             "\xC1\xBF",
                             "\xE0\x80\x80",
                             "\xE0\x9F\xBF",
                             "\xF0\x80\x80\x80",
                             "\xF0\x8F\xBF\xBF",
                             "\xED\xA0\x80",
                             "\xED\xBF\xBF",
                             "\xF4\x90\x80\x80",
                             "\xF7\xBF\xBF\xBF",
                             "\xF8\x88\x80\x80\x80",
                             "\xFC\x84\x80\x80\x80\x80",
                             "\xC2",
                             "\xE2\x82",
                             "\xF0\x9F\x98",
                             "\xE2\x82"
                             "A",
                             "\xE2\x9B"
                             "31m",
                             "\xC2\x85",
                             "\xC2\x9F",
                             "\xE2\x80\xAA",
                             "\xE2\x80\xAE",
                             "\xE2\x81\xA6",
                             "\xE2\x81\xA9"})
        forms.emplace_back(form);
    std::ostringstream diagnostics;
    for (const std::string& form : forms) {
        const moravel::Backend machine = moravel::makeSnapshotBackend(moravel::testing::machineOfRawValues(form));
        moravel::QueryContext context = machine.context(&diagnostics);
        moravel::ReportCollector report;
        moravel::buildAllGroups(context, report);
        EXPECT_TRUE(moravel::testing::isTerminalSafe(text(report.groups))) << moravel::visibleText(form);
    }
}

TEST(ReportRun, OnlyTheReportGoesToStandardOutput) {
    SnapshotFile snapshot(R"({"classes": {"Win32_BIOS": [{"Manufacturer": {"vt": 2, "value": 7}}]},
                              "failures": {"SELECT * FROM Win32_Processor": {"step": "ExecQuery", "code": "0x80041017"}}})");
    ReportResult result = report({"--json", "--snapshot", snapshot.path()});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out.rfind("{\"groups\":[{\"label\":\"System\"", 0), 0u) << result.out;
    EXPECT_EQ(result.out.find('\n'), result.out.size() - 1);
    EXPECT_NE(result.err.find("VT_I2: 7\n"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("Query for operating system name failed. Error code = 0x80041017\n"), std::string::npos);
}

TEST(ReportRun, RefusalsAreOneLineWithStatusTwo) {
    SnapshotFile notJson("{\"classes\": [1, 2,\n\n");
    SnapshotFile unknownMember(R"({"classes": {}, "clases": {}})");
    // What a refusal quotes from the file, the command line or a file name is escaped too.
    SnapshotFile rawByte("{\"classes\": {\"Win32_BIOS\": [{\"Name\": \"\x9B"
                         "31m\"}]}}");
    SnapshotFile controlKey("{\"classes\": {}, \"\xC2\x9B\xE2\x80\xAE\x1B[2J\": 1}");
    for (const std::vector<std::string>& arguments :
         std::vector<std::vector<std::string>>{{"--jsn"},
                                               {"-x"},
                                               {"report.json"},
                                               {"--snapshot"},
                                               {"--snapshot="},
                                               {"--save-snapshot"},
                                               {"--snapshot", notJson.path()},
                                               {"--snapshot=" + unknownMember.path()},
                                               {"--snapshot", testing::TempDir() + "no-such-snapshot.json"},
                                               {"--inventory", "xml"},
                                               {"--inventory", "glpi", "--redact"},
                                               {"--redact", "--submit", "http://h/ocsinventory"},
                                               {"--submit", "ftp://h/ocsinventory"},
                                               {"--submit", "https://h/glpi/"},
                                               {"--timeout", "0"},
                                               {"--inventory=ocs", "--submit=http://h/ocsinventory"},
                                               {"--submit", "http://h/ocsinventory", "--output", "x"},
                                               {"--snapshot", rawByte.path()},
                                               {"--snapshot", controlKey.path()},
                                               {"--\x9B"
                                                "2J\nx"},
                                               {"--snapshot", "no\nsuch\xF5\x9B.json"}}) {
        ReportResult result = report(arguments);
        EXPECT_EQ(result.status, 2) << arguments.back();
        EXPECT_EQ(result.out, "") << arguments.back();
        ASSERT_FALSE(result.err.empty()) << arguments.back();
        EXPECT_EQ(result.err.find('\n'), result.err.size() - 1) << result.err;
        EXPECT_TRUE(moravel::testing::isTerminalSafe(result.err)) << moravel::visibleText(result.err);
    }
}

TEST(ReportRun, HelpAndVersionNeedNoBackend) {
    EXPECT_EQ(report({"--version"}).out, "moravel-report " MORAVEL_VERSION "\n");
    ReportResult help = report({"--help", "--snapshot", "/nonexistent/snapshot.json"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("Usage: moravel-report", 0), 0u);
    EXPECT_EQ(help.err, "");
}
