// A snap's meta/snap.yaml: the top-level "key: value" lines and the first item of a top-level
// list. Not a YAML parser: snapd writes these few keys plainly. Takes any text at all.
#pragma once

#include <string>

namespace moravel::lx {

// The value of top-level `key`, its quotes removed; empty when missing. For a key whose value
// is a list ("architectures:" then "  - amd64" lines), its first item.
std::string snapYamlValue(const std::string& text, const std::string& key);

}  // namespace moravel::lx
