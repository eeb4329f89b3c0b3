/* Reads a window's fields as a person copies them: for each "x y" line on standard input (window
   coordinates), a click there, Ctrl+A and Ctrl+C, then the clipboard's text as soon as the
   program has taken the clipboard again (it does on every copy, so a field that repeats the
   previous text is still seen to be copied). One line per field on standard output. Every wait
   is for an event and bounded (status 1 when one gives up). A copy the program has not taken up
   after 3 seconds, as when a window just shown does not take keys yet, is made again, up to four
   times.
   Usage: copy_fields WINDOW-ID < positions */
#define _POSIX_C_SOURCE 200809L /* clock_gettime */
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xfixes.h>
#include <X11/keysym.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/select.h>
#include <time.h>

static Display* display;
static Window own;
static Atom clipboard, utf8, property, nudge;
static int fixesEvent;
static Time taken; /* when the program last took the clipboard */

static double now(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (double)t.tv_sec + (double)t.tv_nsec / 1e9;
}

/* The next event, or 0 once `deadline` has passed. */
static int nextEvent(XEvent* event, double deadline) {
    while (!XPending(display)) {
        double left = deadline - now();
        if (left <= 0) return 0;
        int fd = ConnectionNumber(display);
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(fd, &readable);
        struct timeval wait = {(time_t)left, (suseconds_t)((left - (time_t)left) * 1e6)};
        select(fd + 1, &readable, NULL, NULL, &wait);
    }
    XNextEvent(display, event);
    return 1;
}

/* Waits up to `seconds` for an event that `wanted` accepts. Wine's clipboard thread now and
   then keeps what it has sent in its output buffer until it has another event to handle; after
   each quiet fifth of a second it gets one, a request for a target it does not have, which it refuses
   without opening the clipboard (the program's next copy would fail while it is open). */
static int awaitEvent(int (*wanted)(XEvent*), double seconds) {
    double deadline = now() + seconds;
    while (now() < deadline) {
        double slice = now() + 0.2;
        XEvent event;
        while (nextEvent(&event, slice < deadline ? slice : deadline))
            if (wanted(&event)) return 1;
        XConvertSelection(display, clipboard, nudge, nudge, own, CurrentTime);
        XFlush(display);
    }
    return 0;
}

static int ownerChanged(XEvent* event) {
    if (event->type != fixesEvent + XFixesSelectionNotify) return 0;
    taken = ((XFixesSelectionNotifyEvent*)event)->selection_timestamp;
    return 1;
}

static int textArrived(XEvent* event) {
    return event->type == SelectionNotify && event->xselection.target == utf8 && event->xselection.time == taken;
}

/* Drops the events of earlier copies. */
static void forgetEvents(void) {
    XSync(display, False);
    XEvent event;
    while (XPending(display)) XNextEvent(display, &event);
}

static void key(KeySym symbol, Bool down) {
    XTestFakeKeyEvent(display, XKeysymToKeycode(display, symbol), down, CurrentTime);
}

static void clickAndCopy(Window window, int x, int y) {
    int rootX, rootY;
    Window child;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), x, y, &rootX, &rootY, &child);
    XTestFakeMotionEvent(display, -1, rootX, rootY, CurrentTime);
    XTestFakeButtonEvent(display, 1, True, CurrentTime);
    XTestFakeButtonEvent(display, 1, False, CurrentTime);
    key(XK_Control_L, True);
    key(XK_a, True), key(XK_a, False);
    key(XK_c, True), key(XK_c, False);
    key(XK_Control_L, False);
    XFlush(display);
}

/* The clipboard's text as the program put it there, printed as one line; 0 when it is not
   handed over. The answer is known by its time: the moment the program took the clipboard. */
static int printClipboard(void) {
    XConvertSelection(display, clipboard, utf8, property, own, taken);
    XFlush(display);
    if (!awaitEvent(textArrived, 10)) return 0;
    Atom type;
    int format;
    unsigned long length, after;
    unsigned char* text = NULL;
    XGetWindowProperty(display, own, property, 0, 1 << 20, True, AnyPropertyType, &type, &format, &length, &after,
                       &text);
    if (type == None) return 0; /* refused */
    printf("%.*s\n", (int)length, text ? (const char*)text : "");
    XFree(text);
    return 1;
}

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: copy_fields WINDOW-ID < positions\n");
        return 2;
    }
    int fixesError;
    display = XOpenDisplay(NULL);
    if (!display || !XFixesQueryExtension(display, &fixesEvent, &fixesError)) {
        fprintf(stderr, "copy_fields: no display with XFIXES\n");
        return 1;
    }
    Window window = (Window)strtoul(argv[1], NULL, 0);
    own = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    clipboard = XInternAtom(display, "CLIPBOARD", False);
    utf8 = XInternAtom(display, "UTF8_STRING", False);
    property = XInternAtom(display, "COPY_FIELDS", False);
    nudge = XInternAtom(display, "COPY_FIELDS_NUDGE", False);
    XFixesSelectSelectionInput(display, own, clipboard, XFixesSetSelectionOwnerNotifyMask);
    int x, y, field = 0;
    while (scanf("%d %d", &x, &y) == 2) {
        ++field;
        int copied = 0;
        for (int attempt = 0; attempt < 4 && !copied; ++attempt) {
            forgetEvents();
            clickAndCopy(window, x, y);
            copied = awaitEvent(ownerChanged, 3);
        }
        if (!copied || !printClipboard()) {
            fprintf(stderr, "copy_fields: field %d at %d %d was not copied\n", field, x, y);
            return 1;
        }
        fflush(stdout);
    }
    return 0;
}
