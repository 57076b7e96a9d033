// The Archive Browser as a new user meets it, in the built program on a
// generated demo game: the tag tree at start, the working set changed and
// kept across a restart, and the tag commands, each checked on disk:
// copy to local, rename and re-id in the info window, duplicate, delete,
// a tag file dropped in by another program, and a tag held open in an
// editor (the program with a test viewer bound to text tags).

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/e2e/program_fixture.h"
#include "tools/fixture_bytes/big_endian_buffer.h"
#include "tools/fixture_bytes/tag_header_bytes.h"

namespace pirn_test {
namespace {

using pirn::u32;

// The browser's place on the 1024 x 768 screen, so that its lists stand
// where the test looks for them.
constexpr int kBrowserLeft = 0;
constexpr int kBrowserTop = 0;
constexpr int kBrowserRight = 1024;
constexpr int kBrowserBottom = 720;
// A point on the browser's title bar, right of every window the commands
// open (they cascade from the top left), left of its title buttons.
constexpr int kTitleX = 800;
constexpr int kTitleY = kMenuBarHeight + 12;
// A column through the archive lists, left of the splitter at 196.
constexpr int kListColumnX = 100;

class ArchiveBrowserE2eTest : public PirnProgramTest {
protected:
    void SetUp() override {
        PirnProgramTest::SetUp();
        if (IsSkipped()) return;
        PrepareDemoGame("0 " + std::to_string(kBrowserLeft) + " " + std::to_string(kBrowserTop) + " " +
                        std::to_string(kBrowserRight) + " " + std::to_string(kBrowserBottom));
    }

    std::string StartProgram(const std::string& program = "") {
        if (!program.empty()) program_ = program;
        return PirnProgramTest::StartProgram();
    }

    // Focus back to the tree: a click on the browser's title bar activates
    // it, and the tree had its focus last.
    void BackToBrowser(const std::string& window) {
        ASSERT_TRUE(Xdotool(window, {"mousemove", "--window", "{win}", std::to_string(kTitleX),
                                     std::to_string(kTitleY), "click", "1"}));
        SleepSeconds(0.3);
    }

    // The middle of the selected row of an archive list (the focused
    // list's selection is drawn in blue), or -1.
    static int SelectedListRowY(const Screenshot& shot) {
        int first = -1, last = -1;
        // Below the browser's title bar, which is blue as well.
        for (int y = kMenuBarHeight + kBrowserTop + 32; y < shot.height; ++y) {
            const unsigned char* p = shot.At(kListColumnX, y);
            const bool blue = p[2] > 180 && p[2] > p[0] + 60;
            if (blue && first < 0) first = y;
            if (blue) last = y;
            if (!blue && first >= 0) break;
        }
        return first < 0 ? -1 : (first + last) / 2;
    }

    // Right-clicks the selected item of the focused archive list and picks
    // the menu entry with that index.
    void ArchiveMenu(const std::string& window, int entry) {
        int y = -1;
        ASSERT_TRUE(WaitUntil([&] { return (y = SelectedListRowY(CaptureWindow(window))) >= 0; }))
            << "no selected archive";
        ASSERT_TRUE(Xdotool(window, {"mousemove", "--window", "{win}", std::to_string(kListColumnX),
                                     std::to_string(y), "click", "3"}));
        SleepSeconds(0.5);
        std::vector<std::string> keys(size_t(entry) + 1, "Down");
        keys.push_back("Return");
        ASSERT_TRUE(Keys(window, keys));
        SleepSeconds(0.5);
    }

    std::string Local(const std::string& relative) const { return game_ + "/local/" + relative; }
    bool WaitForFile(const std::string& path, bool present = true) {
        return WaitUntil([&] { return Exists(path) == present; }, 10.0);
    }
    static std::string HeaderName(const std::vector<uint8_t>& file) {
        return file.size() < 64 ? "" : std::string(reinterpret_cast<const char*>(&file[4]));
    }
    static u32 HeaderId(const std::vector<uint8_t>& file) {
        return file.size() < 64 ? 0 : pirn::fixture::ReadU32(file, 40);
    }

