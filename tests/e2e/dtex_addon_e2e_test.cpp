// Detail textures and add-ons as a modder meets them, in the program under
// Xvfb on a generated demo game: a regular add-on and a detail-texture
// add-on built through the add-on popup, then a PNG made by Pillow chosen
// in the desktop's file chooser (zenity) and turned into a new detail
// texture, which is saved at once and exported back through the chooser.
// The pictures are compared by Pillow and by the texture codec; the game
// folder is then opened by a fresh Codex as a player's copy would be (no
// local folder), where each add-on must hold exactly the expected tags and
// be their effective copy.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "app/addon_builder.h"
#include "app/game_archives.h"
#include "codex/codex.h"
#include "codex/four_char_code.h"
#include "codex/tag_header.h"
#include "models/dtex_codec.h"
#include "platform/pref_store.h"
#include "tests/e2e/program_fixture.h"
#include "tools/demo_game/demo_game.h"
#include "tools/fixture_bytes/big_endian_buffer.h"

namespace pirn_test {
namespace {

using pirn::u32;
using pirn::u8;
using TagKey = std::pair<u32, u32>;  // group, tag id

constexpr const char* kPython = "/usr/bin/python3";
constexpr int kTextureWidth = 128;
constexpr int kTextureHeight = 64;

// Pillow writes a 24-bit PNG of a picture with smooth and sharp parts and
// its raw RGB bytes beside it.
constexpr const char* kMakePicture = R"(
import sys
from PIL import Image
w, h = int(sys.argv[3]), int(sys.argv[4])
im = Image.new('RGB', (w, h))
im.putdata([((x * 2) & 255, (y * 4 + x) & 255, 255 if (x // 8 + y // 8) % 2 else (x * y) & 255)
            for y in range(h) for x in range(w)])
im.save(sys.argv[1])
open(sys.argv[2], 'wb').write(im.tobytes())
)";
// Pillow's reading of a PNG as raw RGB bytes.
constexpr const char* kReadPicture = R"(
import sys
from PIL import Image
im = Image.open(sys.argv[1])
print(im.mode, im.size[0], im.size[1])
open(sys.argv[2], 'wb').write(im.convert('RGB').tobytes())
)";

class DtexAddonE2eTest : public PirnProgramTest {
protected:
    void SetUp() override {
        FindProgram("PIRN_DTEX_ADDON_HOST", {"xdotool", "import", "zenity"});
        if (IsSkipped() || HasFatalFailure()) return;
        if (RunCommand({kPython, "-c", "import PIL"}) != 0) GTEST_SKIP() << "no Pillow for " << kPython;
        CopyGeneratedFiles();
        std::string error;
        ASSERT_TRUE(pirn::demo::WriteDemoGame(plan_, game(), &error)) << error;
        // The browser up and to the right, leaving the desktop's corner
        // free to show whether a modal box dims it.
        game_ = game();
        WriteDemoPrefs("0 560 0 1024 360");
    }
    void TearDown() override {
        if (pirn::UnloadCodex() != 1) ADD_FAILURE() << "a tag was left in use";
        pirn::Prefs().Clear();
    }

    std::string game() const { return dir_.path() + "/Zarnhold"; }
    std::string plugin(const std::string& name) const { return game() + "/plugins/" + name; }
    void Shot(const std::string& name) {
        if (!shotDir_.empty()) CaptureWindow(window_, shotDir_ + "/" + name + ".png");
    }

    bool Keys(const std::vector<std::string>& keys) {
        std::vector<std::string> args = {"key", "--window", "{win}", "--delay", "60"};
        args.insert(args.end(), keys.begin(), keys.end());
        return Xdotool(window_, args);
    }
    bool Type(const std::string& text) { return Xdotool(window_, {"type", "--window", "{win}", "--delay", "40", text}); }

    // A modal box dims the whole screen: the desktop's bottom-left corner
    // is then at half its light grey.
    bool Dimmed(Screenshot* shot = nullptr) {
        Screenshot now = CaptureWindow(window_);
        if (now.empty()) return false;
        const unsigned char* corner = now.At(4, now.height - 5);
        if (shot) *shot = now;
        return corner[0] < 160 && corner[1] < 160 && corner[2] < 160;
    }

