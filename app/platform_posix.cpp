// The platform operations of the window program on Linux and other X11 systems.
#include "app/platform.h"

#include <sys/utsname.h>

#include <cstdlib>

#include <FL/Fl.H>
#include <FL/Fl_RGB_Image.H>
#include <FL/Fl_Window.H>
#include <FL/fl_ask.H>

#include "commands/message_box.h"
#include "resources/icon_pixels.h"

namespace moravel {
namespace {

// "6.1.0-13-amd64" gives 6 and 1; whatever is missing stays 0.
OsVersion parseKernelRelease(const char* release) {
    char* end = nullptr;
    OsVersion version;
    version.major = static_cast<std::uint32_t>(std::strtoul(release, &end, 10));
    if (end && *end == '.') version.minor = static_cast<std::uint32_t>(std::strtoul(end + 1, nullptr, 10));
    return version;
}

}  // namespace

bool prepareDisplay() {
    // The window takes no typed text, yet opening X's input method parses the locale's compose
    // table (thousands of lines, about 15 ms, on the way to the first picture). An empty table
    // spares that; a table the user chose is kept.
    if (std::getenv("XCOMPOSEFILE")) return false;
    return ::setenv("XCOMPOSEFILE", "/dev/null", 1) == 0;
}

void restoreStartEnvironment(bool prepared) {
    // The input method has read it; programs started later (a link's browser) must not.
    if (prepared) ::unsetenv("XCOMPOSEFILE");
}

OsVersion platformOsVersion() {
    utsname names{};
    if (uname(&names) != 0) return {};
    return parseKernelRelease(names.release);
}

void showNoticeBox(const char* text) {
    // The text asks for the OK button, as the Windows box has; the toolkit's says "Close".
    const char* toolkitClose = fl_close;
    fl_close = "OK";
    fl_message_title("Information");
    fl_message("%s", text);
    fl_close = toolkitClose;
}

void useArialMetricFaces() {
    // Liberation Sans (fonts-liberation), Arimo (fonts-croscore) and Nimbus Sans
    // (fonts-urw-base35) share Arial's widths, and so may a real Arial or Helvetica; only where
    // none is installed does fontconfig fall through to the desktop's usual sans-serif face,
    // and the captions that would not fit then draw a size smaller.
    Fl::set_font(FL_HELVETICA, " Liberation Sans,Arimo,Nimbus Sans,Arial,Helvetica,sans");
    Fl::set_font(FL_HELVETICA_BOLD, "BLiberation Sans,Arimo,Nimbus Sans,Arial,Helvetica,sans");
    Fl::set_font(FL_HELVETICA_ITALIC, "ILiberation Sans,Arimo,Nimbus Sans,Arial,Helvetica,sans");
    Fl::set_font(FL_HELVETICA_BOLD_ITALIC, "PLiberation Sans,Arimo,Nimbus Sans,Arial,Helvetica,sans");
}

// The toolkit's X11 loop draws before it waits; the requests only have to leave the buffer.
void presentDrawing() { Fl::flush(); }

void setProgramIcon(Fl_Window& window) {
    // Fl_Window::icons copies the images, so they may live on the stack.
    Fl_RGB_Image large(kIconRgba32, 32, 32, 4);
    Fl_RGB_Image small(kIconRgba16, 16, 16, 4);
    const Fl_RGB_Image* images[] = {&large, &small};
    window.icons(images, 2);
}

// The window manager draws the frame, and keeps its title bar on the screen (the toolkit asks it
// to place a window whose frame would not fit).
FrameSize mainWindowFrame() { return {}; }

void showRefusalBox(const char* title, const std::string& text) { alertBox(title, text); }

void runIconPass() {
    // The most recently shown top-level window comes first, as in Windows' enumeration.
    for (Fl_Window* window = Fl::first_window(); window; window = Fl::next_window(window)) {
        if (window->parent()) continue;
        setProgramIcon(*window);
        return;
    }
}

}  // namespace moravel
