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
        makeWaitWindow();
        ASSERT_NE(waitWindow, nullptr);
        ASSERT_NE(progressBar, nullptr);
        window_ = waitWindow;
    }
    void TearDown() override {
        window_->hide();
        delete window_;
        waitWindow = nullptr;
        progressBar = nullptr;
    }
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

    EXPECT_EQ(window_->child(1), progressBar);
    EXPECT_EQ(progressBar->x(), 10);
    EXPECT_EQ(progressBar->y(), 15);
    EXPECT_EQ(progressBar->w(), 380);
    EXPECT_EQ(progressBar->h(), 20);
    EXPECT_EQ(progressBar->label(), nullptr);
    EXPECT_EQ(progressBar->minimum(), 0.0f);
    EXPECT_EQ(progressBar->maximum(), 1.0f);
    EXPECT_EQ(progressBar->value(), 0.0f);
    EXPECT_EQ(progressBar->box(), FL_PLASTIC_DOWN_BOX);
    EXPECT_EQ(progressBar->color(), FL_BACKGROUND2_COLOR);
    EXPECT_EQ(progressBar->selection_color(), fl_rgb_color(0, 178, 178));
    EXPECT_EQ(progressBar->labelcolor(), FL_BLACK);
    EXPECT_EQ(progressBar->labelfont(), FL_HELVETICA_BOLD);
    EXPECT_EQ(progressBar->labelsize(), FL_NORMAL_SIZE);
}

TEST_F(WaitWindowTest, ProgressKeepsTheLastTableLabel) {
    setProgress(0.33f);
    EXPECT_EQ(progressBar->value(), 0.33f);
    EXPECT_EQ(progressBar->label(), nullptr);

    setProgress(0.25f);
    EXPECT_STREQ(progressBar->label(), "25 %");
    EXPECT_EQ(progressBar->label(), percentLabel(0.25f));  // the static text itself, not a copy

    setProgress(0.33f);
    EXPECT_EQ(progressBar->value(), 0.33f);
    EXPECT_STREQ(progressBar->label(), "25 %");

    for (float f : {0.5f, 0.75f, 1.0f}) setProgress(f);
    EXPECT_STREQ(progressBar->label(), "100 %");
    EXPECT_EQ(progressBar->value(), 1.0f);
}

TEST_F(WaitWindowTest, ClosingHidesAndTheBarStaysUsable) {
    onWaitWindowClose(window_, nullptr);
    EXPECT_EQ(waitWindow, nullptr);
    EXPECT_FALSE(window_->shown());
    ASSERT_EQ(progressBar, window_->child(1));

    setProgress(0.5f);
    EXPECT_EQ(progressBar->value(), 0.5f);
    EXPECT_STREQ(progressBar->label(), "50 %");

    onWaitWindowClose(window_, nullptr);  // a second close is harmless
    EXPECT_EQ(waitWindow, nullptr);
}

TEST(WaitWindowAbsent, ProgressWithoutAWaitWindowDoesNothing) {
    ASSERT_EQ(progressBar, nullptr);
    setProgress(0.5f);
    EXPECT_EQ(waitWindow, nullptr);
}

}  // namespace
}  // namespace moravel
