// The collection builders as a user meets them: the program under Xvfb
// with the "Build Standard Collection" dialog, then the "Build High-Res
// Collection" dialog, driven with xdotool over the demo game's frames; the
// tags they write are read back from the local folder and checked against
// what the frames say.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "codex/four_char_code.h"
#include "codex/tag_header.h"
#include "collections/collection_tag.h"
#include "tests/e2e/program_fixture.h"
#include "tools/demo_game/demo_game.h"

namespace pirn_test {
namespace {

namespace demo = pirn::demo;

bool LoadTagFile(const std::string& path, pirn::Collection* c) {
    const std::vector<uint8_t> bytes = ReadAll(path);
    pirn::TagHeader header{};
    if (!pirn::ParseTagHeader(&header, bytes.data(), bytes.size(), bytes.size())) return false;
    std::FILE* stream = std::fopen(path.c_str(), "rb");
    if (!stream) return false;
    const bool ok = pirn::LoadCollection(c, stream, &header, true) == 1;
    std::fclose(stream);
    return ok;
}

class BuilderDialogsE2eTest : public PirnProgramTest {
protected:
    void SetUp() override {
        FindProgram("PIRN_BUILDER_DIALOGS_HOST");
        if (IsSkipped() || HasFatalFailure()) return;
        CopyGeneratedFiles();
        std::string error;
        ASSERT_TRUE(demo::WriteDemoGame(demo::BuildDemoGame(), game(), &error)) << error;
    }