    // The desktop's file chooser: once its window shows, the path goes into
    // its location field and Enter accepts it. A chooser that is not ready
    // ignores the keys, so they are sent again every two seconds until it
    // has gone.
    bool Choose(const std::string& title, const std::string& path) {
        bool seen = false;
        const bool gone = WaitUntil(
            [&] {
                std::string ids;
                RunCommand({"xdotool", "search", "--name", "^" + title + "$"}, &ids);
                const std::string id = ids.substr(0, ids.find('\n'));
                if (id.empty()) return seen;
                seen = true;
                RunCommand({"xdotool", "windowfocus", "--sync", id});
                for (std::vector<std::string> keys : {std::vector<std::string>{"key", "--window", id, "ctrl+l"},
                                                      {"key", "--window", id, "ctrl+a"},
                                                      {"type", "--window", id, "--delay", "10", path},
                                                      {"key", "--window", id, "Return"}}) {
                    keys.insert(keys.begin(), "xdotool");
                    RunCommand(keys);
                }
                WaitUntil([] { return false; }, 2.0);
                return false;
            },
            90.0);
        // Without a window manager the keyboard stays where the chooser
        // left it.
        RunCommand({"xdotool", "windowfocus", "--sync", window_});
        return gone;
    }

    // Fills the add-on popup that has the keys (priority box first), then
    // OK; waits for the plugin and dismisses the "Success" box.
    void BuildThroughPopup(const std::string& name, const std::string& priority, const std::string& shot) {
        Screenshot before;
        ASSERT_TRUE(WaitUntil([&] { return Dimmed(); })) << "no add-on popup";
        Shot(shot);
        if (!priority.empty()) {
            ASSERT_TRUE(Keys({"ctrl+a"}));
            ASSERT_TRUE(Type(priority));
        }
        ASSERT_TRUE(Keys({"Tab"}));  // the name box, its text selected
        ASSERT_TRUE(Type(name));
        ASSERT_TRUE(Keys({"Tab"}));
        ASSERT_TRUE(Type("www.example.org/e2e"));
        ASSERT_TRUE(Keys({"Return"}));
        ASSERT_TRUE(WaitUntil([&] { return Exists(plugin(name)); })) << Output();
        WaitUntil([] { return false; }, 1.0);
        ASSERT_TRUE(Dimmed(&before)) << "no message after the build";
        Shot(shot + "-success");
        ASSERT_TRUE(Keys({"Return"}));
        // The box goes; whatever comes next draws something else.
        ASSERT_TRUE(WaitUntil([&] {
            const Screenshot now = CaptureWindow(window_);
            return !now.empty() && now.CountDifferences(before) > 1000;
        }));
        WaitUntil([] { return false; }, 0.5);
    }

    // The game as a player has it: archives of tags/ and plugins/, no
    // local folder, the default working set.
    void StartPlayerCodex() {
        pirn::UnloadCodex();
        pirn::SetPrefString("ZarnPath", game() + "/");
        pirn::AddGameArchivesFrom(game() + "/");
        pirn::SetLocalFolder(dir_.file("no local folder/"));
        pirn::PollLocalFolder(true);
        pirn::SetDefaultWorkingSet();
    }

    // The add-on's tags, each of whose effective copy must be the add-on's.
    std::set<TagKey> EffectiveFrom(const std::string& file) {
        std::set<TagKey> keys;
        pirn::Archive* archive = pirn::FindArchiveByPath(file);
        EXPECT_NE(archive, nullptr) << file;
        if (!archive) return keys;
        pirn::TagList tags;
        pirn::ListArchiveTags(archive, tags);
        for (pirn::TagEntry* tag : tags) {
            keys.insert({tag->group, tag->tag_id});
            const pirn::TagSource* source = pirn::GetEffectiveSource(tag);
            EXPECT_TRUE(source && source->archive == archive)
                << pirn::FourCCToText(tag->group) << " " << pirn::FourCCToText(tag->tag_id);
        }
        return keys;
    }

