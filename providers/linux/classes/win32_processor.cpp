// Win32_Processor: one object per physical package, from /proc/cpuinfo and the cpu tree of sysfs.
#include <map>
#include <set>
#include <sstream>
#include <utility>

#include "providers/linux/parsers/arm_processor.h"
#include "providers/linux/parsers/cpuinfo.h"
#include "providers/linux/classes/readers.h"
#include "providers/linux/system/machine_identity.h"

namespace moravel::lx {
namespace {

using Package = std::vector<CpuBlock>;  // one physical package's processors, in the order of /proc/cpuinfo

std::string cpuDir(const CpuBlock& cpu) {
    return "/sys/devices/system/cpu/cpu" + cpuField(cpu, "processor").value_or("0");
}

// "0-3,8-11" as the set of processor numbers it names.
std::set<std::string> cpuList(const std::string& text) {
    std::set<std::string> cpus;
    std::istringstream ranges(text);
    for (std::string range; std::getline(ranges, range, ',');) {
        unsigned long first = std::strtoul(range.c_str(), nullptr, 10);
        std::size_t dash = range.find('-');
        unsigned long last = dash == std::string::npos ? first : std::strtoul(range.c_str() + dash + 1, nullptr, 10);
        for (unsigned long cpu = first; cpu <= last && cpu < first + 4096; ++cpu) cpus.insert(std::to_string(cpu));
    }
    return cpus;
}

// Cache sizes in KiB of one level over the package, each cache counted once however many
// processors share it; 0 when the caches are described and none is of this level (many ARM
// cores have no L3). A processor whose caches of this level were already seen through a
// sharer is not read again, so a large machine costs a few reads, not a walk of every cpu.
// The caches are the processor's own, fixed for the process: their files are read once.
std::optional<std::uint64_t> cacheKib(const RootFs& fs, const Package& package, unsigned level) {
    std::set<std::string> covered;  // processors whose caches of this level are counted
    std::optional<std::uint64_t> total;
    bool described = false;
    for (const CpuBlock& cpu : package) {
        std::string number = cpuField(cpu, "processor").value_or("");
        if (covered.count(number)) continue;
        covered.insert(number);
        std::string cacheDir = cpuDir(cpu) + "/cache";
        for (const std::string& index : fs.listOnce(cacheDir)) {
            std::string dir = cacheDir + "/" + index;
            if (index.compare(0, 5, "index") != 0) continue;
            described = true;
            if (fs.numberOnce(dir + "/level") != std::optional<std::uint64_t>(level)) continue;
            if (level > 1 && fs.lineOnce(dir + "/type") == std::optional<std::string>("Instruction")) continue;
            std::optional<std::string> size = fs.lineOnce(dir + "/size");
            if (!size) continue;
            std::set<std::string> sharers = cpuList(fs.lineOnce(dir + "/shared_cpu_list").value_or(""));
            covered.insert(sharers.begin(), sharers.end());
            std::uint64_t kib = std::strtoull(size->c_str(), nullptr, 10);
            if (size->back() == 'M') kib *= 1024;
            total = total.value_or(0) + kib;
        }
    }
    return described ? total.value_or(0) : total;
}

// The processor packages by physical id, in order.
std::vector<Package> packagesOf(const std::optional<std::string>& cpuinfo) {
    std::map<std::uint64_t, Package> packages;
    for (CpuBlock& cpu : cpuinfoBlocks(cpuinfo.value_or(""))) {
        if (!cpuField(cpu, "processor")) continue;  // ARM's trailing "Hardware" block and the like
        packages[cpuNumber(cpu, "physical id").value_or(0)].push_back(std::move(cpu));
    }
    std::vector<Package> list;
    for (auto& entry : packages) list.push_back(std::move(entry.second));
    return list;
}

// /proc/cpuinfo costs the kernel tens of microseconds to format, every flag of every processor.
// What it says of a processor's identity (CPUID: name, maker, family, flags) cannot change
// while the process runs, so its packages are kept while the set of online processors stays
// the same; the clock, which does change, is read afresh.
std::shared_ptr<const std::vector<Package>> keptPackages(const RootFs& fs) {
    return fs.keptWhile<std::vector<Package>>("/proc/cpuinfo",
                                              fs.lineAgain("/sys/devices/system/cpu/online").value_or(""),
                                              [&] { return packagesOf(fs.read("/proc/cpuinfo")); });
}

std::optional<std::string> currentField(const RootFs& fs, const CpuBlock& cpu, const char* key) {
    std::optional<std::string> text = fs.read("/proc/cpuinfo");
    if (!text) return std::nullopt;
    for (const CpuBlock& now : cpuinfoBlocks(*text))
        if (cpuField(now, "processor") == cpuField(cpu, "processor")) return cpuField(now, key);
    return std::nullopt;
}

// Without cpufreq both clocks come from "cpu MHz": the current one read afresh, the maximum (a
// rating, fixed) from the kept text.
std::optional<std::uint64_t> megahertz(const RootFs& fs, const CpuBlock& cpu, const char* cpufreqFile, bool current) {
    if (std::optional<std::uint64_t> khz = fs.number(cpuDir(cpu) + "/cpufreq/" + cpufreqFile)) return *khz / 1000;
    std::optional<std::string> mhz = current ? currentField(fs, cpu, "cpu MHz") : cpuField(cpu, "cpu MHz");
    if (!mhz) return std::nullopt;
    return roundedMeasure(std::strtod(mhz->c_str(), nullptr));
}

// CPUID leaf 1 itself where the processor can be asked; rebuilt from the text elsewhere.
std::optional<std::string> processorId(const HostFacts& host, const CpuBlock& cpu) {
    if (isArmProcessor(cpu)) return armProcessorId(cpu);
    if (std::optional<CpuidLeaf> leaf = host.cpuidLeafOne()) return processorIdOf(leaf->edx, leaf->eax);
    return cpuProcessorId(cpu);
}

std::uint64_t coreCount(const Package& package) {
    std::set<std::string> cores;
    for (const CpuBlock& cpu : package)
        cores.insert(cpuField(cpu, "core id").value_or(cpuField(cpu, "processor").value_or("")));
    return cores.size();
}

// x86 processors carry their brand string; ARM ones are named from their part numbers.
std::optional<std::string> name(const RootFs& fs, const Package& package) {
    const CpuBlock& first = package.front();
    if (isArmProcessor(first)) return armProcessorName(package, deviceTreeSoc(fs));
    return cpuField(first, "model name");
}

std::optional<std::string> manufacturer(const CpuBlock& cpu) {
    return isArmProcessor(cpu) ? armManufacturer(cpu) : cpuField(cpu, "vendor_id");
}

std::optional<std::string> description(const CpuBlock& cpu) {
    return isArmProcessor(cpu) ? armDescription(cpu) : cpuDescription(cpu);
}

// Win32_Processor's Architecture for uname's machine names.
std::optional<std::uint64_t> architectureCode(const std::string& machine) {
    if (machine == "x86_64") return 9;
    if (machine.size() == 4 && machine[0] == 'i' && machine.compare(2, 2, "86") == 0) return 0;
    if (machine == "aarch64" || machine == "arm64") return 12;
    if (machine.compare(0, 3, "arm") == 0) return 5;
    if (machine.compare(0, 3, "ppc") == 0) return 3;
    if (machine.compare(0, 4, "mips") == 0) return 1;
    return std::nullopt;
}

std::unique_ptr<LinuxObject> processorObject(const LinuxContext& context, std::shared_ptr<const Package> package,
                                             std::size_t index) {
    const RootFs* fs = &context.fs;
    const HostFacts* host = &context.host;
    const CpuBlock& first = package->front();
    std::string machine = context.host.machine();
    auto object = std::make_unique<LinuxObject>();
    object->add("Name", [fs, package] { return stringOrNull(name(*fs, *package)); })
        .add("DeviceID", [index] { return WmiValue::string("CPU" + std::to_string(index)); })
        .add("Manufacturer", [&first, package] { return stringOrNull(manufacturer(first)); })
        .add("Description", [&first, package] { return stringOrNull(description(first)); })
        .add("Caption", [&first, package] { return stringOrNull(description(first)); })
        .add("ProcessorId", [host, &first, package] { return stringOrNull(processorId(*host, first)); })
        .add("NumberOfCores", [package] { return uint32OrNull(coreCount(*package)); })
        .add("NumberOfLogicalProcessors", [package] { return uint32OrNull(package->size()); })
        .add("L2CacheSize", [fs, package] { return uint32OrNull(cacheKib(*fs, *package, 2)); })
        .add("L3CacheSize", [fs, package] { return uint32OrNull(cacheKib(*fs, *package, 3)); })
        .add("CurrentClockSpeed",
             [fs, &first, package] { return uint32OrNull(megahertz(*fs, first, "scaling_cur_freq", true)); })
        .add("MaxClockSpeed",
             [fs, &first, package] { return uint32OrNull(megahertz(*fs, first, "cpuinfo_max_freq", false)); })
        .add("DataWidth",
             [&first, package, machine] {
                 bool wide = cpuField(first, "flags") ? hasFlag(cpuFlags(first), "lm")
                                                      : machine.find("64") != std::string::npos;
                 return WmiValue::i4(wide ? 64 : 32);
             })
        .add("Architecture", [machine] { return uint32OrNull(architectureCode(machine)); })
        .addNull("ExtClock")
        .addNull("SocketDesignation");
    return object;
}

}  // namespace

ObjectList readProcessors(const LinuxContext& context) {
    ObjectList objects;
    std::shared_ptr<const std::vector<Package>> packages = keptPackages(context.fs);
    for (std::size_t index = 0; index < packages->size(); ++index)  // each object shares the kept list
        objects.push_back(
            processorObject(context, std::shared_ptr<const Package>(packages, &(*packages)[index]), index));
    return objects;
}

}  // namespace moravel::lx
