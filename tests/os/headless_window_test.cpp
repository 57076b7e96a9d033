#include <gtest/gtest.h>

#include "platform/os/headless/headless_os.h"
#include "platform/os/os_beep.h"
#include "platform/os/os_input.h"
#include "platform/os/os_time.h"
#include "platform/os/os_window.h"
#include "platform/os/program_icon.h"

namespace pirn {
namespace {

class HeadlessWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        headless::Reset();
        ASSERT_EQ(OsInit(), 1);
    }
};

TEST_F(HeadlessWindowTest, ClockMovesOnlyWhenAdvancedOrSleptOn) {
    EXPECT_EQ(OsGetTime(), 0.0);
    headless::AdvanceTime(0.25);
    EXPECT_EQ(OsGetTime(), 0.25);
    OsSleep(0.001);
    EXPECT_DOUBLE_EQ(OsGetTime(), 0.251);
    OsSleep(-1.0);
    EXPECT_DOUBLE_EQ(OsGetTime(), 0.251);
    headless::SetTime(5.0);
    EXPECT_EQ(OsGetTime(), 5.0);
}

TEST_F(HeadlessWindowTest, WindowOpensOnceAndRecordsItsSettings) {
    EXPECT_EQ(OsSetWindow(0, 480, "Pirn", 0, 1), 0);
    ASSERT_EQ(OsSetWindow(1024, 768, "Pirn", 0, 1), 1);
    EXPECT_EQ(OsSetWindow(1024, 768, "Pirn", 0, 1), 0);  // one window only
    const auto& rec = headless::Record();
    EXPECT_EQ(rec.title, "Pirn");
    EXPECT_EQ(rec.vsync, 1);
    EXPECT_EQ(rec.fullscreen, 0);
    int w = 0, h = 0;
    OsGetFramebufferSize(&w, &h);
    EXPECT_EQ(w, 1024);
    EXPECT_EQ(h, 768);
    OsSetWindowTitle("Pirn - test");
    EXPECT_EQ(rec.title, "Pirn - test");
    OsSwapBuffers();
    OsSwapBuffers();
    EXPECT_EQ(rec.swaps, 2);
    EXPECT_EQ(OsGetNativeWindow(), 0u);
    EXPECT_EQ(OsGetProcAddress("glActiveTexture"), nullptr);
}

TEST_F(HeadlessWindowTest, FailedWindowAndFullScreen) {
    headless::FailNextWindow();
    EXPECT_EQ(OsSetWindow(1024, 768, "Pirn", 0, 0), 0);
    EXPECT_FALSE(headless::Record().windowOpen);
    headless::SetScreenSize(1600, 900);
    ASSERT_EQ(OsSetWindow(1024, 768, "Pirn", 1, 0), 1);
    int w = 0, h = 0;
    OsGetFramebufferSize(&w, &h);
    EXPECT_EQ(w, 1600);
    EXPECT_EQ(h, 900);
}

int g_sizeCalls = 0;
void CountSize(int, int) { ++g_sizeCalls; }

TEST_F(HeadlessWindowTest, WorkAreaAndMaximise) {
    headless::SetScreenSize(1280, 1024);
    headless::SetWorkArea(0, 24, 1280, 1000);
    int x, y, w, h;
    OsGetWorkArea(&x, &y, &w, &h);
    EXPECT_EQ(y, 24);
    EXPECT_EQ(h, 1000);
    ASSERT_EQ(OsSetWindow(1024, 768, "Pirn", 0, 0), 1);
    g_sizeCalls = 0;
    OsSetWindowSizeCallback(CountSize);
    OsMaximizeWindow();
    EXPECT_TRUE(headless::Record().maximized);
    OsGetFramebufferSize(&w, &h);
    EXPECT_EQ(w, 1280);
    EXPECT_EQ(h, 1000);
    EXPECT_EQ(g_sizeCalls, 1);
}

TEST_F(HeadlessWindowTest, BeepIconAndPointer) {
    ASSERT_EQ(OsSetWindow(640, 480, "Pirn", 0, 0), 1);
    OsBeep();
    OsBeep();
    EXPECT_EQ(headless::Record().beeps, 2);

    OsSetWindowIcon(nullptr, 0, 0);
    EXPECT_EQ(headless::Record().iconWidth, 32);
    EXPECT_EQ(headless::Record().icon, BuildProgramIcon(32));
    const u8 red[4] = {255, 0, 0, 255};
    OsSetWindowIcon(red, 1, 1);
    EXPECT_EQ(headless::Record().icon, std::vector<u8>(red, red + 4));

    OsSetMousePos(320, 240);
    int x = 0, y = 0;
    OsGetMousePos(&x, &y);
    EXPECT_EQ(x, 320);
    EXPECT_EQ(y, 240);
    OsSetPointerLock(1);
    EXPECT_TRUE(headless::Record().pointerLocked);
    OsSetPointerLock(0);
    EXPECT_FALSE(headless::Record().pointerLocked);
}

TEST(ProgramIcon, DrawnAtAnySizeWithTransparentCorners) {
    for (int size : {16, 32, 64}) {
        std::vector<u8> icon = BuildProgramIcon(size);
        ASSERT_EQ(icon.size(), static_cast<size_t>(size * size * 4));
        EXPECT_EQ(icon[3], 0) << size;                               // corner clear
        EXPECT_EQ(icon[((size / 2) * size + size / 2) * 4 + 3], 255) << size;  // centre drawn
    }
    EXPECT_EQ(BuildProgramIcon(0).size(), 16u * 16u * 4u);
    EXPECT_EQ(BuildProgramIcon(100000).size(), 256u * 256u * 4u);
}

}  // namespace
}  // namespace pirn
