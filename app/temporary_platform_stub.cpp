// Stand-ins for the shell's icon functions until its branch is merged; removed then.
#include "app/platform.h"

namespace moravel {
void setProgramIcon(Fl_Window&) {}
void runIconPass() {}
}  // namespace moravel
