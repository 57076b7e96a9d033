// Building add-ons from a generated game folder's local folder, then
// reading the game folder again as a player's copy of the game would.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <utility>

#include "app/addon_builder.h"
#include "app/game_archives.h"
#include "codex/codex.h"
#include "codex/four_char_code.h"
#include "models/detail_map.h"
#include "platform/pref_store.h"
#include "tests/codex/codex_fixture_bytes.h"
#include "tests/support/test_support.h"
#include "tools/demo_game/demo_game.h"
#include "platform/log_capture.h"

namespace {

namespace fs = std::filesystem;
using codex_fixture::Code;
using pirn::u32;
using pirn::u8;
using TagKey = std::pair<u32, u32>;  // group, tag id

class AddonBuilderTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(pirn::demo::WriteDemoGame(game_plan, dir.path() + "/Zarnhold", &error)) << error;
        pirn::SetPrefString("ZarnPath", Game());
        StartCodex(true);
    }
    void TearDown() override { EXPECT_EQ(pirn::UnloadCodex(), 1); }

    std::string Game() const { return dir.path() + "/Zarnhold/"; }
    std::string Plugin(const std::string& name) const { return Game() + "plugins/" + name; }

    // What the program does at start-up: every file of tags/ and plugins/
    // as an archive, the local folder, the default working set.
    void StartCodex(bool with_local) {
        pirn::UnloadCodex();
        pirn::AddGameArchivesFrom(Game());
        pirn::SetLocalFolder(with_local ? Game() + "local/" : dir.path() + "/no local folder/");
        pirn::PollLocalFolder(true);
        pirn::SetDefaultWorkingSet();
    }

    pirn::AddonFieldsPrompt Popup(const std::string& name, const std::string& priority = "100") {
        return [name, priority](pirn::AddonFields* fields) {
            fields->name = name;
            fields->url = "www.example.org/addon";
            fields->priority = priority;
            return true;
        };
    }

    std::set<TagKey> ArchiveTags(const std::string& file) {
        pirn::Archive* archive = pirn::FindArchiveByPath(file);
        EXPECT_NE(archive, nullptr) << file;
        std::set<TagKey> keys;
        if (!archive) return keys;
        pirn::TagList tags;
        pirn::ListArchiveTags(archive, tags);
        for (pirn::TagEntry* tag : tags) keys.insert({tag->group, tag->tag_id});
        return keys;
    }

    // Each tag's effective copy comes from the archive of that file.
    void ExpectEffectiveCopiesFrom(const std::set<TagKey>& keys, const std::string& file) {
        pirn::Archive* archive = pirn::FindArchiveByPath(file);
        ASSERT_NE(archive, nullptr);
        for (const TagKey& key : keys) {
            pirn::TagEntry* tag = pirn::FindTag(key.first, key.second);
            ASSERT_NE(tag, nullptr) << pirn::FourCCToText(key.second);
            pirn::TagSource* source = pirn::GetEffectiveSource(tag);
            ASSERT_NE(source, nullptr);
            EXPECT_EQ(source->archive, archive) << pirn::FourCCToText(key.first) << " " << pirn::FourCCToText(key.second);
        }
    }

    pirn_test::TempDir dir;
    pirn::demo::DemoGame game_plan = pirn::demo::BuildDemoGame();
    pirn::ScopedLogCapture quiet_log;
};

TEST(AddonFields, InvalidFieldsAreNamedInOrder) {
    struct Case {
        std::string name, url, priority, expected;
    };
    for (const Case& c : std::vector<Case>{
             {"<addon name>", "<addon url>", "100", ""},
             {"x", "u", "2", ""},
             {"x", "u", "32767", ""},
             {"", "u", "100", " name"},
             {"..", "u", "100", " name"},
             {".", "u", "100", " name"},
             {"x", "", "100", " url"},
             {"x", "u", "1", " version"},
             {"x", "u", "40000", " version"},
             {"x", "u", "32768", " version"},
             {"x", "u", "a", " version"},
             {"x", "u", "12a", " version"},
             {"x", "u", "", " version"},
             {"x", "u", "-5", " version"},
             {"", "", "0", " name url version"},
         }) {
        pirn::AddonFields fields;
        fields.name = c.name;
        fields.url = c.url;
        fields.priority = c.priority;
        EXPECT_EQ(pirn::FindInvalidAddonFields(fields), c.expected) << c.name << "|" << c.url << "|" << c.priority;
    }
    pirn::AddonFields defaults;
    EXPECT_EQ(defaults.name, "<addon name>");
    EXPECT_EQ(defaults.url, "<addon url>");
    EXPECT_EQ(pirn::AddonPriority(defaults), 100);
}

