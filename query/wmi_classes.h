// The one list of the WMI classes Moravel knows: each class with its namespace, and each property
// with its value type, whether it identifies the machine or its owner (redaction hides it), and
// whether a snapshot records it (something reads it). The snapshot writer, the redaction and the
// providers read this table; adding a class or a property is an entry here plus its reader
// (HACKING.md: "Adding a class").
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace moravel {

// A property's type as its class declares it. Providers hand the value out as WMI does: strings
// and datetimes (yyyymmddHHMMSS.mmmmmmsUUU) as BSTR, uint8 as VT_UI1, sint16 as VT_I2,
// uint16/uint32/sint32 as VT_I4 (the bit pattern kept), uint64 as BSTR with the decimal digits,
// booleans as VT_BOOL; an array as the array of its element's type.
enum class CimType {
    String,
    DateTime,
    Boolean,
    Uint8,
    Sint16,
    Uint16,
    Uint32,
    Sint32,
    Uint64,
    StringArray,
    Uint8Array,
    Uint16Array
};

// The VARIANT type code a value of `type` arrives with.
std::uint16_t variantTypeOf(CimType type);

// What a value tells of the machine or its owner, and so what redaction makes of it.
enum class Identifies {
    Nothing,
    MachineOrOwner,  // a name, owner, domain, serial number or UUID: "(hidden)"
    Address,         // a hardware address: its form kept, every hexadecimal digit an X
    DeviceInstance,  // a device instance path: the part after its last backslash (a USB serial number)
    CharacterCodes,  // a serial number held as an array of character codes (WmiMonitorID)
};

struct WmiProperty {
    const char* name;
    CimType type;
    Identifies identifies = Identifies::Nothing;
    bool recorded = true;  // read by the groups (or the inventory), so a snapshot records it
};

struct WmiClass {
    const char* name;
    const char* nameSpace;
    std::vector<WmiProperty> properties;
    // WMI's own filter for the objects Moravel wants, or nullptr for all of them: a machine in a
    // domain lists the domain's accounts too, which can take minutes to enumerate.
    const char* condition = nullptr;
};

// Every class, in the order a snapshot lists them.
const std::vector<WmiClass>& wmiClasses();

// The classes a snapshot records (those with a recorded property), in the table's order.
std::vector<const WmiClass*> recordedClasses();

// The class of that name, as WMI compares names (ignoring case); nullptr for one not listed.
const WmiClass* findWmiClass(const std::string& className);

// The query that reads the class's objects: "SELECT * FROM <class>", with " WHERE <condition>"
// for a class that has one.
std::string classQuery(const WmiClass& wmiClass);
// The class that "SELECT * FROM <class>" or a class's own query with its condition reads (the
// words compared as WMI compares names); nothing for any other text.
std::optional<std::string> classOfQuery(const std::string& query);

// The namespace a class lives in: the table's, else ROOT\CIMV2 (where the WQL of the groups goes).
std::string namespaceOf(const std::string& className);
// Whether `path` is one of the namespaces the classes live in (ignoring case): ROOT\CIMV2,
// ROOT\WMI, ROOT\StandardCimv2, ROOT\Microsoft\Windows\Storage, ROOT\SecurityCenter2.
bool isKnownNamespace(const std::string& path);

// What `property` of `className` tells of the machine: the table's answer, and for properties
// that name the machine in whatever class holds them (SystemName, CSName) that answer too.
Identifies identifiesOf(const std::string& className, const std::string& property);

}  // namespace moravel
