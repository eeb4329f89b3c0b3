#include "cli/submission.h"

#include <algorithm>
#include <iterator>
#include <sstream>

#include "io/secret_file.h"
#include "io/url.h"

namespace moravel {
namespace {

constexpr std::size_t kMaxSettingsBytes = 64u << 10;  // a few lines; more is not such a file

const char* const kProgram = "moravel-report";

[[noreturn]] void refuse(const std::string& file, const std::string& problem) {
    throw SubmissionError(std::string(kProgram) + ": " + file + ": " + problem);
}

std::string readSettings(const std::string& path, bool& othersMayRead) {
    SecretFile file;
    if (std::optional<std::string> problem = readSecretFile(path, kMaxSettingsBytes, file))
        refuse(path, "cannot be read: " + *problem);
    othersMayRead = file.othersMayRead;
    // Windows' editors mark their files: Notepad (before Windows 10 1903) and PowerShell 5's
    // Set-Content -Encoding UTF8 with UTF-8's mark, which is no part of the first name; PowerShell
    // 5's > and Out-File with UTF-16's, whose text this does not read.
    if (file.text.rfind("\xEF\xBB\xBF", 0) == 0) file.text.erase(0, 3);
    if (file.text.rfind("\xFF\xFE", 0) == 0 || file.text.rfind("\xFE\xFF", 0) == 0)
        refuse(path, "is UTF-16 text (as PowerShell's > writes it); save it as UTF-8");
    return file.text;
}

void warnIfOthersMayRead(const std::string& path, bool othersMayRead, std::ostream& err) {
    if (othersMayRead)
        err << kProgram << ": warning: " << path
            << " holds a password and other users may read it; let only its owner read it (chmod 600)" << std::endl;
}

std::string trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// A value as a systemd environment file writes it: in double or single quotes, or bare.
std::string unquoted(const std::string& value) {
    const bool quoted = value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0];
    return quoted ? value.substr(1, value.size() - 2) : value;
}

// The URL's user information taken out, and the credentials it held or `given` (from a file):
// not both.
void takeCredentials(Submission& submission, const HttpCredentials& given, const std::string& file,
                     const char* fileWords) {
    UrlParts parts = splitUserInfo(submission.server);
    if (!parts.credentials.user.empty() && !given.user.empty())
        refuse(file, std::string("the server's address holds a user name and so does ") + fileWords + "; give one");
    submission.url = parts.url;
    submission.credentials = given.user.empty() ? parts.credentials : given;
}

// --credentials FILE: USER:PASSWORD on its first line.
HttpCredentials credentialsFile(const std::string& path, std::ostream& err) {
    bool othersMayRead = false;
    const std::string text = readSettings(path, othersMayRead);
    const std::string line = text.substr(0, text.find('\n'));
    const std::size_t colon = line.find(':');
    if (colon == std::string::npos || colon == 0)
        refuse(path, "expected USER:PASSWORD on the first line (the user name before the first \":\")");
    warnIfOthersMayRead(path, othersMayRead, err);
    std::string password = line.substr(colon + 1);
    if (!password.empty() && password.back() == '\r') password.pop_back();
    return {line.substr(0, colon), password};
}

struct Settings {
    std::string server, tag, timeout, user, password;  // empty: not given
};

const std::pair<const char*, std::string Settings::*> kSettings[] = {{"SERVER", &Settings::server},
                                                                     {"TAG", &Settings::tag},
                                                                     {"TIMEOUT", &Settings::timeout},
                                                                     {"USER", &Settings::user},
                                                                     {"PASSWORD", &Settings::password}};

// NAME=VALUE lines as inventory.conf holds them; blank lines and "#" or ";" comments between.
// No value is ever quoted back: any of them may be the password.
Settings settingsFile(const std::string& path, bool& othersMayRead) {
    std::istringstream lines(readSettings(path, othersMayRead));
    Settings settings;
    std::size_t number = 0;
    for (std::string line; std::getline(lines, line);) {
        ++number;
        line = trimmed(line);
        if (line.empty() || line[0] == '#' || line[0] == ';') continue;
        const std::string at = "line " + std::to_string(number) + ": ";
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos) refuse(path, at + "expected NAME=VALUE");
        const std::string name = trimmed(line.substr(0, equals)), value = unquoted(trimmed(line.substr(equals + 1)));
        const auto known = std::find_if(std::begin(kSettings), std::end(kSettings),
                                        [&](const auto& setting) { return name == setting.first; });
        if (known != std::end(kSettings))
            settings.*(known->second) = value;
        else if (name.size() <= 32 &&
                 name.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ_0123456789") == std::string::npos)
            refuse(path, at + "unknown setting " + name + " (expected SERVER, TAG, TIMEOUT, USER or PASSWORD)");
        else
            refuse(path, at + "expected NAME=VALUE, NAME one of SERVER, TAG, TIMEOUT, USER and PASSWORD");
    }
    return settings;
}

std::optional<Submission> configured(const std::string& path, std::ostream& err) {
    bool othersMayRead = false;
    Settings settings = settingsFile(path, othersMayRead);
    if (settings.server.empty()) {
        err << kProgram << ": " << path << " names no server (SERVER=): nothing was sent" << std::endl;
        return std::nullopt;
    }
    if (!settings.password.empty() && settings.user.empty()) refuse(path, "PASSWORD is given without a USER");
    Submission submission;
    submission.server = settings.server;
    submission.tag = settings.tag;
    try {
        if (!settings.timeout.empty()) submission.timeoutSeconds = timeoutSecondsOf(settings.timeout, "TIMEOUT");
    } catch (const UsageError& error) {
        refuse(path, error.what());
    }
    takeCredentials(submission, {settings.user, settings.password}, path, "USER");
    if (std::string problem = serverAddressProblem(submission.url); !problem.empty())
        refuse(path, "SERVER: " + problem);
    warnIfOthersMayRead(path, othersMayRead && !submission.credentials.password.empty(), err);
    return submission;
}

}  // namespace

std::optional<Submission> submissionOf(const ReportOptions& options, std::ostream& err) {
    if (!options.config.empty()) return configured(options.config, err);
    Submission submission;
    submission.server = options.submit;
    submission.tag = options.tag;
    submission.timeoutSeconds = options.timeout.value_or(kDefaultTimeoutSeconds);
    HttpCredentials given = options.credentials.empty() ? HttpCredentials{} : credentialsFile(options.credentials, err);
    takeCredentials(submission, given, options.credentials, "the credentials file");
    return submission;
}

}  // namespace moravel
