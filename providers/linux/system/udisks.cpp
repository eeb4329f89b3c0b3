#include "providers/linux/system/udisks.h"

#include <dlfcn.h>
#include <systemd/sd-bus.h>

#include <cstring>
#include <memory>
#include <vector>

#include "providers/linux/parsers/udisks_health.h"
#include "providers/linux/system/disk_commands.h"

namespace moravel::lx {
namespace {

constexpr const char* kService = "org.freedesktop.UDisks2";
constexpr const char* kBlock = "org.freedesktop.UDisks2.Block";
constexpr const char* kAta = "org.freedesktop.UDisks2.Drive.Ata";
constexpr const char* kNvme = "org.freedesktop.UDisks2.NVMe.Controller";
constexpr std::uint64_t kCallTimeoutUsec = 250000;

// The few sd-bus functions used, from libsystemd loaded on first use.
struct SdBus {
    decltype(&sd_bus_open_system) openSystem;
    decltype(&sd_bus_flush_close_unref) closeBus;
    decltype(&sd_bus_set_method_call_timeout) setTimeout;
    decltype(&sd_bus_call_method) call;
    decltype(&sd_bus_message_unref) unref;
    decltype(&sd_bus_message_enter_container) enter;
    decltype(&sd_bus_message_exit_container) leave;
    decltype(&sd_bus_message_read_basic) readBasic;
    decltype(&sd_bus_message_read_array) readArray;
    decltype(&sd_bus_message_peek_type) peek;
    decltype(&sd_bus_message_skip) skip;
    decltype(&sd_bus_error_free) freeError;
};

template <typename Function>
bool bind(void* library, const char* name, Function& function) {
    function = reinterpret_cast<Function>(::dlsym(library, name));
    return function != nullptr;
}

const SdBus* sdBus() {
    static const std::unique_ptr<SdBus> loaded = []() -> std::unique_ptr<SdBus> {
        void* library = ::dlopen("libsystemd.so.0", RTLD_NOW | RTLD_LOCAL);
        if (!library) return nullptr;
        auto bus = std::make_unique<SdBus>();
        bool all =
            bind(library, "sd_bus_open_system", bus->openSystem) &&
            bind(library, "sd_bus_flush_close_unref", bus->closeBus) &&
            bind(library, "sd_bus_set_method_call_timeout", bus->setTimeout) &&
            bind(library, "sd_bus_call_method", bus->call) && bind(library, "sd_bus_message_unref", bus->unref) &&
            bind(library, "sd_bus_message_enter_container", bus->enter) &&
            bind(library, "sd_bus_message_exit_container", bus->leave) &&
            bind(library, "sd_bus_message_read_basic", bus->readBasic) &&
            bind(library, "sd_bus_message_read_array", bus->readArray) &&
            bind(library, "sd_bus_message_peek_type", bus->peek) && bind(library, "sd_bus_message_skip", bus->skip) &&
            bind(library, "sd_bus_error_free", bus->freeError);
        return all ? std::move(bus) : nullptr;  // the library stays loaded for the process
    }();
    return loaded.get();
}

// A property's value, whatever its D-Bus type: numbers, texts (strings, object paths, byte
// strings) and lists of strings.
struct Property {
    double number = 0;
    std::string text;
    std::vector<std::string> list;
};
using Properties = std::map<std::string, Property>;

class Reader {
public:
    Reader(const SdBus& bus, sd_bus_message* message) : bus_(bus), message_(message) {}

    bool enter(char type, const char* contents) { return bus_.enter(message_, type, contents) > 0; }
    void leave() { bus_.leave(message_); }
    std::string text(char type) {
        const char* value = nullptr;
        return bus_.readBasic(message_, type, &value) > 0 && value ? value : "";
    }

    // a{sv}
    Properties properties() {
        Properties read;
        if (!enter('a', "{sv}")) return read;
        while (enter('e', "sv")) {
            std::string name = text('s');
            char type = 0;
            const char* contents = nullptr;
            if (bus_.peek(message_, &type, &contents) > 0 && type == 'v' && contents && enter('v', contents)) {
                read[name] = value(contents);
                leave();
            }
            leave();
        }
        leave();
        return read;
    }

