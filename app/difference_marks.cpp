#include "app/difference_marks.h"

#include <FL/Fl.H>

#include <FL/fl_draw.H>  // last: its X11 headers define Bool and None

namespace moravel {
namespace {
constexpr int kMarkFlag = 9;  // the side of a change's corner flag
Fl_Color markColour() { return fl_rgb_color(0, 84, 147); }
}  // namespace

Fl_Color changedColour() { return fl_rgb_color(255, 238, 170); }

void drawDifferenceMark(int x, int y, int w, int h, DifferenceMark mark) {
    if (mark == DifferenceMark::Plain) return;
    const Fl_Color ink = fl_color();
    fl_color(markColour());
    if (mark == DifferenceMark::Changed) {
        fl_rect(x, y, w, h);
        fl_rect(x + 1, y + 1, w - 2, h - 2);
        const int right = x + w - 1;
        fl_polygon(right - kMarkFlag, y, right, y, right, y + kMarkFlag);
    } else {
        fl_line_style(FL_DASH, 2);
        fl_rect(x + 1, y + 1, w - 2, h - 2);
        fl_line_style(0);
    }
    fl_color(ink);
}

}  // namespace moravel
