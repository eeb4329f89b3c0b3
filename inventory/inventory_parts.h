// The parts of the inventory pass, one per kind of device; each reads the classes it needs from
// the shared source and fills its part of the model.
#pragma once

#include "inventory/class_rows.h"
#include "inventory/inventory.h"
#include "query/probes.h"

namespace moravel::parts {

void readIdentity(ClassSource& source, SystemProbes* probes, Inventory& inventory);
void readOperatingSystem(ClassSource& source, Inventory& inventory);
void readProcessors(ClassSource& source, Inventory& inventory);
void readMemoryModules(ClassSource& source, Inventory& inventory);
void readDisks(ClassSource& source, Inventory& inventory);
void readVolumes(ClassSource& source, Inventory& inventory);
void readNetworkAdapters(ClassSource& source, Inventory& inventory);
void readVideoAdapters(ClassSource& source, Inventory& inventory);
void readMonitors(ClassSource& source, Inventory& inventory);
void readBatteries(ClassSource& source, Inventory& inventory);
void readPeripherals(ClassSource& source, Inventory& inventory);  // sound, printers, inputs, USB
void readControllers(ClassSource& source, Inventory& inventory);  // the PCI bus
void readAccounts(ClassSource& source, Inventory& inventory);     // local users and groups
void readAntivirus(ClassSource& source, Inventory& inventory);

// The first non-empty text.
std::string firstOf(std::initializer_list<std::string> texts);

}  // namespace moravel::parts
