// The Flatpak and Snap applications of Moravel_InstalledSoftware: what their own folders say,
// without asking their tools (which each take longer than the whole inventory).
#include "providers/linux/classes/installed_software.h"
#include "providers/linux/parsers/appstream.h"
#include "providers/linux/parsers/plain_text.h"
#include "providers/linux/parsers/snap_yaml.h"

namespace moravel::lx {
namespace {

constexpr const char* kFlatpakApps = "/var/lib/flatpak/app";  // the system installation
// Where snapd mounts each snap's revisions: /snap, or /var/lib/snapd/snap where / is read-only.
constexpr const char* kSnapFolders[] = {"/snap", "/var/lib/snapd/snap"};
constexpr std::size_t kMaxMetadataBytes = 1u << 20;

// The application's AppStream file, under the names it has had.
AppStreamComponent flatpakMetadata(const RootFs& fs, const std::string& deploy, const std::string& id) {
    for (const std::string& file : {"/files/share/metainfo/" + id + ".metainfo.xml",
                                    "/files/share/metainfo/" + id + ".appdata.xml",
                                    "/files/share/appdata/" + id + ".appdata.xml"})
        if (std::optional<std::string> xml = fs.read(deploy + file, kMaxMetadataBytes)) return appStreamComponent(*xml);
    return {};
}

// /var/lib/flatpak/app/<id>/current links to <arch>/<branch>, whose "active" links to the
// deployed commit.
std::optional<SoftwareEntry> flatpakEntry(const RootFs& fs, const std::string& id) {
    const std::string current = fs.resolved(std::string(kFlatpakApps) + "/" + id + "/current");
    const std::string deploy = current.empty() ? std::string() : fs.resolved(current + "/active");
    if (deploy.empty()) return std::nullopt;
    AppStreamComponent metadata = flatpakMetadata(fs, deploy, id);
    SoftwareEntry entry;
    entry.name = metadata.name.empty() ? id : metadata.name;
    entry.version = metadata.version;
    entry.publisher = metadata.developer;
    entry.location = deploy;
    entry.productCode = id;
    entry.architecture = baseName(current.substr(0, current.rfind('/')));
    entry.source = "flatpak";
    entry.installedAsOf = deploy;  // made when the commit was deployed
    return entry;
}

std::optional<SoftwareEntry> snapEntry(const RootFs& fs, const std::string& folder, const std::string& name) {
    const std::string current = fs.resolved(folder + "/" + name + "/current");
    std::optional<std::string> yaml = current.empty() ? std::nullopt : fs.read(current + "/meta/snap.yaml", kMaxMetadataBytes);
    if (!yaml) return std::nullopt;
    SoftwareEntry entry;
    entry.name = snapYamlValue(*yaml, "name");
    if (entry.name.empty()) entry.name = name;
    entry.version = snapYamlValue(*yaml, "version");
    entry.location = current;
    entry.architecture = snapYamlValue(*yaml, "architectures");
    entry.source = "snap";
    entry.category = snapYamlValue(*yaml, "type");
    if (entry.category.empty()) entry.category = "app";  // snap.yaml leaves the common type out
    entry.installedAsOf = "/var/lib/snapd/snaps/" + name + "_" + baseName(current) + ".snap";
    return entry;
}

// Adds `entry` where the bound lets it in.
void add(SoftwareList& list, std::optional<SoftwareEntry> entry) {
    if (!entry) return;
    if (list.room() == 0)
        list.cut = true;
    else
        list.entries.push_back(std::move(*entry));
}

}  // namespace

void addFlatpakApplications(const LinuxContext& context, SoftwareList& list) {
    for (const std::string& id : context.fs.list(kFlatpakApps)) add(list, flatpakEntry(context.fs, id));
}

void addSnaps(const LinuxContext& context, SoftwareList& list) {
    for (const char* folder : kSnapFolders) {
        std::vector<std::string> names = context.fs.list(folder);
        for (const std::string& name : names) add(list, snapEntry(context.fs, folder, name));
        if (!names.empty()) return;  // one of them is the other, linked
    }
}

}  // namespace moravel::lx
