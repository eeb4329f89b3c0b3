// What --submit or --config says to send and how: the server, its tag, the time allowed and the
// user name and password, from the command line, a credentials file (--credentials) or the
// configuration file (--config), so a password need never be an argument the process list shows.
#pragma once

#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>

#include "cli/options.h"
#include "io/http.h"

namespace moravel {

struct Submission {
    std::string server;  // as given, user information and all: lines name it with its password hidden
    std::string url;     // what is sent to: without user information
    std::string tag;
    int timeoutSeconds = kDefaultTimeoutSeconds;
    HttpCredentials credentials;
};

// A credentials or configuration file that cannot be used; what() is one line naming it.
class SubmissionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The submission the options ask for; nothing when the configuration file names no server (a
// line on `err` says so). A file that holds a password and that users other than its owner and
// group may read gets a warning on `err`. Throws SubmissionError.
std::optional<Submission> submissionOf(const ReportOptions& options, std::ostream& err);

}  // namespace moravel
