// What the newer sections look like to each server: addresses one per entry as each server's own
// agent sends them, the resolver, the PCI bus, accounts, antivirus products, and a renamed
// machine's old device id.
#include <gtest/gtest.h>

#include <regex>

#include <nlohmann/json.hpp>

#include "export/glpi_json.h"
#include "export/ocs_xml.h"

namespace moravel {
namespace {

Inventory machine() {
    Inventory inventory;
    inventory.computer.name = "PC-02";
    inventory.computer.vmSystem = "KVM";
    inventory.computer.lastLoggedUser = "jdoe";
    inventory.os.kernelName = "linux";
    inventory.os.version = "6.1.0-18-amd64";
    inventory.os.release = "12.11";
    NetworkAdapter adapter;
    adapter.name = "eth0";
    adapter.ipv4 = {"192.168.1.20"};
    adapter.ipv4Masks = {"255.255.255.0"};
    adapter.ipv6 = {"fe80::6e24:8ff:fe5a:3b21", "2001:db8:0:7::12"};
    adapter.ipv6Prefixes = {64, 56};
    adapter.gateways = {"192.168.1.1"};
    adapter.dnsServers = {"192.168.1.1", "fe80::1"};
    NetworkAdapter wifi = adapter;
    wifi.name = "wlan0";
    wifi.ipv4.clear();
    wifi.ipv6.clear();
    wifi.dnsServers = {"fe80::1", "9.9.9.9"};
    inventory.networkAdapters = {adapter, wifi};
    Controller bridge;
    bridge.name = "Host bridge";
    bridge.type = "Host bridge";
    bridge.vendorId = "8086";
    bridge.pciClass = "0600";
    inventory.controllers = {bridge};
    inventory.localUsers = {{"root", "root", "0", std::nullopt}, {"ghost", "", "", std::nullopt}};
    inventory.localGroups = {{"sudo", "27"}};
    inventory.antivirus = {{"Windows Defender", "Microsoft Corporation", "", "{D68D}", true, false}};
    return inventory;
}

TEST(Ipv6Text, NetworksAndMasksAsRfc5952WritesThem) {
    EXPECT_EQ(ipv6Subnet("fe80::6e24:8ff:fe5a:3b21", 64), "fe80::");
    EXPECT_EQ(ipv6Subnet("2001:DB8:0:7:0:0:0:12", 56), "2001:db8::");
    EXPECT_EQ(ipv6Subnet("2001:db8:1:2:3:4:5:6", 128), "2001:db8:1:2:3:4:5:6");
    EXPECT_EQ(ipv6Subnet("fe80::1%eth0", 10), "fe80::");
    EXPECT_EQ(ipv6Subnet("::ffff:192.168.1.20", 120), "::ffff:c0a8:100");
    EXPECT_EQ(ipv6Subnet("2001:0:0:1:0:0:0:1", 128), "2001:0:0:1::1");  // the longer zero run
    EXPECT_EQ(ipv6Mask(64), "ffff:ffff:ffff:ffff::");
    EXPECT_EQ(ipv6Mask(0), "::");
    for (const char* bad : {"", "192.168.1.1", "1::2::3", "12345::1", "1:2:3:4:5:6:7:8:9", "g::1", ":1::"})
        EXPECT_EQ(ipv6Subnet(bad, 64), "") << bad;
}

TEST(GlpiSections, AddressesApartAndTheNewSectionsInTheirPlaces) {
    nlohmann::json content = nlohmann::json::parse(glpiInventoryJson(machine()))["content"];
    const nlohmann::json& networks = content["networks"];
    ASSERT_EQ(networks.size(), 4u);  // one IPv4, two IPv6 (the link-local one kept), the adapter without one
    EXPECT_EQ(networks[0]["ipaddress"], "192.168.1.20");
    EXPECT_FALSE(networks[0].contains("ipaddress6"));
    EXPECT_EQ(networks[1]["ipaddress6"], "fe80::6e24:8ff:fe5a:3b21");
    EXPECT_EQ(networks[2]["ipmask6"], "ffff:ffff:ffff:ff00::");
    EXPECT_EQ(networks[2]["ipsubnet6"], "2001:db8::");
    EXPECT_FALSE(networks[2].contains("ipaddress"));
    EXPECT_EQ(networks[3]["description"], "wlan0");
    EXPECT_EQ(content["hardware"]["dns"], "192.168.1.1/fe80::1/9.9.9.9");
    EXPECT_EQ(content["hardware"]["vmsystem"], "KVM");
    EXPECT_EQ(content["hardware"]["lastloggeduser"], "jdoe");
    EXPECT_EQ(content["operatingsystem"]["version"], "12.11");
    EXPECT_EQ(content["operatingsystem"]["kernel_version"], "6.1.0-18-amd64");
    EXPECT_EQ(content["controllers"][0]["pciclass"], "0600");
    ASSERT_EQ(content["local_users"].size(), 1u);  // the format wants an id
    EXPECT_EQ(content["local_groups"][0], (nlohmann::json{{"id", "27"}, {"name", "sudo"}}));
    EXPECT_EQ(content["antivirus"][0]["uptodate"], false);
    EXPECT_EQ(content["versionprovider"]["name"], "Moravel");
}

TEST(OcsSections, AddressesAsTheOcsAgentSendsThemAndARenameCarriedOver) {
    std::string xml = ocsInventoryXml(machine());
    std::smatch match;
    EXPECT_TRUE(std::regex_search(
        xml, std::regex("<IPADDRESS>fe80::6e24:8ff:fe5a:3b21</IPADDRESS>\\s*<IPMASK>ffff:ffff:ffff:ffff::</IPMASK>\\s*"
                        "<IPSUBNET>fe80::</IPSUBNET>")));
    EXPECT_EQ(xml.find("IPADDRESS6"), std::string::npos);
    EXPECT_NE(xml.find("<OSVERSION>12.11</OSVERSION>"), std::string::npos);
    EXPECT_NE(xml.find("<OSCOMMENTS>6.1.0-18-amd64</OSCOMMENTS>"), std::string::npos);
    EXPECT_NE(xml.find("<DNS>192.168.1.1/fe80::1/9.9.9.9</DNS>"), std::string::npos);
    EXPECT_NE(xml.find("<CONTROLLERS>"), std::string::npos);
    EXPECT_NE(xml.find("<ENABLED>1</ENABLED>"), std::string::npos);
    ASSERT_TRUE(std::regex_search(xml, match, std::regex("<CHECKSUM>(\\d+)</CHECKSUM>")));
    EXPECT_NE(std::stoull(match[1]) & 32, 0u);  // CONTROLLERS' bit
    EXPECT_EQ(xml.find("OLD_DEVICEID"), std::string::npos);
    ExportOptions renamed;
    renamed.oldDeviceId = "OLD-PC-2001-01-01-00-00-00";
    EXPECT_NE(ocsInventoryXml(machine(), renamed).find("<OLD_DEVICEID>OLD-PC-2001-01-01-00-00-00</OLD_DEVICEID>"),
              std::string::npos);
    renamed.oldDeviceId = inventoryDeviceId(machine());  // the same id is no rename
    EXPECT_EQ(ocsInventoryXml(machine(), renamed).find("OLD_DEVICEID"), std::string::npos);
}

}  // namespace
}  // namespace moravel
