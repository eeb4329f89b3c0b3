#include "app/report_options.h"

namespace moravel {
namespace {

// "--name FILE" or "--name=FILE"; advances `i` past a separate argument.
bool takesFile(const std::vector<std::string>& arguments, std::size_t& i, const std::string& name,
               std::string& file) {
    const std::string& argument = arguments[i];
    if (argument.compare(0, name.size() + 1, name + "=") == 0) {
        file = argument.substr(name.size() + 1);
    } else if (argument == name) {
        if (i + 1 >= arguments.size()) throw UsageError("option '" + name + "' needs a file name");
        file = arguments[++i];
    } else {
        return false;
    }
    if (file.empty()) throw UsageError("option '" + name + "' needs a file name");
    return true;
}

// The optional NEW after "--compare OLD": the next argument, unless it is an option.
void takesNew(const std::vector<std::string>& arguments, std::size_t& i, std::string& file) {
    if (i + 1 < arguments.size() && !arguments[i + 1].empty() && arguments[i + 1][0] != '-') file = arguments[++i];
}

void checkCompare(const ReportOptions& options) {
    if (options.compare.empty()) {
        if (options.hardwareOnly) throw UsageError("option '--hardware-only' goes with '--compare'");
        return;
    }
    if (!options.saveSnapshot.empty()) throw UsageError("options '--compare' and '--save-snapshot' do not go together");
    if (options.stats) throw UsageError("options '--compare' and '--stats' do not go together");
    if (!options.compareWith.empty() && !options.snapshot.empty())
        throw UsageError("'--compare OLD NEW' and '--snapshot' both name NEW; give one");
}

}  // namespace

const char* const kReportUsage =
    "Usage: moravel-report [OPTION]...\n"
    "Print the computer's inventory as the Moravel window shows it.\n"
    "\n"
    "  --json                 print the groups and fields as one line of JSON\n"
    "  --stats                after the report, print the number of queries and the time\n"
    "                         taken to standard error\n"
    "  --snapshot FILE        read the answers from a snapshot file instead of this computer\n"
    "                         (also taken from MORAVEL_SNAPSHOT)\n"
    "  --save-snapshot FILE   write what this computer (or the snapshot) answers to FILE\n"
    "                         as a snapshot, and print no report\n"
    "  --redact               hide what identifies the computer and its owner: computer,\n"
    "                         owner and domain names and serial numbers become \"(hidden)\",\n"
    "                         MAC addresses XX-XX-XX-XX-XX-XX; also in a saved snapshot\n"
    "  --output FILE          write the report to FILE instead of standard output; FILE is\n"
    "                         replaced whole or left as it was (status 2 when it cannot be)\n"
    "  --compare OLD [NEW]    print what differs between snapshot OLD and snapshot NEW, or\n"
    "                         this computer when NEW is left out: one line per field\n"
    "                         (Group / Caption: old \xE2\x86\x92 new), then the values that change by\n"
    "                         themselves under \"Expected to change\"; exit status 0 when\n"
    "                         nothing differs, 1 when something does, 2 on an unusable file\n"
    "  --hardware-only        with --compare: leave out the values that change by themselves\n"
    "                         (available memory, last boot, free space, charge, clock)\n"
    "  --help                 show this help and exit\n"
    "  --version              show the version and exit\n"
    "\n"
    "The window, moravel, shares the same report: a right click on it opens a menu with\n"
    "Copy report (Ctrl+Shift+C; to the clipboard and the selection), Save report... (Ctrl+S;\n"
    "a name ending in .json gives the JSON form), Save snapshot... and the switch\n"
    "Hide serial numbers and addresses, which works as --redact for all three.\n";

ReportOptions parseReportOptions(const std::vector<std::string>& arguments) {
    ReportOptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--json") options.json = true;
        else if (argument == "--stats") options.stats = true;
        else if (argument == "--help" || argument == "-h") options.help = true;
        else if (argument == "--version") options.version = true;
        else if (takesFile(arguments, i, "--snapshot", options.snapshot)) continue;
        else if (argument == "--redact") options.redact = true;
        else if (takesFile(arguments, i, "--save-snapshot", options.saveSnapshot)) continue;
        else if (takesFile(arguments, i, "--output", options.output)) continue;
        else if (takesFile(arguments, i, "--compare", options.compare)) takesNew(arguments, i, options.compareWith);
        else if (argument == "--hardware-only") options.hardwareOnly = true;
        else if (!argument.empty() && argument[0] == '-') throw UsageError("unknown option '" + argument + "'");
        else throw UsageError("unexpected argument '" + argument + "'");
    }
    if (!options.output.empty() && !options.saveSnapshot.empty())
        throw UsageError("options '--output' and '--save-snapshot' each name the one file to write; give one");
    checkCompare(options);
    return options;
}

}  // namespace moravel
