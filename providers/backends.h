// The backends a program starts with: the platform's own provider (providers/linux or
// providers/windows, whichever the build links), or a snapshot named by the environment.
#pragma once

#include "query/backend.h"

namespace moravel {

Backend makePlatformBackend();

// Whether makeBackendFromEnvironment gives this machine itself (MORAVEL_SNAPSHOT names no file).
bool environmentGivesThisMachine();

// The snapshot named by MORAVEL_SNAPSHOT if set, else the platform's backend; throws
// SnapshotError (query/snapshot/snapshot_provider.h) for a snapshot that cannot be used.
Backend makeBackendFromEnvironment();

}  // namespace moravel
