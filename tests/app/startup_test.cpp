// Start-up in process on the test display: what is printed and shown, in which order, and
// where the main window ends up.
#include <gtest/gtest.h>

#include <unistd.h>

#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Progress.H>
#include <FL/fl_ask.H>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "app/app_state.h"
#include "app/main_window.h"
#include "app/startup.h"
#include "tests/support/fake_backend.h"

namespace moravel {
namespace {

// Sends standard output to a file for the life of the object.
class CapturedStdout {
public:
    // One file per process: tests run in parallel, each in its own process.
    CapturedStdout() : path_(::testing::TempDir() + "moravel_stdout." + std::to_string(getpid()) + ".txt") {
        std::cout.flush();
        std::fflush(stdout);
        saved_ = dup(1);
        std::FILE* file = std::fopen(path_.c_str(), "w");
        dup2(fileno(file), 1);
        std::fclose(file);
    }
    ~CapturedStdout() {
        std::cout.flush();
        std::fflush(stdout);
        dup2(saved_, 1);
        close(saved_);
        std::remove(path_.c_str());
    }
    std::string text() const {
        std::cout.flush();
        std::fflush(stdout);
        std::ifstream in(path_);
        std::stringstream all;
        all << in.rdbuf();
        return all.str();
    }

private:
    std::string path_;
    int saved_ = -1;
};

// What was on standard output when the first wait window or notice box became visible.
struct FirstSight {
    const CapturedStdout* out = nullptr;
    bool seen = false;
    std::string printed;
    bool waitWindowExisted = false;
    bool noticeText = false;
    std::string button;
};
FirstSight sight;

void watchForWaitWindow(void* data) {
    const AppState& state = *static_cast<AppState*>(data);
    if (sight.seen || !state.waitWindow || !state.waitWindow->shown()) return;
    sight.seen = true;
    sight.printed = sight.out->text();
}

Fl_Window* noticeBox() {
    for (Fl_Window* w = Fl::first_window(); w; w = Fl::next_window(w))
        if (w->label() && std::string(w->label()) == "Information") return w;
    return nullptr;
}

// Plays the user who reads the notice and presses its button.
void dismissNotice(void* data) {
    const AppState& state = *static_cast<AppState*>(data);
    Fl_Window* box = noticeBox();
    if (!box) {
        Fl::repeat_timeout(0.02, dismissNotice, data);
        return;
    }
    sight.seen = true;
    sight.printed = sight.out->text();
    sight.waitWindowExisted = state.waitWindow != nullptr || state.progressBar != nullptr;
    for (int i = 0; i < box->children(); ++i) {
        Fl_Widget* w = box->child(i);
        if (w->label() && std::string(w->label()) == kNoticeText) sight.noticeText = true;
    }
    for (int i = box->children() - 1; i >= 0; --i) {
        Fl_Widget* w = box->child(i);
        if (w->visible() && dynamic_cast<Fl_Button*>(w)) {
            sight.button = w->label() ? w->label() : "";
            w->do_callback();
            return;
        }
    }
    box->hide();
}

class StartupTest : public ::testing::Test {
protected:
    void TearDown() override {
        Fl::remove_check(watchForWaitWindow, &state_);
        Fl::remove_timeout(dismissNotice, &state_);
        if (state_.mainWindow) state_.mainWindow->hide();
        delete state_.mainWindow;
        if (state_.progressBar) delete state_.progressBar->window();
        sight = {};
    }
    void use(Backend backend) {
        backend_ = std::move(backend);
        state_.context = backend_.context();
    }
    void expectPlacedAndShown() {
        ASSERT_NE(state_.mainWindow, nullptr);
        EXPECT_TRUE(state_.mainWindow->shown());
        ScreenRect area = screenWorkArea();
        ScreenRect at = placeMainWindow(area, 725, 755);
        EXPECT_EQ(state_.mainWindow->w(), at.w);
        EXPECT_EQ(state_.mainWindow->h(), at.h);
        // On X11 the toolkit pulls a bordered window whose title bar would be off screen back
        // onto it; the position is ours only where the window fits.
        bool fits =
            at.x >= area.x + 1 && at.y >= area.y + 20 && at.x + at.w < area.x + area.w && at.y + at.h < area.y + area.h;
        if (fits) {
            EXPECT_EQ(state_.mainWindow->x(), at.x);
            EXPECT_EQ(state_.mainWindow->y(), at.y);
        }
        EXPECT_EQ(state_.mainWindow->resizable(), state_.mainWindow);
        EXPECT_EQ(state_.mainWindow->callback(), onMainWindowClose);
        EXPECT_TRUE(state_.mainWindow->non_modal());
        EXPECT_EQ(state_.mainWindow->color(), fl_rgb_color(240, 240, 240));
        EXPECT_STREQ(state_.mainWindow->label(), kMainWindowTitle);
    }
    char name_[32] = "moravel";
    char* argv_[2] = {name_, nullptr};
    Backend backend_;
    AppState state_;
};

TEST_F(StartupTest, VersionLineComesBeforeTheWaitWindowWhichGoesBeforeTheMainWindow) {
    use(testing::makeFakeBackend(OsVersion{6, 1}));
    {
        CapturedStdout out;
        sight.out = &out;
        Fl::add_check(watchForWaitWindow, &state_);
        startMainWindow(state_, 1, argv_);
        EXPECT_TRUE(sight.seen) << "the wait window was never seen";
        EXPECT_EQ(sight.printed, "6\t1\n");
    }
    EXPECT_FALSE(state_.noticeMode);
    ASSERT_NE(state_.progressBar, nullptr);
    EXPECT_EQ(state_.waitWindow, nullptr);
    EXPECT_FALSE(state_.progressBar->window()->shown());
    expectPlacedAndShown();
}

TEST_F(StartupTest, NoticeVersionShowsTheBoxAndNoWaitWindow) {
    use(testing::makeFakeBackend(OsVersion{6, 2}));
    {
        CapturedStdout out;
        sight.out = &out;
        Fl::add_timeout(0.02, dismissNotice, &state_);
        startMainWindow(state_, 1, argv_);
        EXPECT_TRUE(sight.seen) << "the notice box was never seen";
        EXPECT_EQ(sight.printed, "6\t2\n");
        EXPECT_TRUE(sight.noticeText);
        EXPECT_EQ(sight.button, "OK");    // the text asks for the OK button
        EXPECT_STREQ(fl_close, "Close");  // other message boxes keep the toolkit's word
        EXPECT_FALSE(sight.waitWindowExisted);
    }
    EXPECT_TRUE(state_.noticeMode);
    EXPECT_EQ(state_.progressBar, nullptr);
    EXPECT_EQ(state_.waitWindow, nullptr);
    expectPlacedAndShown();
}

TEST_F(StartupTest, RunsOnlyOnce) {
    use(testing::makeFakeBackend(OsVersion{6, 1}));
    state_.mainWindow = new Fl_Double_Window(100, 100);
    state_.mainWindow->end();
    Fl_Double_Window* first = state_.mainWindow;
    CapturedStdout out;
    startMainWindow(state_, 1, argv_);
    EXPECT_EQ(out.text(), "");
    EXPECT_EQ(state_.mainWindow, first);
    EXPECT_EQ(state_.waitWindow, nullptr);
    EXPECT_FALSE(first->shown());
}

TEST(VersionTest, WithoutASuppliedVersionTheKernelIsReportedAndNoNoticeFollows) {
    const Backend backend = testing::makeFakeBackend(std::nullopt);
    CapturedStdout out;
    const VersionVerdict verdict = runVersionTest(backend.probes.get());
    EXPECT_EQ(out.text(), "");  // the test itself prints nothing: start-up prints its line
    EXPECT_FALSE(verdict.notice);
    std::string line = versionLine(verdict.version);
    ASSERT_EQ(std::count(line.begin(), line.end(), '\t'), 1) << line;
    ASSERT_EQ(line.back(), '\n');
    unsigned major = 0, minor = 0;
    ASSERT_EQ(std::sscanf(line.c_str(), "%u\t%u", &major, &minor), 2) << line;
    EXPECT_GE(major, 2u);  // a real kernel: 2.6, 3.x, 4.x, 5.x, 6.x ...
}

}  // namespace
}  // namespace moravel
