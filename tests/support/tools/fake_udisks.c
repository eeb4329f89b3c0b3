/* A stand-in for UDisks2 on a private bus (DBUS_SYSTEM_BUS_ADDRESS): two drives, an NVMe SSD
 * (nvme0n1) and an ATA hard disk (sda, whose partition sda1 names the same drive), answering
 * GetManagedObjects and each drive's SmartGetAttributes as udisks 2.10 does. Writes "ready" to
 * the file named by its argument once it owns the name, then serves until killed. */
#include <stdarg.h>
#include <stdio.h>
#include <string.h>
#include <systemd/sd-bus.h>

#define ROOT "/org/freedesktop/UDisks2"
#define HDD ROOT "/drives/HDD"
#define SSD ROOT "/drives/SSD"

static int variant(sd_bus_message* m, const char* name, const char* type, ...) {
    va_list args;
    int r = sd_bus_message_open_container(m, 'e', "sv");
    if (r >= 0) r = sd_bus_message_append(m, "s", name);
    if (r >= 0) r = sd_bus_message_open_container(m, 'v', type);
    va_start(args, type);
    if (r >= 0) r = sd_bus_message_appendv(m, type, args);
    va_end(args);
    if (r >= 0) r = sd_bus_message_close_container(m);
    if (r >= 0) r = sd_bus_message_close_container(m);
    return r;
}

static int bytes(sd_bus_message* m, const char* name, const char* text) {
    int r = sd_bus_message_open_container(m, 'e', "sv");
    if (r >= 0) r = sd_bus_message_append(m, "s", name);
    if (r >= 0) r = sd_bus_message_open_container(m, 'v', "ay");
    if (r >= 0) r = sd_bus_message_append_array(m, 'y', text, strlen(text) + 1);
    if (r >= 0) r = sd_bus_message_close_container(m);
    if (r >= 0) r = sd_bus_message_close_container(m);
    return r;
}

static void open_object(sd_bus_message* m, const char* path, const char* interface) {
    sd_bus_message_open_container(m, 'e', "oa{sa{sv}}");
    sd_bus_message_append(m, "o", path);
    sd_bus_message_open_container(m, 'a', "{sa{sv}}");
    sd_bus_message_open_container(m, 'e', "sa{sv}");
    sd_bus_message_append(m, "s", interface);
    sd_bus_message_open_container(m, 'a', "{sv}");
}

static void close_object(sd_bus_message* m) {
    for (int i = 0; i < 4; ++i) sd_bus_message_close_container(m);
}

static void block(sd_bus_message* m, const char* path, const char* device, const char* drive) {
    open_object(m, path, "org.freedesktop.UDisks2.Block");
    bytes(m, "Device", device);
    variant(m, "Drive", "o", drive);
    variant(m, "Size", "t", (uint64_t)1000204886016ull);
    close_object(m);
}

/* sd-bus keeps the standard interfaces to itself: the root object takes its messages raw. */
static int managed_objects(sd_bus_message* call, void* data, sd_bus_error* error) {
    (void)data, (void)error;
    if (!sd_bus_message_is_method_call(call, "org.freedesktop.DBus.ObjectManager", "GetManagedObjects")) return 0;
    sd_bus_message* m = NULL;
    sd_bus_message_new_method_return(call, &m);
    sd_bus_message_open_container(m, 'a', "{oa{sa{sv}}}");
    block(m, ROOT "/block_devices/sda", "/dev/sda", HDD);
    block(m, ROOT "/block_devices/sda1", "/dev/sda1", HDD);
    block(m, ROOT "/block_devices/nvme0n1", "/dev/nvme0n1", SSD);
    open_object(m, HDD, "org.freedesktop.UDisks2.Drive.Ata");
    variant(m, "SmartSupported", "b", 1);
    variant(m, "SmartEnabled", "b", 1);
    variant(m, "SmartFailing", "b", 1);
    variant(m, "SmartTemperature", "d", 308.15);
    close_object(m);
    open_object(m, SSD, "org.freedesktop.UDisks2.NVMe.Controller");
    variant(m, "SmartUpdated", "t", (uint64_t)1700000000);
    variant(m, "SmartCriticalWarning", "as", 1, "temperature");
    variant(m, "SmartPowerOnHours", "t", (uint64_t)14200);
    variant(m, "SmartTemperature", "q", (uint16_t)310);
    close_object(m);
    sd_bus_message_close_container(m);
    int r = sd_bus_send(NULL, m, NULL);
    sd_bus_message_unref(m);
    return r;
}

