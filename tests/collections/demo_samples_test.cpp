// The demo game's collections are the sample tags: each loads, saves to the
// very same bytes, and holds what the demo promises.

#include <gtest/gtest.h>

#include "codex/four_char_code.h"
#include "collections/collection_tag.h"
#include "tests/collections/collection_fixture.h"
#include "tools/demo_game/demo_game.h"

namespace pirn {
namespace {

using namespace collection_fixture;

// Colour maps (by user data, or by the flags word of the data) are never
// opened as collections; the browser's demo keeps placeholders for them.
std::vector<demo::DemoTag> SampleTags() {
    std::vector<demo::DemoTag> tags;
    const demo::DemoGame game = demo::BuildDemoGame();
    for (const demo::DemoArchive& archive : game.archives)
        for (const demo::DemoTag& tag : archive.tags) {
            // The large colour map keeps its flags in its data only, for the
            // browser's rule; it is listed, never opened or saved.
            if (tag.user_data == 0 && tag.data.size() >= 0x120000) continue;
            if (tag.group == MakeFourCC(".256")) tags.push_back(tag);
        }
    for (const demo::DemoLocalFile& file : game.local_files)
        if (file.tag.group == MakeFourCC(".256")) tags.push_back(file.tag);
    return tags;
}

TEST(DemoSamples, EveryCollectionSavesBackToTheSameBytes) {
    const std::vector<demo::DemoTag> tags = SampleTags();
    ASSERT_GE(tags.size(), 4u);
    for (const demo::DemoTag& tag : tags) {
        SCOPED_TRACE(tag.name);
        MemoryStream in(TagFileBytes(tag.data));
        TagHeader header = TagHeaderFor(tag.data, tag.user_data, tag.name.c_str());
        Collection c;
        InitCollection(&c);
        ASSERT_EQ(LoadCollection(&c, in.file, &header, true), 1);
        MemoryStream out;
        TagHeader saved = MakeTagHeader(MakeFourCC(".256"), tag.tag_id, tag.name.c_str());
        ASSERT_EQ(SaveCollection(&c, out.file, &saved), 1);
        const std::vector<u8> file = out.Contents();
        EXPECT_TRUE(std::vector<u8>(file.begin() + 64, file.end()) == tag.data);
        EXPECT_EQ(saved.user_data, tag.user_data);
        EXPECT_EQ(saved.version, tag.version);
    }
}

TEST(DemoSamples, TheKnightShowsEveryKindOfContent) {
    for (const demo::DemoTag& tag : SampleTags()) {
        if (tag.name != "Demo Knight") continue;
        MemoryStream in(TagFileBytes(tag.data));
        TagHeader header = TagHeaderFor(tag.data, tag.user_data, tag.name.c_str());
        Collection c;
        InitCollection(&c);
        ASSERT_EQ(LoadCollection(&c, in.file, &header, true), 1);
        bool rle = false, raw = false, wide = false, deep = false, shadow = false, empty_view = false,
             alternate = false, mirrored = false;
        for (const auto& b : c.bitmaps) {
            rle |= (b->flags & kBitmapRle) && !(b->flags & kBitmapPartialAlpha);
            raw |= !(b->flags & kBitmapRle) && b->bytes_per_pixel == 2 && !(b->flags & kBitmapShadow);
            wide |= (b->flags & kBitmapPartialAlpha) != 0;
            deep |= b->bytes_per_pixel == 8;
            shadow |= (b->flags & kBitmapShadow) != 0;
        }
        for (const auto& s : c.sequences) {
            mirrored |= (s->flags & kSequenceMirroring) && s->view_count == 8;
            for (const SequenceFrame& f : s->frames)
                for (const BitmapInstance& i : f.instances) {
                    empty_view |= i.standard.bitmap == nullptr;
                    alternate |= (i.flags & kInstanceHasAlternate) && i.alternate.bitmap;
                }
        }
        EXPECT_TRUE(rle && raw && wide && deep && shadow && empty_view && alternate && mirrored);
        EXPECT_EQ(GetCollectionHueChangeCount(c), 1u);
        return;
    }
    FAIL() << "no Demo Knight";
}

}  // namespace
}  // namespace pirn
