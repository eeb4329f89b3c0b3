// The main window as built: frame, groups, fields and buttons, in process on the test display.
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Progress.H>
#include <FL/Fl_Return_Button.H>
#include <FL/Fl_Tooltip.H>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/main_window.h"
#include "app/platform.h"
#include "app/startup.h"
#include "commands/commands.h"
#include "sections/sections.h"
#include "tests/support/fake_backend.h"

#include <FL/fl_draw.H>  // last: its X11 headers define Bool and None

namespace moravel {
namespace {

struct Recorded {
    std::string group;
    std::string label;
    int x, y;
    std::string text;
};

// What the sections hand over, to compare the window's widgets with.
class RecordingSink : public ReportSink {
public:
    void beginGroup(const char* label, int, int, int, int, bool) override { group = label; }
    void addField(const char* label, int x, int y, const std::string& text) override {
        fields.push_back({group, label, x, y, text});
    }
    void endGroup() override {}
    void progress(float) override {}
    std::string group;
    std::vector<Recorded> fields;
};

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        state_.context = backend_.context();
        state_.noticeMode = true;  // no wait window in these tests
        useArialMetricFaces();     // as the program starts: with them every caption keeps size 11
        window_.reset(makeMainWindow(state_));
        ASSERT_NE(window_, nullptr);
    }

    Fl_Widget* child(int i) const { return window_->child(i); }

    Backend backend_{testing::makeFakeBackend()};
    AppState state_;
    std::unique_ptr<Fl_Double_Window> window_;
};

struct GroupRow {
    const char* label;
    int x, y, w, h;
    Fl_Labeltype type;
};

const GroupRow kGroups[] = {
    {"System", 10, 10, 705, 100, FL_ENGRAVED_LABEL},      {"BIOS", 10, 115, 705, 75, FL_ENGRAVED_LABEL},
    {"OS", 10, 195, 705, 75, FL_ENGRAVED_LABEL},          {"CPU", 10, 275, 705, 100, FL_ENGRAVED_LABEL},
    {"MotherBoard", 10, 380, 705, 75, FL_ENGRAVED_LABEL}, {"VGA", 10, 460, 705, 100, FL_ENGRAVED_LABEL},
    {"Drives", 10, 565, 705, 75, FL_ENGRAVED_LABEL},      {"Other", 10, 645, 705, 75, FL_EMBOSSED_LABEL},
};

TEST_F(MainWindowTest, WindowAndFrame) {
    EXPECT_EQ(window_->w(), 725);
    EXPECT_EQ(window_->h(), 755);
    EXPECT_STREQ(window_->label(), "Moravel by Tobrin (v" MORAVEL_VERSION ")");
    EXPECT_EQ(window_->align(), 80);
    EXPECT_FALSE(window_->shown());
    EXPECT_EQ(Fl_Tooltip::size(), 11);  // the whole text of a clipped field
    ASSERT_EQ(window_->children(), 12);

    auto* frame = dynamic_cast<Fl_Box*>(child(0));
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->box(), FL_THIN_DOWN_BOX);
    EXPECT_EQ(frame->label(), nullptr);
    EXPECT_EQ(frame->x(), 5);
    EXPECT_EQ(frame->y(), 5);
    EXPECT_EQ(frame->w(), 715);
    EXPECT_EQ(frame->h(), 745);
}

TEST_F(MainWindowTest, EightGroupsInOrderWithTheirStyle) {
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(kGroups[i].label);
        auto* group = dynamic_cast<ReportGroup*>(child(i + 1));
        ASSERT_NE(group, nullptr);
        EXPECT_STREQ(group->label(), kGroups[i].label);
        EXPECT_EQ(group->x(), kGroups[i].x);
        EXPECT_EQ(group->y(), kGroups[i].y);
        EXPECT_EQ(group->w(), kGroups[i].w);
        EXPECT_EQ(group->h(), kGroups[i].h);
        EXPECT_EQ(group->box(), FL_THIN_DOWN_BOX);
        EXPECT_EQ(group->labeltype(), kGroups[i].type);
        EXPECT_EQ(group->labelfont(), FL_HELVETICA_BOLD_ITALIC);
        EXPECT_EQ(group->labelsize(), 11);
        EXPECT_EQ(group->align(), 21);
        EXPECT_EQ(group->color(), FL_BACKGROUND_COLOR);
        EXPECT_EQ(group->labelcolor(), FL_FOREGROUND_COLOR);
        EXPECT_EQ(group->children(), group->h() == 100 ? 6 : 4);
    }
}

