// The service's state folder on Linux: systemd names it in STATE_DIRECTORY (StateDirectory=
// makes it); a run outside the service uses /var/lib/moravel when it exists and it may write there.
#include <unistd.h>

#include <cstdlib>

#include "io/device_state.h"

namespace moravel {

std::optional<std::string> stateDirectory() {
    const char* given = std::getenv("STATE_DIRECTORY");
    // systemd lists one folder per StateDirectory= entry, separated by colons: ours is the first.
    std::string directory = given && *given ? std::string(given).substr(0, std::string(given).find(':'))
                                            : std::string("/var/lib/moravel");
    if (::access(directory.c_str(), W_OK | X_OK) != 0) return std::nullopt;
    return directory;
}

}  // namespace moravel
