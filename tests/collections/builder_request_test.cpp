// The builder dialogs' work without their windows, through the Codex of a
// demo game: the OK buttons' checks, the questions before a local
// collection is replaced, that the old tag stays until the new one is
// written, the boxes of failed builds, and "Create" for high-resolution
// folders.

#include <gtest/gtest.h>

#include "codex/codex.h"
#include "codex/four_char_code.h"
#include "collections/collection_build_request.h"
#include "collections/collection_tag.h"
#include "collections/local_collection_writer.h"
#include "collections/uprez_request.h"
#include "platform/file_system.h"
#include "platform/log_capture.h"
#include "tests/collections/scripted_prompts.h"
#include "tests/support/test_support.h"
#include "tools/demo_game/demo_game.h"

namespace pirn {
namespace {

constexpr int kOverwrite = 0;
constexpr int kDontOverwrite = 1;

class BuilderRequestTest : public ::testing::Test {
protected:
    void SetUp() override {
        UnloadCodex();
        std::string error;
        ASSERT_TRUE(demo::WriteDemoGame(demo::BuildDemoGame(), game(), &error)) << error;
        SetLocalFolder(game() + "/local/");
        ASSERT_NE(AddArchive(game() + "/tags/" + pirn::demo::kDemoBaseArchive), nullptr);
        SetDefaultWorkingSet();
        PollLocalFolder(true);
    }
    void TearDown() override { EXPECT_EQ(UnloadCodex(), 1); }

    std::string game() const { return dir.path() + "/Zarnhold"; }
    std::string art(const char* which) const { return game() + "/art/" + which; }
    std::string local(const std::string& name) const { return game() + "/local/Collections/" + name; }

    CollectionBuildSettings Standard(const char* name) const {
        CollectionBuildSettings settings;
        settings.name = name;
        settings.folder = art(demo::kDemoStandardArt);
        settings.registration_x = demo::kDemoKnightRegistrationX;
        settings.registration_y = demo::kDemoKnightRegistrationY;
        return settings;
    }

    UpResSettings HighRes(double target = 2.0) const {
        UpResSettings settings;
        settings.folder = art(demo::kDemoHighResArt);
        settings.target_scale = target;
        settings.tolerance = 0.1;
        return settings;
    }

    static bool Load(TagEntry* tag, Collection* c) {
        TagHeader header{};
        std::FILE* stream = OpenTagForReading(tag, &header);
        if (!stream) return false;
        const bool ok = LoadCollection(c, stream, &header, true) == 1;
        CloseTagForReading(tag);
        return ok;
    }

