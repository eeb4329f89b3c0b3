// The report window: a frame, the eight groups of the inventory and the OK, Print and About
// buttons, with the one style every group and every field shares.
#pragma once

#include <string>

#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Output.H>

#include "app/report_compare.h"
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

// How a field differs from the snapshot it is compared with.
enum class FieldMark { Plain, Changed, ByItself };

// A one-line, read-only field with its caption to its left, holding a copy of `text`. It
// leaves the window's menu shortcuts to the window; Ctrl+C still copies its selection. A text
// wider than the field is offered whole as the field's tooltip.
class ReportField : public Fl_Output {
public:
    ReportField(int x, int y, const char* label, const std::string& text);
    int handle(int event) override;
    void resize(int x, int y, int w, int h) override;
    void draw() override;

    // Marks the field as differing from a compared snapshot, whose text is `was`; the tooltip
    // then shows it. FieldMark::Plain removes the mark.
    void markDifference(FieldMark mark, const std::string& was);
    FieldMark mark() const { return mark_; }

private:
    void offerClippedText();
    FieldMark mark_ = FieldMark::Plain;
    std::string was_;
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

// Marks the fields of `window` that `comparison` with the snapshot `name` found different and
// says in the title how many there are; no comparison removes every mark and the count. Only
// marks change: no widget moves.
void showComparison(Fl_Window& window, const Comparison* comparison, const std::string& name);

// The title that says how many fields differ from the snapshot `name`.
std::string comparisonTitle(const Comparison& comparison, const std::string& name);

}  // namespace moravel
