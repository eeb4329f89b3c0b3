#include "app/share_menu.h"

#include <filesystem>
#include <optional>
#include <string>

#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Menu_Item.H>
#include <FL/Fl_Native_File_Chooser.H>
#include <FL/fl_ask.H>

#include "app/app_state.h"
#include "app/main_window.h"
#include "app/report_file.h"
#include "app/share.h"

namespace moravel {
namespace {

bool hideIdentifiers = false;

// Built afresh for each use, so the switch's check mark and Clear comparison show their state.
struct ShareMenu {
    Fl_Menu_Item items[7];
    ShareMenu()
        : items{{"Copy report", FL_CTRL + FL_SHIFT + 'c', onCopyReport, nullptr, 0, 0, 0, 0, 0},
                {"Save report\xE2\x80\xA6", FL_CTRL + 's', onSaveReport, nullptr, 0, 0, 0, 0, 0},
                {"Save snapshot\xE2\x80\xA6", 0, onSaveSnapshot, nullptr, FL_MENU_DIVIDER, 0, 0, 0, 0},
                {"Hide serial numbers and addresses", 0, onHideSwitch, nullptr,
                 FL_MENU_TOGGLE | FL_MENU_DIVIDER | (hideIdentifiers ? FL_MENU_VALUE : 0), 0, 0, 0, 0},
                {"Compare with snapshot\xE2\x80\xA6", 0, onCompareWithSnapshot, nullptr, 0, 0, 0, 0, 0},
                {"Clear comparison", 0, onClearComparison, nullptr, comparing() ? 0 : FL_MENU_INACTIVE, 0, 0, 0, 0},
                {nullptr, 0, nullptr, nullptr, 0, 0, 0, 0, 0}} {}
};

void run(const Fl_Menu_Item* item) {
    if (item && item->callback()) item->do_callback(mainWindow, item->user_data());
}

// The file the user names in a save dialog (or, without a preset, an open dialog for a
// snapshot), or empty text when cancelled.
std::string chooseFile(const char* title, const char* preset) {
    Fl_Native_File_Chooser chooser;
    chooser.title(title);
    if (preset) {
        chooser.type(Fl_Native_File_Chooser::BROWSE_SAVE_FILE);
        chooser.options(Fl_Native_File_Chooser::SAVEAS_CONFIRM | Fl_Native_File_Chooser::NEW_FOLDER);
    } else {
        chooser.type(Fl_Native_File_Chooser::BROWSE_FILE);
        chooser.filter("Snapshots\t*.json\nAll files\t*");
    }
    std::error_code error;
    const std::string folder = std::filesystem::current_path(error).string();
    if (!error) chooser.directory(folder.c_str());  // else the dialog may open on a list of recent files
    if (preset) chooser.preset_file(preset);
    if (chooser.show() != 0 || !chooser.filename()) return {};
    return chooser.filename();
}

}  // namespace

bool hidingIdentifiers() { return hideIdentifiers; }

bool isShareShortcut() {
    ShareMenu menu;
    return menu.items[0].test_shortcut() != nullptr;
}

bool handleShareEvent(int event) {
    ShareMenu menu;
    if (event == FL_PUSH && Fl::event_button() == FL_RIGHT_MOUSE) {
        run(menu.items[0].popup(Fl::event_x(), Fl::event_y()));
        return true;
    }
    if (event != FL_KEYBOARD && event != FL_SHORTCUT) return false;
    const Fl_Menu_Item* item = menu.items[0].test_shortcut();
    run(item);
    return item != nullptr;
}

void onCopyReport(Fl_Widget*, void*) {
    const std::string report = shareReport(ReportForm::Text, hideIdentifiers);
    const int length = static_cast<int>(report.size());
    Fl::copy(report.data(), length, 1);  // the clipboard
    Fl::copy(report.data(), length, 0);  // and the selection, for a middle-button paste
}

void onSaveReport(Fl_Widget*, void*) {
    const std::string path = chooseFile("Save report", "moravel-report.txt");
    if (!path.empty()) saveWithMessage(path.c_str(), shareReport(reportFormFor(path), hideIdentifiers));
}

void onSaveSnapshot(Fl_Widget*, void*) {
    const std::string path = chooseFile("Save snapshot", "moravel-snapshot.json");
    if (!path.empty()) saveWithMessage(path.c_str(), shareSnapshot(hideIdentifiers));
}

void onHideSwitch(Fl_Widget*, void*) { hideIdentifiers = !hideIdentifiers; }

void onCompareWithSnapshot(Fl_Widget*, void*) {
    const std::string path = chooseFile("Compare with snapshot", nullptr);
    if (!path.empty()) compareWithSnapshot(path);
}

void onClearComparison(Fl_Widget*, void*) {
    clearComparison();
    if (mainWindow) showComparison(*mainWindow, nullptr, {});
}

bool compareWithSnapshot(const std::string& path) {
    try {
        const Comparison& changes = compareShownWith(path);
        if (mainWindow) showComparison(*mainWindow, &changes, std::filesystem::path(path).filename().string());
        return true;
    } catch (const SnapshotError& error) {
        fl_message_title("Not compared");
        fl_alert("%s", error.what());
        return false;
    }
}

bool saveWithMessage(const char* path, const std::string& content) {
    std::optional<std::string> problem = writeFileAtomically(path, content);
    if (!problem) return true;
    fl_message_title("Not saved");
    fl_alert("%s could not be saved:\n%s", path, problem->c_str());
    return false;
}

}  // namespace moravel
