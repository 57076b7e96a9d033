// The About box as a user opens it from the Help menu, checked in the
// pixels on screen: the picture of res/pirn.bmp on the left, and beside it
// every line of the credits, none cut at the edges or lost below the
// bottom; a click closes it and the program still quits cleanly.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "app/about_credits.h"
#include "tests/e2e/program_fixture.h"

namespace pirn_test {
namespace {

// A 24-bit BMP read straight from its layout (rows bottom-up, padded to
// four bytes, blue first), not through the program's reader.
struct RgbPicture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;  // rows top-down
    const uint8_t* At(int x, int y) const { return &rgb[(size_t(y) * size_t(width) + size_t(x)) * 3]; }
};

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}

RgbPicture ReadBmp24(const std::string& path) {
    RgbPicture p;
    const std::vector<uint8_t> b = ReadAll(path);
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M' || b[28] != 24) return p;
    const size_t offset = Le32(b, 10);
    const int width = int(Le32(b, 18));
    const int height = int(int32_t(Le32(b, 22)));
    if (width <= 0 || height <= 0) return p;
    const size_t stride = (size_t(width) * 3 + 3) / 4 * 4;
    if (offset + stride * size_t(height) > b.size()) return p;
    p.width = width;
    p.height = height;
    p.rgb.resize(size_t(width) * size_t(height) * 3);
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = &b[offset + stride * size_t(height - 1 - y)];
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c) p.rgb[(size_t(y) * size_t(width) + size_t(x)) * 3 + size_t(c)] = row[x * 3 + 2 - c];
    }
    return p;
}

// The non-empty lines of a text.
int CountTextLines(const std::string& text) {
    std::istringstream in(text);
    std::string line;
    int n = 0;
    while (std::getline(in, line)) n += !line.empty();
    return n;
}

struct Area {
    int left = 0, top = 0, right = 0, bottom = 0;
};

// Text ink: the white of the credits against the dark pattern behind them.
bool IsInk(const unsigned char* p) { return p[0] > 200 && p[1] > 200 && p[2] > 200; }

// Rows of the area with ink, as bands of consecutive rows: one per line of
// text.
std::vector<std::pair<int, int>> InkBands(const Screenshot& shot, const Area& a) {
    std::vector<std::pair<int, int>> bands;
    bool inBand = false;
    for (int y = a.top; y < a.bottom; ++y) {
        bool ink = false;
        for (int x = a.left; x < a.right && !ink; ++x) ink = IsInk(shot.At(x, y));
        if (ink && !inBand) bands.push_back({y, y});
        if (ink) bands.back().second = y;
        inBand = ink;
    }
    return bands;
}

int InkIn(const Screenshot& shot, const Area& a) {
    int n = 0;
    for (int y = a.top; y < a.bottom; ++y)
        for (int x = a.left; x < a.right; ++x) n += IsInk(shot.At(x, y));
    return n;
}

// Mean difference per channel between the picture and the screen at the
// picture's place, over a grid of points.
double PictureDifference(const Screenshot& shot, const RgbPicture& picture, int left, int top) {
    double sum = 0;
    int n = 0;
    for (int y = 0; y < picture.height; y += 3)
        for (int x = 0; x < picture.width; x += 3) {
            const int sx = left + x, sy = top + y;
            if (sx < 0 || sy < 0 || sx >= shot.width || sy >= shot.height) return 255;
            for (int c = 0; c < 3; ++c) sum += std::abs(int(shot.At(sx, sy)[c]) - int(picture.At(x, y)[c]));
            n += 3;
        }
    return n ? sum / n : 255;
}

constexpr int kCreditsWidth = 384;  // beside the picture

bool Click(const std::string& window, int x, int y) {
    return Xdotool(window, {"mousemove", "--window", "{win}", std::to_string(x), std::to_string(y), "click", "1"});
}

bool ClickReported(const std::string& window, const ReportedWindow& w) {
    return Click(window, w.x + w.width / 2, w.y + w.height / 2);
}

using AboutBoxE2eTest = PirnProgramTest;

