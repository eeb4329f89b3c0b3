#include "app/startup.h"

#include <cstdlib>
#include <iostream>

#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>

#include "app/app_state.h"
#include "app/main_window.h"
#include "app/platform.h"
#include "app/wait_window.h"

namespace moravel {
namespace {

// Only Windows' own numbers follow the notice rule; a kernel version such as 6.2 elsewhere must
// not turn it on.
#ifdef _WIN32
constexpr bool kPlatformVersionDecides = true;
#else
constexpr bool kPlatformVersionDecides = false;
#endif

void configureMainWindow(AppState& state, Fl_Double_Window& window) {
    window.resizable(&window);
    window.callback(onMainWindowClose, &state);
    window.set_non_modal();
    window.color(fl_rgb_color(240, 240, 240));
    const ScreenRect workArea = screenWorkArea();
    const FrameSize frame = mainWindowFrame();
    const ScreenRect at = keepFrameInWorkArea(placeMainWindow(workArea, window.w(), window.h()), frame, workArea);
    window.resize(at.x, at.y, at.w, at.h);
    const ScreenRect smallest = smallestMainWindow(clientArea(workArea, frame));
    window.size_range(smallest.w, smallest.h);
}

}  // namespace

ScreenRect screenWorkArea() { return {Fl::x(), Fl::y(), Fl::w(), Fl::h()}; }

VersionVerdict runVersionTest(SystemProbes* probes) {
    return judgeVersion(probes ? probes->osVersion() : std::nullopt, platformOsVersion(), kPlatformVersionDecides);
}

void startMainWindow(AppState& state, int argc, char** argv) {
    if (state.mainWindow) return;
    Fl::visual(FL_RGB);
    const VersionVerdict verdict = runVersionTest(state.context.probes);
    std::cout << versionLine(verdict.version) << std::flush;
    state.noticeMode = verdict.notice;
    if (state.noticeMode)
        showNoticeBox(kNoticeText);
    else
        makeWaitWindow(state);
    state.mainWindow = makeMainWindow(state);
    configureMainWindow(state, *state.mainWindow);
    onWaitWindowClose(nullptr, &state);  // unless notice mode made none or the user closed it
    state.mainWindow->show(argc, argv);
    restoreStartEnvironment(state.displayPrepared);
    runIconPass();
}

void onMainWindowClose(Fl_Widget*, void* data) {
    AppState& state = *static_cast<AppState*>(data);
    if (state.mainWindow) state.mainWindow->hide();
    state.mainWindow = nullptr;
    std::exit(0);
}

}  // namespace moravel
