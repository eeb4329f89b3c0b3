#include "app/share_menu.h"

#include <filesystem>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Menu_Item.H>
#include <FL/Fl_Native_File_Chooser.H>

#include "app/app_state.h"
#include "app/details_window.h"
#include "app/main_window.h"
#include "app/share.h"
#include "commands/message_box.h"
#include "io/file_writer.h"
#include "query/snapshot/snapshot_provider.h"
#include "query/snapshot/snapshot_writer.h"
#include "report/writers.h"
#include "text/terminal.h"

namespace moravel {
namespace {

// Built afresh for each use, so the switch's check mark and Clear comparison show their state;
// each command is handed the state (none: only the shortcuts are asked for).
struct ShareMenu {
    Fl_Menu_Item items[8];
    explicit ShareMenu(AppState* state)
        : items{{"Copy report", FL_CTRL + FL_SHIFT + 'c', onCopyReport, state, 0, 0, 0, 0, 0},
                {"Save report\xE2\x80\xA6", FL_CTRL + 's', onSaveReport, state, 0, 0, 0, 0, 0},
                {"Save snapshot\xE2\x80\xA6", 0, onSaveSnapshot, state, FL_MENU_DIVIDER, 0, 0, 0, 0},
                {"Hide serial numbers and addresses", 0, onHideSwitch, state,
                 FL_MENU_TOGGLE | FL_MENU_DIVIDER | (state && state->hideIdentifiers ? FL_MENU_VALUE : 0), 0, 0, 0, 0},
                {"Compare with snapshot\xE2\x80\xA6", 0, onCompareWithSnapshot, state, 0, 0, 0, 0, 0},
                {"Clear comparison", 0, onClearComparison, state,
                 FL_MENU_DIVIDER | (state && state->compared ? 0 : FL_MENU_INACTIVE), 0, 0, 0, 0},
                {"Details\xE2\x80\xA6", FL_CTRL + 'd', onDetails, state, 0, 0, 0, 0, 0},
                {nullptr, 0, nullptr, nullptr, 0, 0, 0, 0, 0}} {}
};

void run(AppState& state, const Fl_Menu_Item* item) {
    if (item && item->callback()) item->do_callback(state.mainWindow, item->user_data());
}

AppState& stateOf(void* data) { return *static_cast<AppState*>(data); }

// Shift+F10 and the Menu key, as desktops open a context menu from the keyboard.
bool isMenuKey() {
    const int key = Fl::event_key();
    return key == FL_Menu || (key == FL_F + 10 && Fl::event_shift());
}

// The menu under the focused field or button (at the window's corner when nothing has focus).
const Fl_Menu_Item* popUpAtFocus(const AppState& state, const ShareMenu& menu) {
    Fl_Double_Window* mainWindow = state.mainWindow;
    if (!mainWindow) return nullptr;
    Fl_Widget* focus = Fl::focus();
    const bool inside = focus && focus != mainWindow && mainWindow->contains(focus);
    const int x = inside ? focus->x() : 0;
    const int y = inside ? focus->y() + focus->h() : 0;
    // popup() places the menu by the pointer's offset in the window the event came to; a key's
    // pointer position may be anything, so the window's own position is put in its place.
    const int dx = mainWindow->x() - (Fl::event_x_root() - Fl::event_x());
    const int dy = mainWindow->y() - (Fl::event_y_root() - Fl::event_y());
    return menu.items[0].popup(x + dx, y + dy);
}

struct FileTypes {
    const char* filter;                   // the dialog's "Files of type" entries, one a line
    std::vector<std::string> extensions;  // each entry's, in the same order
};
const FileTypes kReportTypes{"Text report\t*.txt\nJSON report\t*.json", {".txt", ".json"}};
constexpr int kTextReportType = 0, kJsonReportType = 1;
const FileTypes kSnapshotTypes{"Moravel snapshot\t*.json", {".json"}};

// The dialog confirmed replacing only the name as typed, so a file of the name the type gives
// is not replaced unasked.
bool mayWrite(const std::string& typed, const std::string& named) {
    std::error_code error;
    return named == typed || !std::filesystem::exists(std::filesystem::u8path(named), error) ||
           confirmBox("File exists", named + " already exists.\nDo you want to replace it?", "Cancel", "Replace");
}

// Shows the dialog in the current folder (else it may open on a list of recent files): the file
// named, or empty text when cancelled.
std::string chosenFile(Fl_Native_File_Chooser& chooser) {
    std::error_code error;
    const std::string folder = std::filesystem::current_path(error).u8string();
    if (!error) chooser.directory(folder.c_str());
    return chooser.show() == 0 && chooser.filename() ? chooser.filename() : "";
}

// The file the user names in a save dialog, and the type it is saved as; an empty name when
// cancelled.
SaveChoice chooseFile(const char* title, const char* preset, const FileTypes& types) {
    constexpr int kStartType = 0;  // the preset name's
    Fl_Native_File_Chooser chooser;
    chooser.title(title);
    chooser.type(Fl_Native_File_Chooser::BROWSE_SAVE_FILE);
    chooser.options(Fl_Native_File_Chooser::SAVEAS_CONFIRM | Fl_Native_File_Chooser::NEW_FOLDER);
    chooser.filter(types.filter);
    chooser.filter_value(kStartType);
    chooser.preset_file(preset);
    const std::string typed = chosenFile(chooser);
    if (typed.empty()) return {};
    SaveChoice choice = resolveSaveChoice(typed, types.extensions, chooser.filter_value(), kStartType);
    if (!mayWrite(typed, choice.name)) return {};
    return choice;
}

// The snapshot the user picks to compare with, or empty text when cancelled.
std::string chooseSnapshot() {
    Fl_Native_File_Chooser chooser;
    chooser.title("Compare with snapshot");
    chooser.type(Fl_Native_File_Chooser::BROWSE_FILE);
    chooser.filter("Moravel snapshot\t*.json\nAll files\t*");
    return chosenFile(chooser);
}

void tellNotSaved(const char* path, const std::string& problem) {
    alertBox("Not saved", std::string(path) + " could not be saved:\n" + problem);
}

// The marks of the comparison that is on, none when it is off; the tooltips hide identifying
// values while the window does.
void showShownComparison(AppState& state) {
    Fl_Double_Window* mainWindow = state.mainWindow;
    if (!mainWindow) return;
    const std::optional<Comparison> changes = shownComparison(state, state.hideIdentifiers);
    showComparison(*mainWindow, changes ? &*changes : nullptr, changes ? comparedName(*changes) : std::string());
    refreshDetailsWindow(state);
}

}  // namespace

bool isShareShortcut() {
    ShareMenu menu(nullptr);
    return isMenuKey() || menu.items[0].test_shortcut() != nullptr;
}

bool handleShareEvent(AppState& state, int event) {
    ShareMenu menu(&state);
    if (event == FL_PUSH && Fl::event_button() == FL_RIGHT_MOUSE) {
        run(state, menu.items[0].popup(Fl::event_x(), Fl::event_y()));
        return true;
    }
    if (event != FL_KEYBOARD && event != FL_SHORTCUT) return false;
    if (isMenuKey()) {
        run(state, popUpAtFocus(state, menu));
        return true;
    }
    const Fl_Menu_Item* item = menu.items[0].test_shortcut();
    run(state, item);
    return item != nullptr;
}

void onCopyReport(Fl_Widget*, void* data) {
    const AppState& state = stateOf(data);
    const std::string report = shareReport(state, ReportForm::Text, state.hideIdentifiers);
    const int length = static_cast<int>(report.size());
    Fl::copy(report.data(), length, 1);  // the clipboard
    Fl::copy(report.data(), length, 0);  // and the selection, for a middle-button paste
}

void onSaveReport(Fl_Widget*, void* data) {
    const AppState& state = stateOf(data);
    const SaveChoice chosen = chooseFile("Save report", "moravel-report.txt", kReportTypes);
    const std::string& path = chosen.name;
    if (path.empty()) return;
    const ReportForm form = chosen.type == kJsonReportType   ? ReportForm::Json
                            : chosen.type == kTextReportType ? ReportForm::Text
                                                             : reportFormFor(path);
    const std::string report = shareReport(state, form, state.hideIdentifiers);
    saveWithMessage(path.c_str(), form == ReportForm::Json ? report : textFileContent(report));
}

void onSaveSnapshot(Fl_Widget*, void* data) {
    const AppState& state = stateOf(data);
    const std::string path = chooseFile("Save snapshot", "moravel-snapshot.json", kSnapshotTypes).name;
    if (path.empty()) return;
    const std::string snapshot = shareSnapshot(state, state.hideIdentifiers);
    if (std::optional<std::string> problem = snapshotSizeProblem(snapshot.size()))
        tellNotSaved(path.c_str(), *problem);
    else
        saveWithMessage(path.c_str(), snapshot);
}

// The window shows what a screenshot or a printout of it would pass on, too.
void onHideSwitch(Fl_Widget*, void* data) {
    AppState& state = stateOf(data);
    state.hideIdentifiers = !state.hideIdentifiers;
    if (auto* window = dynamic_cast<MainWindow*>(state.mainWindow))
        window->showReport(reportGroups(state, state.hideIdentifiers));
    showShownComparison(state);
}

void onCompareWithSnapshot(Fl_Widget*, void* data) {
    const std::string path = chooseSnapshot();
    if (!path.empty()) compareWithSnapshot(stateOf(data), path);
}

void onClearComparison(Fl_Widget*, void* data) {
    AppState& state = stateOf(data);
    state.compared.reset();
    showShownComparison(state);
}

bool compareWithSnapshot(AppState& state, const std::string& path) {
    try {
        compareShownWith(state, path);
    } catch (const SnapshotError& error) {
        alertBox("Not compared", visibleText(error.what()));  // one line, as on a terminal
        return false;
    } catch (const std::bad_alloc&) {
        alertBox("Not compared", "Not enough memory to compare with " + visibleText(path) + ".");
        return false;
    }
    showShownComparison(state);
    return true;
}

bool saveWithMessage(const char* path, const std::string& content) {
    std::optional<std::string> problem = writeFileSafely(path, content);
    if (problem) tellNotSaved(path, *problem);
    return !problem;
}

}  // namespace moravel
