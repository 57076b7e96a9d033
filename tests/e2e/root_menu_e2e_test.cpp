// The menu bar as a new user meets it: Pirn under Xvfb on a generated demo
// game, every command of the File and Tools menus reached through the bar
// only (a click on "File", then the arrow keys and Enter), the Window menu
// listing and raising windows and closing them until an editor keeps its
// changes, "Choose Zarn Folder" refused while a tag is open, and the window
// size kept for the next start. The desktop's file and folder chooser is a
// stand-in for zenity placed first on the program's PATH: it records how it
// was asked and answers from files the test writes. The disk is checked
// after each command.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "platform/image_file.h"
#include "tests/e2e/program_fixture.h"
#include "tools/demo_game/demo_game.h"
#include "tools/fixture_bytes/big_endian_buffer.h"

namespace pirn_test {
namespace {

namespace demo = pirn::demo;
using pirn::fixture::FourCC;
using pirn::fixture::ReadU16;
using pirn::fixture::ReadU32;

// The menus' places on the bar, and the items' places in their menus
// (separators are stepped over by the arrow keys).
enum Column { kFile = 0, kTools = 1, kWindow = 2, kDebug = 3 };
enum FileItem { kAddArchives, kNewCollection, kNewDtexFromFile, kNewDtexFromClipboard, kNewModel, kNewScript, kExit };
enum ToolsItem {
    kReloadLocal,
    kReloadPlugins,
    kChooseZarnFolder,
    kArchiveBrowser,
    kLogViewer,
    kBuildDtexAddon,
    kBuildRegularAddon,
    kConvertImages,
    kConvert3dmf,
    kBuildStandard,
    kBuildHighRes,
};

constexpr double kTypeAheadPause = 0.8;
// Where the browser stands (relative to the area below the bar): the top of
// the screen, the bottom-left corner left free for the dimming test.
constexpr int kBrowserBottom = 560;
// The "Cancel" button of the box asking a new collection's name, in the
// middle of the 1024 x 768 screen.
constexpr int kNameBoxCancelX = 590;
constexpr int kNameBoxButtonsY = 414;

class RootMenuE2eTest : public PirnProgramTest {
protected:
    void SetUp() override {
        PirnProgramTest::SetUp();
        if (IsSkipped()) return;
        PrepareWorkingFolder();
        game_ = dir_.file("Zarnhold");
        std::string error;
        ASSERT_TRUE(demo::WriteDemoGame(demo::BuildDemoGame(), game_, &error)) << error;
        // The stand-in chooser: call n records its arguments in args-n and
        // prints answer-n (no answer: cancelled).
        answers_ = dir_.file("zenity");
        ::mkdir(answers_.c_str(), 0755);
        WriteAll(dir_.file("bin/zenity"),
                 "#!/bin/sh\n"
                 "d=\"$PIRN_TEST_ZENITY\"\n"
                 "n=$(( $(cat \"$d/count\" 2>/dev/null || echo 0) + 1 ))\n"
                 "echo $n > \"$d/count\"\n"
                 "printf '%s\\n' \"$@\" > \"$d/args-$n\"\n"
                 "[ -f \"$d/answer-$n\" ] || exit 1\n"
                 "cat \"$d/answer-$n\"\n");
        ::chmod(dir_.file("bin/zenity").c_str(), 0755);
        WritePrefs("");
    }

    void WritePrefs(const std::string& extra) {
        WriteAll(dir_.file("res/prefs.txt"), "ZarnPath \"" + game_ + "\"\nShowSplash 0\nOsWindowSizeX 1024\n" +
                                                 "OsWindowSizeY 768\nArchiveBrowserPlacement \"0 0 0 1024 " +
                                                 std::to_string(kBrowserBottom) + "\"\n" + extra);
    }

    std::string StartProgram() {
        const char* path = std::getenv("PATH");
        Start({"PATH=" + dir_.file("bin") + ":" + (path ? path : "/usr/bin:/bin"), "PIRN_TEST_ZENITY=" + answers_});
        std::string window = WaitForDesktop();
        if (!window.empty()) corner_ = CornerOf(CaptureWindow(window));
        return window;
    }

