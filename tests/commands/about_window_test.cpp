// The About window: where it goes, what it holds, and its single-instance life cycle.
#include <gtest/gtest.h>  // first: the toolkit's X11 headers define None and Bool

#include "commands/about_window.h"
#include "commands/commands.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Help_View.H>
#include <FL/Fl_Return_Button.H>

#include <cstring>
#include <memory>

namespace {

using moravel::aboutWindowOrigin;

// The program's side of the About command, as the main window hands it over.
Fl_Double_Window* aboutWindow = nullptr;
int iconsSet = 0;
int iconPasses = 0;
moravel::AboutHost host{aboutWindow, [](Fl_Window&) { ++iconsSet; }, [] { ++iconPasses; }};

TEST(AboutWindowOrigin, CentresInTheWorkArea) {
    EXPECT_EQ(aboutWindowOrigin(0, 0, 1920, 1040).x, 774);
    EXPECT_EQ(aboutWindowOrigin(0, 0, 1920, 1040).y, 349);
    // A panel above the work area moves the window down with it.
    EXPECT_EQ(aboutWindowOrigin(0, 27, 1920, 1053).y, 27 + 526 - 171);
    // A second monitor to the right: the work area's own x counts.
    EXPECT_EQ(aboutWindowOrigin(1920, 0, 1280, 1024).x, 1920 + 640 - 186);
    // Odd sizes halve downwards.
    EXPECT_EQ(aboutWindowOrigin(0, 0, 1921, 1041).x, 774);
    EXPECT_EQ(aboutWindowOrigin(0, 0, 1921, 1041).y, 349);
}

TEST(AboutWindowOrigin, SmallWorkAreaGivesNegativeCorner) {
    const auto origin = aboutWindowOrigin(0, 0, 300, 200);
    EXPECT_EQ(origin.x, -36);
    EXPECT_EQ(origin.y, -71);
}

bool hasGeometry(const Fl_Widget* w, int x, int y, int width, int height) {
    return w->x() == x && w->y() == y && w->w() == width && w->h() == height;
}

TEST(AboutWindow, HoldsPanelViewAndButtonInThatOrder) {
    iconsSet = 0;
    std::unique_ptr<Fl_Double_Window> window(moravel::makeAboutWindow(host));
    EXPECT_EQ(iconsSet, 1);
    ASSERT_TRUE(window);
    EXPECT_FALSE(window->shown());
    EXPECT_EQ(window->w(), 372);
    EXPECT_EQ(window->h(), 340);
    EXPECT_STREQ(window->label(), "About Moravel");
    EXPECT_EQ(window->color(), fl_rgb_color(240, 240, 240));
    ASSERT_EQ(window->children(), 3);

    auto* panel = dynamic_cast<Fl_Box*>(window->child(0));
    ASSERT_TRUE(panel);
    EXPECT_TRUE(hasGeometry(panel, 8, 8, 354, 324));
    EXPECT_EQ(panel->label(), nullptr);
    EXPECT_EQ(panel->box(), FL_THIN_DOWN_BOX);
    EXPECT_EQ(panel->color(), FL_BACKGROUND2_COLOR);

    auto* view = dynamic_cast<Fl_Help_View*>(window->child(1));
    ASSERT_TRUE(view);
    EXPECT_TRUE(hasGeometry(view, 10, 10, 352, 295));
    EXPECT_EQ(view->box(), FL_FLAT_BOX);
    EXPECT_EQ(view->color(), fl_rgb_color(249, 249, 249));
    EXPECT_EQ(view->textcolor(), FL_FOREGROUND_COLOR);
    EXPECT_EQ(view->textfont(), FL_HELVETICA);
    EXPECT_EQ(view->textsize(), 12);
    EXPECT_STREQ(view->value(), moravel::aboutDocument().c_str());
    EXPECT_EQ(view->topline(), 0);

    auto* ok = dynamic_cast<Fl_Return_Button*>(window->child(2));
    ASSERT_TRUE(ok);
    EXPECT_TRUE(hasGeometry(ok, 292, 310, 70, 22));
    EXPECT_STREQ(ok->label(), "OK");
    EXPECT_EQ(ok->box(), FL_THIN_UP_BOX);
    EXPECT_EQ(ok->labelsize(), 12);
    EXPECT_EQ(ok->callback(), &moravel::onAboutClose);
    EXPECT_EQ(ok->user_data(), &host);
}

// Lets the toolkit map windows and run deferred deletions.
void settle() {
    for (int i = 0; i < 20; ++i) Fl::check();
}

class AboutCommand : public ::testing::Test {
protected:
    void TearDown() override {
        if (aboutWindow) moravel::onAboutClose(nullptr, &host);
        settle();
    }
};

TEST_F(AboutCommand, OpensOneCentredNonModalWindow) {
    iconPasses = 0;
    moravel::onAboutButton(nullptr, &host);
    ASSERT_TRUE(aboutWindow);
    EXPECT_EQ(iconPasses, 1);  // after it is shown
    Fl_Double_Window* first = aboutWindow;
    settle();
    EXPECT_TRUE(first->shown());
    EXPECT_TRUE(first->non_modal());
    EXPECT_EQ(first->callback(), &moravel::onAboutClose);
    EXPECT_EQ(first->user_data(), &host);
    const auto origin = aboutWindowOrigin(Fl::x(), Fl::y(), Fl::w(), Fl::h());
    EXPECT_EQ(first->x(), origin.x);
    EXPECT_EQ(first->y(), origin.y);

    moravel::onAboutButton(nullptr, &host);
    EXPECT_EQ(aboutWindow, first);
    int shownAbout = 0;
    for (Fl_Window* w = Fl::first_window(); w; w = Fl::next_window(w))
        if (w->label() && std::strcmp(w->label(), "About Moravel") == 0) ++shownAbout;
    EXPECT_EQ(shownAbout, 1);
}

TEST_F(AboutCommand, EveryWayOfClosingClearsTheMarkerAndAllowsANewWindow) {
    // The window's own callback stands for the close box and Escape; the OK button for OK and Enter.
    const auto byWindow = [] { aboutWindow->do_callback(); };
    const auto byButton = [] { aboutWindow->child(2)->do_callback(); };
    for (const auto& close : {+byWindow, +byButton}) {
        moravel::onAboutButton(nullptr, &host);
        ASSERT_TRUE(aboutWindow);
        Fl_Double_Window* opened = aboutWindow;
        settle();
        ASSERT_TRUE(opened->shown());
        close();
        EXPECT_EQ(aboutWindow, nullptr);
        settle();  // the closed window is deleted here; ASan would see a later use

        moravel::onAboutButton(nullptr, &host);
        ASSERT_TRUE(aboutWindow);
        settle();
        EXPECT_TRUE(aboutWindow->shown());
        auto* view = dynamic_cast<Fl_Help_View*>(aboutWindow->child(1));
        ASSERT_TRUE(view);
        EXPECT_EQ(view->topline(), 0);
        moravel::onAboutClose(nullptr, &host);
        settle();
    }
}

}  // namespace
