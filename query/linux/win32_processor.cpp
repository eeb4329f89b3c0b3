// Win32_Processor: one object per physical package, from /proc/cpuinfo and the cpu tree of sysfs.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <set>
#include <sstream>
#include <utility>

#include "query/linux/arm_processor.h"
#include "query/linux/content_parsers.h"
#include "query/linux/linux_classes.h"
#include "query/linux/machine_identity.h"
#include "query/wmi_query.h"

namespace moravel::lx {
namespace {

struct Package {
    std::vector<CpuBlock> cpus;  // in the order of /proc/cpuinfo
};

std::vector<CpuBlock> parseCpuinfo(const std::string& text) {
    std::vector<CpuBlock> blocks(1);
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        std::size_t colon = line.find(':');
        if (trim(line).empty()) {
            if (!blocks.back().empty()) blocks.emplace_back();
        } else if (colon != std::string::npos) {
            blocks.back()[trim(line.substr(0, colon))] = trim(line.substr(colon + 1));
        }
    }
    if (blocks.back().empty()) blocks.pop_back();
    return blocks;
}

std::optional<std::string> field(const CpuBlock& cpu, const char* key) {
    auto it = cpu.find(key);
    if (it == cpu.end() || it->second.empty()) return std::nullopt;
    return it->second;
}

std::optional<std::uint64_t> number(const CpuBlock& cpu, const char* key) {
    std::optional<std::string> text = field(cpu, key);
    return text ? parseNumber(*text) : std::nullopt;
}

std::vector<std::string> flagsOf(const CpuBlock& cpu) { return splitWords(field(cpu, "flags").value_or("")); }

bool hasFlag(const std::vector<std::string>& flags, const std::string& flag) {
    return std::find(flags.begin(), flags.end(), flag) != flags.end();
}

std::string cpuDir(const CpuBlock& cpu) {
    return "/sys/devices/system/cpu/cpu" + field(cpu, "processor").value_or("0");
}

std::optional<std::string> description(const CpuBlock& cpu) {
    if (isArmProcessor(cpu)) return armDescription(cpu);
    std::optional<std::uint64_t> family = number(cpu, "cpu family");
    std::optional<std::uint64_t> model = number(cpu, "model");
    std::optional<std::uint64_t> stepping = number(cpu, "stepping");
    if (!family || !model || !stepping) return std::nullopt;
    std::string vendor = field(cpu, "vendor_id").value_or("");
    std::string kind = !hasFlag(flagsOf(cpu), "lm") ? "x86" : vendor == "AuthenticAMD" || vendor == "HygonGenuine" ? "AMD64" : "Intel64";
    return kind + " Family " + std::to_string(*family) + " Model " + std::to_string(*model) + " Stepping " +
           std::to_string(*stepping);
}

// CPUID leaf 1 as Windows shows it: EDX (the feature flags) then EAX (the signature), both
// rebuilt from what the kernel read from that leaf.
std::optional<std::string> processorId(const CpuBlock& cpu) {
    if (isArmProcessor(cpu)) return armProcessorId(cpu);
    std::optional<std::uint64_t> family = number(cpu, "cpu family");
    std::optional<std::uint64_t> model = number(cpu, "model");
    std::optional<std::uint64_t> stepping = number(cpu, "stepping");
    if (!family || !model || !stepping || !field(cpu, "flags")) return std::nullopt;
    std::uint32_t baseFamily = *family < 15 ? static_cast<std::uint32_t>(*family) : 15;
    std::uint32_t extendedFamily = *family < 15 ? 0 : static_cast<std::uint32_t>(*family - 15);
    std::uint32_t eax = static_cast<std::uint32_t>(*stepping & 0xF) | static_cast<std::uint32_t>(*model & 0xF) << 4 |
                        baseFamily << 8 | static_cast<std::uint32_t>((*model >> 4) & 0xF) << 16 |
                        (extendedFamily & 0xFF) << 20;
    static const char* const kEdxFlags[32] = {
        "fpu", "vme", "de", "pse", "tsc", "msr", "pae", "mce", "cx8", "apic", nullptr, "sep", "mtrr", "pge", "mca", "cmov",
        "pat", "pse36", "pn", "clflush", nullptr, "dts", "acpi", "mmx", "fxsr", "sse", "sse2", "ss", "ht", "tm", "ia64", "pbe"};
    std::vector<std::string> flags = flagsOf(cpu);
    std::uint32_t edx = 0;
    for (unsigned bit = 0; bit < 32; ++bit)
        if (kEdxFlags[bit] && hasFlag(flags, kEdxFlags[bit])) edx |= 1u << bit;
    char text[20];
    std::snprintf(text, sizeof text, "%08X%08X", edx, eax);
    return std::string(text);
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
    for (const CpuBlock& cpu : package.cpus) {
        std::string number = field(cpu, "processor").value_or("");
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
    for (CpuBlock& cpu : parseCpuinfo(cpuinfo.value_or(""))) {
        if (!field(cpu, "processor")) continue;  // ARM's trailing "Hardware" block and the like
        packages[number(cpu, "physical id").value_or(0)].cpus.push_back(std::move(cpu));
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
    return fs.keptWhile<std::vector<Package>>("/proc/cpuinfo", fs.line("/sys/devices/system/cpu/online").value_or(""),
                                              [&] { return packagesOf(fs.read("/proc/cpuinfo")); });
}

std::optional<std::string> currentField(const RootFs& fs, const CpuBlock& cpu, const char* key) {
    std::optional<std::string> text = fs.read("/proc/cpuinfo");
    if (!text) return std::nullopt;
    for (const CpuBlock& now : parseCpuinfo(*text))
        if (field(now, "processor") == field(cpu, "processor")) return field(now, key);
    return std::nullopt;
}

// Without cpufreq both clocks come from "cpu MHz": the current one read afresh, the maximum (a
// rating, fixed) from the kept text.
std::optional<std::uint64_t> megahertz(const RootFs& fs, const CpuBlock& cpu, const char* cpufreqFile, bool current) {
    if (std::optional<std::uint64_t> khz = fs.number(cpuDir(cpu) + "/cpufreq/" + cpufreqFile)) return *khz / 1000;
    std::optional<std::string> mhz = current ? currentField(fs, cpu, "cpu MHz") : field(cpu, "cpu MHz");
    if (!mhz) return std::nullopt;
    return static_cast<std::uint64_t>(std::llround(std::strtod(mhz->c_str(), nullptr)));
}

std::uint64_t coreCount(const Package& package) {
    std::set<std::string> cores;
    for (const CpuBlock& cpu : package.cpus) cores.insert(field(cpu, "core id").value_or(field(cpu, "processor").value_or("")));
    return cores.size();
}

// x86 processors carry their brand string; ARM ones are named from their part numbers.
std::optional<std::string> name(const RootFs& fs, const Package& package) {
    const CpuBlock& first = package.cpus.front();
    if (isArmProcessor(first)) return armProcessorName(package.cpus, deviceTreeSoc(fs));
    return field(first, "model name");
}

std::optional<std::string> manufacturer(const CpuBlock& cpu) {
    return isArmProcessor(cpu) ? armManufacturer(cpu) : field(cpu, "vendor_id");
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
    const CpuBlock& first = package->cpus.front();
    std::string machine = context.host.machine();
    auto object = std::make_unique<LinuxObject>();
    object->add("Name", [fs, package] { return stringOrNull(name(*fs, *package)); })
        .add("DeviceID", [index] { return WmiValue::string("CPU" + std::to_string(index)); })
        .add("Manufacturer", [&first, package] { return stringOrNull(manufacturer(first)); })
        .add("Description", [&first, package] { return stringOrNull(description(first)); })
        .add("Caption", [&first, package] { return stringOrNull(description(first)); })
        .add("ProcessorId", [&first, package] { return stringOrNull(processorId(first)); })
        .add("NumberOfCores", [package] { return uint32OrNull(coreCount(*package)); })
        .add("NumberOfLogicalProcessors", [package] { return uint32OrNull(package->cpus.size()); })
        .add("L2CacheSize", [fs, package] { return uint32OrNull(cacheKib(*fs, *package, 2)); })
        .add("L3CacheSize", [fs, package] { return uint32OrNull(cacheKib(*fs, *package, 3)); })
        .add("CurrentClockSpeed", [fs, &first, package] { return uint32OrNull(megahertz(*fs, first, "scaling_cur_freq", true)); })
        .add("MaxClockSpeed", [fs, &first, package] { return uint32OrNull(megahertz(*fs, first, "cpuinfo_max_freq", false)); })
        .add("DataWidth", [&first, package, machine] {
            bool wide = field(first, "flags") ? hasFlag(flagsOf(first), "lm") : machine.find("64") != std::string::npos;
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
        objects.push_back(processorObject(context, std::shared_ptr<const Package>(packages, &(*packages)[index]), index));
    return objects;
}

std::vector<CpuBlock> cpuinfoBlocks(const std::string& text) { return parseCpuinfo(text); }
std::optional<std::string> cpuDescription(const CpuBlock& cpu) { return description(cpu); }
std::optional<std::string> cpuProcessorId(const CpuBlock& cpu) { return processorId(cpu); }

}  // namespace moravel::lx