    // a(ysqiiixia{sv})
    std::vector<UdisksAttribute> attributes() {
        std::vector<UdisksAttribute> read;
        if (!enter('a', "(ysqiiixia{sv})")) return read;
        while (enter('r', "ysqiiixia{sv}")) {
            std::uint8_t id = 0;
            std::uint16_t flags = 0;
            std::int32_t value = -1, worst = -1, threshold = 0, unit = 0;
            std::int64_t pretty = 0;
            bus_.readBasic(message_, 'y', &id);
            text('s');
            bus_.readBasic(message_, 'q', &flags);
            bus_.readBasic(message_, 'i', &value);
            bus_.readBasic(message_, 'i', &worst);
            bus_.readBasic(message_, 'i', &threshold);
            bus_.readBasic(message_, 'x', &pretty);
            bus_.readBasic(message_, 'i', &unit);
            bus_.skip(message_, "a{sv}");
            read.push_back({id, flags, value, worst, pretty, unit});
            leave();
        }
        leave();
        return read;
    }

private:
    template <typename T>
    double basic(char type) {
        T number{};
        bus_.readBasic(message_, type, &number);
        return static_cast<double>(number);
    }

    Property value(const std::string& contents) {
        Property property;
        switch (contents.size() == 1 ? contents[0] : '\0') {  // the basic types
        case 'b': property.number = basic<int>('b'); return property;
        case 'y': property.number = basic<std::uint8_t>('y'); return property;
        case 'q': property.number = basic<std::uint16_t>('q'); return property;
        case 'u': property.number = basic<std::uint32_t>('u'); return property;
        case 't': property.number = basic<std::uint64_t>('t'); return property;
        case 'x': property.number = basic<std::int64_t>('x'); return property;
        case 'd': property.number = basic<double>('d'); return property;
        case 's':
        case 'o': property.text = text(contents[0]); return property;
        }
        if (contents == "ay") {
            const void* bytes = nullptr;
            std::size_t size = 0;
            if (bus_.readArray(message_, 'y', &bytes, &size) > 0 && bytes)
                property.text.assign(static_cast<const char*>(bytes), ::strnlen(static_cast<const char*>(bytes), size));
        } else if (contents == "as" && enter('a', "s")) {
            const char* item = nullptr;
            while (bus_.readBasic(message_, 's', &item) > 0 && item) property.list.push_back(item);
            leave();
        } else {
            bus_.skip(message_, contents.c_str());
        }
        return property;
    }

