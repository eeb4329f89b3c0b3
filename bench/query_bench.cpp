// queryWmiText per class on this machine's Linux provider. One run of the report is recorded
// first (which class, property and object each query asked for); each benchmark then replays
// the queries of one class, so the cost of every class reader is what the report pays for it and
// a slow reader stands out. MORAVEL_BENCH_ROOT=<dir> reads a fixture tree instead of "/".
#include <benchmark/benchmark.h>

#include <time.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "inventory/read_inventory.h"
#include "providers/backends.h"
#include "providers/linux/system/device_names.h"
#include "providers/linux/system/host_facts.h"
#include "providers/linux/linux_provider.h"
#include "query/backend.h"
#include "query/views/provider_tap.h"
#include "query/wmi_provider.h"
#include "query/wmi_query.h"
#include "sections/sections.h"

namespace moravel {
namespace {

struct Read {
    std::string query;
    std::string property;
    int index = -1;               // the last object the cycle reached: the one asked for
    double coldMicroseconds = 0;  // processor time in the recorded run, from this query to the next
};

// The thread's processor time: on a shared machine the wall clock of one run says little.
double cpuMicroseconds() {
    timespec now{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e6 + static_cast<double>(now.tv_nsec) / 1e3;
}

// Notes what each query cycle asked for: the query, the object last reached and the property
// last asked. A cycle's time runs from its query to the next cycle's query (or to finish()).
class ReadRecorder : public ProviderTap {
public:
    void queryRun(const std::string& query) override {
        finish();
        reads.push_back(Read{query, "", -1, 0});
        started_ = cpuMicroseconds();
    }
    void objectReached(const std::string&, std::size_t position) override {
        reads.back().index = static_cast<int>(position);
    }
    void propertyAsked(const std::string&, std::size_t, const std::string& property) override {
        reads.back().property = property;
    }
    void steppedOver(const std::string&, std::size_t first, std::size_t count, const std::string& property) override {
        reads.back().index = static_cast<int>(first + count - 1);
        reads.back().property = property;
    }
    void finish() {
        if (!reads.empty() && reads.back().coldMicroseconds == 0)
            reads.back().coldMicroseconds = cpuMicroseconds() - started_;
    }

    std::vector<Read> reads;

private:
    double started_ = 0;
};

class NullSink : public ReportSink {
public:
    void beginGroup(const char*, int, int, int, int, bool) override {}
    void addField(const char*, int, int, const std::string& text) override { benchmark::DoNotOptimize(text.data()); }
    void endGroup() override {}
    void progress(float) override {}
};

// The provider under test: the platform's, or one over a fixture tree.
struct Machine {
    std::unique_ptr<lx::DeviceNames> names;
    std::unique_ptr<lx::HostFacts> host;
    Backend backend;
};

Machine makeMachine() {
    Machine machine;
    const char* root = std::getenv("MORAVEL_BENCH_ROOT");
    if (!root || !*root) {
        machine.backend = makePlatformBackend();
        return machine;
    }
    machine.names = std::make_unique<lx::IdsFileNames>(lx::RootFs(root));
    machine.host = lx::makeSystemHostFacts();
    machine.backend = {lx::makeLinuxProvider(root, *machine.names, *machine.host), lx::makeLinuxProbes(root)};
    return machine;
}

void replay(benchmark::State& state, QueryContext* context, const std::vector<Read>& reads) {
    for (auto _ : state) {
        for (const Read& read : reads)
            benchmark::DoNotOptimize(queryWmiText(*context, read.index, read.query, read.property));
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(reads.size()));
    state.counters["queries"] = static_cast<double>(reads.size());
    double cold = 0;
    for (const Read& read : reads) cold += read.coldMicroseconds;
    state.counters["first_run_cpu_us"] = cold;  // what the class cost in the recorded (first) run
}

void wholeReport(benchmark::State& state, QueryContext* context) {
    context->queries = 0;
    NullSink sink;
    for (auto _ : state) buildAllGroups(*context, sink);
    const double perRun = static_cast<double>(context->queries) / static_cast<double>(state.iterations());
    state.counters["queries"] = benchmark::Counter(perRun);
}

// The inventory pass of --inventory and --submit: every class it reads, one query cycle each.
void inventoryPass(benchmark::State& state, const Backend* backend) {
    for (auto _ : state) benchmark::DoNotOptimize(readInventory(backend->provider.get(), backend->probes.get()));
}

}  // namespace
}  // namespace moravel

int main(int argc, char** argv) {
    using namespace moravel;
    benchmark::Initialize(&argc, argv);
    std::ostringstream diagnostics;  // the query layer's type lines are not the benchmark's output
    Machine machine = makeMachine();
    QueryContext context = machine.backend.context(&diagnostics);

    auto recorder = std::make_shared<ReadRecorder>();
    std::unique_ptr<WmiProvider> recording = makeTappedProvider(*machine.backend.provider, recorder);
    {
        QueryContext recorded{recording.get(), machine.backend.probes.get(), &diagnostics};
        NullSink sink;
        buildAllGroups(recorded, sink);
        recorder->finish();
    }

    std::map<std::string, std::vector<Read>> byClass;
    for (const Read& read : recorder->reads) byClass[read.query.substr(read.query.rfind(' ') + 1)].push_back(read);
    for (const auto& [name, reads] : byClass)
        benchmark::RegisterBenchmark(("queryWmiText/" + name).c_str(), replay, &context, reads);
    benchmark::RegisterBenchmark("report/all groups", wholeReport, &context);
    benchmark::RegisterBenchmark("inventory/the whole pass", inventoryPass, &machine.backend)
        ->Unit(benchmark::kMillisecond);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
