#include "tests/support/query_trace.h"

#include "query/wmi_classes.h"

namespace moravel::testing {

// The first property asked for in a cycle names its entry.
class TracingProvider::Trace : public ProviderTap {
public:
    void queryRun(const std::string& query) override {
        reads.push_back(classOfQuery(query).value_or(query));
        named_ = false;
    }
    void propertyAsked(const std::string&, std::size_t, const std::string& property) override { name(property); }
    // Objects stepped over were asked for the property too (or would have been, by a provider
    // that walks).
    void steppedOver(const std::string&, std::size_t, std::size_t, const std::string& property) override {
        name(property);
    }

    std::vector<std::string> reads;

private:
    void name(const std::string& property) {
        if (!named_ && !reads.empty()) reads.back() += "." + property;
        named_ = true;
    }
    bool named_ = false;
};

TracingProvider::TracingProvider(WmiProvider& inner)
    : trace_(std::make_shared<Trace>()), provider_(makeTappedProvider(inner, trace_)) {}

const std::vector<std::string>& TracingProvider::reads() const { return trace_->reads; }

}  // namespace moravel::testing
