// The options that send an inventory: where each may stand, and what the files that hold a
// server's settings and password may say.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "cli/options.h"
#include "cli/submission.h"

namespace moravel {
namespace {

std::string usageError(const std::vector<std::string>& arguments) {
    try {
        parseReportOptions(arguments);
    } catch (const UsageError& error) {
        return error.what();
    }
    return "accepted";
}

TEST(SendingOptions, TimeoutTakesAnyDecimalWholeNumberInRange) {
    for (const auto& [text, seconds] : {std::pair{"1", 1}, {"0000001", 1}, {"86400", 86400}, {"000086400", 86400}})
        EXPECT_EQ(parseReportOptions({"--submit", "http://h/ocsinventory", "--timeout", text}).timeout, seconds) << text;
    for (const char* text : {"0", "000", "86401", "99999999999999999999", "1.5", "+5", "-1", " 5", "5s"})
        EXPECT_EQ(usageError({"--submit", "http://h/ocsinventory", "--timeout", text}),
                  "option '--timeout' takes a whole number of seconds from 1 to 86400")
            << text;
}

TEST(SendingOptions, RefusedWhereTheyWouldDoNothing) {
    EXPECT_EQ(usageError({"--timeout", "5"}), "option '--timeout' goes with '--submit'");
    EXPECT_EQ(usageError({"--inventory", "ocs", "--timeout", "5"}), "option '--timeout' goes with '--submit'");
    EXPECT_EQ(usageError({"--tag", "lab"}), "option '--tag' goes with '--submit' or '--inventory'");
    EXPECT_EQ(usageError({"--json", "--credentials", "c"}), "option '--credentials' goes with '--submit'");
    EXPECT_EQ(usageError({"--inventory", "ocs", "--tag", "lab"}), "accepted");
    EXPECT_EQ(usageError({"--config", "f", "--timeout", "5"}),
              "option '--config' names the server, its tag, timeout and credentials; '--timeout' cannot be used with it");
    EXPECT_EQ(usageError({"--config", "f", "--submit", "http://h/ocsinventory"}),
              "option '--config' names the server, its tag, timeout and credentials; '--submit' cannot be used with it");
    EXPECT_EQ(usageError({"--config", "f", "--redact"}),
              "an inventory cannot be redacted: without serial numbers and addresses the server would take different "
              "machines for one; '--redact' cannot be used with '--config'");
    EXPECT_EQ(usageError({"--config", "f", "--output", "o"}),
              "option '--config' writes nothing locally; '--output' goes with '--inventory'");
    EXPECT_EQ(usageError({"--config", "f"}), "accepted");
}

class SettingsFiles : public ::testing::Test {
protected:
    std::string write(const std::string& name, const std::string& text, mode_t mode = 0600) {
        const std::string path = ::testing::TempDir() + name;
        std::ofstream(path) << text;
        chmod(path.c_str(), mode);
        written_.push_back(path);
        return path;
    }
    void TearDown() override {
        for (const std::string& path : written_) std::remove(path.c_str());
    }
    // The submission and what was said on the side; a refusal's line as `refused`.
    std::optional<Submission> read(const ReportOptions& options) {
        warnings.str("");
        refused.clear();
        try {
            return submissionOf(options, warnings);
        } catch (const SubmissionError& error) {
            refused = error.what();
            return std::nullopt;
        }
    }
    std::ostringstream warnings;
    std::string refused;

private:
    std::vector<std::string> written_;
};

TEST_F(SettingsFiles, TheConfigurationFileNamesEverything) {
    ReportOptions options;
    options.config = write("inventory.conf", "# comment\n\nSERVER = \"http://ocs.example.org/ocsinventory\"\r\n"
                                             "TAG='lab 2'\nTIMEOUT=007\n; another\nUSER=alice\nPASSWORD=p=a:s s\n");
    std::optional<Submission> submission = read(options);
    ASSERT_TRUE(submission) << refused;
    EXPECT_EQ(submission->url, "http://ocs.example.org/ocsinventory");
    EXPECT_EQ(submission->tag, "lab 2");
    EXPECT_EQ(submission->timeoutSeconds, 7);
    EXPECT_EQ(submission->credentials.user, "alice");
    EXPECT_EQ(submission->credentials.password, "p=a:s s");
    EXPECT_EQ(warnings.str(), "");

    // The password may stand in the address, read from the file as from nowhere else.
    options.config = write("url.conf", "SERVER=http://bob:hunter2@h/front/inventory.php\nTIMEOUT=\n", 0644);
    submission = read(options);
    ASSERT_TRUE(submission) << refused;
    EXPECT_EQ(submission->server, "http://bob:hunter2@h/front/inventory.php");
    EXPECT_EQ(submission->url, "http://h/front/inventory.php");
    EXPECT_EQ(submission->credentials.password, "hunter2");
    EXPECT_EQ(submission->timeoutSeconds, kDefaultTimeoutSeconds);
    EXPECT_EQ(warnings.str(), "moravel-report: warning: " + options.config +
                                  " holds a password and other users may read it; let only its owner read it "
                                  "(chmod 600)\n");

    // Nothing configured is no failure: one line, nothing sent.
    options.config = write("empty.conf", "SERVER=\nTAG=\n", 0644);
    EXPECT_FALSE(read(options));
    EXPECT_EQ(refused, "");
    EXPECT_EQ(warnings.str(), "moravel-report: " + options.config + " names no server (SERVER=): nothing was sent\n");
}

TEST_F(SettingsFiles, UnusableConfigurationsAreRefusedWithoutQuotingAValue) {
    ReportOptions options;
    const std::pair<const char*, const char*> cases[] = {
        {"SERVER=http://h/ocsinventory\nPASWORD=hunter2\n",
         "line 2: unknown setting PASWORD (expected SERVER, TAG, TIMEOUT, USER or PASSWORD)"},
        {"SERVER=http://h/ocsinventory\nhunter2\n", "line 2: expected NAME=VALUE"},
        {"SERVER=http://h/ocsinventory\nhunter2 x=y\n",
         "line 2: expected NAME=VALUE, NAME one of SERVER, TAG, TIMEOUT, USER and PASSWORD"},
        {"SERVER=http://h/ocsinventory\nPASSWORD=hunter2\n", "PASSWORD is given without a USER"},
        {"SERVER=http://h/ocsinventory\nTIMEOUT=hunter2\n", "TIMEOUT takes a whole number of seconds from 1 to 86400"},
        {"SERVER=http://a:hunter2@h/ocsinventory\nUSER=b\n",
         "the server's address holds a user name and so does USER; give one"},
        {"SERVER=http://h/hunter2\n", "SERVER: 'http://h/hunter2' is not the address of an inventory server"},
    };
    for (const auto& [text, problem] : cases) {
        options.config = write("bad.conf", text);
        EXPECT_FALSE(read(options));
        EXPECT_EQ(refused.rfind("moravel-report: " + options.config + ": " + problem, 0), 0u) << refused;
        if (std::string(problem).find("hunter2") == std::string::npos) {
            EXPECT_EQ(refused.find("hunter2"), std::string::npos) << refused;
        }
    }
    // As PowerShell 5's > and Out-File write it: UTF-16, refused by name rather than misread.
    options.config = write("utf16.conf", std::string("\xFF\xFES\0=\0h\0", 8));
    EXPECT_FALSE(read(options));
    EXPECT_EQ(refused, "moravel-report: " + options.config +
                           ": is UTF-16 text (as PowerShell's > writes it); save it as UTF-8");
    options.config = ::testing::TempDir() + "missing.conf";
    EXPECT_FALSE(read(options));
    EXPECT_EQ(refused, "moravel-report: " + options.config + ": cannot be read: No such file or directory");
}

TEST_F(SettingsFiles, ACredentialsFileHoldsUserColonPassword) {
    ReportOptions options;
    options.submit = "http://h/ocsinventory";
    options.credentials = write("credentials", "alice:p@ss:word\r\nignored\n", 0640);
    std::optional<Submission> submission = read(options);
    ASSERT_TRUE(submission) << refused;
    EXPECT_EQ(submission->credentials.user, "alice");
    EXPECT_EQ(submission->credentials.password, "p@ss:word");
    EXPECT_EQ(warnings.str(), "");  // its group may read it: root's, or the user's own

    // UTF-8's byte-order mark, as Windows' editors write it, is no part of the user name.
    options.credentials = write("marked", "\xEF\xBB\xBF" "alice:x\r\n", 0600);
    submission = read(options);
    ASSERT_TRUE(submission) << refused;
    EXPECT_EQ(submission->credentials.user, "alice");
    EXPECT_EQ(submission->credentials.password, "x");
    options.config = write("marked.conf", "\xEF\xBB\xBF" "SERVER=http://h/ocsinventory\r\n", 0600);
    submission = read(options);
    ASSERT_TRUE(submission) << refused;
    EXPECT_EQ(submission->url, "http://h/ocsinventory");
    options.config.clear();

    options.credentials = write("open", "alice:x\n", 0604);
    ASSERT_TRUE(read(options));
    EXPECT_NE(warnings.str().find("other users may read it"), std::string::npos);

    options.credentials = write("bad", "hunter2\n");
    EXPECT_FALSE(read(options));
    EXPECT_EQ(refused, "moravel-report: " + options.credentials +
                           ": expected USER:PASSWORD on the first line (the user name before the first \":\")");
    options.credentials = write("good", "alice:x\n");
    options.submit = "http://bob:y@h/ocsinventory";
    EXPECT_FALSE(read(options));
    EXPECT_EQ(refused, "moravel-report: " + options.credentials +
                           ": the server's address holds a user name and so does the credentials file; give one");
}

}  // namespace
}  // namespace moravel
