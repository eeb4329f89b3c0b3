// The command line of moravel-report.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace moravel {

// What the program does, decided once from the whole command line.
enum class ReportMode {
    Report,        // the 38 fields, as text or JSON
    Help,          // the usage
    Version,       // the version line
    SaveSnapshot,  // the backend's answers, to `saveSnapshot`
    Inventory,     // the fuller inventory, in `format`
    Submit,        // the fuller inventory, sent to `submit` or as `config` says
    Compare,       // `compare` against `compareWith` or this machine
    Details,       // everything the inventory holds, grouped
};

enum class InventoryFormat { Glpi, Ocs };

constexpr int kDefaultTimeoutSeconds = 30;

struct ReportOptions {
    ReportMode mode = ReportMode::Report;
    bool json = false;
    bool stats = false;
    bool redact = false;       // hide names, serial numbers and addresses
    std::string output;        // write the report here instead of standard output
    std::string snapshot;      // read answers from this snapshot instead of the platform
    std::string saveSnapshot;  // write the backend's answers here instead of a report
    InventoryFormat format = InventoryFormat::Glpi;
    std::string submit;         // the server (OCS or GLPI) the inventory is sent to
    std::string tag;            // the server's tag for this machine
    std::string credentials;    // a file holding USER:PASSWORD for the server
    std::string config;         // a file that names the server, tag, timeout and credentials
    std::string compare;        // compare this snapshot (OLD) with NEW, or with this machine
    std::string compareWith;    // NEW, when given
    bool hardwareOnly = false;  // leave out the values that change by themselves
    // The seconds the whole exchange with the server may take, when given.
    std::optional<int> timeout;
};

// A command line that cannot be used; what() is one line for standard error.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

ReportOptions parseReportOptions(const std::vector<std::string>& arguments);  // throws UsageError

// "--name VALUE" or "--name=VALUE" at `arguments[i]`: true, with the value in `value` and `i`
// advanced past a separate VALUE; false for any other argument. A missing or empty value throws
// UsageError, which names it as `what`.
bool takesValue(const std::vector<std::string>& arguments, std::size_t& i, const std::string& name, std::string& value,
                const char* what = "a value");

// The seconds a timeout of `text` gives: any decimal whole number from 1 to 86400, leading
// zeros allowed; else throws UsageError saying what `name` takes.
int timeoutSecondsOf(const std::string& text, const std::string& name);

// Why `url` is not that of an inventory server, in a usage error's words; empty when it is one.
std::string serverAddressProblem(const std::string& url);

extern const char* const kReportUsage;

}  // namespace moravel
