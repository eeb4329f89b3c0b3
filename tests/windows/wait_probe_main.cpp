// moravel-wait-probe: the window program's start-up (wait window, the build, the main window) with
// a pause at each progress step, so the Wine test can look at the screen while the build goes on
// behind that step. The pause is the first query cycle after the bar has moved: by then the step
// must be on the screen, since the program looks at no event until the next step.
//
//   moravel-wait-probe STEPS
//
// At each step STEPS gets a line "<value> <label>", then the probe waits until the file
// STEPS.<n> exists (n = 1, 2, ...); once the main window is shown, the line "shown" and one last
// wait. A wait gives up after a minute, so a test that has died leaves no process behind.
#include <windows.h>

#include <FL/Fl.H>
#include <FL/Fl_Progress.H>

#include <fstream>
#include <iostream>
#include <memory>
#include <string>

#include "app/app_state.h"
#include "app/startup.h"
#include "providers/backends.h"
#include "query/backend.h"

namespace {

class Stepper {
public:
    explicit Stepper(std::string steps) : steps_(std::move(steps)) {}

    void pause(const std::string& line) {
        std::ofstream(steps_, std::ios::app | std::ios::binary) << line << std::endl;
        const std::string go = steps_ + "." + std::to_string(++count_);
        for (int tick = 0; tick < 6000 && GetFileAttributesA(go.c_str()) == INVALID_FILE_ATTRIBUTES; ++tick) Sleep(10);
    }

private:
    std::string steps_;
    int count_ = 0;
};

// The platform's (or the snapshot's) provider, with a pause before the first cycle after each step.
class SteppingProvider : public moravel::WmiProvider {
public:
    SteppingProvider(std::unique_ptr<moravel::WmiProvider> inner, Stepper& stepper, const moravel::AppState& state)
        : inner_(std::move(inner)), stepper_(stepper), state_(state) {}

    void beginCycle(const std::string& wqlQuery) override {
        const Fl_Progress* bar = state_.progressBar;
        if (bar && bar->value() != shown_) {
            shown_ = bar->value();
            const char* label = bar->label();
            stepper_.pause(std::to_string(shown_) + " " + (label ? label : ""));
        }
        inner_->beginCycle(wqlQuery);
    }
    moravel::HResult initialize() override { return inner_->initialize(); }
    moravel::HResult initializeSecurity() override { return inner_->initializeSecurity(); }
    moravel::HResult createLocator(std::unique_ptr<moravel::WmiLocator>& locator) override {
        return inner_->createLocator(locator);
    }
    void uninitialize() override { inner_->uninitialize(); }

private:
    std::unique_ptr<moravel::WmiProvider> inner_;
    Stepper& stepper_;
    const moravel::AppState& state_;
    float shown_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: moravel-wait-probe STEPS" << std::endl;
        return 2;
    }
    Stepper stepper(argv[1]);
    moravel::Backend backend = moravel::makeBackendFromEnvironment();
    moravel::AppState state;
    backend.provider = std::make_unique<SteppingProvider>(std::move(backend.provider), stepper, state);
    state.context = backend.context();
    Fl::scheme("plastic");
    moravel::startMainWindow(state, 1, argv);
    stepper.pause("shown");
    return 0;
}
