// The KEY=value lines of os-release. Takes any text at all.
#pragma once

#include <optional>
#include <string>

namespace moravel::lx {

// The value of `key`, unquoted and its escapes resolved; nothing when missing or empty.
std::optional<std::string> osReleaseValue(const std::string& text, const std::string& key);

// The distribution's release as inventory servers list it: os-release's VERSION_ID ("12",
// "22.04"), or Debian's point release ("12.11") where /etc/debian_version's first line carries
// it (testing's "trixie/sid", Ubuntu's "bookworm/sid" do not).
std::optional<std::string> distributionRelease(const std::string& osRelease, const std::string& debianVersion);

}  // namespace moravel::lx
