// Hiding what identifies a machine or its owner, where values enter the query layer: a provider
// and probes that wrap any others, so every front end and every saved snapshot agree.
#pragma once

#include <string>

#include "query/backend.h"
#include "query/views/provider_tap.h"
#include "query/wmi_value.h"

namespace moravel {

constexpr const char* kHiddenText = "(hidden)";

// The value to hand out for `property` of `className`, as the class table says it identifies
// the machine or its owner: a name, owner, domain, serial number or UUID becomes "(hidden)", a
// MAC address keeps its form with every digit an X. Empty and valueless answers stay as they
// are, so every field rule takes the same road; other properties pass unchanged.
WmiValue redactedValue(const std::string& className, const std::string& property, WmiValue value);

// Notes whether any value read is one redaction has already hidden ("(hidden)", or an address
// with every digit an X, in a property it hides): a source that holds one was saved through
// redaction, whether or not it says so.
class HiddenValueSpotter : public ProviderTap {
public:
    void valueRead(const std::string& query, std::size_t, const std::string& property, WmiValue& value) override;
    bool spotted = false;
};

// `inner` behind the redacting wrappers, which own it.
Backend makeRedactedBackend(Backend inner);
// The same around a backend that stays where it is and must outlive the result.
Backend makeRedactedView(WmiProvider& provider, SystemProbes& probes);

}  // namespace moravel