    pirn_test::TempDir dir;
    ScopedLogCapture quiet_log;
    ScriptedPrompts prompts;
};

TEST_F(BuilderRequestTest, StandardDialogChecksInOrder) {
    struct Case {
        AutoCollectionFields fields;
        const char* error;  // "" when the fields pass
    };
    auto fields = [&](const char* name, const std::string& path, const char* x, const char* y) {
        AutoCollectionFields f;
        f.name = name;
        f.path = path;
        f.registration_x = x;
        f.registration_y = y;
        return f;
    };
    const std::string folder = art(demo::kDemoStandardArt);
    const Case cases[] = {
        {fields("", game() + "/nowhere", "x", "y"), "Specified folder not found."},
        {fields("Knight", "", "0", "0"), "Specified folder not found."},
        {fields("", folder, "x", "0"), "The name field is invalid."},
        {fields("Knight", folder, "4097", "0"), "The Reg Point X value is invalid."},
        {fields("Knight", folder, "-4097", "0"), "The Reg Point X value is invalid."},
        {fields("Knight", folder, "12a", "0"), "The Reg Point X value is invalid."},
        {fields("Knight", folder, "", "0"), "The Reg Point X value is invalid."},
        {fields("Knight", folder, "4096", "4097"), "The Reg Point Y value is invalid."},
        {fields("Knight", folder, "4096", "-4096"), ""},
        {fields("Knight", folder, " -7 ", "+3"), ""},
    };
    for (const Case& c : cases) {
        prompts.errors.clear();
        CollectionBuildSettings settings;
        u32 tag_id = 0;
        const bool ok = CheckAutoCollectionFields(c.fields, prompts, &settings, &tag_id);
        EXPECT_EQ(ok, *c.error == '\0') << c.fields.registration_x;
        if (*c.error) {
            EXPECT_EQ(prompts.errors, std::vector<std::string>{c.error});
        } else {
            EXPECT_TRUE(prompts.errors.empty());
            EXPECT_EQ(tag_id, kNoTagId);
        }
    }
    EXPECT_EQ(ParseTagIdField("ab"), MakeFourCC("ab  "));
    EXPECT_EQ(ParseTagIdField("kf01"), MakeFourCC("kf01"));
    AutoCollectionFields order = fields("Knight", folder, "1", "2");
    order.frames_then_views = true;
    order.invert_alphas = true;
    CollectionBuildSettings settings;
    u32 tag_id = 0;
    ASSERT_TRUE(CheckAutoCollectionFields(order, prompts, &settings, &tag_id));
    EXPECT_EQ(settings.default_order, kFramesThenViews);
    EXPECT_TRUE(settings.invert_alphas);
    EXPECT_EQ(settings.registration_y, 2);
}

TEST_F(BuilderRequestTest, ABuildBecomesALocalTag) {
    TagEntry* tag = RunAutoCollectionBuild(Standard("Built Knight"), MakeFourCC("bk01"), prompts);
    ASSERT_NE(tag, nullptr);
    EXPECT_TRUE(prompts.questions.empty());
    EXPECT_EQ(tag->tag_id, MakeFourCC("bk01"));
    EXPECT_TRUE(pirn_test::Exists(local("Built Knight")));
    Collection c;
    InitCollection(&c);
    ASSERT_TRUE(Load(tag, &c));
    EXPECT_EQ(c.sequences.size(), 3u);
}

TEST_F(BuilderRequestTest, TheOldTagIsAskedAboutAndReplacedOnlyAfterABuild) {
    ASSERT_NE(RunAutoCollectionBuild(Standard("First"), MakeFourCC("bk01"), prompts), nullptr);
    const std::vector<u8> first = pirn_test::ReadAll(local("First"));

    // Same tag id, another name: asked; "Don't Overwrite" leaves everything.
    prompts.answers = {kDontOverwrite};
    EXPECT_EQ(RunAutoCollectionBuild(Standard("Second"), MakeFourCC("bk01"), prompts), nullptr);
    EXPECT_EQ(prompts.questions, std::vector<std::string>{
                                     "Overwrite Tag?|Another collection with the same tagid exists in the local "
                                     "folder. Do you want to replace it?"});
    EXPECT_EQ(prompts.asked_buttons, (std::vector<std::string>{"Overwrite", "Don't Overwrite"}));
    EXPECT_TRUE(prompts.errors.empty());
    EXPECT_EQ(pirn_test::ReadAll(local("First")), first);

    // A build that fails keeps the old tag and says so.
    prompts.questions.clear();
    prompts.answers = {kOverwrite};
    CollectionBuildSettings nothing = Standard("Second");
    nothing.folder = game() + "/tags";
    EXPECT_EQ(RunAutoCollectionBuild(nothing, MakeFourCC("bk01"), prompts), nullptr);
    EXPECT_EQ(prompts.errors, std::vector<std::string>{"Failed to create the new collection."});
    EXPECT_EQ(pirn_test::ReadAll(local("First")), first);
    EXPECT_TRUE(IsTagLocal(FindTag(kCollectionGroup, MakeFourCC("bk01"))));

    // Overwrite with a build that works: the tag keeps its id, takes the new
    // name, and the old file is gone.
    prompts.errors.clear();
    prompts.answers = {kOverwrite};
    TagEntry* second = RunAutoCollectionBuild(Standard("Second"), MakeFourCC("bk01"), prompts);
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(prompts.errors.empty());
    EXPECT_FALSE(pirn_test::Exists(local("First")));
    EXPECT_TRUE(pirn_test::Exists(local("Second")));
    TagHeader header{};
    GetTagHeader(second, &header);
    EXPECT_STREQ(header.name, "Second");
    EXPECT_EQ(second->tag_id, MakeFourCC("bk01"));
}

TEST_F(BuilderRequestTest, ANameTakenByAnotherTagIsReplacedAfterTheBuild) {
    TagEntry* other = RunAutoCollectionBuild(Standard("Taken"), MakeFourCC("old1"), prompts);
    ASSERT_NE(other, nullptr);
    prompts.answers = {kOverwrite};
    TagEntry* tag = RunAutoCollectionBuild(Standard("Taken"), MakeFourCC("new1"), prompts);
    ASSERT_NE(tag, nullptr);
    EXPECT_EQ(prompts.questions, std::vector<std::string>{
                                     "Overwrite Tag?|Another collection with the same name already exists in the "
                                     "local folder. Do you want to replace it?"});
    EXPECT_EQ(FindTag(kCollectionGroup, MakeFourCC("old1")), nullptr);
    TagEntry* found = FindTag(kCollectionGroup, MakeFourCC("new1"));
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->local_source->file_name, "Taken");
    // Without a tag id a build replaces the tag of its name in place.
    prompts.questions.clear();
    prompts.answers = {kOverwrite};
    TagEntry* again = RunAutoCollectionBuild(Standard("Taken"), kNoTagId, prompts);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->tag_id, MakeFourCC("new1"));
    EXPECT_EQ(prompts.questions.size(), 1u);
}

