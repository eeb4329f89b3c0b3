// The report window: a frame, the eight groups of the inventory and the OK, Print and About
// buttons, with the one style every group and every field shares.
#pragma once

#include <string>
#include <vector>

#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Output.H>

#include "app/app_state.h"
#include "commands/commands.h"
#include "compare/compare.h"
#include "details/marks.h"
#include "moravel_version.h"
#include "sections/collector.h"

namespace moravel {

constexpr const char* kMainWindowTitle = "Moravel by Tobrin (v" MORAVEL_VERSION ")";
constexpr int kFieldWidth = 250;
constexpr int kFieldHeight = 20;

// A framed group with its caption inside the top-left corner; becomes the current group. It
// leaves Tab to the window, whose order runs across the groups.
class ReportGroup : public Fl_Group {
public:
    ReportGroup(int x, int y, int w, int h, const char* label, bool embossed);
    int handle(int event) override;
};

// How a field differs from the snapshot it is compared with.
using FieldMark = DifferenceMark;

// A one-line, read-only field with its caption to its left, holding a copy of `text`. It
// leaves the window's menu keys to the window; Ctrl+C still copies its selection. A text wider
// than the field is offered whole as the field's tooltip and, while the field has no focus,
// drawn cut short with "…". A caption that would reach into what stands to its left is drawn
// a size smaller (the widgets stay where they are). Losing the focus shows the text's start.
class ReportField : public Fl_Output {
public:
    ReportField(int x, int y, const char* label, const std::string& text);
    int handle(int event) override;
    void resize(int x, int y, int w, int h) override;
    // Shows another text, e.g. the hidden form of a serial number.
    void showText(const std::string& text);
    // What the field draws while it has no focus: its text, or as much of it as fits with "…".
    std::string shownText() const;

    // Marks the field as differing from a compared snapshot, whose text is `was`; the tooltip
    // then shows it. FieldMark::Plain removes the mark.
    void markDifference(FieldMark mark, const std::string& was);
    FieldMark mark() const { return mark_; }

protected:
    void draw() override;

private:
    void offerClippedText();
    void fitCaption();
    int captionRoom() const;
    bool clipped_ = false;
    FieldMark mark_ = FieldMark::Plain;
    std::string was_;
};

// The main window: a right click anywhere, Shift+F10 or the Menu key opens the share menu,
// whose shortcuts work anywhere; Tab visits the fields and buttons in reading order.
class MainWindow : public Fl_Double_Window {
public:
    explicit MainWindow(AppState& state);
    int handle(int event) override;
    // Shows the texts of `groups`, a report of the same fields, in the fields.
    void showReport(const std::vector<GroupRecord>& groups);
    AboutHost& about() { return about_; }
    // Draws the marks' legend and the name of the snapshot compared with left of the buttons,
    // so a printed page says what its marks mean; an empty name removes it.
    void showLegend(const std::string& snapshotName);
    const std::string& legendFor() const { return legendFor_; }

protected:
    void draw() override;

private:
    bool moveFocus(bool forward);
    AppState& state_;
    AboutHost about_;  // the About command keeps its window in the program's state
    std::string legendFor_;
};

// Turns what the sections hand over into widgets of the current window, each field holding its
// text before the next is made, and collects it: the report the window shows.
class WindowSink : public ReportCollector {
public:
    explicit WindowSink(AppState& state) : state_(state) {}
    void beginGroup(const char* label, int x, int y, int w, int h, bool embossed) override;
    void addField(const char* label, int x, int y, const std::string& text) override;
    void endGroup() override;
    // Advances the wait window's bar; in notice mode there is none.
    void progress(float fraction) override;

private:
    AppState& state_;
    ReportGroup* group_ = nullptr;
};

// Builds and fills the main window, unshown, through the state's query context.
Fl_Double_Window* makeMainWindow(AppState& state);

// Marks the fields of `window` that `comparison` with the snapshot `name` found different and
// says in the title how many there are; no comparison removes every mark and the count. Only
// marks change: no widget moves.
void showComparison(Fl_Window& window, const Comparison* comparison, const std::string& name);

// "3 fields and 2 parts differ from seller.json (1 expected to change)": the fields the window
// marks, the parts (inventory items) that differ.
std::string comparisonCount(const Comparison& comparison, const std::string& name);
// The title that says it, and the kinds of part not compared.
std::string comparisonTitle(const Comparison& comparison, const std::string& name);

}  // namespace moravel
