// The Linux provider's parsers of file contents, of the print scheduler's reply and of what disks
// answer (the NVMe health log, the ATA SMART table). The first byte chooses the parser; the rest
// is the content.
#include <cstdint>
#include <string>

#include "inventory/smart_attributes.h"
#include "providers/linux/parsers/appstream.h"
#include "providers/linux/parsers/accounts.h"
#include "providers/linux/parsers/cpuinfo.h"
#include "providers/linux/parsers/cups_reply.h"
#include "providers/linux/parsers/dpkg_status.h"
#include "providers/linux/parsers/edid.h"
#include "providers/linux/parsers/edid_identity.h"
#include "providers/linux/parsers/login_records.h"
#include "providers/linux/parsers/meminfo.h"
#include "providers/linux/parsers/nvme_health.h"
#include "providers/linux/parsers/memory_modules.h"
#include "providers/linux/parsers/os_release.h"
#include "providers/linux/parsers/rpm_header.h"
#include "providers/linux/parsers/smbios.h"
#include "providers/linux/parsers/snap_yaml.h"
#include "providers/linux/parsers/udev_data.h"
#include "providers/linux/system/cim_dates.h"
#include "providers/linux/system/ip_configuration.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string content(reinterpret_cast<const char*>(data) + 1, size - 1);
    using namespace moravel::lx;
    switch (data[0] % 19) {
    case 0:
        for (const CpuBlock& cpu : cpuinfoBlocks(content)) {
            cpuDescription(cpu);
            cpuProcessorId(cpu);
        }
        break;
    case 1:
        meminfoValue(content, "MemTotal");
        meminfoValue(content, "MemAvailable");
        break;
    case 2:
        osReleaseValue(content, "PRETTY_NAME");
        osReleaseValue(content, "NAME");
        break;
    case 3:
        smbiosEndingKib(content);
        smbiosMemoryModules(content);
        break;
    case 4: cimReleaseDate(content); break;
    case 5:
        edidCurrentRefresh(content);
        edidMaxRefresh(content);
        edidIdentity(content);
        break;
    case 6: {
        UdevProperties properties = udevProperties(content);
        udevValue(properties, "ID_SERIAL_SHORT");
        udevMemoryBytes(properties);
        udevMemoryModules(properties);
        break;
    }
    case 7:
        replyComplete(content);
        printersFromReply(content);
        break;
    case 8: defaultGateways(content, content, "eth0"); break;
    case 9: edidIdentity(content); break;
    case 10: nvmeHealth(content); break;
    case 11: moravel::smartReadings(moravel::smartAttributes(content)); break;
    case 12:
        passwdEntries(content);
        groupEntries(content);
        break;
    case 13:
        nameServers(content);
        distributionRelease(content, content);
        break;
    case 14: lastLoginUser(content); break;
    case 15:
        for (const DpkgPackage& package : parseDpkgStatus(content, 100).installed) personName(package.maintainer);
        break;
    case 16: parseRpmHeader(content); break;
    case 17: appStreamComponent(content); break;
    case 18:
        snapYamlValue(content, "version");
        snapYamlValue(content, "architectures");
        break;
    }
    return 0;
}
