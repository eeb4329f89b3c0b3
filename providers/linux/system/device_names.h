// The two sources of device names: the udev hardware database (indexed, the usual one) and the
// plain pci.ids / usb.ids lists (read only up to the vendor asked for).
#pragma once

#include <memory>

#include "providers/linux/system/linux_context.h"

namespace moravel::lx {

// Reads pci.ids and usb.ids below a root; the files are sorted by vendor, so a look-up stops at
// the vendor's block instead of reading the whole list.
class IdsFileNames : public DeviceNames {
public:
    explicit IdsFileNames(RootFs fs) : fs_(std::move(fs)) {}
    std::optional<std::string> vendor(const std::string& bus, unsigned vendorId) const override;
    std::optional<std::string> product(const std::string& bus, unsigned vendorId, unsigned productId) const override;

private:
    std::optional<std::string> lookUp(const std::string& bus, unsigned vendorId, const unsigned* productId) const;
    RootFs fs_;
};

// The machine's names: the udev hardware database, else the ids lists.
std::unique_ptr<DeviceNames> makeSystemDeviceNames();

}  // namespace moravel::lx
