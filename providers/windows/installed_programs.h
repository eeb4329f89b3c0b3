// The installed software class on Windows: the uninstall records of the registry, which the
// Programs list shows (never Win32_Product, whose every query makes Windows Installer check and
// repair each package it installed).
#pragma once

#include "query/object_source.h"

namespace moravel::windows {

// Every uninstall record: HKLM in its 64- and 32-bit views, the user's own (HKCU) and, when run
// as SYSTEM (the service), each user's hive loaded under HKEY_USERS. The records the Programs
// list leaves out are listed with the marks that leave them out.
ClassObjects installedPrograms();

}  // namespace moravel::windows
