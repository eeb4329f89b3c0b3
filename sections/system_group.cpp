// The System group: computer and owner, system type, memory, domain and the Ethernet adapter's
// hardware address. Its adapter search leaves the adapter name for the Other group.
#include "query/probes.h"
#include "sections/conversions.h"
#include "sections/section_support.h"
#include "sections/sections.h"

namespace moravel {
namespace {

const char* const kComputerSystem = "Win32_ComputerSystem";
const char* const kNetworkAdapter = "Win32_NetworkAdapter";
const int kAdapterCandidates = 50;

bool isShown(const std::string& text) { return !text.empty() && !isOemPlaceholder(text); }

// The owner is read even when the name is missing: the query order is part of the behaviour.
// Most machines have no optical drive to report the name; the computer system itself knows it,
// asked only then, so a machine with a drive reads exactly what it always read.
std::string computerName(QueryContext& context) {
    std::string name = readProperty(context, "Win32_CDROMDrive", "SystemName");
    const std::string owner = readProperty(context, kComputerSystem, "PrimaryOwnerName");
    if (name.empty()) name = readProperty(context, kComputerSystem, "Name");
    if (name.empty()) return "None";
    return name + "  ( Owner Name: " + owner + " )";
}

std::string type(QueryContext& context) {
    std::string text = readProperty(context, kComputerSystem, "SystemType");
    if (text.empty()) return "None";
    const std::string model = readProperty(context, kComputerSystem, "Model");
    if (isShown(model)) text += " ( Model: " + model + " )";
    const std::string maker = readProperty(context, kComputerSystem, "Manufacturer");
    if (isShown(maker)) text += " - " + maker;
    return text;
}

// Firmware reports the end of the address space, which is a little above or below the
// installed size; 9 and 18 are the usual readings of 8 and 16 GB machines.
std::string installedGigabytes(const std::string& endingAddressKib) {
    const std::string number = decimal(scaledRound(endingAddressKib, kPerMebi));
    if (number == "9") return "8";
    if (number == "18") return "16";
    return number;
}

std::string memory(QueryContext& context) {
    const std::string endingAddress = readProperty(context, "Win32_MemoryArray", "EndingAddress");
    if (endingAddress.empty()) return "None";
    std::string text = installedGigabytes(endingAddress) + " GB";
    const std::string totalBytes = readProperty(context, kComputerSystem, "TotalPhysicalMemory");
    if (!totalBytes.empty()) text += "   ( Useable: " + decimal(scaledRound(totalBytes, kPerMebi)) + " MB )";
    return text;
}

std::string availableMemory(const MemoryTexts& status) {
    return status.available + "   ( In Use: " + status.load + " )";
}

std::string domain(QueryContext& context) { return orNone(readProperty(context, kComputerSystem, "Domain")); }

// Virtual adapters of these makers also call themselves Ethernet.
bool isEthernetCard(const std::string& adapterType, const std::string& maker) {
    return adapterType == "Ethernet 802.3" && maker != "Microsoft" && maker != "BitDefender LLC";
}

// The address of the first real Ethernet card among the first 50 adapters, empty when none
// matches. The configuration class is paired with the adapter class by position.
std::string ethernetAddress(QueryContext& context, SharedValues& shared) {
    for (int i = 0; i < kAdapterCandidates; ++i) {
        const std::string adapterType = readProperty(context, kNetworkAdapter, "AdapterType", i);
        const std::string maker = readProperty(context, kNetworkAdapter, "Manufacturer", i);
        if (!isEthernetCard(adapterType, maker)) continue;
        shared.networkAdapterName = readProperty(context, kNetworkAdapter, "Name", i);
        return readProperty(context, "Win32_NetworkAdapterConfiguration", "MACAddress", i);
    }
    return {};
}

bool isAddress(const std::string& text) { return text.size() > 4; }

std::string macAddress(QueryContext& context, SharedValues& shared) {
    shared.networkAdapterName = "None";
    const std::string address = ethernetAddress(context, shared);
    if (isAddress(address)) return address;
    const std::string listed = readAdapterAddress(context.probes);
    shared.networkAdapterName = "No Ethernet 802.3 card found!";
    return isAddress(listed) ? listed : "None";
}

}  // namespace

void systemGroup(QueryContext& context, ReportSink& sink, SharedValues& shared) {
    sink.beginGroup("System", 10, 10, 705, 100, false);
    const MemoryTexts memoryStatus = readMemoryStatus(context.probes);
    sink.addField("Computer Name:", 115, 35, computerName(context));
    sink.addField("Type:", 460, 35, type(context));
    sink.progress(0.25f);
    sink.addField("Memory:", 115, 60, memory(context));
    sink.addField("Available Memory:", 460, 60, availableMemory(memoryStatus));
    sink.addField("Domain:", 115, 85, domain(context));
    sink.addField("MAC Address:", 460, 85, macAddress(context, shared));
    sink.endGroup();
}

}  // namespace moravel