TEST_F(BuilderRequestTest, AnArchiveCollectionsIdIsNotTaken) {
    EXPECT_EQ(RunAutoCollectionBuild(Standard("Mine"), MakeFourCC(demo::kDemoKnightFramesId), prompts), nullptr);
    EXPECT_EQ(prompts.errors,
              std::vector<std::string>{"Could not create the collection tag 'Mine'; it may already exist."});
    EXPECT_FALSE(pirn_test::Exists(local("Mine")));
}

TEST_F(BuilderRequestTest, HighResDialogChecksInOrder) {
    TagEntry* knight = FindTag(kCollectionGroup, MakeFourCC(demo::kDemoKnightFramesId));
    ASSERT_NE(knight, nullptr);
    struct Case {
        bool collection;
        std::string folder;
        const char *scale, *object, *tolerance, *error;
    };
    const std::string folder = art(demo::kDemoHighResArt);
    const Case cases[] = {
        {false, folder, "2", "1", "0.1", "You must choose a collection."},
        {true, game() + "/none", "2", "1", "0.1", "Specified folder not found."},
        {true, folder, "0.005", "1", "0.1", "Invalid scale."},
        {true, folder, "33", "1", "0.1", "Invalid scale."},
        {true, folder, "two", "1", "0.1", "Invalid scale."},
        {true, folder, "0.01", "-1", "0.1", "Invalid object scale."},
        {true, folder, "32", "32.5", "0.1", "Invalid object scale."},
        {true, folder, "2", "0", "x", "Invalid tolerance."},
        {true, folder, "2", "0", "40", "Invalid tolerance."},
        {true, folder, "2", "0", "0", ""},
        {true, folder, " 1.5 ", "2", "32", ""},
    };
    for (const Case& c : cases) {
        prompts.errors.clear();
        AutoUpResFields fields;
        fields.collection = c.collection ? knight : nullptr;
        fields.high_res_path = c.folder;
        fields.scale = c.scale;
        fields.object_scale = c.object;
        fields.scale_tolerance = c.tolerance;
        fields.align_individually = true;
        UpResSettings settings;
        const bool ok = CheckAutoUpResFields(fields, prompts, &settings);
        EXPECT_EQ(ok, *c.error == '\0') << c.scale << " " << c.object << " " << c.tolerance;
        if (*c.error) {
            EXPECT_EQ(prompts.errors, std::vector<std::string>{c.error});
        }
        if (ok) {
            EXPECT_DOUBLE_EQ(settings.target_scale, std::stod(c.scale) * std::stod(c.object));
            EXPECT_EQ(settings.align, kAlignBitmapsIndividually);
        }
    }
}

TEST_F(BuilderRequestTest, OnlyArchiveCollectionsAreUpResed) {
    TagEntry* mine = RunAutoCollectionBuild(Standard("Mine"), kNoTagId, prompts);
    ASSERT_NE(mine, nullptr);
    EXPECT_FALSE(ConfirmUpResTarget(mine, prompts));
    EXPECT_EQ(prompts.errors, std::vector<std::string>{"Cannot Up-Res a collection from the local folder."});
    TagEntry* knight = FindTag(kCollectionGroup, MakeFourCC(demo::kDemoKnightFramesId));
    EXPECT_TRUE(ConfirmUpResTarget(knight, prompts));
    EXPECT_TRUE(prompts.questions.empty());
}

