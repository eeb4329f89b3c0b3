// How the Details window keeps up with a machine of ten thousand items (and a hundred thousand
// rows): the list made, the window opened and drawn, each keystroke of a search and each page of
// scrolling, drawn, beside the same with a hundred items. The window draws only the rows in
// view and a search is one pass over the list's text, so a keystroke must stay within
// kBoundMs; exit status 1 when one does not. Needs an X display.
#include <FL/Fl.H>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/details_window.h"
#include "details/details.h"

// Last: X11 defines macros (Bool, Status) that the project's headers use as names.
#include <FL/x.H>

namespace {

constexpr double kBoundMs = 100;  // a keystroke's answer a person does not wait for

using Clock = std::chrono::steady_clock;
// Draws what changed and waits for the X server to have drawn it too: its requests are
// buffered, so a flush alone measures only their making.
void drawn() {
    Fl::flush();
    XSync(fl_display, False);
}

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// `count` items in thirds: memory modules, disks and USB devices, each with its serial number.
moravel::Inventory machineOf(std::size_t count) {
    moravel::Inventory inventory;
    inventory.computer.name = "BENCH";
    char serial[16];
    for (std::size_t i = 0; i < count; ++i) {
        std::snprintf(serial, sizeof serial, "%08zX", i * 2654435761u % 0xFFFFFFFFu);
        if (i % 3 == 0) {
            moravel::MemoryModule module;
            module.slot = "DIMM_" + std::to_string(i);
            module.bank = "BANK " + std::to_string(i % 4);
            module.type = "DDR5";
            module.formFactor = "SODIMM";
            module.manufacturer = "Samsung";
            module.partNumber = "M425R2GA3BB0-CWMOD";
            module.serialNumber = serial;
            module.capacityBytes = std::uint64_t{16} << 30;
            module.speedMts = 5600;
            inventory.memoryModules.push_back(module);
        } else if (i % 3 == 1) {
            moravel::Disk disk;
            disk.name = "/dev/sd" + std::to_string(i);
            disk.model = "Samsung SSD 860 EVO 1TB";
            disk.serialNumber = serial;
            disk.firmware = "RVT24B6Q";
            disk.sizeBytes = std::uint64_t{1000204886016};
            disk.bus = moravel::DiskBus::Sata;
            inventory.disks.push_back(disk);
        } else {
            moravel::UsbDevice usb;
            usb.name = "USB Receiver " + std::to_string(i);
            usb.manufacturer = "Logitech";
            usb.vendorId = "046d";
            usb.productId = "c52b";
            usb.serialNumber = serial;
            usb.deviceClass = "HIDClass";
            inventory.usbDevices.push_back(usb);
        }
    }
    return inventory;
}

struct Measured {
    double list = 0, open = 0;
    std::vector<double> keystrokes, pages;
    std::size_t rows = 0;
};

void press(moravel::DetailsView& view, int key) {
    Fl::e_keysym = key;
    Fl::e_state = 0;
    view.handle(FL_KEYBOARD);
}

Measured measure(std::size_t items) {
    Measured m;
    auto start = Clock::now();
    const moravel::DetailsList list = moravel::detailsList(machineOf(items));
    m.list = msSince(start);

    start = Clock::now();
    moravel::AppState state;  // the window's own state, as start-up gives it
    moravel::DetailsWindow window(state);
    window.showList(list, nullptr, "");
    window.show();
    // Until the server has exposed it the toolkit draws nothing, and every flush below would
    // measure no drawing at all.
    window.wait_for_expose();
    drawn();
    m.open = msSince(start);
    m.rows = window.view().rows()->rows().size();

    const std::string typed = "0b9f", wanted = list[1].items.back().properties.back().text;  // a serial
    std::string search;
    for (char c : typed + "|" + wanted) {  // a short text found often, then cleared, then a serial
        search = c == '|' ? std::string() : search + c;
        start = Clock::now();
        window.searchField().value(search.c_str());
        window.searchField().do_callback();
        drawn();
        m.keystrokes.push_back(msSince(start));
    }
    window.searchField().value("");
    window.searchField().do_callback();
    window.view().take_focus();
    window.view().select(0);
    for (int page = 0; page < 20; ++page) {
        start = Clock::now();
        press(window.view(), page == 10 ? FL_End : FL_Page_Down);
        drawn();
        m.pages.push_back(msSince(start));
    }
    window.hide();
    return m;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main() {
    Fl::scheme("plastic");
    bool within = true;
    std::printf("| items | rows | list made ms | window opened and drawn ms | keystroke median / max ms | "
                "page median / max ms |\n|---:|---:|---:|---:|---:|---:|\n");
    for (std::size_t items : {std::size_t{100}, std::size_t{10000}}) {
        const Measured m = measure(items);
        const double slowest = std::max(*std::max_element(m.keystrokes.begin(), m.keystrokes.end()),
                                        *std::max_element(m.pages.begin(), m.pages.end()));
        within = within && slowest < kBoundMs;
        std::printf("| %zu | %zu | %.1f | %.1f | %.1f / %.1f | %.1f / %.1f |\n", items, m.rows, m.list, m.open,
                    median(m.keystrokes), *std::max_element(m.keystrokes.begin(), m.keystrokes.end()),
                    median(m.pages), *std::max_element(m.pages.begin(), m.pages.end()));
    }
    std::printf("Details window: each keystroke and page answered and drawn within %.0f ms: %s\n", kBoundMs,
                within ? "ok" : "TOO SLOW");
    return within ? 0 : 1;
}