    std::string game() const { return dir_.path() + "/Zarnhold"; }
    std::string art(const char* which) const { return game() + "/art/" + which; }
    std::string local(const std::string& name) const { return game() + "/local/Collections/" + name; }
};

TEST_F(BuilderDialogsE2eTest, BuildsTheKnightThenItsHighResolutionViews) {
    // The fields as a previous session left them, but for the name.
    WriteAll(dir_.file("res/prefs.txt"),
             "ZarnPath \"" + game() + "\"\nShowSplash 0\nOsWindowSizeX 1024\nOsWindowSizeY 768\n" +
                 "AutoCollectionDialog.Path \"" + art(demo::kDemoStandardArt) + "\"\n" +
                 "AutoCollectionDialog.RegX \"20\"\nAutoCollectionDialog.RegY \"44\"\n" +
                 "AutoUpResDialog.Collection \"" + demo::kDemoKnightFramesId + "\"\n" +
                 "AutoUpResDialog.HighResPath \"" + art(demo::kDemoHighResArt) + "\"\n" +
                 "AutoUpResDialog.Scale \"2\"\nAutoUpResDialog.ScaleTolerance \"0.1\"\n" +
                 "AutoUpResDialog.ObjectScale \"1\"\n");
    ASSERT_TRUE(run_.Start(program_, dir_.path(), {"PIRN_NO_NATIVE_BOXES=1"}, output_.file("output.txt")));
    ASSERT_TRUE(WaitForMainLoop()) << Output();
    const std::string window = WaitForPirnWindow();
    ASSERT_FALSE(window.empty());
    // The dialog in the middle of the screen, drawn over the light desktop.
    Screenshot shot;
    ASSERT_TRUE(WaitUntil([&] {
        shot = CaptureWindow(window);
        return !shot.empty() && shot.CountColours() > 8;
    }));
    Shot(window, "build-standard-collection");

    // The name box has the focus: type the name, Enter presses OK.
    ASSERT_TRUE(Xdotool(window, {"type", "--window", "{win}", "--delay", "20", "Built Knight"}));
    ASSERT_TRUE(Xdotool(window, {"key", "--window", "{win}", "Return"}));
    ASSERT_TRUE(WaitUntil([&] { return Exists(local("Built Knight")); })) << Output();

    // The high-resolution dialog follows with its remembered fields.
    ASSERT_TRUE(WaitUntil([&] {
        shot = CaptureWindow(window);
        return !shot.empty();
    }));
    Shot(window, "build-high-res-collection");
    ASSERT_TRUE(Xdotool(window, {"key", "--window", "{win}", "Return"}));
    ASSERT_TRUE(WaitUntil([&] { return Exists(local(demo::kDemoKnightFramesName)); })) << Output();

    // Quit: the close request asks, Enter confirms.
    ASSERT_TRUE(WaitUntil([&] { return run_.Running(); }));
    ASSERT_TRUE(SendCloseRequest(window));
    int status = -1;
    ASSERT_TRUE(WaitUntil([&] {
        if (run_.Running()) Xdotool(window, {"key", "--window", "{win}", "Return"});
        return !run_.Running();
    })) << Output();
    run_.Wait(5.0, &status);
    EXPECT_EQ(status, 0) << Output();
    const std::vector<uint8_t> prefs = ReadAll(dir_.file("res/prefs.txt"));
    EXPECT_NE(std::string(prefs.begin(), prefs.end()).find("AutoCollectionDialog.Name \"Built Knight\""),
              std::string::npos);

    // What the frames say: every view's bitmap is its frame cut to the
    // figure, placed from the registration point.
    pirn::Collection built;
    pirn::InitCollection(&built);
    ASSERT_TRUE(LoadTagFile(local("Built Knight"), &built));
    EXPECT_EQ(built.bitmaps.size(), 40u);
    ASSERT_EQ(built.sequences.size(), 3u);
    const pirn::CollectionSequence& walk = *built.sequences[2];
    EXPECT_STREQ(walk.name, "walk");
    EXPECT_EQ(walk.view_count, 8);
    EXPECT_EQ(walk.frame_count, 5);
    const int sources[5] = {0, 1, 2, -1, 1};
    for (int f = 0; f < 5; ++f)
        for (int v = 0; v < 8; ++v) {
            const pirn::BitmapInstance& i = walk.frames[size_t(f)].instances[size_t(v)];
            if (sources[f] < 0) {
                EXPECT_EQ(i.standard.bitmap, nullptr);
                continue;
            }
            const demo::DemoKnightBounds box = demo::DemoKnightFrameBounds(demo::DemoKnightPose::kWalk, v, sources[f]);
            ASSERT_NE(i.standard.bitmap, nullptr);
            EXPECT_EQ(i.standard.x, demo::kDemoKnightRegistrationX - box.x0);
            EXPECT_EQ(i.standard.y, demo::kDemoKnightRegistrationY - box.y0);
        }
    EXPECT_EQ(built.sequences[0]->frame_count, 2);  // attack
    EXPECT_EQ(built.sequences[1]->view_count, 8);   // idle: 8 views by default

    // The archive's collection, now with a local copy that has every view's
    // picture at twice the size.
    pirn::Collection high;
    pirn::InitCollection(&high);
    ASSERT_TRUE(LoadTagFile(local(demo::kDemoKnightFramesName), &high));
    EXPECT_EQ(high.bitmaps.size(), 80u);
    int alternates = 0;
    for (const auto& sequence : high.sequences)
        for (const pirn::SequenceFrame& frame : sequence->frames)
            for (const pirn::BitmapInstance& i : frame.instances) {
                if (!i.standard.bitmap) continue;
                ++alternates;
                ASSERT_TRUE(i.flags & pirn::kInstanceHasAlternate);
                ASSERT_NE(i.alternate.bitmap, nullptr);
                EXPECT_EQ(i.alternate.bitmap->width, 2 * i.standard.bitmap->width);
                EXPECT_EQ(i.alternate.x, 2 * i.standard.x);
                EXPECT_EQ(i.alternate.y, 2 * i.standard.y);
                EXPECT_EQ(i.alternate.scale, 327680u);
            }
    EXPECT_EQ(alternates, 64);
}

}  // namespace
}  // namespace pirn_test
