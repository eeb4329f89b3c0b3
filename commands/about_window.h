// The About window's parts that tests look at without a window: its document and its place.
#pragma once

#include <string>

namespace moravel {

// The HTML shown in the About window's text view.
std::string aboutDocument();

struct WindowOrigin {
    int x;
    int y;
};

// Top-left corner that centres the 372 x 340 About window in the work area; integer halving,
// and a work area smaller than the window gives a negative corner, passed on unchanged.
WindowOrigin aboutWindowOrigin(int workX, int workY, int workW, int workH);

}  // namespace moravel
