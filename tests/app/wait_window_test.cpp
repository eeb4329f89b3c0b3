// The wait window and its progress bar, in process on the test display.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Progress.H>

#include "app/app_state.h"
#include "app/wait_window.h"

namespace moravel {
namespace {

class WaitWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        makeWaitWindow(state_);
        ASSERT_NE(state_.waitWindow, nullptr);
        ASSERT_NE(state_.progressBar, nullptr);
        window_ = state_.waitWindow;
    }
    void TearDown() override {
        window_->hide();
        delete window_;
    }
    AppState state_;
    Fl_Double_Window* window_ = nullptr;
};

TEST_F(WaitWindowTest, ShownBorderlessAndCentred) {
    EXPECT_TRUE(window_->shown());
    EXPECT_TRUE(window_->visible());
    EXPECT_EQ(window_->w(), 400);
    EXPECT_EQ(window_->h(), 50);
    EXPECT_EQ(window_->x(), Fl::x() + Fl::w() / 2 - 200);
    EXPECT_EQ(window_->y(), Fl::y() + Fl::h() / 2 - 25);
    EXPECT_FALSE(window_->border());
    EXPECT_TRUE(window_->non_modal());
    EXPECT_FALSE(window_->modal());
    EXPECT_STREQ(window_->label(), "Retrieving system information (Please wait...)");
    EXPECT_EQ(window_->color(), fl_rgb_color(240, 240, 240));
    EXPECT_EQ(window_->align(), FL_ALIGN_CENTER);
    EXPECT_EQ(window_->callback(), onWaitWindowClose);
}

TEST_F(WaitWindowTest, BoxThenBarWithTheirSettings) {
    ASSERT_EQ(window_->children(), 2);
    auto* box = dynamic_cast<Fl_Box*>(window_->child(0));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->x(), 5);
    EXPECT_EQ(box->y(), 5);
    EXPECT_EQ(box->w(), 390);
    EXPECT_EQ(box->h(), 40);
    EXPECT_EQ(box->label(), nullptr);
    EXPECT_EQ(box->box(), FL_PLASTIC_DOWN_BOX);
    EXPECT_EQ(box->color(), FL_BACKGROUND2_COLOR);

    EXPECT_EQ(window_->child(1), state_.progressBar);
    EXPECT_EQ(state_.progressBar->x(), 10);
    EXPECT_EQ(state_.progressBar->y(), 15);
    EXPECT_EQ(state_.progressBar->w(), 380);
    EXPECT_EQ(state_.progressBar->h(), 20);
    EXPECT_EQ(state_.progressBar->label(), nullptr);
    EXPECT_EQ(state_.progressBar->minimum(), 0.0f);
    EXPECT_EQ(state_.progressBar->maximum(), 1.0f);
    EXPECT_EQ(state_.progressBar->value(), 0.0f);
    EXPECT_EQ(state_.progressBar->box(), FL_PLASTIC_DOWN_BOX);
    EXPECT_EQ(state_.progressBar->color(), FL_BACKGROUND2_COLOR);
    EXPECT_EQ(state_.progressBar->selection_color(), fl_rgb_color(0, 178, 178));
    EXPECT_EQ(state_.progressBar->labelcolor(), FL_BLACK);
    EXPECT_EQ(state_.progressBar->labelfont(), FL_HELVETICA_BOLD);
    EXPECT_EQ(state_.progressBar->labelsize(), FL_NORMAL_SIZE);
}

TEST_F(WaitWindowTest, ProgressKeepsTheLastTableLabel) {
    setProgress(state_, 0.33f);
    EXPECT_EQ(state_.progressBar->value(), 0.33f);
    EXPECT_EQ(state_.progressBar->label(), nullptr);

    setProgress(state_, 0.25f);
    EXPECT_STREQ(state_.progressBar->label(), "25 %");
    EXPECT_EQ(state_.progressBar->label(), percentLabel(0.25f));  // the static text itself, not a copy

    setProgress(state_, 0.33f);
    EXPECT_EQ(state_.progressBar->value(), 0.33f);
    EXPECT_STREQ(state_.progressBar->label(), "25 %");

    for (float f : {0.5f, 0.75f, 1.0f}) setProgress(state_, f);
    EXPECT_STREQ(state_.progressBar->label(), "100 %");
    EXPECT_EQ(state_.progressBar->value(), 1.0f);
}

TEST_F(WaitWindowTest, ClosingHidesAndTheBarStaysUsable) {
    onWaitWindowClose(window_, &state_);
    EXPECT_EQ(state_.waitWindow, nullptr);
    EXPECT_FALSE(window_->shown());
    ASSERT_EQ(state_.progressBar, window_->child(1));

    setProgress(state_, 0.5f);
    EXPECT_EQ(state_.progressBar->value(), 0.5f);
    EXPECT_STREQ(state_.progressBar->label(), "50 %");

    onWaitWindowClose(window_, &state_);  // a second close is harmless
    EXPECT_EQ(state_.waitWindow, nullptr);
}

TEST(WaitWindowAbsent, ProgressWithoutAWaitWindowDoesNothing) {
    AppState state;
    setProgress(state, 0.5f);
    EXPECT_EQ(state.waitWindow, nullptr);
}

}  // namespace
}  // namespace moravel
