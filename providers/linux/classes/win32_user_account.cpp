// Win32_UserAccount and Win32_Group: the local accounts of /etc/passwd and /etc/group, each with
// the SID Samba gives a Unix account (S-1-22-1-<uid>, S-1-22-2-<gid>). /etc/shadow is never
// read: an account's password, hash or lock is none of an inventory's business.
#include "providers/linux/parsers/accounts.h"
#include "providers/linux/classes/readers.h"

namespace moravel::lx {
namespace {

constexpr std::size_t kMaxAccountFileBytes = 4u << 20;

std::string unixSid(const char* kind, std::uint64_t id) { return std::string("S-1-22-") + kind + "-" + std::to_string(id); }

}  // namespace

ObjectList readUserAccounts(const LinuxContext& context) {
    ObjectList objects;
    for (const AccountEntry& user : passwdEntries(context.fs.read("/etc/passwd", kMaxAccountFileBytes).value_or(""))) {
        newObject(objects)
            .add("Name", [user] { return WmiValue::string(user.name); })
            .add("FullName", [user] { return WmiValue::string(user.fullName); })
            .add("SID", [user] { return WmiValue::string(unixSid("1", user.id)); })
            .add("LocalAccount", [] { return WmiValue::boolean(true); })
            .addNull("Disabled");  // that is in /etc/shadow
    }
    return objects;
}

ObjectList readGroups(const LinuxContext& context) {
    ObjectList objects;
    for (const AccountEntry& group : groupEntries(context.fs.read("/etc/group", kMaxAccountFileBytes).value_or(""))) {
        newObject(objects)
            .add("Name", [group] { return WmiValue::string(group.name); })
            .add("SID", [group] { return WmiValue::string(unixSid("2", group.id)); })
            .add("LocalAccount", [] { return WmiValue::boolean(true); });
    }
    return objects;
}

}  // namespace moravel::lx
