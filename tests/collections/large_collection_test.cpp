// Tags larger than the loader's read window, built by hand: every bitmap
// and reference comes back whatever order the blocks lie in, saving gives
// the same bytes again, and damage anywhere in them is survived.

#include <gtest/gtest.h>

#include <random>

#include "collections/collection_tag.h"
#include "platform/log_capture.h"
#include "tests/collections/collection_fixture.h"

namespace pirn {
namespace {

using namespace collection_fixture;

// What a bitmap of the large tag holds, as (alpha, index) pairs or 64-bit
// pixels, computed apart from its stored block.
struct Expected {
    u16 width, height, bytes_per_pixel;
    std::vector<u8> pixels;
};

u8 IndexAt(int bitmap, u32 x, u32 y) { return u8((x * 7 + y * 3 + u32(bitmap)) % 251); }

// Bitmap i of the tag: 8-bit RAW, 8-bit RLE, 16-bit RAW and 64-bit blocks
// in turn, 90 x 70 each.
void AddBitmap(int i, StoredCollection* c, std::vector<Expected>* expected) {
    const u16 w = 90, h = 70;
    Expected e{w, h, 2, {}};
    Bytes b;
    switch (i % 4) {
        case 0: {  // 8-bit RAW: index 0 transparent
            b = collection_fixture::BitmapHeader(i16(w), i16(h), w, 0x0000, 8, 0, 0);
            b.Zeros(size_t(h) * 4 - 4);
            for (u32 y = 0; y < h; ++y)
                for (u32 x = 0; x < w; ++x) {
                    const u8 v = IndexAt(i, x, y);
                    b.U8(v);
                    e.pixels.insert(e.pixels.end(), {u8(v ? 255 : 0), v});
                }
            break;
        }
        case 1: {  // 8-bit RLE: one run from column y % 20 to 60 + y % 30
            b = collection_fixture::BitmapHeader(i16(w), i16(h), w, 0x0044, 8, 0, 0);
            b.Zeros(size_t(h) * 4 - 4);
            e.pixels.assign(size_t(w) * h * 2, 0);
            for (u32 y = 0; y < h; ++y) {
                const u16 start = u16(y % 20), end = u16(60 + y % 30);
                std::vector<u8> row;
                for (u32 x = start; x < end; ++x) {
                    const u8 v = u8(1 + IndexAt(i, x, y) % 250);
                    row.push_back(v);
                    e.pixels[2 * (size_t(y) * w + x)] = 255;
                    e.pixels[2 * (size_t(y) * w + x) + 1] = v;
                }
                RleRow(&b, {{start, end}}, row, row.size(), true);
            }
            break;
        }
        case 2: {  // 16-bit RAW: transparency x % 16
            b = collection_fixture::BitmapHeader(i16(w), i16(h), 2 * w, 0x0010, 16, 1, 0);
            b.Zeros(size_t(h) * 4 - 4);
            for (u32 y = 0; y < h; ++y)
                for (u32 x = 0; x < w; ++x) {
                    const u8 t = u8(x % 16), v = IndexAt(i, x, y);
                    b.U8(t).U8(v);
                    e.pixels.insert(e.pixels.end(), {u8((15 - t) * 17), u8(t == 15 ? 0 : v)});
                }
            break;
        }
        default: {  // 64-bit: code 31 with seven data bytes, then up to 255 followers
            e.bytes_per_pixel = 8;
            b = collection_fixture::BitmapHeader(i16(w), i16(h), u16(8 * w), 0x4020, 64, 0, 1);
            b.U8(0);
            size_t left = size_t(w) * h;
            u32 n = 0;
            while (left > 0) {
                const size_t followers = std::min<size_t>(left - 1, 255);
                for (size_t k = 0; k <= followers; ++k, ++n) {
                    if (k == 0) b.U8(31);
                    const u8 p0 = u8(n), p1 = u8(n >> 8), p2 = u8(1 | (i << 1)), p4 = u8(n * 3);
                    b.U8(p2).U8(p1).U8(p0).U8(0x66).U8(0x55).U8(p4).U8(0x77);
                    e.pixels.insert(e.pixels.end(), {p0, p1, p2, 31, p4, 0x55, 0x66, 0x77});
                    if (k == 0) b.U8(u8(followers));  // the count follows the first pixel
                }
                left -= followers + 1;
            }
            b.U8(0);
            break;
        }
    }
    c->bitmaps.push_back({"bitmap " + std::to_string(i), w, h, b.data});
    expected->push_back(e);
}

StoredCollection LargeTag(std::vector<Expected>* expected) {
    StoredCollection c;
    for (int i = 0; i < 256; ++i) c.colors[i][0] = c.colors[i][1] = c.colors[i][2] = u8(i);
    for (int i = 0; i < 120; ++i) AddBitmap(i, &c, expected);
    // One sequence of 4 views x 30 frames over every bitmap.
    StoredSequence s;
    s.name = "all";
    s.views = 4;
    for (u16 f = 0; f < 30; ++f) {
        StoredFrame frame;
        frame.frame_record = f;
        for (u16 v = 0; v < 4; ++v) {
            StoredInstance instance;
            instance.bitmap = u16(f * 4 + v);
            instance.x = i16(v);
            frame.views.push_back(u16(c.instances.size()));
            c.instances.push_back(instance);
        }
        s.frames.push_back(frame);
        StoredFrameRecord record;
        record.shadow = u16(119 - f);
        c.frame_records.push_back(record);
    }
    c.sequences.push_back(s);
    return c;
}

std::unique_ptr<Collection> LoadData(const std::vector<u8>& data) {
    auto c = std::make_unique<Collection>();
    InitCollection(c.get());
    MemoryStream stream(TagFileBytes(data));
    TagHeader header = TagHeaderFor(data, 6);
    if (!LoadCollection(c.get(), stream.file, &header, true)) return nullptr;
    return c;
}

std::vector<u8> SaveData(Collection* c) {
    MemoryStream stream;
    TagHeader header = MakeTagHeader(0x2E323536, 0x74657374, "Test Collection");
    header.data_offset = 64;
    EXPECT_EQ(SaveCollection(c, stream.file, &header), 1);
    const std::vector<u8> file = stream.Contents();
    return std::vector<u8>(file.begin() + 64, file.end());
}

void ExpectBitmaps(const Collection& c, const std::vector<Expected>& expected, const std::vector<int>& order) {
    ASSERT_EQ(c.bitmaps.size(), order.size());
    for (size_t k = 0; k < order.size(); ++k) {
        const CollectionBitmap& b = *c.bitmaps[k];
        const Expected& e = expected[size_t(order[k])];
        SCOPED_TRACE(testing::Message() << "bitmap " << k << " (stored as " << order[k] << ")");
        EXPECT_EQ(std::string(b.name), "bitmap " + std::to_string(order[k]));
        EXPECT_EQ(b.width, e.width);
        EXPECT_EQ(b.height, e.height);
        EXPECT_EQ(b.bytes_per_pixel, e.bytes_per_pixel);
        EXPECT_TRUE(b.pixels == e.pixels);
    }
}

TEST(LargeCollection, BitmapsAndReferencesComeBackAndSaveAsTheyLoad) {
    std::vector<Expected> expected;
    const std::vector<u8> data = CollectionData(LargeTag(&expected));
    ASSERT_GT(data.size(), size_t(1) << 20) << "several read windows";
    auto c = LoadData(data);
    ASSERT_NE(c, nullptr);
    std::vector<int> order(120);
    for (int i = 0; i < 120; ++i) order[size_t(i)] = i;
    ExpectBitmaps(*c, expected, order);
    ASSERT_EQ(c->sequences.size(), 1u);
    const CollectionSequence& s = *c->sequences[0];
    ASSERT_EQ(s.frames.size(), 30u);
    for (u32 f = 0; f < 30; ++f) {
        EXPECT_EQ(s.frames[f].shadow, c->bitmaps[119 - f].get());
        for (u32 v = 0; v < 4; ++v) EXPECT_EQ(s.frames[f].instances[v].standard.bitmap, c->bitmaps[f * 4 + v].get());
    }

    const std::vector<u8> saved = SaveData(c.get());
    auto again = LoadData(saved);
    ASSERT_NE(again, nullptr);
    ExpectBitmaps(*again, expected, order);
    EXPECT_EQ(SaveData(again.get()), saved);
}

TEST(LargeCollection, BlocksStoredInAnotherOrderThanTheTable) {
    std::vector<Expected> expected;
    std::vector<u8> data = CollectionData(LargeTag(&expected));
    // Reverse the bitmap table's entries: the list now reads the blocks from
    // the end of the data backwards.
    const size_t table = 320 + ReadU32(data, 64 + 16 * 2 + 4);
    for (size_t i = 0; i < 60; ++i)
        std::swap_ranges(data.begin() + long(table + 128 * i), data.begin() + long(table + 128 * i + 128),
                         data.begin() + long(table + 128 * (119 - i)));
    auto c = LoadData(data);
    ASSERT_NE(c, nullptr);
    std::vector<int> order(120);
    for (int i = 0; i < 120; ++i) order[size_t(i)] = 119 - i;
    ExpectBitmaps(*c, expected, order);
}

TEST(LargeCollection, DamageAnywhereIsSurvived) {
    std::vector<Expected> expected;
    const std::vector<u8> data = CollectionData(LargeTag(&expected));
    std::mt19937 random(1024);
    ScopedLogCapture log;
    int loaded = 0;
    for (int round = 0; round < 60; ++round) {
        std::vector<u8> damaged = data;
        for (int hit = 0; hit < 3; ++hit) {
            const size_t at = random() % damaged.size();
            if (random() % 5 == 0)
                damaged.resize(at);
            else
                damaged[at] = u8(random());
        }
        if (damaged.size() < 320) continue;
        auto c = LoadData(damaged);
        if (!c) continue;
        ++loaded;
        for (const auto& b : c->bitmaps)
            ASSERT_EQ(b->pixels.size(), size_t(b->width) * b->height * b->bytes_per_pixel);
    }
    EXPECT_GT(loaded, 0);
}

}  // namespace
}  // namespace pirn
