// How long the window with hostile values (a megabyte of text, control characters, broken UTF-8)
// takes to build and draw, beside one with ordinary values. Building must not grow with a value's
// length: FLTK lays out at most about a thousand characters of a line, so the hostile window
// stays within kBoundSeconds; exit status 1 when it does not. Needs a display.
#include <cstdio>

#include "tests/support/hostile_window.h"

int main() {
    constexpr double kBoundSeconds = 1.0;
    using namespace moravel::testing;
    std::unique_ptr<Fl_Double_Window> window;
    double ordinary = buildAndDraw({"Intel(R) Core(TM) i7-4770 CPU", "American Megatrends Inc."}, window);
    window.reset();
    double hostile = buildAndDraw(kHostileValues, window);
    bool within = hostile < kBoundSeconds;
    std::printf("window built and drawn: ordinary values %.1f ms, hostile values %.1f ms (bound %.0f ms): %s\n",
                ordinary * 1000, hostile * 1000, kBoundSeconds * 1000, within ? "ok" : "TOO SLOW");
    return within ? 0 : 1;
}
