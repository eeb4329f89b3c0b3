#include "app/main_window.h"

#include <algorithm>
#include <cctype>

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Return_Button.H>
#include <FL/Fl_Tooltip.H>

#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/difference_marks.h"
#include "app/platform.h"
#include "app/share_menu.h"
#include "app/startup.h"
#include "app/startup_rules.h"
#include "app/wait_window.h"
#include "commands/commands.h"
#include "commands/message_box.h"
#include "sections/collector.h"
#include "sections/sections.h"

#include <FL/fl_draw.H>  // last: its X11 headers define Bool and None

namespace moravel {
namespace {

constexpr int kLabelSize = 11;
constexpr int kSmallestCaptionSize = 8;
constexpr int kCaptionMargin = 1;              // pixels kept free between a caption and what stands left of it
constexpr int kCaptionGap = 3;                 // the toolkit ends a left caption this far before its field
const char* const kEllipsis = "\xE2\x80\xA6";  // "…"
constexpr int kButtonWidth = 90;
constexpr int kButtonHeight = 20;
constexpr int kButtonRowY = 725;

Fl_Color fieldColour() { return fl_rgb_color(249, 249, 249); }

// The marks' legend and the snapshot's name, on one line left of the buttons, where the window
// has room: on the screen and on every printed page of the comparison.
void drawLegend(const std::string& snapshotName) {
    constexpr int kLeft = 14, kRight = 425, kSampleW = 26, kSampleH = 14, kGap = 6;
    const int top = kButtonRowY + (kButtonHeight - kSampleH) / 2;
    fl_push_clip(kLeft, kButtonRowY, kRight - kLeft, kButtonHeight);
    fl_font(FL_HELVETICA, kLabelSize);
    int x = kLeft;
    const std::pair<FieldMark, std::string> entries[] = {{FieldMark::Changed, "differs"},
                                                         {FieldMark::ByItself, "changes by itself"}};
    for (const auto& [mark, text] : entries) {
        fl_color(FL_WHITE);
        fl_rectf(x, top, kSampleW, kSampleH);
        drawDifferenceMark(x, top, kSampleW, kSampleH, mark);
        x += kSampleW + kGap;
        fl_color(FL_BLACK);
        fl_draw(text.c_str(), x, top + kSampleH - 3);
        x += static_cast<int>(fl_width(text.c_str())) + 2 * kGap;
    }
    const std::string compared = "compared with " + snapshotName;
    fl_draw(compared.c_str(), x, top + kSampleH - 3);
    fl_pop_clip();
}

Fl_Box* addFrame() {
    auto* frame = new Fl_Box(5, 5, 715, 745);
    frame->box(FL_THIN_DOWN_BOX);
    return frame;
}

template <typename Button>
void addButton(int x, const char* label, Fl_Callback* callback, void* data) {
    auto* button = new Button(x, kButtonRowY, kButtonWidth, kButtonHeight, label);
    button->box(FL_THIN_UP_BOX);
    button->labelsize(kLabelSize);
    button->callback(callback, data);
}

void addButtonRow(Fl_Box* frame, AppState& state, AboutHost& about) {
    addButton<Fl_Return_Button>(625, "OK", onMainWindowClose, &state);
    addButton<Fl_Button>(530, "Print", onPrintButton, frame);
    addButton<Fl_Button>(435, "About", onAboutButton, &about);
}

// The text as the toolkit draws a one-line field's value: control characters as ^X, and no more
// than its line buffer holds (about a thousand bytes; a field shows far fewer).
std::string displayedText(const char* value, int size) {
    constexpr std::size_t kLineBuffer = 1020;
    std::string shown;
    for (int i = 0; i < size && shown.size() < kLineBuffer; ++i) {
        const char c = value[i];
        if (static_cast<unsigned char>(c) < ' ' || c == 127)
            shown += {'^', static_cast<char>(c ^ 0x40)};
        else
            shown += c;
    }
    return shown;
}

// The longest start of `text` (whole characters, no trailing blanks) that fits `room` pixels
// in the current font together with the ellipsis after it.
std::string withEllipsis(const std::string& text, double room) {
    std::vector<std::size_t> ends;  // where each UTF-8 character ends
    for (std::size_t i = 1; i <= text.size(); ++i)
        if (i == text.size() || (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) ends.push_back(i);
    const double free = room - fl_width(kEllipsis);
    const auto fits = std::partition_point(ends.begin(), ends.end(), [&](std::size_t end) {
        return fl_width(text.data(), static_cast<int>(end)) <= free;
    });
    std::string start = text.substr(0, fits == ends.begin() ? 0 : *(fits - 1));
    start.erase(start.find_last_not_of(' ') + 1);
    return start + kEllipsis;
}

// Every widget of the window that is not a group, in reading order: row by row, left to right.
std::vector<Fl_Widget*> readingOrder(Fl_Group& window) {
    std::vector<Fl_Widget*> widgets;
    std::vector<Fl_Group*> groups{&window};
    while (!groups.empty()) {
        Fl_Group* group = groups.back();
        groups.pop_back();
        for (int i = 0; i < group->children(); ++i) {
            Fl_Widget* child = group->child(i);
            if (Fl_Group* inner = child->as_group())
                groups.push_back(inner);
            else
                widgets.push_back(child);
        }
    }
    std::sort(widgets.begin(), widgets.end(),
              [](Fl_Widget* a, Fl_Widget* b) { return a->y() != b->y() ? a->y() < b->y() : a->x() < b->x(); });
    return widgets;
}

}  // namespace

ReportGroup::ReportGroup(int x, int y, int w, int h, const char* label, bool embossed) : Fl_Group(x, y, w, h) {
    copy_label(label);  // the sink's caller gives no promise about the text's lifetime
    box(FL_THIN_DOWN_BOX);
    labeltype(embossed ? FL_EMBOSSED_LABEL : FL_ENGRAVED_LABEL);
    labelsize(kLabelSize);
    labelfont(FL_HELVETICA_BOLD_ITALIC);
    align(FL_ALIGN_TOP | FL_ALIGN_LEFT | FL_ALIGN_INSIDE);
}

int ReportGroup::handle(int event) {
    if (event == FL_KEYBOARD && Fl::event_key() == FL_Tab) return 0;
    return Fl_Group::handle(event);
}

ReportField::ReportField(int x, int y, const char* label, const std::string& text)
    : Fl_Output(x, y, kFieldWidth, kFieldHeight) {
    copy_label(label);
    labelsize(kLabelSize);
    textfont(FL_HELVETICA);
    textsize(kLabelSize);
    color(fieldColour());
    align(FL_ALIGN_LEFT);
    value(text.data(), static_cast<int>(text.size()));
    offerClippedText();
    fitCaption();
}

void ReportField::showText(const std::string& text) {
    value(text.data(), static_cast<int>(text.size()));
    position(0);
    offerClippedText();
    redraw();
}

void ReportField::resize(int x, int y, int w, int h) {
    Fl_Output::resize(x, y, w, h);
    offerClippedText();  // a wider window may show the whole text, a narrower one may clip it
    fitCaption();        // and leave a caption more room or less
}

void ReportField::offerClippedText() {
    // The toolkit draws the text one pixel inside the box's inner edge.
    fl_font(textfont(), textsize());
    clipped_ = fl_width(displayedText(value(), size()).c_str()) + 1 > w() - Fl::box_dw(box());
    std::string tip = clipped_ ? std::string(value(), static_cast<std::size_t>(size())) : std::string();
    if (mark_ != FieldMark::Plain) tip += (tip.empty() ? "" : "\n\n") + was_;
    copy_tooltip(tip.empty() ? nullptr : literalLabel(tip).c_str());
}

// From the right edge of what stands left of the field in its row (the field before it, or the
// group's frame) to where the toolkit ends the caption, just before the field.
int ReportField::captionRoom() const {
    const Fl_Group* group = parent();
    if (!group) return x();
    int left = group->x() + Fl::box_dx(group->box());
    for (int i = 0; i < group->children(); ++i) {
        const Fl_Widget* other = group->child(i);
        const bool sameRow = other->y() < y() + h() && y() < other->y() + other->h();
        if (other != this && sameRow && other->x() + other->w() <= x()) left = std::max(left, other->x() + other->w());
    }
    return x() - kCaptionGap - left;
}

void ReportField::fitCaption() {
    if (!label()) return;
    const int room = captionRoom() - kCaptionMargin;
    int size = kLabelSize;
    fl_font(labelfont(), size);
    while (size > kSmallestCaptionSize && fl_width(label()) > room) fl_font(labelfont(), --size);
    labelsize(size);
}

std::string ReportField::shownText() const {
    const std::string text = displayedText(value(), size());
    if (!clipped_) return text;
    fl_font(textfont(), textsize());
    return withEllipsis(text, w() - Fl::box_dw(box()) - 2);  // one pixel inside the box each side
}

void ReportField::markDifference(FieldMark mark, const std::string& was) {
    mark_ = mark;
    was_ = mark == FieldMark::Plain ? std::string() : was;
    color(mark == FieldMark::Changed ? changedColour() : fieldColour());
    offerClippedText();
    // The box's rounded corners leave the frame's corners to whatever is drawn behind the field.
    if (parent())
        parent()->redraw();
    else
        redraw();
}

void ReportField::draw() {
    if (!clipped_ || Fl::focus() == this) {
        Fl_Output::draw();
        drawDifferenceMark(x(), y(), w(), h(), mark_);  // over the box's border: the text keeps its place
        return;
    }
    // Where and how the toolkit draws an unfocused field's text, cut short with "…".
    const Fl_Boxtype frame = box();
    draw_box(frame, color());
    const int X = x() + Fl::box_dx(frame), Y = y() + Fl::box_dy(frame);
    const int W = w() - Fl::box_dw(frame), H = h() - Fl::box_dh(frame);
    const std::string shown = shownText();
    fl_push_clip(X, Y, W, H);
    fl_font(textfont(), textsize());
    fl_color(active_r() ? textcolor() : fl_inactive(textcolor()));
    const int height = fl_height();
    fl_draw(shown.c_str(), X + 1, Y + (H - height) / 2 + height - fl_descent());
    fl_pop_clip();
    drawDifferenceMark(x(), y(), w(), h(), mark_);
}

int ReportField::handle(int event) {
    if ((event == FL_KEYBOARD || event == FL_SHORTCUT) && isShareShortcut()) return 0;
    const int handled = Fl_Output::handle(event);
    if (event == FL_UNFOCUS) position(0);                    // its start again, not where Tab or a drag left it
    if (event == FL_FOCUS || event == FL_UNFOCUS) redraw();  // the whole text, or "…"
    return handled;
}

void MainWindow::draw() {
    Fl_Double_Window::draw();
    if (!legendFor_.empty()) drawLegend(legendFor_);
}

void MainWindow::showLegend(const std::string& snapshotName) {
    legendFor_ = snapshotName;
    redraw();
}

int MainWindow::handle(int event) {
    // A Tab reaches the window as a shortcut when nothing in it has the focus.
    const bool plainTab = (event == FL_KEYBOARD || event == FL_SHORTCUT) && Fl::event_key() == FL_Tab &&
                          !(Fl::event_state() & (FL_CTRL | FL_ALT | FL_META));
    if (plainTab && moveFocus(!(Fl::event_state() & FL_SHIFT))) return 1;
    return handleShareEvent(state_, event) ? 1 : Fl_Double_Window::handle(event);
}

// The next (or previous) widget in reading order that takes the focus, round the window.
bool MainWindow::moveFocus(bool forward) {
    const std::vector<Fl_Widget*> order = readingOrder(*this);
    const std::size_t count = order.size();
    const std::size_t at = std::find(order.begin(), order.end(), Fl::focus()) - order.begin();
    const std::size_t start = at < count ? at : (forward ? count - 1 : 0);
    for (std::size_t step = 1; step <= count; ++step) {
        Fl_Widget* next = order[(start + (forward ? step : count - step)) % count];
        if (next->take_focus()) return true;
    }
    return false;
}

namespace {

// The fields in the report's order, in which they were made, each group's inside its group.
std::vector<ReportField*> reportFields(Fl_Window& window) {
    std::vector<ReportField*> fields;
    for (int g = 0; g < window.children(); ++g)
        if (auto* group = dynamic_cast<ReportGroup*>(window.child(g)))
            for (int f = 0; f < group->children(); ++f)
                if (auto* field = dynamic_cast<ReportField*>(group->child(f))) fields.push_back(field);
    return fields;
}

// What the tooltip of a marked field says: the snapshot's text, under the snapshot's name.
std::string wasText(const FieldChange& change, const std::string& name) {
    const char* byItself = change.difference == Difference::ByItself ? " (changes by itself)" : "";
    const std::string caption = change.newLabel != change.label ? change.label + " " : "";
    return "In " + name + byItself + ":\n" + caption + change.before;
}

}  // namespace

void MainWindow::showReport(const std::vector<GroupRecord>& groups) {
    const std::vector<ReportField*> fields = reportFields(*this);
    auto field = fields.begin();
    for (const GroupRecord& group : groups)
        for (const FieldRecord& record : group.fields)
            if (field != fields.end()) (*field++)->showText(record.text);
}

void WindowSink::beginGroup(const char* label, int x, int y, int w, int h, bool embossed) {
    group_ = new ReportGroup(x, y, w, h, label, embossed);
    ReportCollector::beginGroup(label, x, y, w, h, embossed);
}

void WindowSink::addField(const char* label, int x, int y, const std::string& text) {
    new ReportField(x, y, label, text);
    ReportCollector::addField(label, x, y, text);
}

void WindowSink::endGroup() {
    if (group_) group_->end();
    group_ = nullptr;
    ReportCollector::endGroup();
}

void WindowSink::progress(float fraction) {
    if (!state_.noticeMode) setProgress(state_, fraction);
    ReportCollector::progress(fraction);
}

namespace {

// "3 fields and 2 parts differ", "1 part differs", "1 field, 2 parts and 14 programs differ".
std::string differingCount(int fields, int parts, int programs) {
    std::vector<std::string> counts;
    auto count = [&](int n, const char* one, const char* many) {
        if (n > 0) counts.push_back(std::to_string(n) + " " + (n == 1 ? one : many));
    };
    count(fields, "field", "fields");
    count(parts, "part", "parts");
    count(programs, "program", "programs");
    std::string text;
    for (std::size_t i = 0; i < counts.size(); ++i)
        text += (i == 0 ? "" : i + 1 == counts.size() ? " and " : ", ") + counts[i];
    return text + (fields + parts + programs == 1 ? " differs" : " differ");
}

}  // namespace

std::string comparisonCount(const Comparison& comparison, const std::string& name) {
    int fields = 0, parts = 0, programs = 0, byItself = 0;
    for (const FieldChange& change : comparison.fields) {
        fields += change.difference != Difference::Unknown;
        byItself += change.difference == Difference::ByItself;
    }
    for (const ItemChange& change : comparison.items) {
        // A program installed, removed or updated is no part of the machine: counted apart.
        programs += change.difference == Difference::Program;
        parts += change.difference != Difference::Unknown && change.difference != Difference::Program;
        byItself += change.difference == Difference::ByItself;
    }
    std::string count =
        fields + parts + programs == 0 ? "nothing differs" : differingCount(fields, parts, programs);
    count += " from " + name;
    if (byItself > 0) count += " (" + std::to_string(byItself) + " expected to change)";
    return count;
}

std::string comparisonTitle(const Comparison& comparison, const std::string& name) {
    std::string title = std::string(kMainWindowTitle) + " - " + comparisonCount(comparison, name);
    std::vector<std::string> uncompared;
    for (const UncomparedKind& kind : comparison.uncompared) uncompared.push_back(kindInPlural(kind.kind));
    if (!uncompared.empty()) title += "; not compared: " + joined(uncompared);
    return title;
}

void showComparison(Fl_Window& window, const Comparison* comparison, const std::string& name) {
    const std::vector<ReportField*> fields = reportFields(window);
    for (ReportField* field : fields) field->markDifference(FieldMark::Plain, {});
    window.copy_label(comparison ? comparisonTitle(*comparison, name).c_str() : kMainWindowTitle);
    window.copy_tooltip(nullptr);
    if (auto* main = dynamic_cast<MainWindow*>(&window)) main->showLegend(comparison ? name : std::string());
    if (!comparison) return;
    // Wherever nothing else has a tooltip, the window's says what the title says, whole.
    std::string note = comparisonCount(*comparison, name);
    note[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(note[0])));
    for (const std::string& sentence : uncomparedSentences(*comparison)) note += "\n" + sentence;
    window.copy_tooltip(literalLabel(note).c_str());
    for (const FieldChange& change : comparison->fields) {
        if (change.difference == Difference::Unknown || change.position >= fields.size()) continue;
        fields[change.position]->markDifference(markOf(change.difference), wasText(change, name));
    }
}

MainWindow::MainWindow(AppState& state)
    : Fl_Double_Window(kMainWindowWidth, kMainWindowHeight, kMainWindowTitle),
      state_(state), about_{state.aboutWindow, setProgramIcon, runIconPass} {}

Fl_Double_Window* makeMainWindow(AppState& state) {
    auto* window = new MainWindow(state);
    window->align(FL_ALIGN_INSIDE | FL_ALIGN_CLIP);
    setProgramIcon(*window);
    Fl_Tooltip::size(kLabelSize);  // the whole text of a clipped field, in the fields' size
    Fl_Box* frame = addFrame();
    WindowSink sink(state);
    buildAllGroups(state.context, sink);
    state.shown = std::move(sink.groups);  // what the share menu copies and saves
    addButtonRow(frame, state, window->about());
    window->end();
    return window;
}

}  // namespace moravel
