// The readers of the inventory's kinds (kinds.h), one per kind; each reads the classes it needs
// from the shared source and fills its part of the model.
#pragma once

#include "inventory/class_rows.h"
#include "inventory/inventory.h"

namespace moravel::parts {

void readComputer(ClassSource& source, Inventory& inventory);  // identity, firmware, board, system
void readProcessors(ClassSource& source, Inventory& inventory);
void readMemoryModules(ClassSource& source, Inventory& inventory);
void readDisks(ClassSource& source, Inventory& inventory);  // with their health
void readDiskHealth(ClassSource& source, Inventory& inventory);  // of the disks readDisks listed
void readTemperatures(ClassSource& source, Inventory& inventory);
void readVolumes(ClassSource& source, Inventory& inventory);
void readNetworkAdapters(ClassSource& source, Inventory& inventory);
void readVideoAdapters(ClassSource& source, Inventory& inventory);
void readMonitors(ClassSource& source, Inventory& inventory);
void readBatteries(ClassSource& source, Inventory& inventory);
void readSoundDevices(ClassSource& source, Inventory& inventory);
void readPrinters(ClassSource& source, Inventory& inventory);
void readInputs(ClassSource& source, Inventory& inventory);
void readUsbDevices(ClassSource& source, Inventory& inventory);
void readControllers(ClassSource& source, Inventory& inventory);  // the PCI bus
void readLocalUsers(ClassSource& source, Inventory& inventory);
void readLocalGroups(ClassSource& source, Inventory& inventory);
void readAntivirus(ClassSource& source, Inventory& inventory);
// Programs, Windows updates and Store applications, as the Programs list shows them.
void readSoftware(ClassSource& source, Inventory& inventory);

// The first non-empty text.
std::string firstOf(std::initializer_list<std::string> texts);
// The `digits` hexadecimal digits after `key`, lower-case; empty when they are not there.
std::string hexAfter(const std::string& text, const std::string& key, std::size_t digits);
// The text in upper case (ASCII letters).
std::string upper(std::string text);

}  // namespace moravel::parts
