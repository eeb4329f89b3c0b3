// The report window: a frame, the eight groups of the inventory and the OK, Print and About
// buttons, with the one style every group and every field shares.
#pragma once

#include <string>

#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Output.H>

#include "moravel_version.h"
#include "sections/report_sink.h"

namespace moravel {

constexpr const char* kMainWindowTitle = "Moravel by Tobrin (v" MORAVEL_VERSION ")";
constexpr int kFieldWidth = 250;
constexpr int kFieldHeight = 20;

// A framed group with its caption inside the top-left corner; becomes the current group.
class ReportGroup : public Fl_Group {
public:
    ReportGroup(int x, int y, int w, int h, const char* label, bool embossed);
};

// A one-line, read-only field with its caption to its left, holding a copy of `text`. It
// leaves the window's menu shortcuts to the window; Ctrl+C still copies its selection. A text
// wider than the field is offered whole as the field's tooltip.
class ReportField : public Fl_Output {
public:
    ReportField(int x, int y, const char* label, const std::string& text);
    int handle(int event) override;
    void resize(int x, int y, int w, int h) override;

private:
    void offerClippedText();
};

// The main window: a right click anywhere opens the share menu, whose shortcuts work anywhere.
class MainWindow : public Fl_Double_Window {
public:
    using Fl_Double_Window::Fl_Double_Window;
    int handle(int event) override;
};

// Turns what the sections hand over into widgets of the current window, each field holding its
// text before the next is made.
class WindowSink : public ReportSink {
public:
    void beginGroup(const char* label, int x, int y, int w, int h, bool embossed) override;
    void addField(const char* label, int x, int y, const std::string& text) override;
    void endGroup() override;
    // Advances the wait window's bar; in notice mode there is none.
    void progress(float fraction) override;

private:
    ReportGroup* group_ = nullptr;
};

// Builds and fills the main window, unshown.
Fl_Double_Window* makeMainWindow();

}  // namespace moravel
