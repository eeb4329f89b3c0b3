// The arithmetic of start-up, kept free of the toolkit so it can be checked without a display:
// the version test and where the two windows go in the screen's work area.
#pragma once

#include <optional>
#include <string>

#include "query/probes.h"

namespace moravel {

struct ScreenRect {
    int x = 0, y = 0, w = 0, h = 0;
};

constexpr int kMainWindowWidth = 725;
constexpr int kMainWindowHeight = 755;
constexpr int kSmallScreenHeight = 800;  // work areas lower than this get the short window
constexpr int kShortMainWindowHeight = 690;
constexpr int kWaitWindowWidth = 400;
constexpr int kWaitWindowHeight = 50;

// Notice mode belongs to Windows 8 and 8.1 (6.2 and 6.3), where building the window used to
// take long enough to deserve a message box.
bool isNoticeVersion(const OsVersion& version);

// The one diagnostic line of the version test: major, tab, minor, line end.
std::string versionLine(const OsVersion& version);

struct VersionVerdict {
    OsVersion version;  // the numbers the line reports
    bool notice = false;
};

// A supplied version (a snapshot's) always decides. Otherwise the platform's own numbers are
// reported, and decide only where they are Windows numbers (`platformDecides`).
VersionVerdict judgeVersion(const std::optional<OsVersion>& supplied, const OsVersion& platform, bool platformDecides);

// The finished main window of size w x h: shortened on a small work area, then placed by the
// fixed half-sizes 362 and 377 of the full window, even when it was shortened. A position off
// the work area is passed on as it is.
ScreenRect placeMainWindow(const ScreenRect& workArea, int w, int h);

// The smallest size the user can give the main window: the short window's, at which every
// caption still fits beside its field, or the work area where that is smaller.
ScreenRect smallestMainWindow(const ScreenRect& workArea);

// The frame the system draws around a window's client area; `top` holds the title bar.
struct FrameSize {
    int left = 0, top = 0, right = 0, bottom = 0;
};

// The placed main window (placeMainWindow's, its client area) moved so that its frame, title
// bar included, lies inside the work area: left where it is when it does; else moved in, on each
// axis, only as far as that takes; on an axis where the framed window is larger than the work
// area, at the work area's start and shrunk to what the frame leaves.
ScreenRect keepFrameInWorkArea(const ScreenRect& placed, const FrameSize& frame, const ScreenRect& workArea);

// What the work area leaves a window's client area once the frame is drawn around it.
ScreenRect clientArea(const ScreenRect& workArea, const FrameSize& frame);

// The wait window, centred in the work area.
ScreenRect placeWaitWindow(const ScreenRect& workArea);

}  // namespace moravel