    pirn::demo::DemoGame plan_ = pirn::demo::BuildDemoGame();
    std::string window_;
    TempDir art_;
};

TEST_F(DtexAddonE2eTest, AddonsFromTheLocalFolderThenATextureFromAPngAndBack) {
    const std::string png = art_.file("e2e ground.png");
    const std::string raw = art_.file("e2e ground.rgb");
    ASSERT_EQ(RunCommand({kPython, "-c", kMakePicture, png, raw, std::to_string(kTextureWidth),
                          std::to_string(kTextureHeight)}),
              0);
    const std::vector<u8> source = ReadAll(raw);
    ASSERT_EQ(source.size(), size_t(kTextureWidth) * kTextureHeight * 3);

    ASSERT_TRUE(run_.Start(program_, dir_.path(), {"PIRN_NO_NATIVE_BOXES=1"}, output_.file("output.txt")));
    ASSERT_TRUE(WaitForMainLoop()) << Output();
    ASSERT_FALSE((window_ = WaitForPirnWindow()).empty());

    // "Build Regular Add-on", priority 150, then "Build Dtex Add-on" with
    // the default priority.
    BuildThroughPopup("E2E Regular", "150", "addon-popup-regular");
    BuildThroughPopup("E2E Terrain", "", "addon-popup-dtex");

    // "New Detail Texture From Image File": the chooser, then the name
    // proposed from the file (Enter creates it); the texture is saved at
    // once.
    ASSERT_TRUE(Choose("Import Detail Texture", png)) << Output();
    const std::string saved = game() + "/local/Detail Textures/e2e ground";
    ASSERT_TRUE(WaitUntil([&] {
        if (Exists(saved)) return true;
        Keys({"Return"});
        WaitUntil([] { return false; }, 1.5);
        return false;
    }, 60.0)) << Output();
    WaitUntil([] { return false; }, 1.0);
    Shot("dtex-edit-new-texture");

    // Control+E in the editor: exported through the chooser.
    const std::string exported = art_.file("exported.png");
    ASSERT_TRUE(Keys({"ctrl+e"}));
    ASSERT_TRUE(Choose("Export Detail Texture", exported)) << Output();
    ASSERT_TRUE(WaitUntil([&] { return Exists(exported); })) << Output();

    // Quit: the close request asks, Enter confirms.
    ASSERT_TRUE(SendCloseRequest(window_));
    ASSERT_TRUE(WaitUntil([&] {
        if (run_.Running()) Keys({"Return"});
        return !run_.Running();
    })) << Output();
    int status = -1;
    run_.Wait(5.0, &status);
    EXPECT_EQ(status, 0) << Output();

    // The export as Pillow reads it: the picture that went in.
    std::string mode;
    ASSERT_EQ(RunCommand({kPython, "-c", kReadPicture, exported, art_.file("exported.rgb")}, &mode), 0);
    EXPECT_EQ(mode, "RGB 128 64\n");
    EXPECT_TRUE(ReadAll(art_.file("exported.rgb")) == source);

    // The tag file: its header, the record {w, h, 0, 0} and the stream.
    const std::vector<u8> file = ReadAll(saved);
    pirn::TagHeader header{};
    ASSERT_TRUE(pirn::ParseTagHeader(&header, file.data(), file.size(), file.size()));
    EXPECT_EQ(header.group, pirn::MakeFourCC("dtex"));
    EXPECT_STREQ(header.name, "e2e ground");
    ASSERT_GE(file.size(), size_t(header.data_offset) + 16);
    EXPECT_EQ(pirn::fixture::ReadU32(file, header.data_offset), u32(kTextureWidth));
    EXPECT_EQ(pirn::fixture::ReadU32(file, header.data_offset + 4), u32(kTextureHeight));
    EXPECT_EQ(pirn::fixture::ReadU32(file, header.data_offset + 8), 0u);
    std::vector<u8> decoded;
    u32 w = 0, h = 0;
    ASSERT_NE(pirn::DecodeDtexBytes(file.data() + header.data_offset + 16, file.size() - header.data_offset - 16,
                                    &decoded, &w, &h),
              0u);
    EXPECT_EQ(w, u32(kTextureWidth));
    EXPECT_EQ(h, u32(kTextureHeight));
    EXPECT_TRUE(decoded == source);

    // A player's game: each add-on holds exactly what it should and wins.
    std::set<TagKey> regular;
    for (const auto& local : plan_.local_files)
        if (pirn::IsAddonAllowedGroup(local.tag.group)) regular.insert({local.tag.group, local.tag.tag_id});
    ASSERT_FALSE(regular.empty());
    const u32 dtex = pirn::MakeFourCC("dtex");
    const std::set<TagKey> terrain = {{pirn::MakeFourCC("dmap"), pirn::MakeFourCC("dv11")},
                                      {dtex, pirn::MakeFourCC("gras")},
                                      {dtex, pirn::MakeFourCC("mud ")},
                                      {dtex, pirn::MakeFourCC("rock")},
                                      {dtex, pirn::MakeFourCC("sand")}};
    StartPlayerCodex();
    EXPECT_EQ(EffectiveFrom(plugin("E2E Regular")), regular);
    EXPECT_EQ(EffectiveFrom(plugin("E2E Terrain")), terrain);
    const std::vector<u8> bytes = ReadAll(plugin("E2E Regular"));
    ASSERT_GE(bytes.size(), 100u);
    EXPECT_EQ(pirn::fixture::ReadU16(bytes, 0), 6);    // kind
    EXPECT_EQ(pirn::fixture::ReadU16(bytes, 2), 150);  // priority
    EXPECT_EQ(pirn::fixture::ReadText(bytes, 4, 32), "E2E Regular");
    EXPECT_EQ(pirn::fixture::ReadText(bytes, 36, 64), "www.example.org/e2e");
    EXPECT_EQ(pirn::fixture::ReadU16(ReadAll(plugin("E2E Terrain")), 2), 100);
}

}  // namespace
}  // namespace pirn_test