TEST_F(MainWindowTest, FieldsFillTheGridRowByRowWithTheCommonStyle) {
    int total = 0;
    for (int g = 1; g <= 8; ++g) {
        auto* group = dynamic_cast<Fl_Group*>(child(g));
        ASSERT_NE(group, nullptr);
        for (int i = 0; i < group->children(); ++i, ++total) {
            auto* field = dynamic_cast<ReportField*>(group->child(i));
            ASSERT_NE(field, nullptr) << group->label() << " " << i;
            SCOPED_TRACE(field->label());
            EXPECT_EQ(field->x(), i % 2 == 0 ? 115 : 460);
            EXPECT_EQ(field->y(), group->y() + 25 * (i / 2 + 1));
            EXPECT_EQ(field->w(), 250);
            EXPECT_EQ(field->h(), 20);
            EXPECT_EQ(field->type(), FL_NORMAL_OUTPUT);
            EXPECT_TRUE(field->readonly());
            EXPECT_EQ(field->labelsize(), 11);
            EXPECT_EQ(field->labelfont(), FL_HELVETICA);
            EXPECT_EQ(field->labeltype(), FL_NORMAL_LABEL);
            EXPECT_EQ(field->labelcolor(), FL_FOREGROUND_COLOR);
            EXPECT_EQ(field->textfont(), FL_HELVETICA);
            EXPECT_EQ(field->textsize(), 11);
            EXPECT_EQ(field->color(), fl_rgb_color(249, 249, 249));
            EXPECT_EQ(field->align(), FL_ALIGN_LEFT);
            EXPECT_EQ(field->box(), FL_DOWN_BOX);
            ASSERT_NE(field->label(), nullptr);
            EXPECT_EQ(field->label()[std::strlen(field->label()) - 1], ':');
        }
    }
    EXPECT_EQ(total, 38);
}

// Captions are right-aligned 3 pixels before their field; one wider than the gap reaches into the
// field before it (or the group's frame), which paints over it when it redraws.
TEST_F(MainWindowTest, EveryCaptionFitsBetweenItsFieldAndTheOneBefore) {
    useArialMetricFaces();
    int measured = 0;
    for (int g = 1; g <= 8; ++g) {
        auto* group = static_cast<Fl_Group*>(child(g));
        for (int i = 0; i < group->children(); ++i, ++measured) {
            Fl_Widget* field = group->child(i);
            Fl_Widget* before = i % 2 ? group->child(i - 1) : nullptr;
            const int edge = before ? before->x() + before->w() : group->x() + Fl::box_dx(group->box());
            fl_font(field->labelfont(), field->labelsize());
            EXPECT_LE(fl_width(field->label()), field->x() - 3 - edge) << field->label();
        }
    }
    EXPECT_EQ(measured, 38);
}

TEST_F(MainWindowTest, FieldsHoldWhatTheSectionsComposed) {
    RecordingSink expected;
    buildAllGroups(state_.context, expected);
    ASSERT_EQ(expected.fields.size(), 38u);
    size_t next = 0;
    for (int g = 1; g <= 8; ++g) {
        auto* group = static_cast<Fl_Group*>(child(g));
        for (int i = 0; i < group->children(); ++i, ++next) {
            ASSERT_LT(next, expected.fields.size());
            const Recorded& want = expected.fields[next];
            auto* field = static_cast<ReportField*>(group->child(i));
            EXPECT_EQ(want.group, group->label());
            EXPECT_EQ(want.label, field->label());
            EXPECT_EQ(want.x, field->x());
            EXPECT_EQ(want.y, field->y());
            EXPECT_EQ(want.text, field->value()) << want.label;
        }
    }
    EXPECT_EQ(next, expected.fields.size());
}

TEST_F(MainWindowTest, ButtonRow) {
    struct Row {
        const char* label;
        int x;
        Fl_Callback* callback;
        void* data;
    } rows[] = {{"OK", 625, onMainWindowClose, &state_},
                {"Print", 530, onPrintButton, child(0)},
                {"About", 435, onAboutButton, nullptr}};  // its host is checked below
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(rows[i].label);
        auto* button = dynamic_cast<Fl_Button*>(child(9 + i));
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(dynamic_cast<Fl_Return_Button*>(button) != nullptr, i == 0);
        EXPECT_STREQ(button->label(), rows[i].label);
        EXPECT_EQ(button->x(), rows[i].x);
        EXPECT_EQ(button->y(), 725);
        EXPECT_EQ(button->w(), 90);
        EXPECT_EQ(button->h(), 20);
        EXPECT_EQ(button->box(), FL_THIN_UP_BOX);
        EXPECT_EQ(button->labelsize(), 11);
        EXPECT_EQ(button->callback(), rows[i].callback);
        if (rows[i].callback != onAboutButton) {
            EXPECT_EQ(button->user_data(), rows[i].data);
        }
    }
    // About keeps its window in the program's state and gives it the program's icons.
    auto* host = static_cast<AboutHost*>(child(11)->user_data());
    ASSERT_NE(host, nullptr);
    EXPECT_EQ(&host->openWindow, &state_.aboutWindow);
    EXPECT_EQ(host->setIcon, &setProgramIcon);
    EXPECT_EQ(host->iconPass, &runIconPass);
}

