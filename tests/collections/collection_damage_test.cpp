// Random damage of sample tags and bitmap blocks: the loader and the
// decoder must answer (a collection, a refusal, a placeholder) without
// reading outside what they were given. The sanitizer build runs these too.

#include <gtest/gtest.h>

#include <random>

#include "collections/bitmap_codec.h"
#include "collections/collection_tag.h"
#include "codex/four_char_code.h"
#include "tests/collections/collection_fixture.h"
#include "tools/demo_game/demo_game.h"
#include "platform/log_capture.h"

namespace pirn {
namespace {

using namespace collection_fixture;

// A sample with every section and every pixel form.
std::vector<u8> SampleTagData() {
    Collection c;
    InitCollection(&c);
    for (u32 i = 0; i < 256; ++i) c.colors[3 * i] = c.colors[3 * i + 1] = u8(i);
    const u16 forms[] = {0, kBitmapRle, kBitmapPartialAlpha, kBitmapRle | kBitmapPartialAlpha, kBitmapShadow};
    int n = 0;
    for (u16 flags : forms) {
        std::vector<u8> pixels(size_t(9) * 5 * 2);
        for (size_t i = 0; i < pixels.size(); i += 2) {
            pixels[i] = (i / 2) % 3 == 0 ? 0 : ((flags & kBitmapPartialAlpha) && i % 5 == 0 ? 136 : 255);
            pixels[i + 1] = pixels[i] ? u8(2 + i % 200) : 0;
        }
        AddCollectionBitmap(&c, ("b" + std::to_string(n++)).c_str(), flags, pixels.data(), 9, 5, 2, nullptr);
    }
    std::vector<u8> deep(size_t(6) * 3 * 8);
    for (size_t i = 0; i < deep.size(); ++i) deep[i] = u8(i * 37);
    AddCollectionBitmap(&c, "deep", 0, deep.data(), 6, 3, 8, nullptr);
    CollectionHueChange* hue = AddHueChange(&c, "hue");
    hue->replacement_flags = 1;
    CollectionSequence* s = AddSequence(&c, "walk");
    ResizeSequence(s, 4, 3);
    s->flags |= kSequenceMirroring;
    for (SequenceFrame& frame : s->frames) {
        frame.shadow = c.bitmaps[4].get();
        for (u32 v = 0; v < 4; ++v) frame.instances[v].standard.bitmap = c.bitmaps[v].get();
        frame.instances[1].flags |= kInstanceHasAlternate;
        frame.instances[1].alternate.bitmap = c.bitmaps[5].get();
    }
    ResizeSequence(AddSequence(&c, "empty"), 2, 0);

    MemoryStream stream;
    TagHeader header = MakeTagHeader(0x2E323536, 1, "sample");
    EXPECT_EQ(SaveCollection(&c, stream.file, &header), 1);
    std::vector<u8> file = stream.Contents();
    return std::vector<u8>(file.begin() + 64, file.end());
}

// One kind of damage at a random place: a byte, a big-endian word set to a
// hostile value, or a cut.
void Damage(std::vector<u8>* data, std::mt19937& random) {
    const size_t at = random() % data->size();
    switch (random() % 4) {
        case 0:
            (*data)[at] = u8(random());
            break;
        case 1: {
            const u32 values[] = {0, 1, 0xFFFF, 0x7FFF, 0x8000, 0xFFFFFFFF, 0x7FFFFFFF, 0x80000000, u32(random())};
            const u32 v = values[random() % 9];
            for (size_t i = 0; i < 4 && at + i < data->size(); ++i) (*data)[at + i] = u8(v >> (24 - 8 * i));
            break;
        }
        case 2:
            (*data)[at] ^= u8(1u << (random() % 8));
            break;
        default:
            data->resize(at);
            break;
    }
}

// The sample above and the demo game's collections.
std::vector<std::vector<u8>> Samples() {
    std::vector<std::vector<u8>> samples = {SampleTagData()};
    const demo::DemoGame game = demo::BuildDemoGame();
    for (const demo::DemoArchive& archive : game.archives)
        for (const demo::DemoTag& tag : archive.tags)
            if (tag.group == MakeFourCC(".256") && archive.file_name == pirn::demo::kDemoBaseArchive) samples.push_back(tag.data);
    return samples;
}

TEST(CollectionDamage, DamagedTagsLoadOrAreRefusedAndWhatLoadsSavesAgain) {
    const std::vector<std::vector<u8>> samples = Samples();
    ASSERT_GE(samples.size(), 3u);
    std::mt19937 random(256);
    ScopedLogCapture log;  // keep the refusals off stderr
    int loaded_count = 0;
    for (int round = 0; round < 1500; ++round) {
        std::vector<u8> data = samples[size_t(round) % samples.size()];
        const int hits = 1 + int(random() % 4);
        for (int h = 0; h < hits && !data.empty(); ++h) Damage(&data, random);
        MemoryStream stream(TagFileBytes(data));
        TagHeader header = TagHeaderFor(data, 6);
        Collection c;
        InitCollection(&c);
        if (!LoadCollection(&c, stream.file, &header, true)) continue;
        ++loaded_count;
        // Every pointer the loader made is an element of the bitmap list.
        for (const auto& s : c.sequences)
            for (const SequenceFrame& frame : s->frames) {
                ASSERT_EQ(frame.instances.size(), s->view_count);
                auto listed = [&c](const CollectionBitmap* b) { return !b || FindCollectionBitmap(c, b) >= 0; };
                ASSERT_TRUE(listed(frame.shadow));
                for (const BitmapInstance& i : frame.instances) {
                    ASSERT_TRUE(listed(i.standard.bitmap));
                    ASSERT_TRUE(listed(i.alternate.bitmap));
                }
            }
        std::string reason;
        if (!CheckCollectionStorable(c, &reason)) continue;
        MemoryStream out;
        TagHeader saved = MakeTagHeader(0x2E323536, 1, "again");
        ASSERT_EQ(SaveCollection(&c, out.file, &saved), 1);
    }
    EXPECT_GT(loaded_count, 0);
}

TEST(CollectionDamage, DamagedBitmapBlocksDecodeOrAreRefused) {
    std::mt19937 random(52);
    ColorTableRecord table = {};
    for (u32 i = 0; i < 256; ++i) table.channels[i][0] = u16(i << 8);
    std::vector<std::vector<u8>> blocks;
    for (u16 flags : {u16(0), u16(kBitmapRle), u16(kBitmapPartialAlpha), u16(kBitmapRle | kBitmapPartialAlpha)}) {
        CollectionBitmap b;
        b.width = 11;
        b.height = 4;
        b.flags = flags;
        for (int i = 0; i < 44; ++i) {
            b.pixels.push_back(i % 4 == 0 ? 0 : (flags & kBitmapPartialAlpha) && i % 3 == 0 ? 68 : 255);
            b.pixels.push_back(b.pixels.back() ? u8(i + 1) : 0);
        }
        std::vector<u8> block;
        ASSERT_TRUE(EncodeCollectionBitmapBytes(b, &block));
        blocks.push_back(block);
    }
    for (int round = 0; round < 4000; ++round) {
        std::vector<u8> block = blocks[random() % blocks.size()];
        // Header fields get hostile values more often than pixel bytes.
        const int hits = 1 + int(random() % 3);
        for (int h = 0; h < hits && !block.empty(); ++h) {
            if (random() % 2) {
                const size_t at = 2 * (random() % 9);
                const u16 v = u16(random() % 3 == 0 ? random() : random() % 70);
                if (at + 1 < block.size()) {
                    block[at] = u8(v >> 8);
                    block[at + 1] = u8(v);
                }
            } else {
                Damage(&block, random);
            }
        }
        // An exact-size copy so that any read past the end is caught.
        std::vector<u8> exact(block);
        auto bitmap = DecodeCollectionBitmapBytes(exact.data(), exact.size(), table);
        if (!bitmap) continue;
        ASSERT_EQ(bitmap->pixels.size(), size_t(bitmap->width) * bitmap->height * bitmap->bytes_per_pixel);
    }
}

}  // namespace
}  // namespace pirn
