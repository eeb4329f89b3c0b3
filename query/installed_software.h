// The installed software list. It is no WMI class on any system: Windows keeps the programs it
// lists as uninstall records in the registry and Linux in its package databases, so each provider
// answers this one class from those, and a snapshot carries the list like any other class.
#pragma once

#include <cstddef>
#include <string>

namespace moravel {

constexpr const char* kInstalledSoftwareClass = "Moravel_InstalledSoftware";

// What a provider lists at most, so that no database, however large or hostile, makes the list,
// the inventory or a snapshot unbounded: this many programs, each text this many bytes.
constexpr std::size_t kMaxInstalledSoftware = 20000;
constexpr std::size_t kMaxSoftwareTextBytes = 512;

// `text` cut to at most kMaxSoftwareTextBytes bytes, never inside a UTF-8 character.
std::string clippedSoftwareText(std::string text);

}  // namespace moravel
