#include "providers/linux/system/machine_identity.h"

#include <algorithm>
#include <array>
#include <sstream>
#include <vector>

#include "providers/linux/parsers/arm_processor.h"
#include "providers/linux/system/linux_classes.h"
#include "query/wmi_query.h"

namespace moravel::lx {
namespace {

const char* const kDeviceTree = "/proc/device-tree/";

struct KnownName {
    const char* key;
    const char* maker;
};

// Device-tree vendor prefixes of common boards, with the names the kernel's list gives them.
const KnownName kBoardMakers[] = {
    {"raspberrypi", "Raspberry Pi Foundation"},
    {"pine64", "Pine64"},
    {"radxa", "Radxa Technology Co., Ltd."},
    {"hardkernel", "Hardkernel Co., Ltd"},
    {"xunlong", "Shenzhen Xunlong Software CO.,Limited"},
    {"friendlyarm", "Guangzhou FriendlyARM Computer Tech Co., Ltd"},
    {"nvidia", "NVIDIA"},
    {"khadas", "Khadas"},
};

// Hypervisors by every name they go by: their CPUID signature (compared without its blanks),
// /sys/hypervisor/type, or the paravirtual clock source they offer; with the names a user knows
// them by, or their own virtual firmware's where it names the machine readably, and the name
// inventory servers file the virtual machine under.
struct KnownHypervisor {
    std::array<const char*, 3> keys;
    const char* maker;
    const char* model;
    const char* vmSystem;
};

const KnownHypervisor kHypervisors[] = {
    {{"KVMKVMKVM", "LinuxKVMHv", "kvm-clock"}, "KVM", "KVM Virtual Machine", "KVM"},  // the second: with Hyper-V's interface
    {{"TCGTCGTCGTCG"}, "QEMU", "QEMU Virtual Machine", "QEMU"},                        // QEMU without KVM
    {{"bhyvebhyve", "BHyVEBHyVE"}, "FreeBSD bhyve", "bhyve Virtual Machine", "bhyve"},
    {{"XenVMMXenVMM", "xen"}, "Xen", "HVM domU", "Xen"},
    {{"MicrosoftHv", "hyperv_clocksource_tsc_page"}, "Microsoft Corporation", "Virtual Machine", "Hyper-V"},
    {{"VMwareVMware"}, "VMware, Inc.", "VMware Virtual Platform", "VMware"},
    {{"VBoxVBoxVBox"}, "innotek GmbH", "VirtualBox", "VirtualBox"},
    // Parallels' second key is its first byte-swapped.
    {{"prlhyperv", "lrpepyhvr"}, "Parallels International GmbH", "Parallels Virtual Platform", "Parallels"},
    {{"ACRNACRNACRN"}, "Project ACRN", "ACRN Virtual Machine", "ACRN"},
    {{"QNXQVMBSQG"}, "BlackBerry QNX", "QNX Hypervisor Virtual Machine", "QNX Hypervisor"},
    {{"AppleVZ"}, "Apple Inc.", "Apple Virtualization Generic Platform", "Apple Virtualization"},
};

std::string withoutBlanks(std::string text) {
    text.erase(std::remove(text.begin(), text.end(), ' '), text.end());
    return text;
}

// A device-tree property: text ending in NUL, sometimes several NUL-separated strings.
std::vector<std::string> deviceTreeStrings(const RootFs& fs, const char* property) {
    // The firmware's device tree cannot change while the process runs: read each property once,
    // and none where there is no tree (PCs).
    std::optional<std::string> text =
        fs.existsOnce(kDeviceTree) ? fs.readOnce(kDeviceTree + std::string(property)) : std::nullopt;
    std::vector<std::string> strings;
    std::istringstream parts(text.value_or(""));
    for (std::string part; std::getline(parts, part, '\0');)
        if (!trim(part).empty()) strings.push_back(trim(part));
    return strings;
}

std::optional<std::string> deviceTreeString(const RootFs& fs, const char* property) {
    std::vector<std::string> strings = deviceTreeStrings(fs, property);
    if (strings.empty()) return std::nullopt;
    return strings.front();
}

std::optional<std::string> boardMaker(const RootFs& fs) {
    std::optional<std::string> compatible = deviceTreeString(fs, "compatible");  // "vendor,board"
    if (!compatible || compatible->find(',') == std::string::npos) return std::nullopt;
    std::string prefix = compatible->substr(0, compatible->find(','));
    for (const KnownName& known : kBoardMakers)
        if (prefix == known.key) return std::string(known.maker);
    return prefix;
}

const KnownHypervisor* knownHypervisor(const std::string& name) {
    const std::string key = withoutBlanks(name);
    for (const KnownHypervisor& known : kHypervisors)
        for (const char* knownKey : known.keys)
            if (knownKey && key == knownKey) return &known;
    return nullptr;
}

// The hypervisor's own word for itself (CPUID, /sys/hypervisor/type), else the paravirtual
// clock source a guest's kernel offers; nothing on hardware.
std::optional<std::string> hypervisorKey(const RootFs& fs, const std::optional<std::string>& cpuidVendor) {
    if (cpuidVendor) return cpuidVendor;
    if (std::optional<std::string> type = fs.line("/sys/hypervisor/type")) return type;
    const char* clocks = "/sys/devices/system/clocksource/clocksource0/available_clocksource";
    for (const std::string& source : splitWords(fs.line(clocks).value_or("")))
        if (knownHypervisor(source)) return source;
    return std::nullopt;
}

// The device tree's model, the maker named by its first "compatible" entry and its serial number.
MachineIdentity deviceTreeIdentity(const RootFs& fs) {
    return {boardMaker(fs), deviceTreeString(fs, "model"), deviceTreeString(fs, "serial-number")};
}

// The hypervisor's name, from CPUID, /sys/hypervisor/type or the paravirtual clock it offers.
MachineIdentity hypervisorIdentity(const LinuxContext& context) {
    // Without CPUID (other architectures, or left out of the build) the clock still tells.
    std::optional<std::string> key = hypervisorKey(context.fs, context.host.cpuidHypervisorVendor());
    if (!key) return {};
    // An unknown hypervisor is still named by its own word for itself.
    if (const KnownHypervisor* known = knownHypervisor(*key)) return {known->maker, known->model, std::nullopt};
    return {*key, *key + " Virtual Machine", std::nullopt};
}

}  // namespace

std::optional<std::string> deviceTreeSoc(const RootFs& fs) {
    std::vector<std::string> compatible = deviceTreeStrings(fs, "compatible");  // the board, then its SoC
    if (compatible.size() < 2) return std::nullopt;
    return socName(compatible.back());
}

std::string hypervisorSystem(const RootFs& fs, const std::optional<std::string>& cpuidVendor) {
    std::optional<std::string> key = hypervisorKey(fs, cpuidVendor);
    if (!key) return {};
    const KnownHypervisor* known = knownHypervisor(*key);
    return known ? known->vmSystem : *key;
}

MachineIdentity identityWithoutDmi(const LinuxContext& context) {
    MachineIdentity board = deviceTreeIdentity(context.fs);
    if (board.maker && board.model) return board;
    MachineIdentity guest = hypervisorIdentity(context);
    return {board.maker ? board.maker : guest.maker, board.model ? board.model : guest.model, board.serial};
}

std::optional<std::string> dmiOr(const LinuxContext& context, const char* dmiName, IdentityPart part) {
    std::optional<std::string> dmi = dmiField(context.fs, dmiName);
    return dmi ? dmi : identityWithoutDmi(context).*part;
}

}  // namespace moravel::lx