    // ---- the stand-in chooser ----
    int ChooserCalls() const {
        const std::string count = ReadText(answers_ + "/count");
        return count.empty() ? 0 : std::atoi(count.c_str());
    }
    // Answers for the next calls, one per call.
    void Answer(const std::vector<std::string>& answers) {
        int n = ChooserCalls();
        for (const std::string& answer : answers) WriteAll(answers_ + "/answer-" + std::to_string(++n), answer + "\n");
    }
    std::vector<std::string> ChooserArgs(int call) const { return ReadLines(answers_ + "/args-" + std::to_string(call)); }
    bool ChooserWasAsked(int call, const std::string& arg) const {
        const std::vector<std::string> args = ChooserArgs(call);
        return std::find(args.begin(), args.end(), arg) != args.end();
    }

    static bool Click(const std::string& window, int x, int y) {
        return Xdotool(window, {"mousemove", "--window", "{win}", std::to_string(x), std::to_string(y), "click", "1"});
    }

    // ---- the menu bar ----
    // The pointer comes from the empty desktop first: a program started
    // under a pointer left on "File" by the last run has seen no motion.
    static bool ClickFileTitle(const std::string& window) {
        if (!Xdotool(window, {"mousemove", "--window", "{win}", "600", "700"})) return false;
        SleepSeconds(0.2);
        return Click(window, 12, 10);
    }
    // A click on "File", then to the menu's column and down to its item.
    void Choose(const std::string& window, Column column, int item) {
        ASSERT_TRUE(ClickFileTitle(window));
        SleepSeconds(0.4);
        std::vector<std::string> keys(size_t(column), "Right");
        keys.insert(keys.end(), size_t(column == kFile ? item + 1 : item), "Down");
        keys.push_back("Return");
        ASSERT_TRUE(Keys(window, keys));
        SleepSeconds(0.4);
    }

    // Fills the add-on popup (the priority field has the keys) with a name
    // and a URL, then Enter; waits for the plugin to change and dismisses
    // the "Success" box.
    void BuildAddon(const std::string& window, const std::string& name, const std::function<bool()>& built) {
        ASSERT_TRUE(WaitForBox(window, true)) << "no add-on popup";
        Shot(window, "menu-addon-popup");
        ASSERT_TRUE(Keys(window, {"Tab"}));  // the name, its text selected
        ASSERT_TRUE(Type(window, name));
        ASSERT_TRUE(Keys(window, {"Tab"}));
        ASSERT_TRUE(Type(window, "www.example.org/menu"));
        ASSERT_TRUE(Keys(window, {"Return"}));
        ASSERT_TRUE(WaitUntil(built)) << Output();
        SleepSeconds(1.0);
        ASSERT_TRUE(WaitForBox(window, true)) << "no message after the build";
        ASSERT_TRUE(Keys(window, {"Return"}));  // "Success"
        ASSERT_TRUE(WaitForBox(window, false));
    }

    // The screen once two captures in a row agree.
    Screenshot Settle(const std::string& window) {
        Screenshot last = CaptureWindow(window), now;
        WaitUntil([&] {
            SleepSeconds(0.25);
            now = CaptureWindow(window);
            const bool same = !now.empty() && now.CountDifferences(last) == 0;
            last = now;
            return same;
        });
        return last;
    }

