// What Moravel keeps between runs where its service runs: the device id it last sent an
// inventory server, so that a renamed machine can tell the server which record is its own.
// The place is /var/lib/moravel ($STATE_DIRECTORY, which systemd sets for the service) or
// %ProgramData%\Moravel. A run that has no such place it may write (a user's own run) keeps
// nothing and goes on as it always did.
#pragma once

#include <optional>
#include <string>

namespace moravel {

// The folder, when it exists (on Windows: or can be made) and this process may write in it.
std::optional<std::string> stateDirectory();

// The device id kept in `directory`; nothing when there is none or the file is not one.
std::optional<std::string> keptDeviceId(const std::string& directory);

// Keeps `deviceId` in `directory`; the reason in a few words when it could not.
std::optional<std::string> keepDeviceId(const std::string& directory, const std::string& deviceId);

}  // namespace moravel
