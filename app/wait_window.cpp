#include "app/wait_window.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Progress.H>

#include "app/app_state.h"
#include "app/platform.h"
#include "app/startup.h"
#include "app/startup_rules.h"

namespace moravel {
namespace {

const char* const kWaitTitle = "Retrieving system information (Please wait...)";

struct PercentLabel {
    float fraction;
    const char* text;
};

// Fractions are compared as single-precision numbers, so 0.1f and not 0.1.
constexpr PercentLabel kPercentLabels[] = {
    {0.1f, "10 %"}, {0.2f, "20 %"}, {0.25f, "25 %"}, {0.3f, "30 %"}, {0.4f, "40 %"}, {0.5f, "50 %"},
    {0.6f, "60 %"}, {0.7f, "70 %"}, {0.75f, "75 %"}, {0.8f, "80 %"}, {0.9f, "90 %"}, {1.0f, "100 %"},
};

void addFrameBox() {
    auto* box = new Fl_Box(5, 5, 390, 40);
    box->box(FL_PLASTIC_DOWN_BOX);
    box->color(FL_BACKGROUND2_COLOR);
}

Fl_Progress* addProgressBar() {
    auto* bar = new Fl_Progress(10, 15, 380, 20);
    bar->minimum(0);
    bar->box(FL_PLASTIC_DOWN_BOX);
    bar->maximum(1);
    bar->color(FL_BACKGROUND2_COLOR);
    bar->labelcolor(FL_BLACK);
    bar->labelfont(FL_HELVETICA_BOLD);
    bar->selection_color(fl_rgb_color(0, 178, 178));
    return bar;
}

}  // namespace

const char* percentLabel(float fraction) {
    for (const PercentLabel& entry : kPercentLabels)
        if (fraction == entry.fraction) return entry.text;
    return nullptr;
}

void makeWaitWindow(AppState& state) {
    auto* window = new Fl_Double_Window(kWaitWindowWidth, kWaitWindowHeight, kWaitTitle);
    window->color(fl_rgb_color(240, 240, 240));
    window->align(FL_ALIGN_CENTER);
    window->callback(onWaitWindowClose, &state);
    state.waitWindow = window;
    addFrameBox();
    state.progressBar = addProgressBar();
    window->clear_border();
    ScreenRect at = placeWaitWindow(screenWorkArea());
    window->resize(at.x, at.y, at.w, at.h);
    window->set_non_modal();
    window->end();
    window->show();
    Fl::check();
    presentDrawing();
}

void setProgress(AppState& state, float fraction) {
    // The bar outlives its window, but there is none at all before makeWaitWindow.
    Fl_Progress* bar = state.progressBar;
    if (!bar) return;
    bar->value(fraction);
    if (const char* label = percentLabel(fraction)) bar->label(label);
    Fl::check();
    presentDrawing();  // the step must be visible during the queries that follow, not after them
}

void onWaitWindowClose(Fl_Widget*, void* data) {
    AppState& state = *static_cast<AppState*>(data);
    if (state.waitWindow) state.waitWindow->hide();
    state.waitWindow = nullptr;
}

}  // namespace moravel
