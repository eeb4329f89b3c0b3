#include "app/startup_rules.h"

#include <algorithm>

namespace moravel {
namespace {
constexpr int kCentreOffsetX = 362;  // half of 725
constexpr int kCentreOffsetY = 377;  // half of 755, also for the short window
}  // namespace

bool isNoticeVersion(const OsVersion& version) { return version.major == 6 && version.minor >= 2; }

std::string versionLine(const OsVersion& version) {
    return std::to_string(version.major) + '\t' + std::to_string(version.minor) + '\n';
}

VersionVerdict judgeVersion(const std::optional<OsVersion>& supplied, const OsVersion& platform, bool platformDecides) {
    if (supplied) return {*supplied, isNoticeVersion(*supplied)};
    return {platform, platformDecides && isNoticeVersion(platform)};
}

ScreenRect placeMainWindow(const ScreenRect& workArea, int w, int h) {
    if (workArea.h < kSmallScreenHeight) {
        w = kMainWindowWidth;
        h = kShortMainWindowHeight;
    }
    return {workArea.x + workArea.w / 2 - kCentreOffsetX, workArea.y + workArea.h / 2 - kCentreOffsetY, w, h};
}

ScreenRect smallestMainWindow(const ScreenRect& workArea) {
    return {0, 0, std::min(kMainWindowWidth, workArea.w), std::min(kShortMainWindowHeight, workArea.h)};
}

namespace {

struct Span {
    int start, length;
};

// One axis of keepFrameInWorkArea: the client's span, the frame before and after it, the area.
Span keepInside(Span client, int before, int after, Span area) {
    if (client.length + before + after > area.length)
        return {area.start + before, std::max(area.length - before - after, 1)};
    const int outer = std::clamp(client.start - before, area.start, area.start + area.length - client.length - before - after);
    return {outer + before, client.length};
}

}  // namespace

ScreenRect keepFrameInWorkArea(const ScreenRect& placed, const FrameSize& frame, const ScreenRect& workArea) {
    const Span x = keepInside({placed.x, placed.w}, frame.left, frame.right, {workArea.x, workArea.w});
    const Span y = keepInside({placed.y, placed.h}, frame.top, frame.bottom, {workArea.y, workArea.h});
    return {x.start, y.start, x.length, y.length};
}

ScreenRect clientArea(const ScreenRect& workArea, const FrameSize& frame) {
    return {workArea.x + frame.left, workArea.y + frame.top, std::max(workArea.w - frame.left - frame.right, 1),
            std::max(workArea.h - frame.top - frame.bottom, 1)};
}

ScreenRect placeWaitWindow(const ScreenRect& workArea) {
    return {workArea.x + workArea.w / 2 - kWaitWindowWidth / 2, workArea.y + workArea.h / 2 - kWaitWindowHeight / 2,
            kWaitWindowWidth, kWaitWindowHeight};
}

}  // namespace moravel
