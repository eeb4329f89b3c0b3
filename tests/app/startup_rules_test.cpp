// Start-up arithmetic: no display needed.
#include <gtest/gtest.h>

#include "app/startup_rules.h"

namespace moravel {
namespace {

TEST(VersionTest, OnlyWindowsEightAndEightOneAskForTheNotice) {
    EXPECT_TRUE(isNoticeVersion({6, 2}));
    EXPECT_TRUE(isNoticeVersion({6, 3}));
    EXPECT_TRUE(isNoticeVersion({6, 4}));  // any later 6.x, compared as unsigned
    for (OsVersion older : {OsVersion{5, 1}, OsVersion{6, 0}, OsVersion{6, 1}, OsVersion{10, 0}, OsVersion{0, 0},
                            OsVersion{7, 2}, OsVersion{5, 2}})
        EXPECT_FALSE(isNoticeVersion(older)) << older.major << "." << older.minor;
}

TEST(VersionTest, LineIsMajorTabMinorLineEnd) {
    EXPECT_EQ(versionLine({6, 1}), "6\t1\n");
    EXPECT_EQ(versionLine({10, 0}), "10\t0\n");
    EXPECT_EQ(versionLine({}), "0\t0\n");
    EXPECT_EQ(versionLine({4294967295u, 12}), "4294967295\t12\n");
}

TEST(VersionTest, SuppliedVersionDecidesEverywhere) {
    VersionVerdict v = judgeVersion(OsVersion{6, 2}, OsVersion{5, 15}, false);
    EXPECT_TRUE(v.notice);
    EXPECT_EQ(versionLine(v.version), "6\t2\n");

    v = judgeVersion(OsVersion{6, 1}, OsVersion{6, 3}, true);
    EXPECT_FALSE(v.notice);
    EXPECT_EQ(versionLine(v.version), "6\t1\n");
}

TEST(VersionTest, PlatformNumbersDecideOnlyWhereTheyAreWindowsNumbers) {
    // A Linux 6.3 kernel is reported but does not ask for the notice.
    VersionVerdict v = judgeVersion(std::nullopt, OsVersion{6, 3}, false);
    EXPECT_FALSE(v.notice);
    EXPECT_EQ(versionLine(v.version), "6\t3\n");

    EXPECT_TRUE(judgeVersion(std::nullopt, OsVersion{6, 3}, true).notice);
    EXPECT_FALSE(judgeVersion(std::nullopt, OsVersion{6, 1}, true).notice);
    EXPECT_FALSE(judgeVersion(std::nullopt, OsVersion{}, true).notice);
}

TEST(MainWindowPlacement, SmallWorkAreaShortensTheWindowButKeepsTheOffsets) {
    ScreenRect r = placeMainWindow({0, 0, 1280, 799}, 725, 755);
    EXPECT_EQ(r.w, 725);
    EXPECT_EQ(r.h, 690);
    EXPECT_EQ(r.x, 640 - 362);
    EXPECT_EQ(r.y, 399 - 377);  // 22: the full window's half height, not 345

    r = placeMainWindow({0, 0, 1280, 800}, 725, 755);
    EXPECT_EQ(r.h, 755);
    EXPECT_EQ(r.y, 400 - 377);
}

TEST(MainWindowPlacement, WorkAreaOriginShiftsThePosition) {
    ScreenRect r = placeMainWindow({100, 30, 1920, 1040}, 725, 755);
    EXPECT_EQ(r.x, 100 + 960 - 362);
    EXPECT_EQ(r.y, 30 + 520 - 377);
    EXPECT_EQ(r.w, 725);
    EXPECT_EQ(r.h, 755);
}

TEST(MainWindowPlacement, OddSizesHalveDownAndNegativePositionsPassThrough) {
    ScreenRect r = placeMainWindow({0, 0, 641, 481}, 725, 755);
    EXPECT_EQ(r.x, 320 - 362);
    EXPECT_EQ(r.y, 240 - 377);
    EXPECT_EQ(r.h, 690);

    r = placeMainWindow({-1920, -50, 1920, 1080}, 725, 755);
    EXPECT_EQ(r.x, -1920 + 960 - 362);
    EXPECT_EQ(r.y, -50 + 540 - 377);
}

TEST(MainWindowPlacement, SmallestSizeIsTheShortWindowOrTheWorkArea) {
    ScreenRect r = smallestMainWindow({0, 0, 1920, 1040});
    EXPECT_EQ(r.w, 725);
    EXPECT_EQ(r.h, 690);
    r = smallestMainWindow({0, 0, 640, 480});
    EXPECT_EQ(r.w, 640);
    EXPECT_EQ(r.h, 480);
}

// A Windows frame: borders of 8, a title bar of 23 above the top border.
constexpr FrameSize kFrame{8, 31, 8, 8};

bool frameInside(const ScreenRect& client, const ScreenRect& area) {
    return client.x - kFrame.left >= area.x && client.y - kFrame.top >= area.y &&
           client.x + client.w + kFrame.right <= area.x + area.w && client.y + client.h + kFrame.bottom <= area.y + area.h;
}

TEST(MainWindowFrame, AWindowWhoseFrameFitsStaysWhereItWasPlaced) {
    for (ScreenRect area : {ScreenRect{0, 0, 1920, 1040}, ScreenRect{0, 0, 1280, 1024}, ScreenRect{-1920, 40, 1920, 1040}}) {
        const ScreenRect placed = placeMainWindow(area, 725, 755);
        const ScreenRect kept = keepFrameInWorkArea(placed, kFrame, area);
        EXPECT_EQ(kept.x, placed.x);
        EXPECT_EQ(kept.y, placed.y);
        EXPECT_EQ(kept.w, placed.w);
        EXPECT_EQ(kept.h, placed.h);
    }
}

// 799 high: the short window fits, but its title bar would stand 9 pixels above the work area.
TEST(MainWindowFrame, ATitleBarAboveTheWorkAreaComesDownJustEnough) {
    const ScreenRect area{0, 0, 1280, 799};
    const ScreenRect kept = keepFrameInWorkArea(placeMainWindow(area, 725, 755), kFrame, area);
    EXPECT_EQ(kept.x, 640 - 362);
    EXPECT_EQ(kept.y, 31);
    EXPECT_EQ(kept.h, 690);
    EXPECT_TRUE(frameInside(kept, area));
}

// 1366 x 680 and 1024 x 600, task bar below: too low for the short window and its frame. It opens
// at the work area's top, as high as the frame leaves; across, it fits and stays centred.
TEST(MainWindowFrame, ATooLowWorkAreaGetsTheWindowAtItsTopShrunkToFit) {
    for (ScreenRect area : {ScreenRect{0, 0, 1366, 640}, ScreenRect{0, 0, 1024, 560}, ScreenRect{100, 30, 1024, 560}}) {
        const ScreenRect kept = keepFrameInWorkArea(placeMainWindow(area, 725, 755), kFrame, area);
        EXPECT_EQ(kept.y, area.y + kFrame.top);
        EXPECT_EQ(kept.h, area.h - kFrame.top - kFrame.bottom);
        EXPECT_EQ(kept.x, area.x + area.w / 2 - 362);
        EXPECT_EQ(kept.w, 725);
        EXPECT_TRUE(frameInside(kept, area));
        const ScreenRect smallest = smallestMainWindow(clientArea(area, kFrame));
        EXPECT_EQ(smallest.h, kept.h);  // the user can shrink it that far, no further needed
    }
}

TEST(MainWindowFrame, ATooSmallWorkAreaGetsTheWindowAtItsTopLeft) {
    const ScreenRect area{0, 0, 640, 480};
    const ScreenRect kept = keepFrameInWorkArea(placeMainWindow(area, 725, 755), kFrame, area);
    EXPECT_EQ(kept.x, 8);
    EXPECT_EQ(kept.y, 31);
    EXPECT_EQ(kept.w, 640 - 16);
    EXPECT_EQ(kept.h, 480 - 39);
    EXPECT_TRUE(frameInside(kept, area));
    // Without a frame of its own (the window manager's), the client area is kept inside.
    const ScreenRect bare = keepFrameInWorkArea(placeMainWindow(area, 725, 755), FrameSize{}, area);
    EXPECT_EQ(bare.x, 0);
    EXPECT_EQ(bare.y, 0);
    EXPECT_EQ(bare.w, 640);
    EXPECT_EQ(bare.h, 480);
}

TEST(WaitWindowPlacement, CentredInTheWorkArea) {
    ScreenRect r = placeWaitWindow({0, 0, 1920, 1040});
    EXPECT_EQ(r.x, 760);
    EXPECT_EQ(r.y, 495);
    EXPECT_EQ(r.w, 400);
    EXPECT_EQ(r.h, 50);

    r = placeWaitWindow({10, 20, 801, 601});
    EXPECT_EQ(r.x, 10 + 400 - 200);
    EXPECT_EQ(r.y, 20 + 300 - 25);
}

}  // namespace
}  // namespace moravel
