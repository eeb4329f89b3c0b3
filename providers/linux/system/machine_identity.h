// Model and maker of machines without firmware (DMI) tables: ARM boards describe themselves in
// their device tree, virtual machines through their hypervisor.
#pragma once

#include <optional>
#include <string>

#include "providers/linux/system/linux_context.h"

namespace moravel::lx {

struct MachineIdentity {
    std::optional<std::string> maker;
    std::optional<std::string> model;
    std::optional<std::string> serial;
};

// The SoC the device tree's "compatible" list ends with, named with its maker: "Broadcom BCM2711".
std::optional<std::string> deviceTreeSoc(const RootFs& fs);

// The name inventory servers file a virtual machine under ("KVM", "VMware", "Hyper-V"), from
// the CPUID signature when the processor gives one; empty text on hardware.
std::string hypervisorSystem(const RootFs& fs, const std::optional<std::string>& cpuidVendor);

// The device tree's identity, else the hypervisor's; each part separately.
MachineIdentity identityWithoutDmi(const LinuxContext& context);

using IdentityPart = std::optional<std::string> MachineIdentity::*;

// The firmware's field (dmiField) when it has one, else that part of the identity without DMI.
std::optional<std::string> dmiOr(const LinuxContext& context, const char* dmiName, IdentityPart part);

}  // namespace moravel::lx