TEST_F(BuilderRequestTest, UpResWritesTheLocalCopyOnlyWhenItWorks) {
    TagEntry* knight = FindTag(kCollectionGroup, MakeFourCC(demo::kDemoKnightFramesId));
    ASSERT_NE(knight, nullptr);
    ASSERT_EQ(RunUpRes(knight, HighRes(), prompts), knight);
    const std::string file = local(demo::kDemoKnightFramesName);
    ASSERT_TRUE(pirn_test::Exists(file));
    const std::vector<u8> first = pirn_test::ReadAll(file);

    // A second run reads the archive's copy again, not the local one: the
    // bitmaps are added once.
    prompts.answers = {kOverwrite};
    ASSERT_TRUE(ConfirmUpResTarget(knight, prompts));
    EXPECT_EQ(prompts.questions, std::vector<std::string>{
                                     "Overwrite Tag?|The specified collection already exists in the local folder. "
                                     "Do you want to replace it?"});
    ASSERT_EQ(RunUpRes(knight, HighRes(), prompts), knight);
    EXPECT_EQ(pirn_test::ReadAll(file), first);

    // A run that fails leaves the local copy and says so.
    EXPECT_EQ(RunUpRes(knight, HighRes(3.0), prompts), nullptr);
    EXPECT_EQ(prompts.errors,
              std::vector<std::string>{"The high-resolution collection could not be built; the log tells why."});
    EXPECT_EQ(pirn_test::ReadAll(file), first);
    EXPECT_TRUE(quiet_log.Contains("FATAL: computed scale (2.00) must not be less than the target scale (3.00).\n"));
}

TEST_F(BuilderRequestTest, CreateMakesAFolderPerSequence) {
    EXPECT_TRUE(CreateHighResFolders(nullptr, dir.path(), prompts).empty());
    EXPECT_EQ(prompts.errors, std::vector<std::string>{"You must pick a collection first."});
    TagEntry* knight = FindTag(kCollectionGroup, MakeFourCC(demo::kDemoKnightFramesId));
    const std::string made = CreateHighResFolders(knight, dir.path() + "/new", prompts);
    EXPECT_EQ(made, dir.path() + "/new/Knight Frames/");
    for (const char* sequence : {"walk", "idle", "attack"})
        EXPECT_TRUE(PathExists(made + sequence, kPathIsFolder)) << sequence;
}

// The demo game's frames, built as a user would: what the frames say is
// what the collections hold.
TEST_F(BuilderRequestTest, TheDemoFramesBuildTheKnight) {
    TagEntry* tag = RunAutoCollectionBuild(Standard("Built Knight"), kNoTagId, prompts);
    ASSERT_NE(tag, nullptr);
    Collection c;
    InitCollection(&c);
    ASSERT_TRUE(Load(tag, &c));
    // walk: 3 source frames x 8 views; idle repeats walk's third frame;
    // attack: 2 x 8.
    EXPECT_EQ(c.bitmaps.size(), 40u);
    ASSERT_EQ(c.sequences.size(), 3u);
    struct Expected {
        const char* name;
        demo::DemoKnightPose pose;
        std::vector<i32> sources;
    };
    const Expected expected[] = {
        {"attack", demo::DemoKnightPose::kAttack, {0, 1}},
        {"idle", demo::DemoKnightPose::kIdle, {0, 1}},
        {"walk", demo::DemoKnightPose::kWalk, {0, 1, 2, -1, 1}},
    };
    for (u32 s = 0; s < 3; ++s) {
        const CollectionSequence& sequence = *c.sequences[s];
        const Expected& e = expected[s];
        SCOPED_TRACE(e.name);
        EXPECT_STREQ(sequence.name, e.name);
        EXPECT_EQ(sequence.view_count, 8);
        ASSERT_EQ(sequence.frame_count, e.sources.size());
        for (u32 f = 0; f < e.sources.size(); ++f)
            for (u32 v = 0; v < 8; ++v) {
                const BitmapInstance& i = sequence.frames[f].instances[v];
                if (e.sources[f] < 0) {
                    EXPECT_EQ(i.standard.bitmap, nullptr);
                    continue;
                }
                const demo::DemoKnightBounds box = demo::DemoKnightFrameBounds(e.pose, v, u32(e.sources[f]));
                ASSERT_NE(i.standard.bitmap, nullptr);
                EXPECT_EQ(i.standard.x, demo::kDemoKnightRegistrationX - box.x0) << f << " " << v;
                EXPECT_EQ(i.standard.y, demo::kDemoKnightRegistrationY - box.y0) << f << " " << v;
                EXPECT_EQ(i.standard.bitmap->width, box.x1 - box.x0 + 1);
                EXPECT_EQ(i.standard.bitmap->height, box.y1 - box.y0 + 1);
            }
    }
    // Idle shows the walk's third frame, the walk's fifth frame its second.
    const CollectionSequence& walk = *c.sequences[2];
    for (u32 v = 0; v < 8; ++v) {
        EXPECT_EQ(c.sequences[1]->frames[1].instances[v].standard.bitmap, walk.frames[2].instances[v].standard.bitmap);
        EXPECT_EQ(walk.frames[4].instances[v].standard.bitmap, walk.frames[1].instances[v].standard.bitmap);
    }
    EXPECT_TRUE(quiet_log.Contains("INFO: Sequence dimensions not specified for '" + art(demo::kDemoStandardArt) +
                                   "/idle/bitmaps/'; Assuming the default of 8 views.\n"));
}

