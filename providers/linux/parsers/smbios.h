// What the provider reads of the SMBIOS table (/sys/firmware/dmi/tables/DMI, root only). Takes
// any bytes at all.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace moravel::lx {

// One structure of the table: its formatted area and the strings that follow it.
struct SmbiosStructure {
    std::string area;
    std::vector<std::string> strings;

    // `bytes` bytes at `at` of the formatted area, least significant first; 0 beyond its length.
    std::uint64_t field(std::size_t at, std::size_t bytes) const;
    // The string a byte at `at` numbers (from 1), without surrounding blanks; empty for none.
    std::string text(std::size_t at) const;
};

// The structures of `type`, in table order, up to the end-of-table structure or the first one
// that does not fit.
std::vector<SmbiosStructure> smbiosStructures(const std::string& table, unsigned type);

// The highest ending address (KiB, inclusive) of the table's type 19 structures (Memory Array
// Mapped Address).
std::optional<std::uint64_t> smbiosEndingKib(const std::string& table);

}  // namespace moravel::lx