TEST(AddonFields, PopupRefusalShowsTheInvalidFields) {
    pirn::AddonFields fields;
    pirn::AddonMessage message;
    auto bad = [](pirn::AddonFields* f) {
        f->url = "";
        f->priority = "1";
        return true;
    };
    EXPECT_EQ(pirn::RunAddonPopup(bad, &fields, &message), 0);
    EXPECT_EQ(message.caption, "Error");
    EXPECT_EQ(message.text, "The following fields are invalid:  url version");
    EXPECT_EQ(message.button, "OK");
    EXPECT_EQ(pirn::RunAddonPopup([](pirn::AddonFields*) { return false; }, &fields, &message), 0);
    EXPECT_TRUE(message.empty());
}

TEST_F(AddonBuilderTest, RegularAddonPacksTheAllowedLocalTagsAndWinsForAPlayer) {
    std::set<TagKey> expected;
    for (const auto& file : game_plan.local_files)
        if (pirn::IsAddonAllowedGroup(file.tag.group)) expected.insert({file.tag.group, file.tag.tag_id});
    ASSERT_FALSE(expected.empty());

    pirn::AddonMessage message;
    ASSERT_EQ(pirn::BuildRegularAddon(Popup("My Addon", "150"), &message), 1) << message.text;
    EXPECT_EQ(message.caption, "Success");
    EXPECT_EQ(message.text, "The addon has been written to the plugins folder as 'My Addon'");
    std::vector<u8> bytes = pirn_test::ReadAll(Plugin("My Addon"));
    ASSERT_GE(bytes.size(), 128u);
    EXPECT_EQ(codex_fixture::ReadU16(bytes, 0), 6);    // kind
    EXPECT_EQ(codex_fixture::ReadU16(bytes, 2), 150);  // priority
    EXPECT_EQ(codex_fixture::ReadText(bytes, 4, 32), "My Addon");
    EXPECT_EQ(codex_fixture::ReadText(bytes, 36, 64), "www.example.org/addon");

    // A player's game: no local folder, the add-on in plugins/.
    StartCodex(false);
    EXPECT_EQ(ArchiveTags(Plugin("My Addon")), expected);
    ExpectEffectiveCopiesFrom(expected, Plugin("My Addon"));
}

TEST_F(AddonBuilderTest, DtexAddonPacksLocalMapsAndTheTexturesTheirCellsUse) {
    pirn::TagList tags;
    pirn::AddonMessage message;
    ASSERT_EQ(pirn::CollectDtexAddonTags(&tags, &message), 1) << message.text;
    // The local map, then the textures by ascending id: one local ('mud '),
    // three from an archive; 'snow' and 'gone' are named but no cell uses
    // them; the version-1 map lives only in an archive.
    std::vector<TagKey> order;
    for (pirn::TagEntry* tag : tags) order.push_back({tag->group, tag->tag_id});
    EXPECT_EQ(order, (std::vector<TagKey>{{Code("dmap"), Code("dv11")},
                                          {Code("dtex"), Code("gras")},
                                          {Code("dtex"), Code("mud ")},
                                          {Code("dtex"), Code("rock")},
                                          {Code("dtex"), Code("sand")}}));

    ASSERT_EQ(pirn::BuildDtexAddon(Popup("Valley Textures"), &message), 1) << message.text;
    const std::set<TagKey> expected(order.begin(), order.end());
    StartCodex(false);
    EXPECT_EQ(ArchiveTags(Plugin("Valley Textures")), expected);
    ExpectEffectiveCopiesFrom(expected, Plugin("Valley Textures"));
    // The archive copies went in whole: their bytes are the terrain
    // archive's.
    pirn::TagHeader header{};
    std::FILE* f = pirn::OpenTagForReading(pirn::FindTag(Code("dtex"), Code("sand")), &header);
    ASSERT_NE(f, nullptr);
    pirn::CloseTagForReading(pirn::FindTag(Code("dtex"), Code("sand")));
    for (const auto& archive : game_plan.archives)
        for (const auto& tag : archive.tags)
            if (tag.group == Code("dtex") && tag.tag_id == Code("sand")) {
                EXPECT_EQ(header.data_length, tag.data.size());
            }
}

TEST_F(AddonBuilderTest, FailedBuildKeepsThePreviousAddonWhole) {
    pirn::AddonMessage message;
    ASSERT_EQ(pirn::BuildRegularAddon(Popup("Keep Me"), &message), 1);
    const std::vector<u8> before = pirn_test::ReadAll(Plugin("Keep Me"));

    pirn::TagList tags;
    ASSERT_EQ(pirn::CollectRegularAddonTags(&tags, &message), 1);
    // One of the local files goes away between listing and writing.
    fs::remove(Game() + "local/Text/Text Alpha");
    EXPECT_EQ(pirn::WriteAddon(tags, Popup("Keep Me"), &message), 0);
    EXPECT_EQ(message.caption, "Error");
    EXPECT_EQ(message.text,
              "The addon could not be created. Possible reasons include:\n"
              "\xA5 Tags from the destination file are open in Pirn.\n"
              "\xA5 The destination file is open in another program.\n"
              "\xA5 Some tags from the local folder were corrupt or unreadable.");
    EXPECT_EQ(pirn_test::ReadAll(Plugin("Keep Me")), before);
    for (const auto& entry : fs::directory_iterator(Game() + "plugins"))
        EXPECT_EQ(entry.path().filename().string().find(".pirn-tmp"), std::string::npos);
}

