// What the provider reads of the SMBIOS table (/sys/firmware/dmi/tables/DMI, root only). Takes
// any bytes at all.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace moravel::lx {

// The highest ending address (KiB, inclusive) of the table's type 19 structures (Memory Array
// Mapped Address).
std::optional<std::uint64_t> smbiosEndingKib(const std::string& table);

}  // namespace moravel::lx