    // A message box, input box or dialog dims everything behind it: the
    // free bottom-left corner shows it.
    static std::vector<int> CornerOf(const Screenshot& shot) {
        if (shot.empty()) return {};
        const unsigned char* p = shot.At(2, shot.height - 3);
        return {p[0], p[1], p[2]};
    }
    bool IsDimmed(const Screenshot& shot) const {
        const std::vector<int> now = CornerOf(shot);
        if (now.empty() || corner_.empty()) return false;
        for (int c = 0; c < 3; ++c)
            if (std::abs(now[size_t(c)] - corner_[size_t(c)] / 2) > 8) return false;
        return true;
    }
    bool WaitForBox(const std::string& window, bool shown) {
        if (WaitUntil([&] { return IsDimmed(CaptureWindow(window)) == shown; })) return true;
        Shot(window, std::string("unexpected-") + (shown ? "no-box-" : "box-") +
                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
        return false;
    }

    // A builder dialog in the middle of the screen, over the browser's
    // empty lower half (below where the Log Viewer comes up with the
    // builders' reports): shown, or gone again.
    bool WaitForDialog(const std::string& window, const Screenshot& before, bool shown) {
        if (WaitUntil([&] {
                const Screenshot now = CaptureWindow(window);
                if (now.empty()) return false;
                const size_t changed = DifferencesInside(now, before, 250, 340, 780, 460);
                return shown ? changed > 1000 : changed == 0;
            }))
            return true;
        Shot(window, std::string("unexpected-") + (shown ? "no-dialog-" : "dialog-") +
                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
        return false;
    }

    // Selects a tag row of the browser's tree (which has the keys): its
    // group by name, opened, then the tag.
    void FindTag(const std::string& window, const std::string& group, const std::string& name) {
        SleepSeconds(kTypeAheadPause);
        ASSERT_TRUE(Type(window, group));
        SleepSeconds(0.3);
        ASSERT_TRUE(Keys(window, {"Right"}));
        SleepSeconds(kTypeAheadPause);
        ASSERT_TRUE(Type(window, name));
        SleepSeconds(0.3);
    }

    void Quit(const std::string& window) {
        ASSERT_TRUE(Keys(window, {"alt+F4"}));
        ASSERT_TRUE(WaitForBox(window, true)) << "no quit confirmation";
        ASSERT_TRUE(Keys(window, {"Return"}));
        EXPECT_EQ(WaitForExit(), 0) << Output();
    }

    std::string Local(const std::string& relative) const { return game_ + "/local/" + relative; }
    static size_t CountFiles(const std::string& folder) {
        std::string out;
        RunCommand({"sh", "-c", "find '" + folder + "' -type f | wc -l"}, &out);
        return size_t(std::atoi(out.c_str()));
    }
    static bool Has(const std::vector<uint8_t>& bytes, const std::string& text) {
        return std::search(bytes.begin(), bytes.end(), text.begin(), text.end()) != bytes.end();
    }

    // The bounding box of the pixels that differ between two captures,
    // below the bar and left of x = 400: a menu column opened under the
    // Window title. Its height grows by one item per listed window.
    static int ColumnHeight(const Screenshot& open, const Screenshot& closed) {
        int top = -1, bottom = -1;
        for (int y = 30; y < open.height && y < closed.height; ++y)
            for (int x = 0; x < 400; ++x) {
                const unsigned char* a = open.At(x, y);
                const unsigned char* b = closed.At(x, y);
                if (a[0] == b[0] && a[1] == b[1] && a[2] == b[2]) continue;
                if (top < 0) top = y;
                bottom = y;
            }
        return top < 0 ? 0 : bottom - top + 1;
    }
    int WindowMenuHeight(const std::string& window) {
        const Screenshot closed = Settle(window);
        EXPECT_TRUE(ClickFileTitle(window));
        SleepSeconds(0.3);
        EXPECT_TRUE(Keys(window, {"Right", "Right"}));
        const Screenshot open = Settle(window);
        EXPECT_TRUE(Keys(window, {"Escape"}));
        Settle(window);
        return ColumnHeight(open, closed);
    }

    // Differing pixels inside a rectangle.
    static size_t DifferencesInside(const Screenshot& a, const Screenshot& b, int left, int top, int right,
                                    int bottom) {
        size_t n = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) {
                const unsigned char* p = a.At(x, y);
                const unsigned char* q = b.At(x, y);
                if (p[0] != q[0] || p[1] != q[1] || p[2] != q[2]) ++n;
            }
        return n;
    }

    // A 24-bit picture of the given size written by the program's own image
    // writer (the detail texture commands take it).
    void WritePicture(const std::string& path, pirn::u32 width, pirn::u32 height) {
        pirn::ImageFile file;
        pirn::InitImageFile(&file, path);
        file.type = pirn::FileTypeFromExtension(path);
        std::vector<pirn::u8> rgb(size_t(width) * height * 3);
        for (size_t i = 0; i < rgb.size(); ++i) rgb[i] = static_cast<pirn::u8>(i * 13 + i / 97);
        ASSERT_TRUE(pirn::SetImagePixels(&file.image, width, height, pirn::kFormatRgb, rgb.data()));
        ::mkdir(path.substr(0, path.rfind('/')).c_str(), 0755);
        ASSERT_TRUE(pirn::SaveImageFile(&file)) << path;
    }

    // The groups of a plugin's directory: a 128-byte header (map record
    // count at 100, entry count at 102), 112-byte map records, then one
    // 64-byte tag header per entry with its group at 36.
    static std::set<std::string> PluginGroups(const std::string& path) {
        const std::vector<uint8_t> bytes = ReadAll(path);
        std::set<std::string> groups;
        if (bytes.size() < 128) return groups;
        const size_t directory = 128 + 112 * size_t(ReadU16(bytes, 100));
        const size_t entries = ReadU16(bytes, 102);
        if (directory + 64 * entries > bytes.size()) return {"(cut short)"};
        for (size_t i = 0; i < entries; ++i) groups.insert(FourCCText(ReadU32(bytes, directory + 64 * i + 36)));
        return groups;
    }
    static std::string FourCCText(uint32_t code) {
        return {char(code >> 24), char(code >> 16), char(code >> 8), char(code)};
    }

    // A figure of `assimp info`'s summary ("Faces:   6"), -1 when absent.
    static int AssimpFigure(const std::string& info, const std::string& label) {
        const size_t at = info.find("\n" + label);
        return at == std::string::npos ? -1 : std::atoi(info.c_str() + at + 1 + label.size());
    }

    // The picture size a 'dtex' tag file holds (its 16-byte record).
    static std::pair<uint32_t, uint32_t> DtexSize(const std::string& path) {
        const std::vector<uint8_t> bytes = ReadAll(path);
        if (bytes.size() < 64 + 16 || ReadU32(bytes, 36) != FourCC("dtex")) return {0, 0};
        return {ReadU32(bytes, 64), ReadU32(bytes, 68)};
    }

    std::string game_;
    std::string answers_;
    std::vector<int> corner_;
};

TEST_F(RootMenuE2eTest, EveryFileMenuCommandOnTheDemoGame) {
    // An archive from outside the game folder, for "Add Archives".
    demo::DemoArchive bonus;
    bonus.file_name = "bonus";
    bonus.kind = 5;
    bonus.priority = 9;
    bonus.name = "Bonus Pack";
    bonus.tags.push_back(demo::DemoTag{FourCC("text"), FourCC("bn01"), "Bonus Words", 1, 0, {'b', 'o', 'n'}});
    WriteAll(dir_.file("elsewhere/bonus"), demo::EncodeArchive(bonus));
    WritePicture(dir_.file("pictures/Sand.png"), 64, 32);
    WritePicture(dir_.file("pictures/Tile.png"), 32, 32);
    const size_t collections = CountFiles(Local("Collections"));

    const std::string window = StartProgram();
    ASSERT_FALSE(window.empty());

    // Add Archives: a multi-file chooser; the archive joins the working set
    // (stored when the program ends).
    Answer({dir_.file("elsewhere/bonus")});
    Choose(window, kFile, kAddArchives);
    Settle(window);
    ASSERT_EQ(ChooserCalls(), 1);
    EXPECT_TRUE(ChooserWasAsked(1, "--title=Select Archives"));
    EXPECT_TRUE(ChooserWasAsked(1, "--multiple"));

    // New Collection asks for the name; cancelled, nothing is made. (The
    // name field keeps Tab for itself: the mouse reaches "Cancel".)
    Choose(window, kFile, kNewCollection);
    ASSERT_TRUE(WaitForBox(window, true)) << "no name asked";
    Shot(window, "menu-new-collection");
    ASSERT_TRUE(Click(window, kNameBoxCancelX, kNameBoxButtonsY));
    ASSERT_TRUE(WaitForBox(window, false));
    EXPECT_EQ(CountFiles(Local("Collections")), collections);

    // New Detail Texture From Image File: the picture chosen, the name it
    // proposes taken; the texture is saved at once.
    Answer({dir_.file("pictures/Sand.png")});
    Choose(window, kFile, kNewDtexFromFile);
    ASSERT_TRUE(WaitForBox(window, true)) << "no name asked";
    ASSERT_TRUE(Keys(window, {"Return"}));
    ASSERT_TRUE(WaitUntil([&] { return DtexSize(Local("Detail Textures/Sand")).first == 64; })) << Output();
    EXPECT_EQ(DtexSize(Local("Detail Textures/Sand")).second, 32u);
    EXPECT_TRUE(ChooserWasAsked(2, "--title=Import Detail Texture"));
    Settle(window);
    Shot(window, "menu-new-detail-texture");
    ASSERT_TRUE(Keys(window, {"ctrl+w"}));

    // New Detail Texture From Clipboard: a picture another program offers.
    ASSERT_EQ(RunCommand({"sh", "-c", "command -v xclip"}), 0) << "xclip is missing (scripts/install-deps)";
    ASSERT_EQ(RunCommand({"sh", "-c",
                          "timeout 20 xclip -quiet -selection clipboard -t image/png -i '" +
                              dir_.file("pictures/Tile.png") + "' >/dev/null 2>&1 &"}),
              0);
    SleepSeconds(0.5);
    Choose(window, kFile, kNewDtexFromClipboard);
    ASSERT_TRUE(WaitForBox(window, true)) << "no name asked";
    ASSERT_TRUE(Type(window, "Clip Tile"));
    ASSERT_TRUE(Keys(window, {"Return"}));
    ASSERT_TRUE(WaitUntil([&] { return DtexSize(Local("Detail Textures/Clip Tile")).first == 32; })) << Output();
    Settle(window);
    ASSERT_TRUE(Keys(window, {"ctrl+w"}));

    // New Model From File: the demo crate's LightWave object becomes the
    // four tags of a model, and its geometry opens.
    Answer({game_ + "/art/models/crate.lwo"});
    Choose(window, kFile, kNewModel);
    for (const char* label : {"Geometries", "Collections", "Collection References", "Models"})
        EXPECT_TRUE(WaitUntil([&] { return Exists(Local(std::string(label) + "/crate")); })) << label;
    EXPECT_TRUE(ChooserWasAsked(ChooserCalls(), "--title=Import Model"));
    Settle(window);
    Shot(window, "menu-new-model");
    ASSERT_TRUE(Keys(window, {"ctrl+w"}));

    // New Script: named, written in its editor, saved.
    Choose(window, kFile, kNewScript);
    ASSERT_TRUE(WaitForBox(window, true)) << "no name asked";
    ASSERT_TRUE(Type(window, "Menu Script"));
    ASSERT_TRUE(Keys(window, {"Return"}));
    ASSERT_TRUE(WaitForBox(window, false));
    SleepSeconds(0.5);
    ASSERT_TRUE(Type(window, "print hello"));
    ASSERT_TRUE(Keys(window, {"ctrl+s"}));
    ASSERT_TRUE(WaitUntil([&] { return Has(ReadAll(Local("Scripts/Menu Script")), "print hello"); })) << Output();
    ASSERT_TRUE(Keys(window, {"ctrl+w"}));
    Settle(window);

    // Exit asks first, as the close box does.
    Choose(window, kFile, kExit);
    ASSERT_TRUE(WaitForBox(window, true)) << "no quit confirmation";
    Shot(window, "menu-exit");
    ASSERT_TRUE(Keys(window, {"Return"}));
    EXPECT_EQ(WaitForExit(), 0) << Output();
    EXPECT_NE(PrefLine("CodexWorkingSet").find(";bonus;"), std::string::npos) << PrefLine("CodexWorkingSet");
}

TEST_F(RootMenuE2eTest, EveryToolsMenuCommandOnTheDemoGame) {
    ASSERT_EQ(RunCommand({"sh", "-c", "command -v assimp"}), 0) << "assimp is missing (scripts/install-deps)";
    const std::string art = game_ + "/art/";
    WritePrefs("AutoCollectionDialog.Path \"" + art + demo::kDemoStandardArt +
               "\"\nAutoCollectionDialog.RegX \"20\"\nAutoCollectionDialog.RegY \"44\"\n"
               "AutoUpResDialog.Collection \"" + demo::kDemoKnightFramesId + "\"\nAutoUpResDialog.HighResPath \"" +
               art + demo::kDemoHighResArt + "\"\nAutoUpResDialog.Scale \"2\"\n"
               "AutoUpResDialog.ScaleTolerance \"0.1\"\nAutoUpResDialog.ObjectScale \"1\"\n");
    // A copy of some frames to convert, away from the builders' art.
    ASSERT_EQ(RunCommand({"cp", "-r", art + demo::kDemoStandardArt + "/walk(8,5)", dir_.file("convert")}), 0);
    const size_t files = CountFiles(dir_.file("convert"));
    std::string listed;
    RunCommand({"sh", "-c", "find '" + dir_.file("convert") + "' -name '*.png' | wc -l"}, &listed);
    const size_t pngs = size_t(std::atoi(listed.c_str()));
    ASSERT_GT(pngs, 0u);
    ::mkdir(dir_.file("lwo-out").c_str(), 0755);

    const std::string window = StartProgram();
    ASSERT_FALSE(window.empty());

    // Reload Local Folder shows a tag file put there meanwhile; Reload
    // Plugins Folder an add-on dropped into plugins/ (an inactive archive).
    Screenshot before = Settle(window);
    WriteAll(Local("Text/Menu Note"),
             demo::EncodeTagFile(demo::DemoLocalFile{
                 demo::DemoTag{FourCC("text"), FourCC("mn01"), "Menu Note", 1, 0, {'h', 'i'}}, "Menu Note", false}));
    Choose(window, kTools, kReloadLocal);
    Screenshot after = Settle(window);
    EXPECT_GT(after.CountDifferences(before), 0u) << "the tree did not change";
    before = after;
    WriteAll(game_ + "/plugins/Menu Pack", ReadAll(game_ + "/plugins/Demo Addon"));
    Choose(window, kTools, kReloadPlugins);
    after = Settle(window);
    EXPECT_GT(DifferencesInside(after, before, 0, 30, 190, kBrowserBottom), 0u) << "the lists did not change";

    // Log Viewer comes up over the browser; Archive Browser brings the
    // browser back in front.
    before = after;
    Choose(window, kTools, kLogViewer);
    after = Settle(window);
    Shot(window, "menu-log-viewer");
    ASSERT_GT(DifferencesInside(after, before, 0, 30, 1024, kBrowserBottom), 1000u) << "no Log Viewer";
    Choose(window, kTools, kArchiveBrowser);
    after = Settle(window);
    EXPECT_EQ(DifferencesInside(after, before, 0, 30, 1024, kBrowserBottom), 0u) << "the browser is not in front";

    // The add-ons, named in the popup; the second build of the
    // same name replaces the first.
    const std::string addon = game_ + "/plugins/Menu Addon";
    Choose(window, kTools, kBuildDtexAddon);
    BuildAddon(window, "Menu Addon", [&] { return Exists(addon); });
    EXPECT_EQ(PluginGroups(addon), (std::set<std::string>{"dmap", "dtex"}));
    Choose(window, kTools, kBuildRegularAddon);
    BuildAddon(window, "Menu Addon", [&] { return PluginGroups(addon).count("text") != 0; });
    const std::set<std::string> regular = PluginGroups(addon);
    EXPECT_EQ(regular.count("dmap") + regular.count("dtex"), 0u);

    // Recursive Image Conversion: the folder, "BMP" and "Full"; every PNG
    // gets a BMP beside it, the PNGs stay.
    const int calls = ChooserCalls();
    Answer({dir_.file("convert"), "0", "0"});
    Choose(window, kTools, kConvertImages);
    ASSERT_TRUE(WaitForBox(window, true)) << "no count box";
    Shot(window, "menu-image-conversion");
    ASSERT_TRUE(Keys(window, {"Return"}));
    ASSERT_TRUE(WaitForBox(window, false));
    EXPECT_EQ(ChooserCalls(), calls + 3);
    EXPECT_TRUE(ChooserWasAsked(calls + 1, "--title=Choose a folder"));
    EXPECT_TRUE(ChooserWasAsked(calls + 2, "--text=Target Format:"));
    EXPECT_TRUE(ChooserWasAsked(calls + 3, "Alpha Only"));
    EXPECT_EQ(CountFiles(dir_.file("convert")), files + pngs);
    std::string identified;
    RunCommand({"sh", "-c", "identify -format '%m\\n' '" + dir_.file("convert") + "'/*.bmp | sort -u"}, &identified);
    EXPECT_EQ(identified, "BMP3\n");  // ImageMagick's name for the 40-byte info header

    // Convert 3DMF to LWO: the demo pyramid and its texture, read back by
    // assimp.
    Answer({art + "models/pyramid.3dmf", dir_.file("lwo-out")});
    Choose(window, kTools, kConvert3dmf);
    ASSERT_TRUE(WaitUntil([&] { return Exists(dir_.file("lwo-out/pyramid.lwo")); })) << Output();
    Settle(window);
    EXPECT_TRUE(ChooserWasAsked(ChooserCalls() - 1, "--title=Open 3DMF file"));
    EXPECT_TRUE(ChooserWasAsked(ChooserCalls(), "--title=Choose a destination folder"));
    EXPECT_EQ(CountFiles(dir_.file("lwo-out")), 2u);  // the object and its texture
    std::string info;
    EXPECT_EQ(RunCommand({"assimp", "info", dir_.file("lwo-out/pyramid.lwo")}, &info), 0) << info;
    EXPECT_EQ(AssimpFigure(info, "Faces:"), 6) << info;

    // The collection builders, with the fields a previous session left
    // (the name box has the keys). Their dialogs do not dim the screen.
    const std::string knight = Local(std::string("Collections/") + demo::kDemoKnightFramesName);
    ASSERT_FALSE(Exists(knight));
    Settle(window);
    const Screenshot desktop = Shot(window, "menu-before-builders");
    Choose(window, kTools, kBuildStandard);
    ASSERT_TRUE(WaitForDialog(window, desktop, true)) << "no builder dialog";
    Shot(window, "menu-build-standard");
    ASSERT_TRUE(Type(window, "Menu Knight"));
    ASSERT_TRUE(Keys(window, {"Return"}));
    const std::string built = Local("Collections/Menu Knight");
    ASSERT_TRUE(WaitUntil([&] { return Exists(built); })) << Output();
    // The new collection opens in its editor, which stands modified until
    // saved.
    Settle(window);
    Shot(window, "menu-built-collection");
    ASSERT_TRUE(Keys(window, {"ctrl+s"}));
    SleepSeconds(1.0);
    ASSERT_TRUE(Keys(window, {"ctrl+w"}));
    ASSERT_TRUE(WaitForDialog(window, desktop, false));
    const std::vector<uint8_t> collection = ReadAll(built);
    ASSERT_GT(collection.size(), 64u);
    EXPECT_EQ(ReadU32(collection, 36), FourCC(".256"));
    EXPECT_EQ(pirn::fixture::ReadText(collection, 4, 32), "Menu Knight");
    Choose(window, kTools, kBuildHighRes);
    ASSERT_TRUE(WaitForDialog(window, desktop, true)) << "no builder dialog";
    Shot(window, "menu-build-high-res");
    ASSERT_TRUE(Keys(window, {"Return"}));
    ASSERT_TRUE(WaitUntil([&] { return Exists(knight); })) << Output();
    ASSERT_TRUE(WaitForDialog(window, desktop, false));
    Settle(window);
    Shot(window, "menu-built-high-res");
    Quit(window);
}

TEST_F(RootMenuE2eTest, TheWindowMenuListsRaisesAndClosesUntilAnEditorKeepsItsChanges) {
    const std::string text = Local("Text/Welcome Text");
    const std::vector<uint8_t> saved = ReadAll(text);
    ASSERT_FALSE(saved.empty());
    const std::string window = StartProgram();
    ASSERT_FALSE(window.empty());
    const int alone = WindowMenuHeight(window);  // "Close All Windows" and the browser

    // A text tag opened from the browser and changed, the Window Spy and
    // the Log Viewer in front of it.
    FindTag(window, "Text", "Welcome Text");
    const Screenshot browser = Settle(window);
    ASSERT_TRUE(Keys(window, {"Return"}));
    SleepSeconds(1.0);
    ASSERT_TRUE(Type(window, "changed "));
    Choose(window, kDebug, 0);
    Choose(window, kTools, kLogViewer);
    Settle(window);
    Shot(window, "menu-windows-open");
    const int four = WindowMenuHeight(window);
    ASSERT_GT(alone, 0);
    const int item = (four - alone) / 3;
    EXPECT_EQ(four - alone, 3 * item);
    EXPECT_GT(item, 10);

    // The last item, the browser, comes to the front as it was.
    Choose(window, kWindow, 4);
    Screenshot now = Settle(window);
    Shot(window, "menu-window-raised");
    EXPECT_LT(DifferencesInside(now, browser, 0, 30, 1024, kBrowserBottom), 200u) << "the browser is not in front";

    // Close All Windows: the Log Viewer and the Spy go, the editor asks and
    // "Cancel" keeps it (and everything after it).
    Choose(window, kWindow, 0);
    ASSERT_TRUE(WaitForBox(window, true)) << "the editor did not ask";
    Shot(window, "menu-close-all-asks");
    ASSERT_TRUE(Keys(window, {"Tab", "Tab", "space"}));
    ASSERT_TRUE(WaitForBox(window, false));
    EXPECT_EQ(WindowMenuHeight(window), alone + item) << "the browser and the editor should be left";
    EXPECT_EQ(ReadAll(text), saved);

    // Quitting asks the editor again; "Discard" leaves the tag as it was.
    ASSERT_TRUE(Keys(window, {"alt+F4"}));
    ASSERT_TRUE(WaitForBox(window, true));
    ASSERT_TRUE(Keys(window, {"Return"}));
    SleepSeconds(0.5);
    ASSERT_TRUE(WaitForBox(window, true)) << "the editor did not ask at quitting";
    ASSERT_TRUE(Keys(window, {"Tab", "space"}));
    EXPECT_EQ(WaitForExit(), 0) << Output();
    EXPECT_EQ(ReadAll(text), saved);
    EXPECT_NE(PrefLine("WindowSpyPlacement"), "");
}

TEST_F(RootMenuE2eTest, ChooseZarnFolderIsRefusedWhileATagIsOpen) {
    const std::string other = dir_.file("Other Game");
    std::string error;
    ASSERT_TRUE(demo::WriteDemoGame(demo::BuildDemoGame(), other, &error)) << error;
    const std::string window = StartProgram();
    ASSERT_FALSE(window.empty());
    FindTag(window, "Text", "Welcome Text");
    ASSERT_TRUE(Keys(window, {"Return"}));
    Settle(window);

    Choose(window, kTools, kChooseZarnFolder);
    ASSERT_TRUE(WaitForBox(window, true)) << "not refused";
    Shot(window, "menu-choose-folder-refused");
    ASSERT_TRUE(Keys(window, {"Return"}));
    ASSERT_TRUE(WaitForBox(window, false));
    EXPECT_EQ(ChooserCalls(), 0);

    // With the editor closed the chooser is asked, starting at the game.
    ASSERT_TRUE(Keys(window, {"ctrl+w"}));
    Settle(window);
    Answer({other});
    Choose(window, kTools, kChooseZarnFolder);
    Settle(window);
    ASSERT_EQ(ChooserCalls(), 1);
    EXPECT_TRUE(ChooserWasAsked(1, "--title=Select your Zarnhold folder"));
    EXPECT_TRUE(ChooserWasAsked(1, "--directory"));
    EXPECT_TRUE(ChooserWasAsked(1, "--filename=" + game_ + "/"));
    Quit(window);
    EXPECT_EQ(PrefLine("ZarnPath"), "\"" + other + "/\"");
}

TEST_F(RootMenuE2eTest, TheWindowSizeIsRememberedAcrossARestart) {
    std::string window = StartProgram();
    ASSERT_FALSE(window.empty());
    ASSERT_TRUE(Xdotool(window, {"windowsize", "{win}", "900", "700"}));
    ASSERT_TRUE(WaitUntil([&] {
        const Screenshot shot = CaptureWindow(window);
        return shot.width == 900 && shot.height == 700;
    }));
    Settle(window);
    Quit(window);
    EXPECT_EQ(PrefLine("OsWindowSizeX"), "900");
    EXPECT_EQ(PrefLine("OsWindowSizeY"), "700");

    window = StartProgram();
    ASSERT_FALSE(window.empty());
    int width = 0, height = 0;
    ASSERT_TRUE(WindowSize(window, &width, &height));
    EXPECT_EQ(width, 900);
    EXPECT_EQ(height, 700);
    Quit(window);
}

}  // namespace
}  // namespace pirn_test
