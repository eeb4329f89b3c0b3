// The command line of moravel-report.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace moravel {

constexpr int kDefaultTimeoutSeconds = 30;

struct ReportOptions {
    bool json = false;
    bool stats = false;
    bool help = false;
    bool version = false;
    bool redact = false;        // hide names, serial numbers and addresses
    std::string output;         // write the report here instead of standard output
    std::string snapshot;       // read answers from this snapshot instead of the platform
    std::string saveSnapshot;   // write the backend's answers here instead of a report
    std::string inventory;      // "glpi" or "ocs": print the fuller inventory in that format
    std::string submit;         // send the inventory to this server (OCS or GLPI) instead
    std::string tag;            // the server's tag for this machine
    std::string credentials;    // a file holding USER:PASSWORD for the server
    std::string config;         // a file that names the server, tag, timeout and credentials
    std::string compare;        // compare this snapshot (OLD) with NEW, or with this machine
    std::string compareWith;    // NEW, when given
    bool hardwareOnly = false;  // leave out the values that change by themselves
    bool details = false;       // print everything the inventory holds, grouped, instead
    // The seconds the whole exchange with the server may take, when given.
    std::optional<int> timeout;
};

// A command line that cannot be used; what() is one line for standard error.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

ReportOptions parseReportOptions(const std::vector<std::string>& arguments);  // throws UsageError

// The seconds a timeout of `text` gives: any decimal whole number from 1 to 86400, leading
// zeros allowed; else throws UsageError saying what `name` takes.
int timeoutSecondsOf(const std::string& text, const std::string& name);

// Why `url` is not that of an inventory server, in a usage error's words; empty when it is one.
std::string serverAddressProblem(const std::string& url);

extern const char* const kReportUsage;

}  // namespace moravel
