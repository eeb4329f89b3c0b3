/* Time to window, from X events: how long after a program starts its window is mapped and drawn.

   window_probe TITLE -- PROGRAM [ARGS...]

   The probe connects to the display first, asks for the root window's structure events (a
   top-level window's MapNotify) and for XDamage reports of everything drawn on the screen, and
   only then starts the program. It prints, in milliseconds since the program was started:
     map=   the MapNotify of the first top-level window whose name contains TITLE
     first= the first drawing inside that window after it was mapped
     drawn= the last drawing inside it before the screen stays unchanged for QUIET_MS (200 ms),
            that is when the window's first complete picture is on the screen.
   Every time is the arrival of an event; the probe never polls. The program is ended with
   SIGTERM afterwards. Exit status 1 when no such window appears within 20 s. */
#define _GNU_SOURCE
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xdamage.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

enum { kQuietMs = 200, kGiveUpMs = 20000 };

static double nowMs(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

static int nameContains(Display* display, Window window, const char* title) {
    char* name = NULL;
    int found = XFetchName(display, window, &name) && name && strstr(name, title);
    if (name) XFree(name);
    return found;
}

static int overlaps(const XRectangle* a, const XWindowAttributes* w) {
    return a->x < w->x + w->width && w->x < a->x + a->width && a->y < w->y + w->height && w->y < a->y + a->height;
}

/* Waits for the next event until `deadline`; 0 when the time ran out first. */
static int nextEvent(Display* display, XEvent* event, double deadline) {
    while (!XPending(display)) {
        double left = deadline - nowMs();
        if (left <= 0) return 0;
        struct pollfd connection = {ConnectionNumber(display), POLLIN, 0};
        poll(&connection, 1, (int)left + 1);
    }
    XNextEvent(display, event);
    return 1;
}

/* A window may be gone by the time its name is asked for (a splash window): not an error here. */
static int ignoreError(Display* display, XErrorEvent* error) {
    (void)display;
    (void)error;
    return 0;
}

int main(int argc, char** argv) {
    if (argc < 4 || strcmp(argv[2], "--") != 0) {
        fprintf(stderr, "usage: window_probe TITLE -- PROGRAM [ARGS...]\n");
        return 2;
    }
    const char* title = argv[1];
    Display* display = XOpenDisplay(NULL);
    if (!display) {
        fprintf(stderr, "window_probe: cannot open the display\n");
        return 2;
    }
    int damageEvent, damageError;
    if (!XDamageQueryExtension(display, &damageEvent, &damageError)) {
        fprintf(stderr, "window_probe: the display has no DAMAGE extension\n");
        return 2;
    }
    XSetErrorHandler(ignoreError);
    Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    Damage damage = XDamageCreate(display, root, XDamageReportRawRectangles);
    XSync(display, False);

    double start = nowMs();
    pid_t child = fork();
    if (child == 0) {
        close(ConnectionNumber(display));
        if (!getenv("PROBE_KEEP_OUTPUT")) { /* a program's output is not the probe's */
            freopen("/dev/null", "w", stdout);
            freopen("/dev/null", "w", stderr);
        }
        execvp(argv[3], argv + 3);
        _exit(127);
    }
    Window window = 0;
    XWindowAttributes where;
    double mapped = -1, first = -1, drawn = -1;
    double deadline = start + kGiveUpMs;
    XEvent event;
    while (nextEvent(display, &event, deadline)) {
        double at = nowMs() - start;
        if (!window && event.type == MapNotify && nameContains(display, event.xmap.window, title)) {
            window = event.xmap.window;
            XGetWindowAttributes(display, window, &where);
            mapped = at;
        } else if (window && event.type == damageEvent + XDamageNotify) {
            const XDamageNotifyEvent* d = (const XDamageNotifyEvent*)&event;
            if (!overlaps(&d->area, &where)) continue;
            if (first < 0) first = at;
            drawn = at;
            deadline = nowMs() + kQuietMs;
        }
    }
    XDamageDestroy(display, damage);
    XCloseDisplay(display);
    kill(child, SIGTERM);
    waitpid(child, NULL, 0);
    if (mapped < 0) {
        fprintf(stderr, "window_probe: no window named like \"%s\" appeared\n", title);
        return 1;
    }
    printf("map=%.2f first=%.2f drawn=%.2f\n", mapped, first, drawn);
    return 0;
}
