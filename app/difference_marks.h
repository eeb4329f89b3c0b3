// How the window marks what differs from a compared snapshot, in the main window's fields and in
// the Details window's rows alike: a solid double frame with a flag in its top right corner on a
// pale yellow ground for a change, a dashed frame for a value that changes by itself. The marks
// are shapes, so they read without colour; the dark blue and the pale yellow stay apart in every
// kind of colour blindness and in grey print.
#pragma once

#include <FL/Enumerations.H>

#include "details/marks.h"

namespace moravel {

Fl_Color changedColour();  // the ground of a change

// Draws `mark` over the border of the box at x, y, w, h, so its contents keep their place.
void drawDifferenceMark(int x, int y, int w, int h, DifferenceMark mark);

}  // namespace moravel
