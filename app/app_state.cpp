#include "app/app_state.h"

namespace moravel {

Fl_Double_Window* mainWindow = nullptr;
Fl_Double_Window* waitWindow = nullptr;
Fl_Progress* progressBar = nullptr;
Fl_Double_Window* aboutWindow = nullptr;
bool noticeMode = false;

}  // namespace moravel