static int ata_attributes(sd_bus_message* call, void* data, sd_bus_error* error) {
    (void)data, (void)error;
    sd_bus_message* m = NULL;
    sd_bus_message_new_method_return(call, &m);
    sd_bus_message_open_container(m, 'a', "(ysqiiixia{sv})");
    /* id, name, flags, value, worst, threshold, pretty, unit (2 ms, 3 sectors, 4 mK) */
    struct { uint8_t id; const char* name; int32_t value; int64_t pretty; int32_t unit; } rows[] = {
        {5, "reallocated-sector-count", 180, 51, 3}, {9, "power-on-hours", 71, 21340ll * 3600000, 2},
        {12, "power-cycle-count", 97, 3311, 1}, {194, "temperature-celsius-2", 108, 308150, 4},
        {197, "current-pending-sector", 200, 2, 3}};
    for (unsigned i = 0; i < sizeof rows / sizeof rows[0]; ++i) {
        sd_bus_message_open_container(m, 'r', "ysqiiixia{sv}");
        sd_bus_message_append(m, "ysqiiixi", rows[i].id, rows[i].name, (uint16_t)0x32, rows[i].value, rows[i].value,
                              0, rows[i].pretty, rows[i].unit);
        sd_bus_message_append(m, "a{sv}", 0);
        sd_bus_message_close_container(m);
    }
    sd_bus_message_close_container(m);
    int r = sd_bus_send(NULL, m, NULL);
    sd_bus_message_unref(m);
    return r;
}

static int nvme_attributes(sd_bus_message* call, void* data, sd_bus_error* error) {
    (void)data, (void)error;
    sd_bus_message* m = NULL;
    sd_bus_message_new_method_return(call, &m);
    sd_bus_message_open_container(m, 'a', "{sv}");
    variant(m, "percent_used", "y", (uint8_t)23);
    variant(m, "avail_spare", "y", (uint8_t)100);
    variant(m, "power_cycles", "t", (uint64_t)1873);
    variant(m, "media_errors", "t", (uint64_t)0);
    variant(m, "temp_sensors", "aq", 2, (uint16_t)310, (uint16_t)305);
    sd_bus_message_close_container(m);
    int r = sd_bus_send(NULL, m, NULL);
    sd_bus_message_unref(m);
    return r;
}

static const sd_bus_vtable ata[] = {SD_BUS_VTABLE_START(0),
    SD_BUS_METHOD("SmartGetAttributes", "a{sv}", "a(ysqiiixia{sv})", ata_attributes, 0), SD_BUS_VTABLE_END};
static const sd_bus_vtable nvme[] = {SD_BUS_VTABLE_START(0),
    SD_BUS_METHOD("SmartGetAttributes", "a{sv}", "a{sv}", nvme_attributes, 0), SD_BUS_VTABLE_END};

int main(int argc, char** argv) {
    sd_bus* bus = NULL;
    if (argc != 2 || sd_bus_open_system(&bus) < 0) return 2;
    if (sd_bus_add_object(bus, NULL, ROOT, managed_objects, NULL) < 0 ||
        sd_bus_add_object_vtable(bus, NULL, HDD, "org.freedesktop.UDisks2.Drive.Ata", ata, NULL) < 0 ||
        sd_bus_add_object_vtable(bus, NULL, SSD, "org.freedesktop.UDisks2.NVMe.Controller", nvme, NULL) < 0 ||
        sd_bus_request_name(bus, "org.freedesktop.UDisks2", 0) < 0)
        return 2;
    FILE* ready = fopen(argv[1], "w");
    if (!ready) return 2;
    fputs("ready\n", ready);
    fclose(ready);
    for (;;) {
        int r = sd_bus_process(bus, NULL);
        if (r < 0) return 1;
        if (r == 0 && sd_bus_wait(bus, (uint64_t)-1) < 0) return 1;
    }
}