    const SdBus& bus_;
    sd_bus_message* message_;
};

// One method call's reply, released with it; empty when the call failed.
using Reply = std::unique_ptr<sd_bus_message, decltype(&sd_bus_message_unref)>;
Reply call(const SdBus& bus, sd_bus* connection, const char* path, const char* interface, const char* method,
           bool options) {
    sd_bus_error error = SD_BUS_ERROR_NULL;
    sd_bus_message* message = nullptr;
    int result = options ? bus.call(connection, kService, path, interface, method, &error, &message, "a{sv}", 0)
                         : bus.call(connection, kService, path, interface, method, &error, &message, "");
    bus.freeError(&error);
    return Reply(result < 0 ? nullptr : message, bus.unref);
}

double number(const Properties& properties, const char* name) {
    auto it = properties.find(name);
    return it == properties.end() ? 0 : it->second.number;
}

std::optional<std::uint64_t> count(const Properties& properties, const char* name) {
    auto it = properties.find(name);
    if (it == properties.end() || it->second.number < 0) return std::nullopt;
    return static_cast<std::uint64_t>(it->second.number);
}

DiskAnswer ataAnswer(const SdBus& bus, sd_bus* connection, const std::string& drive, const Properties& ata) {
    if (number(ata, "SmartSupported") == 0 || number(ata, "SmartEnabled") == 0 || !healthTimeLeft()) return {};
    Reply reply = call(bus, connection, drive.c_str(), kAta, "SmartGetAttributes", true);
    if (!reply) return {};
    std::vector<UdisksAttribute> attributes = Reader(bus, reply.get()).attributes();
    if (attributes.empty()) return {};
    return {DiskAnswer::Status::Answered, ataTableFromUdisks(attributes), number(ata, "SmartFailing") != 0};
}

DiskAnswer nvmeAnswer(const SdBus& bus, sd_bus* connection, const std::string& drive, const Properties& controller) {
    if (number(controller, "SmartUpdated") == 0 || !healthTimeLeft()) return {};
    Reply reply = call(bus, connection, drive.c_str(), kNvme, "SmartGetAttributes", true);
    if (!reply) return {};
    Properties smart = Reader(bus, reply.get()).properties();
    UdisksNvme nvme;
    if (auto it = controller.find("SmartCriticalWarning"); it != controller.end())
        nvme.criticalWarning = it->second.list;
    nvme.temperatureKelvin = count(controller, "SmartTemperature");
    nvme.powerOnHours = count(controller, "SmartPowerOnHours");
    nvme.percentUsed = count(smart, "percent_used");
    nvme.availableSpare = count(smart, "avail_spare");
    nvme.spareThreshold = count(smart, "spare_thresh");
    nvme.powerCycles = count(smart, "power_cycles");
    nvme.unsafeShutdowns = count(smart, "unsafe_shutdowns");
    nvme.mediaErrors = count(smart, "media_errors");
    return {DiskAnswer::Status::Answered, nvmeLogFromUdisks(nvme), false};
}

struct Objects {
    std::map<std::string, std::string> driveOfDevice;  // "/dev/sda" → the drive's object path
    std::map<std::string, Properties> ata, nvme;       // by the drive's object path
};

Objects managedObjects(const SdBus& bus, sd_bus* connection) {
    Objects objects;
    Reply reply = call(bus, connection, "/org/freedesktop/UDisks2", "org.freedesktop.DBus.ObjectManager",
                       "GetManagedObjects", false);
    if (!reply) return objects;
    Reader reader(bus, reply.get());
    if (!reader.enter('a', "{oa{sa{sv}}}")) return objects;
    while (reader.enter('e', "oa{sa{sv}}")) {
        std::string path = reader.text('o');
        if (reader.enter('a', "{sa{sv}}")) {
            while (reader.enter('e', "sa{sv}")) {
                std::string interface = reader.text('s');
                Properties properties = reader.properties();
                if (interface == kBlock && !properties["Drive"].text.empty() && properties["Drive"].text != "/")
                    objects.driveOfDevice[properties["Device"].text] = properties["Drive"].text;
                else if (interface == kAta)
                    objects.ata[path] = std::move(properties);
                else if (interface == kNvme)
                    objects.nvme[path] = std::move(properties);
                reader.leave();
            }
            reader.leave();
        }
        reader.leave();
    }
    reader.leave();
    return objects;
}

}  // namespace

std::map<std::string, DiskAnswer> askUdisksHealth() {
    std::map<std::string, DiskAnswer> answers;
    const SdBus* bus = sdBus();
    sd_bus* connection = nullptr;
    if (!healthTimeLeft() || !bus || bus->openSystem(&connection) < 0 || !connection) return answers;
    std::unique_ptr<sd_bus, decltype(bus->closeBus)> owner(connection, bus->closeBus);
    bus->setTimeout(connection, kCallTimeoutUsec);
    Objects objects = managedObjects(*bus, connection);
    std::map<std::string, DiskAnswer> byDrive;  // each drive asked once, whatever its partitions
    for (const auto& [drive, ata] : objects.ata) byDrive[drive] = ataAnswer(*bus, connection, drive, ata);
    for (const auto& [drive, nvme] : objects.nvme) byDrive[drive] = nvmeAnswer(*bus, connection, drive, nvme);
    for (const auto& [device, drive] : objects.driveOfDevice)
        if (auto answer = byDrive.find(drive); answer != byDrive.end()) answers[device] = answer->second;
    return answers;
}

}  // namespace moravel::lx
