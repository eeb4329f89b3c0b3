#include "commands/about_window.h"

#include "commands/commands.h"
#include "commands/message_box.h"
#include "moravel_version.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Help_View.H>
#include <FL/Fl_Return_Button.H>

#include <string>

namespace moravel {

namespace {

constexpr int kWindowW = 372;
constexpr int kWindowH = 340;
// Fixed centring offsets the program has always used: 186 is half the width, 171 one pixel more
// than half the height.
constexpr int kCentreOffsetX = 186;
constexpr int kCentreOffsetY = 171;
const Fl_Color kWindowColor = fl_rgb_color(240, 240, 240);
const Fl_Color kViewColor = fl_rgb_color(249, 249, 249);
constexpr int kTextSize = 12;

// Up to the Website link and the blank after it.
const char* const kDocumentHead =
    "<br>"
    "<center><h3>Moravel v" MORAVEL_VERSION "</h3></center>"
    "<center><h6>(" MORAVEL_RELEASE_DATE_TEXT ")</h6></center>"
    "<br>"
    "<center><h4><a href=\"https://moravel.example.org/\">https://moravel.example.org/</a></h4></center>"
    "<p></p><p></p><p></p><p></p>"
    // Left open on purpose: everything below is centred too.
    "<center><h5>Written by Tobrin</h5>"
    "<br>Moravel is free to use and comes with no warranty."
    "<p><a href=\"https://tobrin.example.org/\">Website</a> ";

const char* const kDocumentTail = "and <a href=\"https://tobrin.example.org/forum/\">Forum</a>"
                                  "<br>Please use my forum for all questions and bug reports or send to"
                                  "<br><a href=\"mailto:tobrin@example.org\">tobrin@example.org</a></p>";

Fl_Box* makePanel() {
    auto* panel = new Fl_Box(8, 8, 354, 324);
    panel->box(FL_THIN_DOWN_BOX);
    panel->color(FL_BACKGROUND2_COLOR);
    return panel;
}

// The view hands web and mail links to the system's helper program itself, and calls this only
// when none could take one; it would then replace the document with an error page, so the
// user is told in a message box instead and the document stays.
const char* onAboutLink(Fl_Widget*, const char* uri) {
    alertBox("Link not opened", std::string("No program to open this link was found:\n") + uri);
    return nullptr;
}

Fl_Help_View* makeTextView() {
    auto* view = new Fl_Help_View(10, 10, 352, 295);
    view->box(FL_FLAT_BOX);
    view->color(kViewColor);
    view->textcolor(FL_FOREGROUND_COLOR);
    view->textfont(FL_HELVETICA);
    view->textsize(kTextSize);
    view->value(aboutDocument().c_str());
    view->link(onAboutLink);
    view->end();  // the view is a group: the OK button belongs to the window
    return view;
}

Fl_Return_Button* makeOkButton(AboutHost& host) {
    auto* ok = new Fl_Return_Button(292, 310, 70, 22, "OK");
    ok->box(FL_THIN_UP_BOX);
    ok->labelsize(kTextSize);
    ok->callback(onAboutClose, &host);
    return ok;
}

}  // namespace

std::string aboutDocument() { return std::string(kDocumentHead) + kDocumentTail; }

WindowOrigin aboutWindowOrigin(int workX, int workY, int workW, int workH) {
    return {workX + workW / 2 - kCentreOffsetX, workY + workH / 2 - kCentreOffsetY};
}

Fl_Double_Window* makeAboutWindow(AboutHost& host) {
    auto* window = new Fl_Double_Window(kWindowW, kWindowH, "About Moravel");
    window->color(kWindowColor);
    host.setIcon(*window);
    makePanel();
    makeTextView();
    makeOkButton(host);
    window->end();
    return window;
}

void onAboutButton(Fl_Widget* /*widget*/, void* data) {
    AboutHost& host = *static_cast<AboutHost*>(data);
    if (host.openWindow) return;  // one About window at a time; the open one is left as it is
    Fl_Double_Window* window = makeAboutWindow(host);
    window->set_non_modal();
    host.openWindow = window;
    window->callback(onAboutClose, &host);
    const WindowOrigin origin = aboutWindowOrigin(Fl::x(), Fl::y(), Fl::w(), Fl::h());
    window->position(origin.x, origin.y);
    window->show();
    host.iconPass();
}

void onAboutClose(Fl_Widget* /*widget*/, void* data) {
    AboutHost& host = *static_cast<AboutHost*>(data);
    if (!host.openWindow) return;
    host.openWindow->hide();
    // Each press of About builds a new window, so the closed one goes; deferred, because this
    // may run inside the callback of its own OK button.
    Fl::delete_widget(host.openWindow);
    host.openWindow = nullptr;
}

}  // namespace moravel