TEST_F(BuilderRequestTest, TheDemoHighResFramesGiveEveryViewItsAlternate) {
    TagEntry* knight = FindTag(kCollectionGroup, MakeFourCC(demo::kDemoKnightFramesId));
    ASSERT_NE(knight, nullptr);
    Collection before;
    InitCollection(&before);
    ASSERT_TRUE(Load(knight, &before));
    const size_t standard_bitmaps = before.bitmaps.size();
    ASSERT_EQ(RunUpRes(knight, HighRes(), prompts), knight);
    Collection c;
    InitCollection(&c);
    ASSERT_TRUE(Load(knight, &c));  // the local copy now
    ASSERT_TRUE(IsTagLocal(knight));
    EXPECT_EQ(c.bitmaps.size(), standard_bitmaps + 40);
    u32 shown = 0;
    for (const auto& sequence : c.sequences)
        for (const SequenceFrame& frame : sequence->frames)
            for (const BitmapInstance& i : frame.instances) {
                if (!i.standard.bitmap) {
                    EXPECT_FALSE(i.flags & kInstanceHasAlternate);
                    continue;
                }
                ++shown;
                ASSERT_TRUE(i.flags & kInstanceHasAlternate);
                EXPECT_EQ(i.alternate.scale, 327680u);
                EXPECT_EQ(i.alternate.x, 2 * i.standard.x);
                EXPECT_EQ(i.alternate.y, 2 * i.standard.y);
                ASSERT_NE(i.alternate.bitmap, nullptr);
                EXPECT_EQ(i.alternate.bitmap->bytes_per_pixel, 8);
                EXPECT_EQ(i.alternate.bitmap->width, 2 * i.standard.bitmap->width);
                EXPECT_EQ(i.alternate.bitmap->height, 2 * i.standard.bitmap->height);
            }
    EXPECT_EQ(shown, 8u * (2 + 2 + 4));
    // The team colour of the banner carries the script's hue change (number 1).
    const BitmapInstance& first = c.sequences[0]->frames[0].instances[0];
    const demo::DemoKnightBounds box = demo::DemoKnightFrameBounds(demo::DemoKnightPose::kWalk, 0, 0);
    const u32 banner_x = 2 * (20 - 6 - box.x0) + 3, banner_y = 2 * (16 - box.y0) + 3;
    const CollectionBitmap& big = *first.alternate.bitmap;
    EXPECT_EQ(big.pixels[(size_t(banner_y) * big.width + banner_x) * 8 + 3] >> 5, 1);
    EXPECT_EQ(big.pixels[3] >> 5, 0);
    EXPECT_TRUE(quiet_log.Contains("computed global scale: 2.00\n"));
}

}  // namespace
}  // namespace pirn
