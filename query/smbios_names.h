// Names of the SMBIOS memory device codes (type 17), which WMI hands on as numbers and Linux's
// udev as names: one table for both directions.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace moravel {

// Memory type: 26 "DDR4", 34 "DDR5"; empty for a code without a name.
std::string smbiosMemoryTypeName(std::uint64_t code);
std::optional<std::uint64_t> smbiosMemoryTypeCode(const std::string& name);

// Form factor as SMBIOS names it (13 "SODIMM"), and as WMI's FormFactor counts (CIM: 12).
std::optional<std::uint64_t> smbiosFormFactorCode(const std::string& name);
std::optional<std::uint64_t> cimFormFactor(std::uint64_t smbiosCode);

}  // namespace moravel
