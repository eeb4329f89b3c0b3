// Runs the Linux provider over a fixture tree of tests/data/linux with fixed host facts.
#pragma once

#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>

#include "providers/linux/system/device_names.h"
#include "providers/linux/linux_provider.h"
#include "query/backend.h"
#include "query/wmi_classes.h"
#include "query/wmi_query.h"

namespace moravel::lx::test {

class FakeHost : public HostFacts {
public:
    std::string machine() const override { return machineName; }
    std::optional<std::string> userFullName() const override { return fullName; }
    std::optional<std::uint64_t> freeBytes(const std::string& mountPoint) const override {
        auto it = free.find(mountPoint);
        return it == free.end() ? std::nullopt : std::optional<std::uint64_t>(it->second);
    }
    std::optional<std::uint64_t> sizeBytes(const std::string& mountPoint) const override {
        std::optional<std::uint64_t> f = freeBytes(mountPoint);
        return f ? std::optional<std::uint64_t>(*f * 4) : std::nullopt;
    }
    int utcOffsetMinutes(std::time_t) const override { return offsetMinutes; }
    std::vector<PrinterInfo> printers() const override { return printerList; }
    std::optional<std::string> cpuidHypervisorVendor() const override { return hypervisor; }
    std::optional<CpuidLeaf> cpuidLeafOne() const override { return cpuidLeaf; }
    std::vector<InterfaceAddress> interfaceAddresses() const override { return addresses; }
    std::optional<std::time_t> birthTime(const std::string&) const override { return rootBirth; }
    DiskAnswer nvmeHealthLog(const std::string& controller) const override {
        return answer(controller + ".health-log");
    }
    DiskAnswer ataSmartData(const std::string& disk) const override { return answer(disk + ".smart-data"); }
    DiskAnswer udisksHealth(const std::string& disk) const override { return answer(disk + ".udisks"); }

    // What the disks answered, a file each below the fixture's answers/ folder ("nvme0.health-log",
    // "sda.smart-data"); "<device>.denied" stands for a request refused for want of rights, and
    // "<device>.failing" for a drive whose verdict is failing.
    DiskAnswer answer(const std::string& file) const {
        DiskAnswer result;
        const std::string device = file.substr(0, file.find('.'));
        if (std::ifstream(answers + device + ".denied")) result.status = DiskAnswer::Status::Denied;
        std::ifstream in(answers + file, std::ios::binary);
        if (!in) return result;
        std::ostringstream bytes;
        bytes << in.rdbuf();
        result.status = DiskAnswer::Status::Answered;
        result.data = bytes.str();
        result.failing = static_cast<bool>(std::ifstream(answers + device + ".failing"));
        return result;
    }

    std::string machineName = "x86_64";
    std::optional<std::string> fullName = std::string("Jane Doe");
    std::map<std::string, std::uint64_t> free;
    int offsetMinutes = 120;
    std::vector<PrinterInfo> printerList;
    std::optional<std::string> hypervisor;  // none: bare metal, or a build without CPUID
    std::optional<CpuidLeaf> cpuidLeaf;     // none: the flags of /proc/cpuinfo stand for it
    std::vector<InterfaceAddress> addresses;
    std::optional<std::time_t> rootBirth;
    std::string answers;  // the fixture's answers/ folder, with its slash
};

// Every machine of tests/data/linux (written by its make_fixtures.py and make_workstation.py).
inline const char* const kFixtureMachines[] = {"desktop", "laptop", "container",   "kvm",
                                               "arm",     "hybrid", "workstation", "secondhand"};

inline std::string fixtureRoot(const std::string& name) {
    return std::string(MORAVEL_SOURCE_DIR) + "/tests/data/linux/" + name;
}

// A provider over one fixture, and a query context over it (no probes).
class FixtureMachine {
public:
    explicit FixtureMachine(const std::string& root)
        : names_(RootFs(root)), provider_(makeLinuxProvider(root, names_, host)),
          probes(makeLinuxProbes(root)), context{provider_.get()} {
        host.answers = root + "/answers/";
    }
    FixtureMachine(const FixtureMachine&) = delete;
    FixtureMachine& operator=(const FixtureMachine&) = delete;

    std::string text(const char* className, const char* property, int index = 0) {
        return queryWmiText(context, index, selectAllFrom(className), property);
    }
    // The typed value, straight from the provider.
    WmiValue value(const char* className, const char* property, int index = 0) const;

    FakeHost host;

private:
    IdsFileNames names_;
    std::unique_ptr<WmiProvider> provider_;

public:
    std::unique_ptr<SystemProbes> probes;
    QueryContext context;
    WmiProvider& provider() { return *provider_; }
};

inline WmiValue FixtureMachine::value(const char* className, const char* property, int index) const {
    WmiValue result;
    runQueryCycle(*provider_, namespaceOf(className), selectAllFrom(className),
                  [&, counter = 0](WmiObject& object) mutable {
                      if (counter++ != index) return true;
                      if (failed(object.get(property, result))) result = WmiValue::empty();
                      return false;
                  });
    return result;
}

}  // namespace moravel::lx::test
