// Local users and groups, and the antivirus products Windows' Security Center knows.
#include "inventory/inventory_parts.h"

namespace moravel::parts {
namespace {

// A SID; of Samba's Unix SIDs (S-1-22-1-<uid>, S-1-22-2-<gid>), which the Linux provider gives,
// the uid or gid alone, as Linux names accounts.
std::string accountId(const std::string& sid) {
    return sid.compare(0, 7, "S-1-22-") == 0 ? sid.substr(sid.rfind('-') + 1) : sid;
}

// productState's second byte says whether the scanner is on (0x1_), its last byte whether the
// signatures are current (0x00).
constexpr std::uint64_t kScannerMask = 0xF000, kScannerOn = 0x1000, kSignaturesMask = 0xFF;

bool isDefender(const std::string& name) {
    return name.find("Windows Defender") != std::string::npos || name.find("Microsoft Defender") != std::string::npos;
}

}  // namespace

void readLocalUsers(ClassSource& source, Inventory& inventory) {
    for (const WmiRow& row : source.rows("Win32_UserAccount"))
        inventory.localUsers.push_back(
            {row.text("Name"), row.text("FullName"), accountId(row.text("SID")), row.flag("Disabled")});
}

void readLocalGroups(ClassSource& source, Inventory& inventory) {
    for (const WmiRow& row : source.rows("Win32_Group"))
        inventory.localGroups.push_back({row.text("Name"), accountId(row.text("SID"))});
}

void readAntivirus(ClassSource& source, Inventory& inventory) {
    for (const WmiRow& row : source.rows("AntiVirusProduct")) {
        Antivirus& product = inventory.antivirus.emplace_back();
        product.name = row.text("displayName");
        product.guid = row.text("instanceGuid");
        if (isDefender(product.name)) product.company = "Microsoft Corporation";
        if (Number state = row.number("productState")) {
            product.enabled = (*state & kScannerMask) == kScannerOn;
            product.upToDate = (*state & kSignaturesMask) == 0;
        }
    }
}

}  // namespace moravel::parts
