// The desktop clipboard under X: text and pictures go between the program
// and another desktop program (xclip) both ways, while the program keeps
// polling its events so it can answer requests for what it copied.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/clipboard_image.h"
#include "platform/os/core/child_process.h"
#include "platform/os/os_clipboard.h"
#include "platform/os/os_window.h"
#include "tests/gui/gui_harness.h"
#include "tests/support/test_support.h"

// Last: Xlib's macros (None, Bool...) must not reach the headers above.
#include <X11/Xlib.h>

namespace pirn {
namespace {

class ClipboardGuiTest : public ::testing::Test {
protected:
    void SetUp() override {
        PIRN_REQUIRE_DISPLAY();
        if (!pirn_test::HaveProgram("xclip")) GTEST_SKIP() << "xclip is not installed";
        ASSERT_TRUE(pirn_test::GuiWindow::Open("Pirn GUI Test", 640, 480));
    }
    void TearDown() override {
        // Taking the clipboard back ends any xclip still serving it.
        if (pirn_test::GuiWindow::IsOpen()) OsSetClipboardText("");
        pirn_test::PumpFor(0.05);
    }

    // The window owning CLIPBOARD right now, seen from a connection of the
    // test's own.
    static Window ClipboardOwner() {
        static Display* display = XOpenDisplay(nullptr);
        if (display == nullptr) return None;
        return XGetSelectionOwner(display, XInternAtom(display, "CLIPBOARD", False));
    }

    // xclip -i leaves a helper that takes the clipboard, possibly after xclip
    // itself has ended: wait until the owner has changed.
    static void XclipIn(const std::vector<std::string>& args, int* exit_code) {
        const Window before = ClipboardOwner();
        // The file to read comes last, after -i.
        std::vector<std::string> with_input(args.begin(), args.end() - 1);
        with_input.push_back("-i");
        with_input.push_back(args.back());
        Xclip(with_input, exit_code);
        EXPECT_TRUE(pirn_test::PumpUntil([&] { return ClipboardOwner() != before; }))
            << "xclip never took the clipboard";
    }

    // Runs xclip while the program keeps polling its events; its output.
    static std::string Xclip(const std::vector<std::string>& args, int* exit_code = nullptr) {
        // A limit so that a request nobody answers fails the test instead
        // of hanging it.
        std::vector<std::string> argv = {"timeout", "30", "xclip", "-selection", "clipboard"};
        argv.insert(argv.end(), args.begin(), args.end());
        ChildProcessResult result;
        EXPECT_TRUE(RunChildProcess(argv, [] { OsPollEvents(); return false; }, &result));
        if (exit_code != nullptr) *exit_code = result.exit_code;
        return result.output;
    }

    // Pixels that do not compress much, so a large picture really is large.
    static std::vector<u8> Noise(u32 width, u32 height) {
        std::vector<u8> rgb(std::size_t(width) * height * 3);
        u32 state = 12345;
        for (u8& b : rgb) {
            state = state * 1664525u + 1013904223u;
            b = static_cast<u8>(state >> 24);
        }
        return rgb;
    }