TEST_F(AddonBuilderTest, TheNameCannotLeaveThePluginsFolder) {
    pirn::AddonMessage message;
    ASSERT_EQ(pirn::BuildRegularAddon(Popup("../../escape"), &message), 1) << message.text;
    EXPECT_FALSE(pirn_test::Exists(Game() + "escape"));
    EXPECT_FALSE(pirn_test::Exists(dir.path() + "/escape"));
    EXPECT_TRUE(pirn_test::Exists(Plugin(".._.._escape")));
    EXPECT_EQ(message.text, "The addon has been written to the plugins folder as '.._.._escape'");

    EXPECT_EQ(pirn::BuildRegularAddon(Popup(".."), &message), 0);
    EXPECT_EQ(message.text, "The following fields are invalid:  name");
    // The default name builds a plugin of that name.
    ASSERT_EQ(pirn::BuildRegularAddon(Popup("<addon name>"), &message), 1);
    EXPECT_TRUE(pirn_test::Exists(Plugin("<addon name>")) || pirn_test::Exists(Plugin("_addon name_")));
}

TEST_F(AddonBuilderTest, CancelledPopupWritesNothing) {
    const auto plugins = [&] { return std::distance(fs::directory_iterator(Game() + "plugins"), fs::directory_iterator()); };
    const auto before = plugins();
    pirn::AddonMessage message;
    EXPECT_EQ(pirn::BuildRegularAddon([](pirn::AddonFields*) { return false; }, &message), 0);
    EXPECT_TRUE(message.empty());
    EXPECT_EQ(plugins(), before);
}

TEST_F(AddonBuilderTest, NothingToPackIsSaid) {
    StartCodex(false);
    pirn::AddonMessage message;
    EXPECT_EQ(pirn::BuildRegularAddon(Popup("x"), &message), 0);
    EXPECT_EQ(message.caption, "Message");
    EXPECT_EQ(message.text, "No addon-allowed files were found in the local folder - Nothing to do!");
    EXPECT_EQ(pirn::BuildDtexAddon(Popup("x"), &message), 0);
    EXPECT_EQ(message.text, "No dmaps detected in the local folder - nothing to do!");
    EXPECT_EQ(message.button, "OK");
}

// A local version-2 map of 2 x 1 cells whose cells use entries 0 and
// (16-bit plane) 1; entry 1 names `texture`.
std::vector<u8> SmallMap(u32 texture, bool damaged) {
    codex_fixture::BigEndianBuffer b;
    b.PutU32(2);
    b.PutU32(1);
    b.PutU32(256 + 8192);
    b.PutU32(0);
    b.PutU32(256 + 8192 + 2);
    b.PutU32(0);
    b.PutU32(damaged ? 0xFFFFFF00 : 256);
    b.PutZeros(228);
    for (u32 i = 0; i < 128; ++i) {
        b.PutU32(i == 0 ? Code("gras") : i == 1 ? texture : 0xFFFFFFFF);
        b.PutZeros(60);
    }
    for (u8 v : {0, 1}) b.PutU8(v);           // byte plane: two cells of 0
    for (u8 v : {1, 0, 0x80, 0, 1, 0, 0x80, 0}) b.PutU8(v);  // 16-bit plane: 0x8001 twice (0x80 marks nothing)
    return b.bytes();
}

TEST_F(AddonBuilderTest, DtexAddonStopsAtMapsItCannotPack) {
    struct Case {
        const char* what;
        std::vector<u8> data;
        std::string text;
    };
    for (const Case& c : std::vector<Case>{
             {"missing texture", SmallMap(Code("miss"), false),
              "The detail map 'Broken' (brok) referenced a detail texture ('miss') which could not be found. Aborting."},
             {"unreadable map", SmallMap(Code("sand"), true), "The detail map 'Broken' ('brok') could not be read. Aborting."},
         }) {
        codex_fixture::Tag tag{Code("dmap"), Code("brok"), "Broken", c.data};
        tag.version = 2;
        pirn_test::WriteAll(Game() + "local/Detail Maps/Broken", codex_fixture::TagFile(tag));
        StartCodex(true);
        pirn::AddonMessage message;
        EXPECT_EQ(pirn::BuildDtexAddon(Popup("x"), &message), 0) << c.what;
        EXPECT_EQ(message.caption, "Error") << c.what;
        EXPECT_EQ(message.text, c.text) << c.what;
        EXPECT_EQ(message.button, "Ok") << c.what;
        EXPECT_FALSE(pirn_test::Exists(Plugin("x"))) << c.what;
    }
}

}  // namespace
