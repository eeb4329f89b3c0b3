// Temporary: lets the window program link until the Print and About commands land.
#include "commands/commands.h"

namespace moravel {

void onPrintButton(Fl_Widget*, void*) {}
void onAboutButton(Fl_Widget*, void*) {}

}  // namespace moravel
