// A window of eight groups of four fields holding values no machine should have: a megabyte of
// text, control characters, bytes that are not UTF-8, right-to-left marks. The window test copies
// each value back out of it; `make bench` times building and drawing it.
#pragma once

#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "app/main_window.h"

namespace moravel::testing {

inline const std::vector<std::string> kHostileValues = {
    std::string(1 << 20, 'M') + "end",
    "\x1B[2J\x1B]0;title\x07 bell\r\nnext\tline\x7F\xC2\x9B"
    "31m",
    "\xFF\xFE caf\xE9 \xC3( \xE2\x82 cut \xED\xA0\x80 surrogate",
    "\xE2\x80\xAE"
    "evil.exe\xE2\x80\xAC \xE2\x80\x8F"
    "mark \xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D",
};

// Builds, shows and draws a window whose fields hold `texts` in turn; seconds taken.
inline double buildAndDraw(const std::vector<std::string>& texts, std::unique_ptr<Fl_Double_Window>& window) {
    auto start = std::chrono::steady_clock::now();
    window = std::make_unique<Fl_Double_Window>(725, 755, "hostile");
    AppState state;
    WindowSink sink(state);
    for (int g = 0; g < 8; ++g) {
        sink.beginGroup("Group", 10, 10 + 90 * g, 705, 85, false);
        for (int f = 0; f < 4; ++f)
            sink.addField("Field:", f % 2 ? 460 : 115, 35 + 90 * g + 25 * (f / 2), texts[(g * 4 + f) % texts.size()]);
        sink.endGroup();
    }
    window->end();
    window->show();
    for (int i = 0; i < 5; ++i) Fl::wait(0.01);
    Fl::flush();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace moravel::testing
