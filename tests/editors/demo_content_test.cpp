// The demo game's tags of the editor groups open with the editors' readers
// and fit the shipped definitions.

#include <gtest/gtest.h>

#include <set>

#include "codex/four_char_code.h"
#include "editors/collection_reference.h"
#include "editors/dialog_data.h"
#include "editors/sound_data.h"
#include "editors/struct_definition.h"
#include "editors/struct_registry.h"
#include "tests/editors/editors_test_support.h"
#include "tests/support/test_support.h"
#include "tools/demo_game/demo_game.h"

using namespace pirn;
using namespace editors_test;

namespace {

std::vector<demo::DemoTag> AllTags(const demo::DemoGame& game) {
    std::vector<demo::DemoTag> tags;
    for (const demo::DemoArchive& a : game.archives) tags.insert(tags.end(), a.tags.begin(), a.tags.end());
    for (const demo::DemoLocalFile& f : game.local_files) tags.push_back(f.tag);
    return tags;
}

}  // namespace

TEST(DemoContent, EditorGroupTagsOpenWithTheirReaders) {
    LoadDefinitionsFrom(pirn_test::SourceDir() + "/data");
    std::set<u32> channel_counts;
    std::set<u32> control_types;
    size_t dialogs = 0, sounds = 0, structs = 0;
    for (const demo::DemoTag& tag : AllTags(demo::BuildDemoGame())) {
        SCOPED_TRACE(FourCCToText(tag.group) + " " + tag.name);
        std::FILE* f = StreamOf(tag.data);
        const u32 length = u32(tag.data.size());
        if (tag.group == MakeFourCC("bina")) {
            DialogData d;
            EXPECT_EQ(ReadDialog(&d, f, length), length);
            for (const DialogControl& c : d.controls) control_types.insert(c.type);
            ++dialogs;
        } else if (tag.group == MakeFourCC("soun")) {
            SoundData s;
            EXPECT_TRUE(ReadSoundData(&s, f, 0, length));
            EXPECT_FALSE(s.permutations.empty());
            for (const SoundPermutation& p : s.permutations) channel_counts.insert(p.Channels());
            ++sounds;
        } else if (const StructDefinition* d = FindStructDefinition(FourCCToText(tag.group))) {
            EXPECT_EQ(length, d->size) << "a struct editor opens only tags of the struct's size";
            ++structs;
        }
        if (tag.group == MakeFourCC("core")) {
            CollectionReference r;
            EXPECT_EQ(ReadCollectionReference(&r, f), 384u);
        }
        std::fclose(f);
    }
    EXPECT_GE(dialogs, 3u);
    EXPECT_GE(sounds, 3u);
    EXPECT_GE(structs, 6u);
    EXPECT_EQ(channel_counts, (std::set<u32>{1, 2}));
    EXPECT_GE(control_types.size(), 10u);
    ForgetDefinitions();
}
