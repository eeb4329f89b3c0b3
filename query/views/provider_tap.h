// A provider that passes every call of a query cycle through to another and lets a tap watch
// what comes back: the failing step, the query run, the objects handed out, and each property
// asked for and read, whose value the tap may change. Redaction and recording are taps, and so
// are the tests' trace and the benchmark's recorder.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "query/wmi_provider.h"

namespace moravel {

class ProviderTap {
public:
    virtual ~ProviderTap() = default;
    // A step of the cycle for `query` failed, or succeeded without the interface it was to give.
    virtual void stepFailed(const std::string& query, CycleStep step, HResult hr) { (void)query, (void)step, (void)hr; }
    // ExecQuery ran `query`, whatever it answered.
    virtual void queryRun(const std::string& query) { (void)query; }
    // Object `position` (from 0) of `query` was handed out. Objects a read steps over to reach
    // the one it wants are not handed out and pass no tap.
    virtual void objectReached(const std::string& query, std::size_t position) { (void)query, (void)position; }
    // `count` objects from `first` on were stepped over on the way to `property` of a later one.
    virtual void steppedOver(const std::string& query, std::size_t first, std::size_t count,
                             const std::string& property) {
        (void)query, (void)first, (void)count, (void)property;
    }
    // A property of that object is asked for, whether or not it can be read.
    virtual void propertyAsked(const std::string& query, std::size_t position, const std::string& property) {
        (void)query, (void)position, (void)property;
    }
    // A property of that object was read; the tap may change the value handed out.
    virtual void valueRead(const std::string& query, std::size_t position, const std::string& property,
                           WmiValue& value) {
        (void)query, (void)position, (void)property, (void)value;
    }
};

// `inner` with `tap` watching; `owned`, if given, is `inner` and lives as long as the result.
std::unique_ptr<WmiProvider> makeTappedProvider(WmiProvider& inner, std::shared_ptr<ProviderTap> tap,
                                                std::unique_ptr<WmiProvider> owned = nullptr);

}  // namespace moravel
