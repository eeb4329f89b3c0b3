// The platform operations of the window program on Windows.
#include "app/platform.h"

#include <windows.h>
#include <process.h>

#include <memory>
#include <type_traits>

#include <FL/Fl.H>
#include <FL/Fl_Window.H>
#include <FL/x.H>

#include "providers/windows/probes_windows.h"
#include "text/wide.h"

namespace moravel {
namespace {

constexpr int kIconResource = 101;  // the icon group of resources/moravel.rc

struct IconDestroyer {
    void operator()(HICON icon) const { DestroyIcon(icon); }
};
using Icon = std::unique_ptr<std::remove_pointer_t<HICON>, IconDestroyer>;

// The program icon at `size` x `size` pixels.
Icon loadIcon(int size) {
    return Icon(static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kIconResource), IMAGE_ICON,
                                              size, size, LR_DEFAULTCOLOR)));
}

// One step of the icon pass: the first top-level window of this process gets the icons and
// ends the enumeration; every other window lets it go on.
BOOL CALLBACK setOwnWindowIcons(HWND window, LPARAM processId) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != static_cast<DWORD>(processId)) return TRUE;
    // The 32 x 32 and 16 x 16 icons, loaded once and kept for the windows that show them.
    static const Icon bigIcon = loadIcon(32);
    static const Icon smallIcon = loadIcon(16);
    SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon.get()));
    SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon.get()));
    return FALSE;
}

}  // namespace

bool prepareDisplay() { return false; }  // nothing to spare on Windows
void restoreStartEnvironment(bool) {}

OsVersion platformOsVersion() { return windows::readWindowsVersion(); }

// The toolkit's Helvetica is Arial here already.
void useArialMetricFaces() {}

// The toolkit's Windows loop draws after it has emptied the message queue. Windows shows GDI
// drawing at once, but Wine copies a window's drawing to the screen only when its thread next
// waits for messages, so without this wait (of no time) each progress step would appear only
// at the next one, and the last never.
void presentDrawing() {
    Fl::flush();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_ALLINPUT);
}

// The toolkit gives a resizable window with a title bar the styles of WS_OVERLAPPEDWINDOW. Windows
// places the frame where it is told, title bar above the screen included.
FrameSize mainWindowFrame() {
    RECT frame{0, 0, 0, 0};
    if (!AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, 0)) return {};
    return {-frame.left, -frame.top, frame.right, frame.bottom};
}

void showRefusalBox(const char* title, const std::string& text) {
    MessageBoxW(nullptr, toWide(text).c_str(), toWide(title).c_str(), MB_OK | MB_ICONERROR);
}

void showNoticeBox(const char* text) { MessageBoxA(nullptr, text, "Information", MB_OK | MB_ICONINFORMATION); }

void setProgramIcon(Fl_Window& window) {
    // LoadIconA's icons are shared by the system and never destroyed.
    window.icon(static_cast<const void*>(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kIconResource))));
}

void runIconPass() { EnumWindows(setOwnWindowIcons, static_cast<LPARAM>(_getpid())); }

}  // namespace moravel
