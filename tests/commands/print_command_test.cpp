// The print job's sequence, against a printer that records what it is asked to do.
#include <gtest/gtest.h>  // first: the toolkit's X11 headers define None and Bool

#include "commands/print_command.h"

#include <FL/Fl_Double_Window.H>

#include <string>
#include <vector>

namespace {

struct RecordingPrinter {
    int jobResult = 0;
    int pageW = 559, pageH = 806;  // an A4 page's printable area in points
    std::vector<std::string> calls;
    Fl_Window* printed = nullptr;

    int start_job(int pages) {
        calls.push_back("start_job " + std::to_string(pages));
        return jobResult;
    }
    int start_page() {
        calls.push_back("start_page");
        return 0;
    }
    int printable_rect(int* w, int* h) {
        *w = pageW;
        *h = pageH;
        return 0;
    }
    void scale(float x, float y) { calls.push_back("scale " + std::to_string(x) + " " + std::to_string(y)); }
    void print_window(Fl_Window* window, int dx, int dy) {
        printed = window;
        calls.push_back("print_window " + std::to_string(dx) + " " + std::to_string(dy));
    }
    int end_page() {
        calls.push_back("end_page");
        return 0;
    }
    void end_job() { calls.push_back("end_job"); }
};

TEST(PrintJob, PrintsTheWindowOnOnePageAtTheOriginReduced) {
    Fl_Double_Window window(725, 755);
    window.end();
    RecordingPrinter printer;
    EXPECT_TRUE(moravel::printWindowOnOnePage(printer, &window));
    const std::vector<std::string> expected = {
        "start_job 1", "start_page", "scale 0.700000 0.700000", "print_window 0 0", "end_page", "end_job",
    };
    EXPECT_EQ(printer.calls, expected);
    EXPECT_EQ(printer.printed, &window);
}

TEST(PrintJob, AWindowTooLargeAtSevenTenthsIsScaledToFitThePage) {
    Fl_Double_Window window(1400, 1000);
    window.end();
    RecordingPrinter printer;
    EXPECT_TRUE(moravel::printWindowOnOnePage(printer, &window));
    EXPECT_EQ(printer.calls.at(2), "scale " + std::to_string(559.0f / 1400) + " " + std::to_string(559.0f / 1400));
    // Too high rather than too wide: the height decides.
    EXPECT_FLOAT_EQ(moravel::pageScale(725, 1400, 559, 806), 806.0f / 1400);
    EXPECT_FLOAT_EQ(moravel::pageScale(798, 1151, 559, 806), 0.7f);  // just fits at 0.7
}

TEST(PrintJob, RefusedJobOpensNoPage) {
    Fl_Double_Window window(725, 755);
    window.end();
    for (int refusal : {1, -1}) {
        RecordingPrinter printer;
        printer.jobResult = refusal;
        EXPECT_FALSE(moravel::printWindowOnOnePage(printer, &window));
        EXPECT_EQ(printer.calls, std::vector<std::string>{"start_job 1"});
        EXPECT_EQ(printer.printed, nullptr);
    }
}

}  // namespace
