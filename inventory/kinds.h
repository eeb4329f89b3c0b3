// Every kind of thing the inventory holds, declared once: the classes it is read from, the reader
// that fills its part of the model (inventory.h), in the order the inventory pass reads them.
// The writers (export/) and the comparison (compare/) each keep a table keyed by kind that says
// how they handle it, or "none" and why; a test holds each table against this list, so a kind
// cannot be added to the model and silently left out of a server's document or a comparison.
#pragma once

#include <string>
#include <vector>

#include "inventory/class_rows.h"
#include "inventory/inventory.h"

namespace moravel {

enum class InventoryKind {
    Computer,  // identity, firmware, board, operating system: one each
    Processor,
    MemoryModule,
    Disk,
    Volume,
    NetworkAdapter,
    VideoAdapter,
    Monitor,
    Battery,
    SoundDevice,
    Printer,
    InputDevice,
    UsbDevice,
    Temperature,  // the temperatures the system reports
    Controller,  // the PCI bus
    LocalUser,
    LocalGroup,
    Antivirus,
    Software,  // programs, packages, applications, Windows updates
};

struct InventoryKindInfo {
    InventoryKind kind;
    const char* name;  // "memory modules": for people
    // The classes its reader reads; a snapshot that lists the first records the kind.
    std::vector<std::string> classes;
    void (*read)(ClassSource& source, Inventory& inventory);  // adds the kind's part to the model
    // Its reader makes one part of each object of its first class, finding the others' rows by
    // key (ClassSource::find), so the first class may be read a piece at a time.
    bool inPieces = false;
};

const std::vector<InventoryKindInfo>& inventoryKinds();

// What a writer or the comparison does with one kind: `handle` it, or nothing, and then `none`
// says why.
template <typename Handler>
struct KindHandler {
    InventoryKind kind;
    Handler handle;
    const char* none = nullptr;
};

// A table of handlers as the coverage test reads it.
struct KindCoverage {
    InventoryKind kind;
    bool handled;
    const char* none;
};
template <typename Handler, std::size_t N>
std::vector<KindCoverage> coverageOf(const KindHandler<Handler> (&table)[N]) {
    std::vector<KindCoverage> coverage;
    for (const KindHandler<Handler>& entry : table)
        coverage.push_back({entry.kind, static_cast<bool>(entry.handle), entry.none});
    return coverage;
}

}  // namespace moravel