TEST_F(MainWindowTest, ResizingScalesTheLayoutButNotTheText) {
    window_->resizable(window_.get());
    window_->resize(0, 0, 725, 690);
    auto* other = static_cast<Fl_Group*>(child(8));
    const double scale = 690.0 / 755.0;
    EXPECT_NEAR(other->y(), 645 * scale, 1.0);
    EXPECT_NEAR(other->h(), 75 * scale, 1.0);
    EXPECT_EQ(other->w(), 705);
    EXPECT_NEAR(child(9)->y(), 725 * scale, 1.0);
    EXPECT_NEAR(child(0)->y() + child(0)->h(), 750 * scale, 1.0);
    auto* field = static_cast<ReportField*>(other->child(0));
    EXPECT_EQ(field->textsize(), 11);
    EXPECT_EQ(field->labelsize(), 11);
    EXPECT_LT(field->h(), 20);
}

// The hide switch shows other texts in the same fields; a text that now fits has no tooltip.
TEST_F(MainWindowTest, ShowReportReplacesEveryTextInOrder) {
    RecordingSink shown;
    buildAllGroups(state_.context, shown);
    std::vector<GroupRecord> other;
    for (const Recorded& field : shown.fields) {
        if (other.empty() || other.back().label != field.group) other.push_back({field.group, 0, 0, 0, 0, false, {}});
        other.back().fields.push_back({field.label, field.x, field.y, "text " + std::to_string(other.size())});
    }
    static_cast<MainWindow*>(window_.get())->showReport(other);
    for (int g = 1; g <= 8; ++g) {
        auto* group = static_cast<Fl_Group*>(child(g));
        for (int i = 0; i < group->children(); ++i) {
            auto* field = static_cast<ReportField*>(group->child(i));
            EXPECT_EQ(std::string(field->value()), "text " + std::to_string(g)) << field->label();
            EXPECT_EQ(field->tooltip(), nullptr);
        }
    }
}

// The sink on its own, with texts a section might hand over.
class WindowSinkTest : public ::testing::Test {
protected:
    void SetUp() override { window_ = std::make_unique<Fl_Double_Window>(725, 755); }
    AppState state_;
    std::unique_ptr<Fl_Double_Window> window_;
};

TEST_F(WindowSinkTest, CopiesCaptionsAndTextsAndNestsFieldsInTheirGroup) {
    WindowSink sink(state_);
    char caption[] = "Name:";
    char groupName[] = "Scratch";
    std::string text(400, 'x');
    text.replace(0, 5, "first");
    sink.beginGroup(groupName, 10, 10, 705, 75, false);
    sink.addField(caption, 115, 35, text);
    sink.addField("Empty:", 460, 35, "");
    sink.endGroup();
    sink.addField("Loose:", 115, 200, "after the group");
    std::strcpy(caption, "Gone:");
    std::strcpy(groupName, "Changed");
    window_->end();

    ASSERT_EQ(window_->children(), 2);
    auto* group = dynamic_cast<ReportGroup*>(window_->child(0));
    ASSERT_NE(group, nullptr);
    EXPECT_STREQ(group->label(), "Scratch");
    EXPECT_EQ(group->labeltype(), FL_ENGRAVED_LABEL);
    ASSERT_EQ(group->children(), 2);
    auto* field = static_cast<ReportField*>(group->child(0));
    EXPECT_STREQ(field->label(), "Name:");
    EXPECT_EQ(std::string(field->value()), text);  // the whole text, though the field shows less
    EXPECT_EQ(field->position(), 0);               // shown from its first character
    auto* empty = static_cast<ReportField*>(group->child(1));
    EXPECT_STREQ(empty->value(), "");
    EXPECT_STREQ(empty->label(), "Empty:");
    EXPECT_EQ(window_->child(1)->parent(), window_.get());
}

