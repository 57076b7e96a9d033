// '.256' tag data against hand-built tags: what loading makes of every
// section, the bytes saving writes, the collections it refuses and the
// damaged tags the loader turns away.

#include "collections/collection_tag.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "codex/four_char_code.h"
#include "collections/bitmap_placeholder.h"
#include "tests/collections/collection_fixture.h"
#include "platform/log_capture.h"

namespace pirn {
namespace {

using namespace collection_fixture;

// Bitmap blocks as the encoder writes them.
std::vector<u8> RleSprite() {  // 3 x 2, 8-bit RLE
    Bytes b = collection_fixture::BitmapHeader(3, 2, 3, 0x0044, 8, 0, 0);
    b.Zeros(4);
    RleRow(&b, {{0, 3}}, {9, 10, 11}, 3, true);
    RleRow(&b, {{1, 2}}, {12}, 1, true);
    return b.data;
}
std::vector<u8> WideSprite() {  // 2 x 2, 16-bit RAW
    Bytes b = collection_fixture::BitmapHeader(2, 2, 4, 0x0010, 16, 1, 0);
    b.Zeros(4).U8(3).U8(20).U8(0).U8(21).U8(15).U8(0).U8(0).U8(22);
    return b.data;
}
std::vector<u8> ShadowBlock() {  // 2 x 1, 8-bit RAW shadow
    Bytes b = collection_fixture::BitmapHeader(2, 1, 2, 0x0080, 8, 0, 0);
    b.U8(40).U8(200);
    return b.data;
}
std::vector<u8> DeepBlock() {  // 2 x 1, 64-bit, with the shadow and carried flags
    Bytes b = collection_fixture::BitmapHeader(2, 1, 16, 0xC0A0, 64, 0, 1);
    b.U8(0).U8(0x45).U8(0x02).U8(0x30).U8(0x31).U8(0x00).U8(0).U8(0);
    return b.data;
}
std::vector<u8> SquareBlock() {  // 4 x 4, 8-bit RAW
    Bytes b = collection_fixture::BitmapHeader(4, 4, 4, 0x0000, 8, 0, 0);
    b.Zeros(12);
    for (int i = 0; i < 16; ++i) b.U8(u8(100 + i));
    return b.data;
}

// A collection as this program writes it, so that it comes back byte for
// byte: the affected-colour set matches the table, instance flags 4 and 16
// match their bitmaps, indices are numbered in save order and the mirrored
// view is what loading rebuilds.
StoredCollection CanonicalTag() {
    StoredCollection c;
    c.stored_word = 0xDEADBEEF;
    c.flags = 0x0B;
    for (int i = 0; i < 256; ++i) c.colors[i][0] = c.colors[i][1] = c.colors[i][2] = u8(i);
    const u8 saturated[][4] = {{2, 255, 0, 0}, {3, 0, 255, 0}, {4, 0, 0, 255}, {5, 255, 0, 32}};
    for (const auto& s : saturated) {
        c.colors[s[0]][0] = s[1];
        c.colors[s[0]][1] = s[2];
        c.colors[s[0]][2] = s[3];
    }
    StoredHue hue;
    hue.name = "Team";
    hue.start = 0xC000;
    hue.end = 0x4000;
    hue.affected[0] = 0x24;  // entries 2 and 5: the reds
    hue.use_as = 1;
    hue.red = 0xFFFF;
    hue.tail[0] = 1;
    hue.tail[7] = 0x5A;
    c.hues.push_back(hue);

    auto instance = [](u32 flags, i16 x, i16 y, u16 bitmap) {
        StoredInstance i;
        i.flags = flags;
        i.x = x;
        i.y = y;
        i.bitmap = bitmap;
        i.alternate = 0;  // no alternate: loading clears the fields
        return i;
    };
    c.instances.push_back(instance(0x10, 2, 3, 4));
    StoredInstance alternate = instance(0x20 | 0x01 | 0x04 | 0x10, -4, 7, 1);
    alternate.key_x = 1;
    alternate.key_y = -1;
    alternate.alternate = 3;
    alternate.alternate_scale = 0x8000;
    alternate.alternate_x = 5;
    alternate.alternate_y = 6;
    c.instances.push_back(alternate);
    c.instances.push_back(instance(0, 1, 1, 0));
    c.instances.push_back(instance(0, 20, 60, 0xFFFF));  // an empty view
    c.instances.push_back(instance(0x10, 1, 2, 4));
    c.instances.push_back(instance(0x10, 1, 0, 4));
    c.instances.push_back(instance(0x10, 0, 0, 2));
    c.instances.push_back(instance(0x11, 3, 0, 4));  // view 3 mirrors view 1

    StoredSequence walk;
    walk.name = "Walk";
    walk.views = 2;
    walk.ticks = 3;
    walk.key = 1;
    walk.carried_a[0] = 1;
    walk.carried_a[2] = 3;
    walk.sounds[1] = MakeFourCC("snd1");
    walk.transfer_mode = 2;
    walk.transfer_period = 5;
    walk.radius = 0x00100000;
    walk.carried_b[1] = 5;
    StoredFrame f0;
    f0.frame_record = 0;
    f0.values[0] = 7;
    f0.views = {0, 1};
    StoredFrame f1;
    f1.frame_record = 1;
    f1.values[2] = 9;
    f1.views = {2, 3};
    walk.frames = {f0, f1};
    StoredSequence empty;
    empty.name = "Empty";
    empty.flags = 0;
    empty.views = 3;
    StoredSequence turn;
    turn.name = "Turn";
    turn.flags = 3;
    turn.views = 4;
    StoredFrame t0;
    t0.frame_record = 2;
    t0.views = {4, 5, 6, 7};
    turn.frames = {t0};
    c.sequences = {walk, empty, turn};

    StoredFrameRecord lit;
    lit.flags = 1;
    lit.x = 13107;
    lit.y = u32(-13107);
    lit.shadow = 2;
    c.frame_records = {lit, StoredFrameRecord(), StoredFrameRecord()};

    c.bitmaps = {{"Sprite A", 3, 2, RleSprite()},
                 {"Sprite B", 2, 2, WideSprite()},
                 {"Shadow", 2, 1, ShadowBlock()},
                 {"Deep", 2, 1, DeepBlock()},
                 {"Square", 4, 4, SquareBlock()}};
    return c;
}

struct Loaded {
    Collection collection;
    int result = 0;
};

std::unique_ptr<Loaded> Load(const std::vector<u8>& data, u32 flags, bool bitmaps = true,
                             TagHeader* header_out = nullptr) {
    auto loaded = std::make_unique<Loaded>();
    InitCollection(&loaded->collection);
    MemoryStream stream(TagFileBytes(data));
    TagHeader header = TagHeaderFor(data, flags);
    if (header_out) header = *header_out;
    loaded->result = LoadCollection(&loaded->collection, stream.file, &header, bitmaps);
    return loaded;
}

// The data SaveCollection writes for a tag file, and the header it set.
std::vector<u8> Save(Collection* collection, TagHeader* header_out = nullptr, int* result = nullptr) {
    MemoryStream stream;
    TagHeader header = MakeTagHeader(MakeFourCC(".256"), 0x74657374, "Test Collection");
    header.data_offset = 64;
    const int ok = SaveCollection(collection, stream.file, &header);
    if (result) *result = ok;
    if (header_out) *header_out = header;
    std::vector<u8> file = stream.Contents();
    if (file.size() < 64) return {};
    return std::vector<u8>(file.begin() + 64, file.end());
}

TEST(CollectionTagSave, EmptyCollectionIsAHeaderAndOneColorTable) {
    Collection c;
    InitCollection(&c);
    c.stored_word = 0x01020304;
    TagHeader header;
    const std::vector<u8> data = Save(&c, &header);
    ASSERT_EQ(data.size(), 320u + 2080u);
    EXPECT_EQ(header.group, MakeFourCC(".256"));
    EXPECT_EQ(header.version, 4);
    EXPECT_EQ(header.user_data, 6u);
    EXPECT_EQ(ReadU32(data, 0), 0x01020304u);
    EXPECT_EQ(ReadU32(data, 4), 6u);
    EXPECT_EQ(ReadU32(data, 248), 320u);
    EXPECT_EQ(ReadU32(data, 252), 2080u);
    EXPECT_EQ(ReadU32(data, 64), 1u);
    EXPECT_EQ(ReadU32(data, 68), 0u);
    EXPECT_EQ(ReadU32(data, 72), 2080u);
    for (int section = 1; section < 6; ++section) {
        EXPECT_EQ(ReadU32(data, 64 + 16 * section), 0u) << "count of section " << section;
        EXPECT_EQ(ReadU32(data, 72 + 16 * section), 0u) << "size of section " << section;
    }
    EXPECT_EQ(ReadU32(data, 320), 256u) << "colour count";
    EXPECT_EQ(std::vector<u8>(data.begin() + 324, data.begin() + 352), std::vector<u8>(28, 0));
}

TEST(CollectionTagSave, WritesEverySectionInTheStoredOrderByteForByte) {
    const std::vector<u8> expected = CollectionData(CanonicalTag());
    auto loaded = Load(expected, 0x0B);
    ASSERT_EQ(loaded->result, 1);
    TagHeader header;
    const std::vector<u8> written = Save(&loaded->collection, &header);
    ASSERT_EQ(written.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
        ASSERT_EQ(written[i], expected[i]) << "first difference at data offset " << i;
    EXPECT_EQ(header.user_data, 0x0Bu);
}

TEST(CollectionTagLoad, EverySectionReachesTheModel) {
    auto loaded = Load(CollectionData(CanonicalTag()), 0x0B);
    ASSERT_EQ(loaded->result, 1);
    const Collection& c = loaded->collection;
    EXPECT_STREQ(c.name, "Test Collection");
    EXPECT_EQ(c.stored_word, 0xDEADBEEFu);
    EXPECT_EQ(c.flags, 0x0Bu);
    EXPECT_EQ(c.colors[3 * 5 + 2], 32);
    ASSERT_EQ(GetCollectionHueChangeCount(c), 1u);
    EXPECT_STREQ(c.hue_changes[0]->name, "Team");
    EXPECT_EQ(c.hue_changes[0]->replacement_red, 0xFFFF);
    EXPECT_EQ(c.hue_changes[0]->carried[6], 0x5A);

    ASSERT_EQ(GetCollectionBitmapCount(c), 5u);
    EXPECT_STREQ(c.bitmaps[0]->name, "Sprite A");
    EXPECT_EQ(c.bitmaps[0]->flags, kBitmapRle | kBitmapRowPadding);
    EXPECT_EQ(c.bitmaps[1]->flags, kBitmapPartialAlpha);
    EXPECT_EQ(c.bitmaps[1]->pixels, (std::vector<u8>{204, 20, 255, 21, 0, 0, 255, 22}));
    EXPECT_EQ(c.bitmaps[2]->flags, kBitmapShadow);
    EXPECT_EQ(c.bitmaps[3]->bytes_per_pixel, 8);
    EXPECT_EQ(c.bitmaps[3]->flags, kBitmapCarried | kBitmapFormatValid | kBitmapShadow);

    ASSERT_EQ(GetCollectionSequenceCount(c), 3u);
    CollectionSequence* walk = c.sequences[0].get();
    EXPECT_STREQ(walk->name, "Walk");
    EXPECT_EQ(walk->ticks_per_frame, 3);
    EXPECT_EQ(walk->sounds[1], MakeFourCC("snd1"));
    EXPECT_EQ(walk->sounds[0], kNoSound);
    EXPECT_EQ(walk->box_radius, 0x00100000);
    EXPECT_EQ(walk->box_lower, -10 * 65536);
    EXPECT_EQ(walk->carried_b[1], 5);
    ASSERT_EQ(walk->frames.size(), 2u);
    EXPECT_EQ(walk->frames[0].values[0], 7);
    EXPECT_EQ(walk->frames[0].shadow, c.bitmaps[2].get());
    EXPECT_EQ(walk->frames[0].record.flags, 1u);
    EXPECT_EQ(walk->frames[0].record.shadow_y, -13107);
    EXPECT_EQ(walk->frames[1].shadow, nullptr);

    const BitmapInstance& with_alternate = walk->frames[0].instances[1];
    EXPECT_EQ(with_alternate.standard.bitmap, c.bitmaps[1].get());
    EXPECT_EQ(with_alternate.standard.x, -4);
    EXPECT_EQ(with_alternate.alternate.bitmap, c.bitmaps[3].get());
    EXPECT_EQ(with_alternate.alternate.scale, 0x8000u);
    EXPECT_EQ(with_alternate.key_y, -1);
    const BitmapInstance& plain = walk->frames[0].instances[0];
    EXPECT_EQ(plain.alternate.index, 0) << "alternate fields cleared without flag 32";
    EXPECT_EQ(plain.alternate.bitmap, nullptr);
    EXPECT_EQ(walk->frames[1].instances[1].standard.bitmap, nullptr);
    EXPECT_EQ(c.sequences[1]->frames.size(), 0u);
    EXPECT_EQ(c.sequences[1]->view_count, 3);
    EXPECT_EQ(c.sequences[2]->frames[0].instances[3].standard.x, 3);
    EXPECT_EQ(c.sequences[2]->extent_left, 3);
}

TEST(CollectionTagLoad, WithoutBitmapsReferencesResolveToNothing) {
    auto loaded = Load(CollectionData(CanonicalTag()), 0x0B, false);
    ASSERT_EQ(loaded->result, 1);
    EXPECT_EQ(GetCollectionBitmapCount(loaded->collection), 0u);
    const CollectionSequence& walk = *loaded->collection.sequences[0];
    EXPECT_EQ(walk.frames[0].instances[0].standard.bitmap, nullptr);
    EXPECT_EQ(walk.frames[0].instances[0].standard.index, 4);
    EXPECT_EQ(walk.frames[0].shadow, nullptr);
    EXPECT_EQ(walk.frames[0].record.shadow_index, 2);
}

TEST(CollectionTagLoad, OutOfRangeIndicesReadAsEmpty) {
    StoredCollection stored;
    stored.bitmaps = {{"only", 2, 1, ShadowBlock()}};
    StoredInstance far;
    far.bitmap = 7;  // past the bitmap list
    StoredInstance good;
    good.bitmap = 0;
    stored.instances = {far, good};
    StoredSequence s;
    s.name = "s";
    s.views = 4;
    StoredFrame f;
    f.frame_record = 3;  // past the frame records
    f.views = {0, 0xFFFF, 9, 1};
    s.frames = {f};
    stored.sequences = {s};
    stored.frame_records = {StoredFrameRecord()};
    auto loaded = Load(CollectionData(stored), 6);
    ASSERT_EQ(loaded->result, 1);
    const SequenceFrame& frame = loaded->collection.sequences[0]->frames[0];
    EXPECT_EQ(frame.instances[0].standard.bitmap, nullptr) << "bitmap index past the list";
    EXPECT_EQ(frame.view_indices, (std::vector<u16>{0, 0xFFFF, 0xFFFF, 1}));
    EXPECT_EQ(frame.instances[2].standard.bitmap, nullptr);
    EXPECT_EQ(frame.instances[3].standard.bitmap, loaded->collection.bitmaps[0].get());
    EXPECT_EQ(frame.frame_record_index, kNoIndex);
    EXPECT_EQ(frame.shadow, nullptr);
}

TEST(CollectionTagLoad, NamesOf64CharactersKeepTheirFirst63) {
    StoredCollection stored;
    const std::string long_name(64, 'n');
    stored.bitmaps = {{long_name, 2, 1, ShadowBlock()}};
    std::vector<u8> data = CollectionData(stored);
    // Put the 64th character where the builder left the terminator.
    const u32 table = ReadU32(data, 64 + 16 * 2 + 4) + 320;
    data[table + 63] = 'n';
    auto loaded = Load(data, 6);
    ASSERT_EQ(loaded->result, 1);
    EXPECT_EQ(std::string(loaded->collection.bitmaps[0]->name), long_name.substr(0, 63));
}

TEST(CollectionTagLoad, ColorMapsAlternateBitmapAndShadow) {
    for (bool in_user_data : {true, false}) {
        SCOPED_TRACE(in_user_data ? "flag in the tag header" : "flag in the collection header");
        StoredCollection stored;
        stored.flags = in_user_data ? 0 : 0x100;
        stored.bitmaps = {{"a", 2, 1, ShadowBlock()}, {"b", 2, 2, WideSprite()}, {"c", 2, 1, ShadowBlock()}};
        auto loaded = Load(CollectionData(stored), in_user_data ? 0x100 : 0);
        ASSERT_EQ(loaded->result, 1);
        const auto& bitmaps = loaded->collection.bitmaps;
        EXPECT_EQ(bitmaps[0]->flags & kBitmapShadow, 0) << "even positions lose the shadow flag";
        EXPECT_EQ(bitmaps[1]->flags & kBitmapShadow, kBitmapShadow);
        EXPECT_EQ(bitmaps[2]->flags & kBitmapShadow, 0);
    }
}

TEST(CollectionTagLoad, UndecodableBitmapsBecomeCheckerboardsAndAreWrittenAsSuch) {
    StoredCollection stored;
    for (int i = 0; i < 256; ++i) stored.colors[i][0] = stored.colors[i][1] = stored.colors[i][2] = u8(i);
    stored.colors[0][0] = stored.colors[0][1] = stored.colors[0][2] = 0;
    stored.colors[200][0] = stored.colors[200][1] = stored.colors[200][2] = 255;
    Bytes bad = collection_fixture::BitmapHeader(4, 4, 4, 0x10, 8, 0, 0);  // 0x0010 with 8-bit pixels
    stored.bitmaps = {{"broken", 4, 4, bad.data}, {"fine", 2, 1, ShadowBlock()}};
    ScopedLogCapture log;
    auto loaded = Load(CollectionData(stored), 0x100);  // a colour map: the second is a shadow
    ASSERT_EQ(loaded->result, 1);
    EXPECT_TRUE(log.Contains("bitmap 0 of the collection 'Test Collection' could not be read"));
    const CollectionBitmap& board = *loaded->collection.bitmaps[0];
    EXPECT_STREQ(board.name, "broken");
    ASSERT_EQ(board.width, 256);
    ASSERT_EQ(board.height, 256);
    EXPECT_EQ(board.flags, 0);
    auto pixel = [&](u32 x, u32 y) { return std::make_pair(board.pixels[(y * 256 + x) * 2], board.pixels[(y * 256 + x) * 2 + 1]); };
    EXPECT_EQ(pixel(0, 0), std::make_pair(u8(255), u8(1))) << "nearest black among 1-255";
    EXPECT_EQ(pixel(16, 0), std::make_pair(u8(255), u8(200))) << "nearest white";
    EXPECT_EQ(pixel(16, 16), pixel(0, 0));
    EXPECT_EQ(pixel(15, 31), pixel(16, 0));

    // Written back as the checkerboard: an 8-bit RAW 256 x 256 block.
    const std::vector<u8> data = Save(&loaded->collection);
    const u32 table = ReadU32(data, 64 + 16 * 2 + 4) + 320;
    const u32 offset = ReadU32(data, table + 64) + 320;
    EXPECT_EQ(ReadU32(data, table + 68), 52u + 255u * 4u + 65536u);
    EXPECT_EQ(ReadU16(data, offset), 256);
    EXPECT_EQ(data[offset + 52 + 1020 + 16], 200);
}

TEST(CollectionTagLoad, ShadowPlaceholdersUseTheDarkestAndLightestShadowIndices) {
    auto shadow = MakePlaceholderBitmap();
    shadow->flags = kBitmapShadow;
    Collection c;
    InitCollection(&c);
    FillPlaceholderBitmap(c, shadow.get());
    EXPECT_EQ(shadow->pixels[1], 0);
    EXPECT_EQ(shadow->pixels[16 * 2 + 1], 255);
}

TEST(CollectionTagLoad, OldHeaderLayoutTakesTheFlagsFromTheCollectionHeader) {
    StoredCollection stored;
    stored.flags = 0x21;
    const std::vector<u8> data = CollectionData(stored);
    TagHeader header = TagHeaderFor(data, 0);
    header.signature = kOldTagHeaderSignature;
    auto loaded = Load(data, 0, true, &header);
    ASSERT_EQ(loaded->result, 1);
    EXPECT_EQ(loaded->collection.flags, 0x21u);
    auto current = Load(data, 0x04);
    EXPECT_EQ(current->collection.flags, 0x04u) << "the current layout's user data decides";
}

TEST(CollectionTagLoad, DamagedTagsAreRefusedWithALogLine) {
    const std::vector<u8> good = CollectionData(CanonicalTag());
    const u32 sequence_table = ReadU32(good, 64 + 16 * 4 + 4) + 320;
    const u32 walk = ReadU32(good, sequence_table + 64) + 320;
    struct Damage {
        const char* what;
        std::function<void(std::vector<u8>&)> apply;
    };
    const Damage damages[] = {
        {"no colour table", [](std::vector<u8>& d) { Bytes b; b.data = d; b.SetU32(64, 0); d = b.data; }},
        {"data shorter than its header", [](std::vector<u8>& d) { d.resize(300); }},
        {"header size past the data", [](std::vector<u8>& d) { Bytes b; b.data = d; b.SetU32(248, 0x7FFFFFFF); d = b.data; }},
        {"colour tables past the data", [](std::vector<u8>& d) { Bytes b; b.data = d; b.SetU32(64, 0x00100000); d = b.data; }},
        {"instance count whose size passes 32 bits",
         [](std::vector<u8>& d) { Bytes b; b.data = d; b.SetU32(64 + 16 * 3, 0x04000001); d = b.data; }},
        {"sequence table offset past the data",
         [](std::vector<u8>& d) { Bytes b; b.data = d; b.SetU32(64 + 16 * 4 + 4, 0xFFFFFF00); d = b.data; }},
        {"sequence block past the data",
         [sequence_table](std::vector<u8>& d) { Bytes b; b.data = d; b.SetU32(sequence_table + 68, 0x10000000); d = b.data; }},
        {"sequence block shorter than its frames",
         [sequence_table](std::vector<u8>& d) { Bytes b; b.data = d; b.SetU32(sequence_table + 68, 64 + 46); d = b.data; }},
        {"sequence block under its record",
         [sequence_table](std::vector<u8>& d) { Bytes b; b.data = d; b.SetU32(sequence_table + 68, 63); d = b.data; }},
        {"frame count beyond the block", [walk](std::vector<u8>& d) { d[walk + 10] = 0x7F; }},
        {"data cut inside the bitmaps", [](std::vector<u8>& d) { d.resize(d.size() - 10); }},
    };
    for (const Damage& damage : damages) {
        SCOPED_TRACE(damage.what);
        std::vector<u8> data = good;
        damage.apply(data);
        ScopedLogCapture log;
        auto loaded = Load(data, 0x0B);
        if (std::string(damage.what) == "data cut inside the bitmaps") {
            // The sections stand; the last bitmap lies partly outside.
            EXPECT_EQ(loaded->result, 1);
            EXPECT_EQ(loaded->collection.bitmaps.back()->width, 256);
            continue;
        }
        EXPECT_EQ(loaded->result, 0);
        EXPECT_TRUE(log.Contains("ERROR: the collection 'Test Collection' could not be loaded")) << log.TopicText("Codex");
        EXPECT_EQ(GetCollectionBitmapCount(loaded->collection), 0u) << "nothing half-loaded is left";
        EXPECT_EQ(GetCollectionSequenceCount(loaded->collection), 0u);
    }
}

TEST(CollectionTagLoad, EntriesSharingOneBlockCannotMultiplyIt) {
    // Each case points every entry of a table at the first entry's block,
    // which alone is well-formed.
    auto share = [](std::vector<u8>& d, int section) {
        const u32 table = ReadU32(d, 64 + 16 * section + 4) + 320;
        const u32 count = ReadU32(d, 64 + 16 * section);
        Bytes b;
        b.data = d;
        for (u32 i = 1; i < count; ++i) {
            b.SetU32(table + 128 * i + 64, ReadU32(d, table + 64));
            b.SetU32(table + 128 * i + 68, ReadU32(d, table + 68));
        }
        d = b.data;
    };
    // 48 frames of 1,000 empty views: 98,272 bytes standing for 48,000
    // instances, and five sequences naming it.
    StoredCollection sequences;
    StoredSequence big;
    big.name = "Big";
    big.views = 1000;
    big.frames.resize(48);
    for (StoredFrame& f : big.frames) f.views.assign(1000, 0xFFFF);
    sequences.sequences = {big, StoredSequence(), StoredSequence(), StoredSequence(), StoredSequence()};
    // An RLE block of 16,384 empty rows of 32,767 pixels: 64 KiB standing
    // for 1 GiB of pixels, and two entries naming it.
    StoredCollection bitmaps;
    Bytes huge = collection_fixture::BitmapHeader(32767, 16384, 32767, 0x0024, 8, 0, 0);
    huge.Zeros(4 * 16384);
    bitmaps.bitmaps = {{"Huge", 32767, 16384, huge.data}, {"Again", 2, 1, ShadowBlock()}};
    struct Case {
        const char* what;
        std::vector<u8> data;
        int section;
    };
    const Case cases[] = {{"sequences", CollectionData(sequences), 4}, {"bitmaps", CollectionData(bitmaps), 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<u8> data = c.data;
        share(data, c.section);
        ScopedLogCapture log;
        auto loaded = Load(data, 6);
        EXPECT_EQ(loaded->result, 0);
        EXPECT_TRUE(log.Contains("ERROR: the collection 'Test Collection' could not be loaded")) << log.TopicText("Codex");
    }
    // The sequence alone loads.
    StoredCollection one = sequences;
    one.sequences.resize(1);
    auto loaded = Load(CollectionData(one), 6);
    ASSERT_EQ(loaded->result, 1);
    EXPECT_EQ(loaded->collection.sequences[0]->frames.size(), 48u);
}

TEST(CollectionTagLoad, PixelMemoryStaysInProportionToTheData) {
    constexpr u32 kEntries = 600;
    constexpr u64 kBoard = 256 * 256 * 2;
    // 256 empty rows of 256 pixels without a row table: 1,076 bytes
    // standing for a 128 KiB bitmap.
    Bytes empty_rows = collection_fixture::BitmapHeader(256, 256, 256, 0x0024, 8, 0, 0);
    empty_rows.Zeros(4 * 256);
    Bytes square = collection_fixture::BitmapHeader(64, 64, 64, 0x0020, 8, 0, 0);
    square.Zeros(64 * 64);
    // 0x0010 with 8-bit pixels: a block the decoder refuses.
    const Bytes broken = collection_fixture::BitmapHeader(8, 8, 8, 0x0030, 8, 0, 0);
    // Every entry after the first names the first one's bytes: the same
    // block, or one more byte of it each (blocks that overlap).
    auto point_at_first = [](std::vector<u8> d, u32 grow) {
        const u32 table = ReadU32(d, 64 + 16 * 2 + 4) + 320;
        Bytes b;
        b.data = d;
        for (u32 i = 1; i < kEntries; ++i) {
            b.SetU32(table + 128 * i + 64, ReadU32(d, table + 64));
            b.SetU32(table + 128 * i + 68, ReadU32(d, table + 68) + grow * i);
        }
        return b.data;
    };
    // A grey ramp: the checkerboards are black (1) and white (255).
    auto ramp = [](StoredCollection* c) {
        for (int i = 0; i < 256; ++i) c->colors[i][0] = c->colors[i][1] = c->colors[i][2] = u8(i);
    };
    auto entries = [&](const Bytes& first, const Bytes& rest) {
        StoredCollection c;
        ramp(&c);
        for (u32 i = 0; i < kEntries; ++i)
            c.bitmaps.push_back({"b" + std::to_string(i), 8, 8, (i ? rest : first).data});
        return c;
    };
    // Room for the overlapping entries to reach past the first block.
    Bytes tail;
    tail.Zeros(kEntries);
    StoredCollection overlapping;
    ramp(&overlapping);
    overlapping.bitmaps = {{"first", 256, 256, empty_rows.data}, {"room", 1, 1, tail.data}};
    for (u32 i = 2; i < kEntries; ++i) overlapping.bitmaps.push_back({"b" + std::to_string(i), 1, 1, broken.data});
    // 16,384 empty rows of 4,096 pixels: 64 KiB standing for 128 MiB.
    Bytes sparse = collection_fixture::BitmapHeader(4096, 16384, 4096, 0x0024, 8, 0, 0);
    sparse.Zeros(4 * 16384);
    StoredCollection one_sparse;
    one_sparse.bitmaps = {{"Sparse", 4096, 16384, sparse.data}};

    const struct {
        const char* what;
        std::vector<u8> data;
        u64 pixel_bytes;  // 0: refused
        u32 placeholders;
    } cases[] = {
        {"entries that do not decode", CollectionData(entries(broken, broken)), kBoard, kEntries},
        {"entries naming one block", point_at_first(CollectionData(entries(square, broken)), 0), 64 * 64 * 2, 0},
        // Each entry would take 128 KiB of its own once edited.
        {"entries naming one block past the budget", point_at_first(CollectionData(entries(empty_rows, broken)), 0), 0,
         0},
        {"blocks overlapping the first", point_at_first(CollectionData(overlapping), 1), 2 * kBoard, kEntries - 1},
        {"one block standing for far more than its bytes", CollectionData(one_sparse), 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ScopedLogCapture log;
        auto loaded = Load(c.data, 6);
        if (c.pixel_bytes == 0) {
            EXPECT_EQ(loaded->result, 0);
            EXPECT_TRUE(log.Contains("its bitmaps claim far more pixels than its data can hold"))
                << log.TopicText("Codex");
            continue;
        }
        ASSERT_EQ(loaded->result, 1);
        Collection& collection = loaded->collection;
        ASSERT_EQ(collection.bitmaps.size(), kEntries);
        EXPECT_EQ(DistinctPixelBytes(collection), c.pixel_bytes);
        EXPECT_LE(DistinctPixelBytes(collection), CollectionPixelBudget(c.data.size()) + 2 * kBoard);
        u32 boards = 0;
        for (const auto& bitmap : collection.bitmaps) {
            const PixelBytes& pixels = bitmap->pixels;  // reading copies nothing
            boards += bitmap->width == 256 && pixels[1] != pixels[33];
        }
        EXPECT_EQ(boards, c.placeholders) << "checkerboards";
        EXPECT_STREQ(collection.bitmaps[kEntries - 1]->name, ("b" + std::to_string(kEntries - 1)).c_str());
        // Only the first few are named in the log.
        EXPECT_FALSE(log.Contains("bitmap 20 of the collection"));
        EXPECT_EQ(log.Contains("more bitmaps of the collection 'Test Collection' could not be read"),
                  c.placeholders > 16);
    }

    // Shared pixels stay shared through a save, and an edit changes one
    // bitmap only.
    StoredCollection few = entries(broken, broken);
    few.bitmaps.resize(3);
    auto loaded = Load(CollectionData(few), 6);
    ASSERT_EQ(loaded->result, 1);
    Collection& collection = loaded->collection;
    const std::vector<u8> saved = Save(&collection);
    EXPECT_FALSE(saved.empty());
    EXPECT_EQ(DistinctPixelBytes(collection), kBoard);
    // (Read through const references: a mutable access copies.)
    auto read = [&](int i) -> const PixelBytes& { return collection.bitmaps[size_t(i)]->pixels; };
    const u8 before = read(2)[1];
    collection.bitmaps[1]->pixels[1] = u8(before + 1);
    EXPECT_EQ(read(1)[1], u8(before + 1));
    EXPECT_EQ(read(0)[1], before);
    EXPECT_EQ(read(2)[1], before);
    EXPECT_EQ(DistinctPixelBytes(collection), 2 * kBoard);
}

// --- Saving ------------------------------------------------------------------

TEST(CollectionTagSave, RefusesWhatTheFormatCannotHoldBeforeWritingAnything) {
    struct Case {
        const char* what;
        std::function<void(Collection*)> build;
    };
    const Case cases[] = {
        {"a 0 x 0 bitmap", [](Collection* c) { AddCollectionBitmap(c, "none", 0, nullptr, 0, 0, 2, nullptr); }},
        {"a side above 32767", [](Collection* c) { AddCollectionBitmap(c, "wide", 0, nullptr, 32768, 1, 2, nullptr); }},
        {"65535 bitmaps",
         [](Collection* c) {
             for (int i = 0; i < 0xFFFF; ++i) AddCollectionBitmap(c, "b", 0, nullptr, 1, 1, 2, nullptr);
         }},
        {"65536 views in one sequence",
         [](Collection* c) { ResizeSequence(AddSequence(c, "huge"), 256, 256); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Collection collection;
        InitCollection(&collection);
        c.build(&collection);
        ScopedLogCapture log;
        int result = -1;
        const std::vector<u8> data = Save(&collection, nullptr, &result);
        EXPECT_EQ(result, 0);
        EXPECT_TRUE(data.empty()) << "nothing written";
        EXPECT_TRUE(log.Contains("ERROR: the collection 'Test Collection' could not be saved"));
    }
}

TEST(CollectionTagSave, StandardReferencesGoToThePrimaryFieldsWhileAlternatesAreShown) {
    auto loaded = Load(CollectionData(CanonicalTag()), 0x0B);
    ASSERT_EQ(loaded->result, 1);
    const std::vector<u8> before = Save(&loaded->collection);
    RelinkInstances(&loaded->collection, true);
    EXPECT_EQ(Save(&loaded->collection), before) << "what is shown does not change what is stored";
    // Moving the bitmaps around keeps both references.
    Collection& c = loaded->collection;
    MoveCollectionBitmap(&c, c.bitmaps[3].get(), 0);
    const std::vector<u8> moved = Save(&c);
    const u32 instances = ReadU32(moved, 64 + 16 * 3 + 4) + 320;
    EXPECT_EQ(ReadU16(moved, instances + 64 + 28), 2) << "standard bitmap B moved from 1 to 2";
    EXPECT_EQ(ReadU16(moved, instances + 64 + 30), 0) << "alternate bitmap Deep moved from 3 to 0";
}

TEST(CollectionTagSave, AnInstanceWithoutAlternateIsStoredAsItReadsBack) {
    Collection c;
    InitCollection(&c);
    ResizeSequence(AddSequence(&c, "new"), 1, 1);  // a fresh instance: no alternate, its index "none"
    TagHeader header;
    const std::vector<u8> first = Save(&c, &header);
    const u32 instances = ReadU32(first, 64 + 16 * 3 + 4) + 320;
    EXPECT_EQ(ReadU16(first, instances + 30), 0) << "alternate index";
    EXPECT_EQ(ReadU32(first, instances + 32), 0u) << "alternate scale";
    auto loaded = Load(first, header.user_data);
    ASSERT_EQ(loaded->result, 1);
    EXPECT_EQ(Save(&loaded->collection), first);
}

TEST(CollectionTagSave, HasFramesFlagFollowsTheFrameCount) {
    Collection c;
    InitCollection(&c);
    CollectionSequence* none = AddSequence(&c, "none");
    ResizeSequence(none, 1, 0);
    CollectionSequence* some = AddSequence(&c, "some");
    some->flags = 0;
    const std::vector<u8> data = Save(&c);
    const u32 table = ReadU32(data, 64 + 16 * 4 + 4) + 320;
    EXPECT_EQ(ReadU32(data, ReadU32(data, table + 64) + 320), 0u);
    EXPECT_EQ(ReadU32(data, ReadU32(data, table + 128 + 64) + 320), 2u);
}

TEST(CollectionTagSave, FailedWritesAnswerZero) {
    Collection c;
    InitCollection(&c);
    AddSequence(&c, "s");
    std::FILE* read_only = std::fopen("/dev/null", "rb");
    ASSERT_NE(read_only, nullptr);
    TagHeader header = MakeTagHeader(MakeFourCC(".256"), 1, "Test Collection");
    ScopedLogCapture log;
    EXPECT_EQ(SaveCollection(&c, read_only, &header), 0);
    std::fclose(read_only);
}

}  // namespace
}  // namespace pirn
