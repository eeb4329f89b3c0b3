// The window with values no machine should have: a megabyte of text, control characters,
// bytes that are not UTF-8, right-to-left marks. Building and drawing it does not grow with a
// value's length, and each field copies its whole value, byte for byte.
#include <gtest/gtest.h>
#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Input.H>

#include <chrono>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "app/main_window.h"

namespace moravel {
namespace {

const std::vector<std::string> kHostile = {
    std::string(1 << 20, 'M') + "end",
    "\x1B[2J\x1B]0;title\x07 bell\r\nnext\tline\x7F\xC2\x9B" "31m",
    "\xFF\xFE caf\xE9 \xC3( \xE2\x82 cut \xED\xA0\x80 surrogate",
    "\xE2\x80\xAE" "evil.exe\xE2\x80\xAC \xE2\x80\x8F" "mark \xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D",
};

// Builds and draws a window of eight groups of four fields holding `texts` in turn; seconds.
double buildAndDraw(const std::vector<std::string>& texts, std::unique_ptr<Fl_Double_Window>& window) {
    auto start = std::chrono::steady_clock::now();
    window = std::make_unique<Fl_Double_Window>(725, 755, "hostile");
    WindowSink sink;
    for (int g = 0; g < 8; ++g) {
        sink.beginGroup("Group", 10, 10 + 90 * g, 705, 85, false);
        for (int f = 0; f < 4; ++f)
            sink.addField("Field:", f % 2 ? 460 : 115, 35 + 90 * g + 25 * (f / 2), texts[(g * 4 + f) % texts.size()]);
        sink.endGroup();
    }
    window->end();
    window->show();
    for (int i = 0; i < 5; ++i) Fl::wait(0.01);
    Fl::flush();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

class PasteTarget : public Fl_Input {
public:
    PasteTarget() : Fl_Input(0, 0, 10, 10) {}
    int handle(int event) override {
        if (event == FL_PASTE) pasted.assign(Fl::event_text(), static_cast<std::size_t>(Fl::event_length()));
        return Fl_Input::handle(event);
    }
    std::string pasted;
};

TEST(HostileValues, TheWindowStartsAsFastAndCopiesEachValueWhole) {
    std::unique_ptr<Fl_Double_Window> window;
    double ordinary = buildAndDraw({"Intel(R) Core(TM) i7-4770 CPU", "American Megatrends Inc."}, window);
    window.reset();
    double hostile = buildAndDraw(kHostile, window);
    std::cout << "window built and drawn: ordinary values " << ordinary * 1000 << " ms, hostile values "
              << hostile * 1000 << " ms" << std::endl;
    EXPECT_LT(hostile, 1.0);  // FLTK lays out at most about a thousand characters of a line

    auto* group = static_cast<Fl_Group*>(window->child(0));
    PasteTarget target;
    for (int f = 0; f < 4; ++f) {
        auto* field = static_cast<ReportField*>(group->child(f));
        EXPECT_EQ(std::string(field->value(), static_cast<std::size_t>(field->size())), kHostile[f]);
        field->position(0, field->size());  // what a triple click or select-all selects
        ASSERT_EQ(field->copy(1), 1);
        target.pasted.clear();
        Fl::paste(target, 1);
        EXPECT_EQ(target.pasted, kHostile[f]) << "field " << f;
    }
}

}  // namespace
}  // namespace moravel
