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
#include "query/backend.h"
#include "query/linux/device_names.h"
#include "query/linux/host_facts.h"
#include "query/linux/linux_provider.h"
#include "query/wmi_provider.h"
#include "query/wmi_query.h"
#include "sections/sections.h"

namespace moravel {
namespace {

struct Read {
    std::string query;
    std::string property;
    int index = -1;  // next() calls of the cycle less one: the object asked for
    double coldMicroseconds = 0;  // processor time in the recorded run, from this query to the next
};

// The thread's processor time: on a shared machine the wall clock of one run says little.
double cpuMicroseconds() {
    timespec now{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e6 + now.tv_nsec / 1e3;
}

// Wraps the provider's enumerator and objects to note what each query cycle asked for.
class RecordingEnumerator : public WmiEnumerator {
public:
    RecordingEnumerator(std::unique_ptr<WmiEnumerator> inner, Read& read) : inner_(std::move(inner)), read_(read) {}
    std::unique_ptr<WmiObject> next() override;

private:
    std::unique_ptr<WmiEnumerator> inner_;
    Read& read_;
};

class RecordingObject : public WmiObject {
public:
    RecordingObject(std::unique_ptr<WmiObject> inner, Read& read) : inner_(std::move(inner)), read_(read) {}
    HResult get(const std::string& property, WmiValue& value) override {
        read_.property = property;
        return inner_->get(property, value);
    }

private:
    std::unique_ptr<WmiObject> inner_;
    Read& read_;
};

std::unique_ptr<WmiObject> RecordingEnumerator::next() {
    ++read_.index;
    std::unique_ptr<WmiObject> object = inner_->next();
    return object ? std::make_unique<RecordingObject>(std::move(object), read_) : nullptr;
}

class RecordingServices : public WmiServices {
public:
    RecordingServices(std::unique_ptr<WmiServices> inner, std::vector<std::unique_ptr<Read>>& reads)
        : inner_(std::move(inner)), reads_(reads) {}
    HResult setProxyBlanket() override { return inner_->setProxyBlanket(); }
    HResult execQuery(const std::string& language, const std::string& query, long flags,
                      std::unique_ptr<WmiEnumerator>& enumerator) override {
        std::unique_ptr<WmiEnumerator> inner;
        HResult hr = inner_->execQuery(language, query, flags, inner);
        reads_.push_back(std::make_unique<Read>(Read{query, "", -1, 0}));
        if (inner) enumerator = std::make_unique<RecordingEnumerator>(std::move(inner), *reads_.back());
        return hr;
    }

private:
    std::unique_ptr<WmiServices> inner_;
    std::vector<std::unique_ptr<Read>>& reads_;
};

class RecordingProvider : public WmiProvider {
public:
    explicit RecordingProvider(WmiProvider& inner) : inner_(inner) {}
    // A cycle's time runs from its start to the next cycle's start (or to finish()).
    void beginCycle(const std::string& wqlQuery) override {
        finish();
        started_ = cpuMicroseconds();
        inner_.beginCycle(wqlQuery);
    }
    void finish() {
        if (!reads.empty() && reads.back()->coldMicroseconds == 0)
            reads.back()->coldMicroseconds = cpuMicroseconds() - started_;
    }
    HResult initialize() override { return inner_.initialize(); }
    HResult initializeSecurity() override { return inner_.initializeSecurity(); }
    void uninitialize() override { inner_.uninitialize(); }
    HResult createLocator(std::unique_ptr<WmiLocator>& locator) override;

    std::vector<std::unique_ptr<Read>> reads;

private:
    class Locator : public WmiLocator {
    public:
        Locator(std::unique_ptr<WmiLocator> inner, std::vector<std::unique_ptr<Read>>& reads)
            : inner_(std::move(inner)), reads_(reads) {}
        HResult connectServer(const std::string& path, std::unique_ptr<WmiServices>& services) override {
            std::unique_ptr<WmiServices> inner;
            HResult hr = inner_->connectServer(path, inner);
            if (inner) services = std::make_unique<RecordingServices>(std::move(inner), reads_);
            return hr;
        }

    private:
        std::unique_ptr<WmiLocator> inner_;
        std::vector<std::unique_ptr<Read>>& reads_;
    };
    WmiProvider& inner_;
    double started_ = 0;
};

HResult RecordingProvider::createLocator(std::unique_ptr<WmiLocator>& locator) {
    std::unique_ptr<WmiLocator> inner;
    HResult hr = inner_.createLocator(inner);
    if (inner) locator = std::make_unique<Locator>(std::move(inner), reads);
    return hr;
}

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

void replay(benchmark::State& state, const std::vector<Read>& reads) {
    for (auto _ : state) {
        for (const Read& read : reads) benchmark::DoNotOptimize(queryWmiText(read.index, read.query, read.property));
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(reads.size()));
    state.counters["queries"] = static_cast<double>(reads.size());
    double cold = 0;
    for (const Read& read : reads) cold += read.coldMicroseconds;
    state.counters["first_run_cpu_us"] = cold;  // what the class cost in the recorded (first) run
}

void wholeReport(benchmark::State& state) {
    resetQueryCount();
    NullSink sink;
    for (auto _ : state) buildAllGroups(sink);
    state.counters["queries"] = benchmark::Counter(static_cast<double>(queryCount()) / state.iterations());
}

// The inventory pass of --inventory and --submit: every class it reads, one query cycle each.
void inventoryPass(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(readInventory());
}

}  // namespace
}  // namespace moravel

int main(int argc, char** argv) {
    using namespace moravel;
    benchmark::Initialize(&argc, argv);
    std::ostringstream diagnostics;  // the query layer's type lines are not the benchmark's output
    setDiagnosticStream(diagnostics);
    Machine machine = makeMachine();
    machine.backend.install();

    RecordingProvider recorder(*machine.backend.provider);
    setWmiProvider(&recorder);
    NullSink sink;
    buildAllGroups(sink);
    recorder.finish();
    setWmiProvider(machine.backend.provider.get());

    std::map<std::string, std::vector<Read>> byClass;
    for (const auto& read : recorder.reads) byClass[read->query.substr(read->query.rfind(' ') + 1)].push_back(*read);
    for (const auto& [name, reads] : byClass)
        benchmark::RegisterBenchmark(("queryWmiText/" + name).c_str(), replay, reads);
    benchmark::RegisterBenchmark("report/all groups", wholeReport);
    benchmark::RegisterBenchmark("inventory/the whole pass", inventoryPass)->Unit(benchmark::kMillisecond);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    setWmiProvider(nullptr);
    setSystemProbes(nullptr);
    return 0;
}
