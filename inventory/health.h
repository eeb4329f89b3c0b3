// Health as people read it, beside each disk and battery (the Details list, --details, the
// comparison): "Power-on: 14,200 hours", "Wear: 23 %", "Holds: 71 % of its design capacity".
#pragma once

#include <string>
#include <vector>

#include "inventory/inventory.h"

namespace moravel {

struct HealthLine {
    std::string label;
    std::string text;
};

// The disk's health that it reports: for SSDs wear and media errors, for hard disks reallocated
// and pending sectors.
std::vector<HealthLine> diskHealthLines(const Disk& disk);
std::vector<HealthLine> batteryHealthLines(const Battery& battery);

// What keeps disk health from showing, said once: the program needs to run as administrator or
// root (it was refused), the source records none (an older snapshot), or no disk reports any
// (virtual disks, say); empty otherwise.
std::string diskHealthNote(const Inventory& inventory);

// A whole number with its thousands grouped: "14,200".
std::string groupedNumber(std::uint64_t value);

}  // namespace moravel
