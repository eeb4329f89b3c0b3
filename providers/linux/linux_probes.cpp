// Memory status from /proc/meminfo, the adapter list from /sys/class/net, the installation's id
// from /etc/machine-id and the hypervisor from the processor or the kernel.
#include <algorithm>

#include "providers/linux/system/linux_classes.h"
#include "providers/linux/linux_provider.h"
#include "providers/linux/system/machine_identity.h"
#include "providers/linux/system/network_interfaces.h"

namespace moravel::lx {
namespace {

class LinuxProbes : public SystemProbes {
public:
    LinuxProbes(const std::string& root, std::unique_ptr<HostFacts> host) : fs_(root), host_(std::move(host)) {}

    // Load as the share of memory not available to new programs, the way
    // GlobalMemoryStatusEx counts it.
    bool memoryStatus(MemoryStatus& status) override {
        std::optional<std::uint64_t> total = meminfoKib(fs_, "MemTotal");
        std::optional<std::uint64_t> available = meminfoKib(fs_, "MemAvailable");
        if (!total || !available || *total == 0) return false;
        std::uint64_t free = std::min(*available, *total);
        status.availPhys = free * 1024;
        status.memoryLoad = static_cast<std::uint32_t>(100 * (*total - free) / *total);
        return true;
    }

    std::vector<HardwareAddress> adapterAddresses() override {
        std::vector<HardwareAddress> addresses;
        for (const NetworkInterface& interface : listInterfaces(fs_, InterfaceOrder::ByIndex)) {
            if (interface.hardwareAddress) addresses.push_back(*interface.hardwareAddress);
        }
        return addresses;
    }

    std::optional<std::string> machineGuid() override { return machineId(fs_); }

    std::optional<std::string> hypervisor() override {
        return hypervisorSystem(fs_, host_ ? host_->cpuidHypervisorVendor() : std::nullopt);
    }

private:
    RootFs fs_;
    std::unique_ptr<HostFacts> host_;
};

}  // namespace

std::unique_ptr<SystemProbes> makeLinuxProbes(const std::string& root, std::unique_ptr<HostFacts> host) {
    return std::make_unique<LinuxProbes>(root, std::move(host));
}

}  // namespace moravel::lx