TEST_F(AboutBoxE2eTest, ShowsThePictureAndEveryCreditLineInsideItsArea) {
    PrepareWorkingFolder();
    WriteAll(dir_.file("res/prefs.txt"), "ShowSplash 0\nOsWindowSizeX 1024\nOsWindowSizeY 768\n");
    const RgbPicture picture = ReadBmp24(dir_.file("res/pirn.bmp"));
    ASSERT_GT(picture.width, 0) << "no 24-bit res/pirn.bmp in the run folder";
    const std::string window = StartProgram();
    ASSERT_FALSE(window.empty());

    // Help, then "About Pirn..." in its column.
    WindowReport report = WaitForWindows("the Help menu", [](const WindowReport& r) { return r.Find("MenuItem", "Help"); });
    const ReportedWindow* help = report.Find("MenuItem", "Help");
    ASSERT_NE(help, nullptr);
    ASSERT_TRUE(ClickReported(window, *help));
    report = WaitForWindows("the About item shown", [](const WindowReport& r) {
        const ReportedWindow* item = r.Find("MenuItem", "About Pirn...");
        return item && item->visible;
    });
    const ReportedWindow* item = report.Find("MenuItem", "About Pirn...");
    ASSERT_NE(item, nullptr);
    ASSERT_TRUE(ClickReported(window, *item));
    report = WaitForWindows("the About box", [](const WindowReport& r) {
        const ReportedWindow* box = r.Find("PirnSplashScreen");
        return box && box->visible && r.modal == "PirnSplashScreen";
    });
    const ReportedWindow* box = report.Find("PirnSplashScreen");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->title, "About Pirn");

    // The client area is the picture's height and the picture's width plus
    // the credits'; the borders are what is left of the frame.
    const int borders = box->width - picture.width - kCreditsWidth;
    ASSERT_TRUE(borders >= 0 && borders % 2 == 0)
        << "the About box is " << box->width << " wide for a picture " << picture.width << " wide";
    const int clientLeft = box->x + borders / 2;
    const int clientBottom = box->y + box->height - borders / 2;
    const int clientTop = clientBottom - picture.height;

    // Drawing follows the report: wait until the picture is on screen.
    Screenshot shot;
    const bool pictureShown = WaitUntil([&] {
        shot = CaptureWindow(window);
        return !shot.empty() && PictureDifference(shot, picture, clientLeft, clientTop) < 6.0;
    });
    Shot(window, "about-box");
    ASSERT_TRUE(pictureShown) << "the About box does not show res/pirn.bmp (mean difference "
                              << PictureDifference(shot, picture, clientLeft, clientTop) << ")";

    // Every line of the credits shows, inside the credits' area: no ink at
    // its edges (a line cut there), one band of ink per line (a line lost
    // below the bottom is missing from the count).
    const Area credits{clientLeft + picture.width, clientTop, clientLeft + picture.width + kCreditsWidth, clientBottom};
    const int edge = 2;
    EXPECT_EQ(InkIn(shot, Area{credits.left, credits.top, credits.left + edge, credits.bottom}), 0) << "at the left";
    EXPECT_EQ(InkIn(shot, Area{credits.right - edge, credits.top, credits.right, credits.bottom}), 0) << "at the right";
    EXPECT_EQ(InkIn(shot, Area{credits.left, credits.top, credits.right, credits.top + edge}), 0) << "at the top";
    EXPECT_EQ(InkIn(shot, Area{credits.left, credits.bottom - edge, credits.right, credits.bottom}), 0)
        << "at the bottom";
    EXPECT_EQ(int(InkBands(shot, credits).size()), CountTextLines(pirn::AboutCredits()));

    // A click closes it at once.
    ASSERT_TRUE(Click(window, clientLeft + 20, clientTop + 20));
    WaitForWindows("the About box closed", [](const WindowReport& r) {
        const ReportedWindow* about = r.Find("PirnSplashScreen");
        return about && !about->visible && r.modal == "-";
    });
    Quit(window);
    EXPECT_TRUE(Contains(Log(), "Graceful shutdown complete"));
}

}  // namespace
}  // namespace pirn_test
