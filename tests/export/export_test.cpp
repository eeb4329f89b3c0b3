// The GLPI and OCS documents from models: what servers insist on, and nothing they would misread.
#include <gtest/gtest.h>

#include <regex>

#include <nlohmann/json.hpp>

#include "export/glpi_json.h"
#include "export/ocs_xml.h"
#include "export/zlib_data.h"

namespace moravel {
namespace {

Inventory sample() {
    Inventory inventory;
    inventory.computer.name = "PC-01";
    inventory.computer.deviceId = "0123456789abcdef0123456789abcdef";
    inventory.computer.memoryBytes = 16ull << 30;
    inventory.os.name = "Debian GNU/Linux 12 (bookworm)";
    inventory.os.kernelName = "linux";
    inventory.os.utcOffsetMinutes = -330;
    inventory.bios.releaseDate = "2013-08-30";
    Processor cpu;
    cpu.name = "CPU <fast> & \"good\"";
    cpu.cores = 4;
    cpu.threads = 8;
    cpu.architecture = "ia64";  // a name the GLPI schema does not take
    inventory.processors.push_back(cpu);
    NetworkAdapter adapter;
    adapter.name = "eth0";
    adapter.macAddress = "94:DE:80:6A:01:02";
    adapter.ipv4 = {"192.168.1.20", "10.1.2.3"};
    adapter.ipv4Masks = {"255.255.255.0", "255.0.0.0"};
    adapter.gateways = {"fe80::1", "192.168.1.1"};
    adapter.kind = AdapterKind::Ethernet;
    inventory.networkAdapters.push_back(adapter);
    Battery battery;
    battery.designCapacityMwh = 57000;
    battery.fullChargeCapacityMwh = 41000;
    inventory.batteries.push_back(battery);
    return inventory;
}

TEST(DeviceId, StableForOneMachineInTheFormOcsRequires) {
    Inventory inventory = sample();
    std::string id = inventoryDeviceId(inventory);
    EXPECT_TRUE(std::regex_match(id, std::regex("^.+-\\d{4}(-\\d{2}){5}$"))) << id;
    EXPECT_EQ(id.rfind("PC-01-", 0), 0u);
    EXPECT_EQ(inventoryDeviceId(sample()), id);
    inventory.computer.deviceId = "fedcba9876543210fedcba9876543210";
    EXPECT_NE(inventoryDeviceId(inventory), id);
    inventory.computer.deviceId.clear();  // then the UUID, the serial, the name
    inventory.computer.uuid = "8B3F1C2E-5A7D-11EE-9C4B-3C7F2E9A1D55";
    std::string byUuid = inventoryDeviceId(inventory);
    inventory.computer.serialNumber = "ABC";
    EXPECT_EQ(inventoryDeviceId(inventory), byUuid);
}

TEST(GlpiJson, KnownValuesWithTheSchemasTypesAndNothingEmpty) {
    nlohmann::json document = nlohmann::json::parse(glpiInventoryJson(sample(), {"office-2"}));
    EXPECT_EQ(document["itemtype"], "Computer");
    EXPECT_EQ(document["tag"], "office-2");
    EXPECT_EQ(document["content"]["versionclient"].get<std::string>().rfind("Moravel-", 0), 0u);
    const nlohmann::json& content = document["content"];
    EXPECT_EQ(content["hardware"]["memory"], 16384);
    EXPECT_EQ(content["operatingsystem"]["name"], "Debian");
    EXPECT_EQ(content["operatingsystem"]["timezone"], (nlohmann::json{{"name", "-0530"}, {"offset", "-0530"}}));
    EXPECT_EQ(content["cpus"][0]["thread"], 2);  // per core
    EXPECT_FALSE(content["cpus"][0].contains("arch"));
    EXPECT_EQ(content["batteries"][0]["real_capacity"], 41000);
    ASSERT_EQ(content["networks"].size(), 2u);  // one per address
    EXPECT_EQ(content["networks"][1]["ipsubnet"], "10.0.0.0");
    EXPECT_EQ(content["networks"][0]["ipgateway"], "192.168.1.1");
    EXPECT_FALSE(content.contains("memories"));
    EXPECT_FALSE(content["bios"].contains("ssn"));
    std::string text = document.dump();
    EXPECT_EQ(text.find(":\"\""), std::string::npos) << text;
}

TEST(OcsXml, EveryValueWellFormedAndClippedToItsColumn) {
    Inventory inventory = sample();
    inventory.computer.serialNumber = "S\x01N";
    inventory.computer.model = std::string(300, 'x') + "\xC3\xA9";
    inventory.processors[0].architecture = "x86_64-extended";
    std::string xml = ocsInventoryXml(inventory, {"lab"});
    EXPECT_NE(xml.find("<TYPE>CPU &lt;fast&gt; &amp; &quot;good&quot;</TYPE>"), std::string::npos);
    EXPECT_NE(xml.find("<SSN>S\xEF\xBF\xBDN</SSN>"), std::string::npos);  // a control XML cannot hold
    EXPECT_NE(xml.find("<SMODEL>" + std::string(255, 'x') + "</SMODEL>"), std::string::npos);
    EXPECT_NE(xml.find("<ARCH>x86_64-ext</ARCH>"), std::string::npos);
    EXPECT_NE(xml.find("<BDATE>08/30/2013</BDATE>"), std::string::npos);
    EXPECT_NE(xml.find("<KEYNAME>TAG</KEYNAME>\n      <KEYVALUE>lab</KEYVALUE>"), std::string::npos);
    EXPECT_TRUE(std::regex_search(
        xml, std::regex("</CONTENT>\n  <DEVICEID>PC-01-[-0-9]+</DEVICEID>\n  <QUERY>INVENTORY</QUERY>")));
    EXPECT_FALSE(std::regex_search(xml, std::regex("<([A-Z_0-9]+)></\\1>")));  // no empty element
    // The server rewrites a known machine's section only when CHECKSUM has its bit: CPUS 2^18,
    // BATTERIES 2^20 and USBDEVICES 2^21 are above the old "every section" 262143.
    std::smatch checksum;
    ASSERT_TRUE(std::regex_search(xml, checksum, std::regex("<CHECKSUM>(\\d+)</CHECKSUM>")));
    unsigned long long bits = std::stoull(checksum[1]);
    EXPECT_EQ(bits & (1u << 18 | 1u << 20 | 1u << 21 | 1 | 2 | 4 | 4096),
              (1u << 18 | 1u << 20 | 1u << 21 | 1 | 2 | 4 | 4096));
    std::size_t networks = 0;
    for (std::size_t at = 0; (at = xml.find("<NETWORKS>", at)) != std::string::npos; ++at) ++networks;
    EXPECT_EQ(networks, 2u);
    EXPECT_EQ(ocsPrologXml(inventory).find("<QUERY>PROLOG</QUERY>") != std::string::npos, true);
}

TEST(Zlib, RoundTripAndRefusals) {
    std::string xml = ocsInventoryXml(sample());
    std::string stream = zlibCompress(xml);
    EXPECT_LT(stream.size(), xml.size());
    EXPECT_EQ(zlibInflate(stream, 1 << 20).data, xml);
    Inflated large = zlibInflate(stream, 100);
    EXPECT_TRUE(!large.data && large.tooLarge);
    Inflated cut = zlibInflate(stream.substr(0, stream.size() / 2), 1 << 20);
    EXPECT_TRUE(!cut.data && !cut.tooLarge);
    EXPECT_EQ(zlibInflate("<REPLY>not compressed</REPLY>", 1 << 20).data, std::nullopt);
}

}  // namespace
}  // namespace moravel