    // The screen dims behind a message box.
    bool WaitForBox(const std::string& window, const Screenshot& before, const std::string& name) {
        Screenshot now;
        const bool shown = WaitForQuitBox(window, before, true, &now);
        if (shown) Shot(window, name);
        return shown;
    }

};

size_t CountPixels(const Screenshot& shot, bool (*match)(const unsigned char*)) {
    size_t n = 0;
    for (int y = 0; y < shot.height; ++y)
        for (int x = 0; x < shot.width; ++x) n += match(shot.At(x, y));
    return n;
}

bool Orange(const unsigned char* p) { return p[0] > 220 && p[1] > 110 && p[1] < 175 && p[2] < 70; }
bool DimmedOrange(const unsigned char* p) { return p[0] > 100 && p[0] < 150 && p[1] > 50 && p[1] < 95 && p[2] < 40; }

TEST_F(ArchiveBrowserE2eTest, StartsOnTheDemoGameWithTheBrowserAndItsTagTree) {
    const std::string window = StartProgram();
    ASSERT_FALSE(window.empty());
    EXPECT_EQ(Log().back(), "Entering main loop...");
    Shot(window, "archive-browser");

    // All groups shown, the texts opened: local copies in orange (dimmed
    // while text tags have no editor in this program).
    ASSERT_TRUE(Keys(window, {"ctrl+t"}));
    Find(window, "Text (");
    ASSERT_TRUE(Keys(window, {"Right"}));
    Screenshot shot;
    EXPECT_TRUE(WaitUntil([&] {
        shot = CaptureWindow(window);
        return CountPixels(shot, Orange) + CountPixels(shot, DimmedOrange) > 30;
    })) << "no local copy listed in orange";
    Shot(window, "archive-browser-texts");
    Quit(window);
    EXPECT_EQ(Log().back(), "Graceful shutdown complete");
}

TEST_F(ArchiveBrowserE2eTest, TheWorkingSetIsKeptAcrossARestart) {
    std::string window = StartProgram();
    ASSERT_FALSE(window.empty());
    // Tree -> active list; the campaign archive goes inactive.
    ASSERT_TRUE(Keys(window, {"Tab"}));
    Find(window, "camp");
    ArchiveMenu(window, 1);  // "Deactivate Selection"
    Shot(window, "campaign-deactivated");
    Quit(window);
    EXPECT_EQ(PrefLine("CodexWorkingSet"), "\"zarnhold;terrain;Caf\\xC3\\xA9\\\\; Night Pack;Demo Addon;\"");

    // After a restart the campaign's own tags are not listed: its mesh
    // cannot be found, so nothing is copied.
    window = StartProgram();
    ASSERT_FALSE(window.empty());
    ASSERT_TRUE(Keys(window, {"ctrl+t"}));
    FindTag(window, "Meshes", "Mesh Cam");
    ASSERT_TRUE(Keys(window, {"ctrl+k"}));
    SleepSeconds(1.0);
    EXPECT_FALSE(Exists(Local("Meshes/Mesh Campaign")));

    // Activated again (inactive list: two tabs), the tree shows the
    // campaign and its mesh can be copied.
    ASSERT_TRUE(Keys(window, {"Tab", "Tab"}));
    Find(window, "camp");
    ArchiveMenu(window, 1);  // "Activate Selection"
    ASSERT_TRUE(Keys(window, {"Tab"}));
    FindTag(window, "Meshes", "Mesh Cam");
    ASSERT_TRUE(Keys(window, {"ctrl+k"}));
    EXPECT_TRUE(WaitForFile(Local("Meshes/Mesh Campaign")));
    EXPECT_EQ(HeaderName(ReadAll(Local("Meshes/Mesh Campaign"))), "Mesh Campaign");
    Shot(window, "campaign-activated");
    Quit(window);
    EXPECT_EQ(PrefLine("CodexWorkingSet"), "\"zarnhold;campaign;terrain;Caf\\xC3\\xA9\\\\; Night Pack;Demo Addon;\"");
}

TEST_F(ArchiveBrowserE2eTest, TagCommandsChangeTheLocalFolder) {
    const std::string window = StartProgram();
    ASSERT_FALSE(window.empty());
    ASSERT_TRUE(Keys(window, {"ctrl+t"}));

    // Copy to local: the campaign's copy of Unit Beta lands in local/Units/.
    FindTag(window, "Units", "Unit Beta");
    ASSERT_TRUE(Keys(window, {"ctrl+k"}));
    ASSERT_TRUE(WaitForFile(Local("Units/Unit Beta")));
    EXPECT_EQ(HeaderName(ReadAll(Local("Units/Unit Beta"))), "Unit Beta");

    // Rename and re-id in the info window; Control+S applies.
    ASSERT_TRUE(Keys(window, {"ctrl+i"}));
    SleepSeconds(0.5);
    ASSERT_TRUE(Keys(window, {"ctrl+a"}));
    ASSERT_TRUE(Type(window, "Unit Renamed"));
    ASSERT_TRUE(Keys(window, {"Tab"}));  // the subgroup, all selected
    ASSERT_TRUE(Type(window, "rn01"));
    Shot(window, "tag-info");
    ASSERT_TRUE(Keys(window, {"ctrl+s"}));
    ASSERT_TRUE(WaitForFile(Local("Units/Unit Renamed")));
    EXPECT_TRUE(WaitForFile(Local("Units/Unit Beta"), false));
    const std::vector<uint8_t> renamed = ReadAll(Local("Units/Unit Renamed"));
    EXPECT_EQ(HeaderName(renamed), "Unit Renamed");
    EXPECT_EQ(HeaderId(renamed), pirn::fixture::FourCC("rn01"));
    ASSERT_TRUE(Keys(window, {"ctrl+w"}));  // closes the info window

    // Duplicate: the name asked is "<name> copy"; Enter takes it.
    BackToBrowser(window);
    Find(window, "Unit Renamed");
    const Screenshot beforeDuplicate = CaptureWindow(window);
    ASSERT_TRUE(Keys(window, {"ctrl+d"}));
    ASSERT_TRUE(WaitForBox(window, beforeDuplicate, "duplicate-name"));
    ASSERT_TRUE(Keys(window, {"Return"}));
    ASSERT_TRUE(WaitForFile(Local("Units/Unit Renamed copy")));
    EXPECT_EQ(HeaderName(ReadAll(Local("Units/Unit Renamed copy"))), "Unit Renamed copy");

    // Delete asks first; "Delete" is the first button.
    SleepSeconds(0.5);
    Find(window, "Unit Renamed copy");
    const Screenshot beforeDelete = CaptureWindow(window);
    ASSERT_TRUE(Keys(window, {"Delete"}));
    ASSERT_TRUE(WaitForBox(window, beforeDelete, "confirm-deletion"));
    EXPECT_TRUE(Exists(Local("Units/Unit Renamed copy")));
    ASSERT_TRUE(Keys(window, {"Return"}));
    EXPECT_TRUE(WaitForFile(Local("Units/Unit Renamed copy"), false));
    EXPECT_TRUE(Exists(Local("Units/Unit Renamed")));

    // A tag file another program puts into the local folder is listed once
    // "local" is chosen again: duplicating it proves the row is there.
    pirn::fixture::TagHeaderFields header;
    header.name = "Dropped Unit";
    header.group = pirn::fixture::FourCC("unit");
    header.id = pirn::fixture::FourCC("drop");
    WriteAll(Local("Units/Dropped Unit"), pirn::fixture::TagFileBytes(header, {1, 2, 3}));
    ASSERT_TRUE(Keys(window, {"Tab"}));
    Find(window, "com");
    Find(window, "loc");
    ASSERT_TRUE(Keys(window, {"Tab", "Tab"}));
    FindTag(window, "Units", "Dropped");
    const Screenshot beforeCopy = Shot(window, "dropped-tag-found");
    ASSERT_TRUE(Keys(window, {"ctrl+d"}));
    ASSERT_TRUE(WaitForBox(window, beforeCopy, "duplicate-dropped"));
    ASSERT_TRUE(Keys(window, {"Return"}));
    EXPECT_TRUE(WaitForFile(Local("Units/Dropped Unit copy")));
    Shot(window, "local-tags");
    Quit(window);
}

TEST_F(ArchiveBrowserE2eTest, ATagOpenInAnEditorIsNeitherDeletedNorRenamed) {
    const char* probe = std::getenv("PIRN_PROBE_PROGRAM");
    ASSERT_NE(probe, nullptr);
    const std::string window = StartProgram(probe);
    ASSERT_FALSE(window.empty());
    // Text tags have an editor here: the group is listed without Ctrl+T.
    FindTag(window, "Text (", "Text Alpha");
    ASSERT_TRUE(Keys(window, {"Return"}));  // opens it
    SleepSeconds(1.0);
    Shot(window, "tag-open-in-editor");
    BackToBrowser(window);

    const std::vector<uint8_t> original = ReadAll(Local("Text/Text Alpha"));
    ASSERT_FALSE(original.empty());
    Screenshot before = CaptureWindow(window);
    ASSERT_TRUE(Keys(window, {"Delete"}));
    ASSERT_TRUE(WaitForBox(window, before, "confirm-deletion-in-use"));
    ASSERT_TRUE(Keys(window, {"Return"}));  // "Delete"
    SleepSeconds(1.0);
    Shot(window, "cannot-delete-in-use");
    ASSERT_TRUE(Keys(window, {"Return"}));  // "OK" to "'Text Alpha' is still being used by Pirn."
    SleepSeconds(0.5);
    EXPECT_EQ(ReadAll(Local("Text/Text Alpha")), original);

    // Renaming it in the info window is refused with the in-use message.
    ASSERT_TRUE(Keys(window, {"ctrl+i"}));
    SleepSeconds(0.5);
    ASSERT_TRUE(Keys(window, {"ctrl+a"}));
    ASSERT_TRUE(Type(window, "Renamed Alpha"));
    before = CaptureWindow(window);
    ASSERT_TRUE(Keys(window, {"ctrl+s"}));
    ASSERT_TRUE(WaitForBox(window, before, "cannot-rename-in-use"));
    ASSERT_TRUE(Keys(window, {"Return"}));
    SleepSeconds(0.5);
    EXPECT_FALSE(Exists(Local("Text/Renamed Alpha")));
    EXPECT_EQ(ReadAll(Local("Text/Text Alpha")), original);
}

}  // namespace
}  // namespace pirn_test
