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

ScreenRect placeWaitWindow(const ScreenRect& workArea) {
    return {workArea.x + workArea.w / 2 - kWaitWindowWidth / 2, workArea.y + workArea.h / 2 - kWaitWindowHeight / 2,
            kWaitWindowWidth, kWaitWindowHeight};
}

}  // namespace moravel