    pirn_test::TempDir dir_;
};

TEST_F(ClipboardGuiTest, TextBothWaysThroughTheCharacterMap) {
    ASSERT_TRUE(OsSetClipboardText("Caf\x8E \xA5 20\xA1"));
    EXPECT_EQ(Xclip({"-t", "UTF8_STRING", "-o"}), "Caf\xC3\xA9 \xE2\x80\xA2 20\xC2\xB0");

    pirn_test::WriteAll(dir_.file("text.txt"), std::string("na\xC3\xAFve \xE2\x82\xAC"));
    int code = -1;
    XclipIn({"-t", "UTF8_STRING", dir_.file("text.txt")}, &code);
    ASSERT_EQ(code, 0);
    std::string text;
    ASSERT_TRUE(OsGetClipboardText(&text));
    EXPECT_EQ(text, "na\x95ve \xFF");
}

TEST_F(ClipboardGuiTest, OtherProgramsPasteWhatThePictureCopyOffers) {
    const std::vector<u8> rgb = Noise(7, 5);
    ASSERT_TRUE(OsSetClipboardImage(rgb.data(), 7, 5));

    const std::string targets = Xclip({"-t", "TARGETS", "-o"});
    EXPECT_NE(targets.find("image/png"), std::string::npos) << targets;
    EXPECT_NE(targets.find("image/bmp"), std::string::npos) << targets;

    for (const char* type : {"image/png", "image/bmp"}) {
        const std::string bytes = Xclip({"-t", type, "-o"});
        ClipboardImage image;
        ASSERT_TRUE(DecodeClipboardImage(type, reinterpret_cast<const u8*>(bytes.data()), bytes.size(), &image))
            << type << ": " << bytes.size() << " bytes";
        EXPECT_EQ(image.width, 7u);
        EXPECT_EQ(image.height, 5u);
        EXPECT_EQ(image.rgb, rgb) << type;
    }
    if (pirn_test::HaveProgram("pngcheck")) {
        pirn_test::WriteAll(dir_.file("copied.png"), Xclip({"-t", "image/png", "-o"}));
        EXPECT_EQ(pirn_test::RunProgram({"pngcheck", "-q", dir_.file("copied.png")}), 0);
    }

    // Pasting our own picture needs no trip through the server.
    std::vector<u8> back;
    u32 width = 0, height = 0;
    ASSERT_TRUE(OsGetClipboardImage(&back, &width, &height));
    EXPECT_EQ(back, rgb);
}

TEST_F(ClipboardGuiTest, LargePicturesGoInChunks) {
    // About 1 MB of PNG: larger than one property change is allowed to be.
    const std::vector<u8> rgb = Noise(600, 600);
    ASSERT_TRUE(OsSetClipboardImage(rgb.data(), 600, 600));
    const std::string bytes = Xclip({"-t", "image/png", "-o"});
    ClipboardImage image;
    ASSERT_TRUE(DecodeClipboardImage("image/png", reinterpret_cast<const u8*>(bytes.data()), bytes.size(), &image))
        << bytes.size() << " bytes";
    EXPECT_EQ(image.rgb, rgb);
}

TEST_F(ClipboardGuiTest, PicturesCopiedByOtherProgramsArePasted) {
    const std::vector<u8> rgb = Noise(9, 4);
    std::vector<u8> png, bmp;
    ASSERT_TRUE(EncodeClipboardImage("image/png", rgb.data(), 9, 4, &png));
    ASSERT_TRUE(EncodeClipboardImage("image/bmp", rgb.data(), 9, 4, &bmp));
    pirn_test::WriteAll(dir_.file("in.png"), png);
    pirn_test::WriteAll(dir_.file("in.bmp"), bmp);

    for (const char* type : {"image/png", "image/bmp"}) {
        int code = -1;
        XclipIn({"-t", type, dir_.file(std::string(type) == "image/png" ? "in.png" : "in.bmp")}, &code);
        ASSERT_EQ(code, 0);
        std::vector<u8> back;
        u32 width = 0, height = 0;
        ASSERT_TRUE(OsGetClipboardImage(&back, &width, &height)) << type;
        EXPECT_EQ(width, 9u);
        EXPECT_EQ(height, 4u);
        EXPECT_EQ(back, rgb) << type;
        std::string text;
        EXPECT_FALSE(OsGetClipboardText(&text));
    }

    // A picture from ImageMagick, when it is there, as a third opinion.
    if (pirn_test::HaveProgram("convert")) {
        ASSERT_EQ(pirn_test::RunProgram({"convert", "-size", "3x2", "xc:#FF8000", dir_.file("orange.png")}), 0);
        int code = -1;
        XclipIn({"-t", "image/png", dir_.file("orange.png")}, &code);
        std::vector<u8> back;
        u32 width = 0, height = 0;
        if (code == 0 && OsGetClipboardImage(&back, &width, &height)) {
            EXPECT_EQ(width, 3u);
            EXPECT_EQ(back, (std::vector<u8>{255, 128, 0, 255, 128, 0, 255, 128, 0, 255, 128, 0, 255, 128, 0, 255, 128, 0}));
        }
    }
}

TEST_F(ClipboardGuiTest, DamagedPicturesAreRefused) {
    const std::vector<u8> rgb = Noise(9, 4);
    std::vector<u8> bmp;
    ASSERT_TRUE(EncodeClipboardImage("image/bmp", rgb.data(), 9, 4, &bmp));
    bmp[22] = 40;  // forty rows claimed, four sent
    pirn_test::WriteAll(dir_.file("bad.bmp"), bmp);
    int code = -1;
    XclipIn({"-t", "image/bmp", dir_.file("bad.bmp")}, &code);
    ASSERT_EQ(code, 0);
    std::vector<u8> back;
    u32 width = 0, height = 0;
    EXPECT_FALSE(OsGetClipboardImage(&back, &width, &height));

    pirn_test::WriteAll(dir_.file("text.txt"), std::string("just text"));
    XclipIn({dir_.file("text.txt")}, &code);
    EXPECT_FALSE(OsGetClipboardImage(&back, &width, &height));
}

TEST_F(ClipboardGuiTest, AnOwnerThatNeverAnswersDoesNotFreezeAPaste) {
    // A program that takes the clipboard and then hangs: its connection
    // never reads the requests sent to it.
    Display* hung = XOpenDisplay(nullptr);
    ASSERT_NE(hung, nullptr);
    const ::Window window = XCreateSimpleWindow(hung, DefaultRootWindow(hung), 0, 0, 1, 1, 0, 0, 0);
    XSetSelectionOwner(hung, XInternAtom(hung, "CLIPBOARD", False), window, CurrentTime);
    XSync(hung, False);
    ASSERT_EQ(ClipboardOwner(), window);

    std::string text;
    EXPECT_FALSE(OsGetClipboardText(&text));
    std::vector<u8> rgb;
    u32 width = 0, height = 0;
    EXPECT_FALSE(OsGetClipboardImage(&rgb, &width, &height));
    XCloseDisplay(hung);
}

}  // namespace
}  // namespace pirn
