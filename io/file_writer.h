// Writing a file the way every file Moravel writes is written (a report, a snapshot, from the
// command line or from the window): a regular file or a new name is replaced whole or not at
// all, through a temporary file beside it that then takes its name; the old file's mode and,
// where this user may set it, its owner are kept. A symbolic link is followed and its target
// replaced. A device, FIFO or socket (/dev/null, /dev/stdout, a pipe) is written directly. A
// file this user could not open for writing is refused, as the shell would refuse it.
#pragma once

#include <optional>
#include <string>

namespace moravel {

// Writes `content` to `path`; on failure, the reason in a few words ("Permission denied",
// "File too large", "is a folder", "Broken pipe" when a FIFO's reader leaves, ...). A failed
// replacement leaves `path` as it was and no temporary file behind, also when a signal ends the
// program meanwhile (any a handler may catch: SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE, SIGALRM,
// SIGUSR1, ...).
std::optional<std::string> writeFileSafely(const std::string& path, const std::string& content);

// A write beyond the file size limit (ulimit -f) then fails with "File too large" instead of
// ending the program without a word (SIGXFSZ is ignored). writeFileSafely does this itself.
void ignoreFileSizeSignal();

}  // namespace moravel