TEST_F(WindowSinkTest, OnlyAClippedTextBecomesTheTooltip) {
    WindowSink sink(state_);
    const std::string longText(100, 'W');
    sink.addField("Long:", 115, 35, longText);
    sink.addField("Short:", 460, 35, "fits");
    sink.addField("Empty:", 460, 60, "");
    window_->end();
    auto* clipped = static_cast<ReportField*>(window_->child(0));
    ASSERT_NE(clipped->tooltip(), nullptr);
    EXPECT_EQ(clipped->tooltip(), longText);
    EXPECT_EQ(window_->child(1)->tooltip(), nullptr);
    EXPECT_EQ(window_->child(2)->tooltip(), nullptr);
    clipped->resize(115, 35, 2000, 20);  // a window widened enough shows it all
    EXPECT_EQ(clipped->tooltip(), nullptr);
}

// Unfocused, a clipped field draws the start of its text and "…"; its value and tooltip stay whole.
TEST_F(WindowSinkTest, ClippedTextIsShownCutShortWithAnEllipsis) {
    WindowSink sink(state_);
    const std::string longText = "Integrated RAMDAC ( Internal VGA: Intel(R) HD Graphics 4600 and more )";
    sink.addField("Long:", 115, 35, longText);
    sink.addField("Short:", 460, 35, "fits");
    window_->end();
    auto* clipped = static_cast<ReportField*>(window_->child(0));
    const std::string shown = clipped->shownText();
    const std::string ellipsis = "\xE2\x80\xA6";
    ASSERT_GT(shown.size(), ellipsis.size());
    EXPECT_EQ(shown.substr(shown.size() - ellipsis.size()), ellipsis);
    const std::string start = shown.substr(0, shown.size() - ellipsis.size());
    EXPECT_EQ(longText.compare(0, start.size(), start), 0) << shown;
    EXPECT_NE(start.back(), ' ');
    fl_font(clipped->textfont(), clipped->textsize());
    EXPECT_LE(fl_width(shown.c_str()), clipped->w() - Fl::box_dw(clipped->box()) - 2);
    EXPECT_GT(fl_width((start + longText[start.size()] + ellipsis).c_str()),
              clipped->w() - Fl::box_dw(clipped->box()) - 2)
        << "one more character would have fitted";
    EXPECT_EQ(std::string(clipped->value()), longText);
    EXPECT_EQ(clipped->tooltip(), longText);
    EXPECT_EQ(static_cast<ReportField*>(window_->child(1))->shownText(), "fits");
}

// A caption that would reach into the field before it is drawn smaller, as long as it has to be.
TEST_F(WindowSinkTest, CaptionTooWideForItsGapIsDrawnSmaller) {
    WindowSink sink(state_);
    sink.beginGroup("Group", 10, 10, 705, 75, false);
    sink.addField("Left:", 115, 35, "");
    sink.addField("A caption much wider than the gap:", 460, 35, "");
    sink.addField("Fits:", 460, 60, "");
    sink.endGroup();
    window_->end();
    auto* group = static_cast<Fl_Group*>(window_->child(0));
    Fl_Widget* wide = group->child(1);
    EXPECT_LT(wide->labelsize(), 11);
    EXPECT_EQ(group->child(2)->labelsize(), 11);
    window_->resizable(window_.get());
    window_->resize(0, 0, 725 * 3, 755);  // the gap is three times as wide
    EXPECT_EQ(wide->labelsize(), 11);
}

TEST_F(WindowSinkTest, EmbossedGroup) {
    WindowSink sink(state_);
    sink.beginGroup("Other", 10, 645, 705, 75, true);
    sink.endGroup();
    window_->end();
    EXPECT_EQ(window_->child(0)->labeltype(), FL_EMBOSSED_LABEL);
}

TEST_F(WindowSinkTest, ProgressMovesTheBarOnlyOutsideNoticeMode) {
    Fl_Progress bar(0, 0, 100, 20);
    bar.minimum(0);
    bar.maximum(1);
    window_->end();
    state_.progressBar = &bar;
    WindowSink sink(state_);

    state_.noticeMode = true;
    sink.progress(0.25f);
    EXPECT_EQ(bar.value(), 0.0f);
    EXPECT_EQ(bar.label(), nullptr);

    state_.noticeMode = false;
    sink.progress(0.25f);
    EXPECT_EQ(bar.value(), 0.25f);
    EXPECT_STREQ(bar.label(), "25 %");
    window_->remove(bar);
}

}  // namespace
}  // namespace moravel
