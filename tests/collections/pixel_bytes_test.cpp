// A bitmap's pixel bytes: the vector behaviour the model and its editors
// rely on, bytes placed in shared blocks, which must stay each bitmap's own
// and live as long as their bitmap (the sanitizer build catches a block
// freed too early), and bytes shared by several bitmaps until one writes.

#include "collections/pixel_bytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "collections/collection.h"

namespace pirn {
namespace {

std::vector<u8> Bytes(const PixelBytes& p) { return std::vector<u8>(p.begin(), p.end()); }

TEST(PixelBytes, BehaveLikeAVectorOfTheirOwn) {
    PixelBytes p = {1, 2, 3};
    EXPECT_EQ(p, (std::vector<u8>{1, 2, 3}));
    p.push_back(4);
    p.resize(6);
    EXPECT_EQ(p, (std::vector<u8>{1, 2, 3, 4, 0, 0})) << "growing fills zeros";
    p.resize(2);
    p.resize(3);
    EXPECT_EQ(p, (std::vector<u8>{1, 2, 0})) << "bytes given up and taken again are zero";
    p.back() = 9;
    PixelBytes copy = p;
    copy[0] = 7;
    EXPECT_EQ(p, (std::vector<u8>{1, 2, 9})) << "copies are deep";
    EXPECT_NE(copy, p);
    p.assign(4, 5);
    EXPECT_EQ(p, (std::vector<u8>{5, 5, 5, 5}));
    const std::vector<u8> source = {8, 9};
    p = source;
    EXPECT_EQ(p, source);
    p.assign(p.begin() + 1, p.end());
    EXPECT_EQ(p, (std::vector<u8>{9})) << "assigning from its own bytes";
    PixelBytes moved = std::move(copy);
    EXPECT_EQ(moved, (std::vector<u8>{7, 2, 9}));
    p.clear();
    EXPECT_TRUE(p.empty());
    EXPECT_EQ(p, std::vector<u8>());
    for (int i = 0; i < 1000; ++i) p.push_back(u8(i));
    EXPECT_EQ(p.size(), 1000u);
    EXPECT_EQ(p[999], u8(999));
}

TEST(PixelBytes, PlacedBytesAreEachBitmapsOwnAndOutliveTheirBlocks) {
    std::vector<std::unique_ptr<CollectionBitmap>> bitmaps;
    {
        PixelBlocks blocks(3 * 100);
        for (int i = 0; i < 5; ++i) {  // the expectation runs out after three
            auto b = std::make_unique<CollectionBitmap>();
            ASSERT_TRUE(blocks.Place(&b->pixels, 100));
            for (size_t k = 0; k < 100; ++k) b->pixels[k] = u8(i);
            bitmaps.push_back(std::move(b));
        }
    }
    for (int i = 0; i < 5; ++i) EXPECT_EQ(Bytes(bitmaps[i]->pixels), std::vector<u8>(100, u8(i))) << i;
    EXPECT_EQ(bitmaps[1]->pixels.data(), bitmaps[0]->pixels.data() + 100) << "one block for what was expected";

    // Growing moves a bitmap to storage of its own; its neighbours keep
    // theirs.
    bitmaps[1]->pixels.resize(150);
    EXPECT_EQ(Bytes(bitmaps[1]->pixels), [] {
        std::vector<u8> v(100, 1);
        v.resize(150, 0);
        return v;
    }());
    EXPECT_EQ(Bytes(bitmaps[2]->pixels), std::vector<u8>(100, 2));

    // A copy of a placed bitmap is its own; the block lives on with the
    // last bitmap placed in it.
    CollectionBitmap copy = *bitmaps[0];
    bitmaps[0].reset();
    bitmaps[2].reset();
    EXPECT_EQ(Bytes(copy.pixels), std::vector<u8>(100, 0));
    EXPECT_EQ(Bytes(bitmaps[3]->pixels), std::vector<u8>(100, 3));
    EXPECT_EQ(Bytes(bitmaps[4]->pixels), std::vector<u8>(100, 4));
}

TEST(PixelBytes, LargePlacementsDoNotCutTheCurrentBlockShort) {
    PixelBlocks blocks(1 << 20);
    PixelBytes small, large, next;
    ASSERT_TRUE(blocks.Place(&small, 1000));
    ASSERT_TRUE(blocks.Place(&large, 2 << 20));  // more than is left
    ASSERT_TRUE(blocks.Place(&next, 1000));
    EXPECT_EQ(next.data(), small.data() + 1000) << "the rest of the first block is still used";
    EXPECT_EQ(large.size(), size_t(2) << 20);
}

TEST(PixelBytes, SharedBytesAreCopiedByTheFirstWriteOfEither) {
    // Every way a writer reaches the bytes, on either side of the sharing.
    const struct {
        const char* what;
        void (*write)(PixelBytes&);
        std::vector<u8> written;
    } writes[] = {
        {"operator[]", [](PixelBytes& p) { p[1] = 9; }, {1, 9, 3}},
        {"data()", [](PixelBytes& p) { p.data()[0] = 9; }, {9, 2, 3}},
        {"begin()", [](PixelBytes& p) { *p.begin() = 9; }, {9, 2, 3}},
        {"end()", [](PixelBytes& p) { p.end()[-1] = 9; }, {1, 2, 9}},
        {"back()", [](PixelBytes& p) { p.back() = 9; }, {1, 2, 9}},
        {"push_back", [](PixelBytes& p) { p.push_back(9); }, {1, 2, 3, 9}},
        {"resize", [](PixelBytes& p) { p.resize(4); }, {1, 2, 3, 0}},
        {"shrink and grow", [](PixelBytes& p) { p.resize(1), p.resize(2); }, {1, 0}},
        {"assign a value", [](PixelBytes& p) { p.assign(2, 9); }, {9, 9}},
        {"assign bytes", [](PixelBytes& p) { p = std::vector<u8>{9}; }, {9}},
        {"assign its own bytes", [](PixelBytes& p) { p.assign(p.begin() + 1, p.end()); }, {2, 3}},
        {"clear, then push_back", [](PixelBytes& p) { p.clear(), p.push_back(9); }, {9}},
    };
    for (const auto& w : writes)
        for (bool original_writes : {false, true}) {
            SCOPED_TRACE(std::string(w.what) + (original_writes ? " on the original" : " on the sharer"));
            PixelBytes original = {1, 2, 3};
            PixelBytes sharer;
            sharer.ShareWith(original);
            const PixelBytes& read = sharer;
            EXPECT_EQ(read.data(), static_cast<const PixelBytes&>(original).data()) << "one copy of the bytes";
            EXPECT_TRUE(sharer.IsShared());
            w.write(original_writes ? original : sharer);
            EXPECT_EQ(Bytes(original_writes ? original : sharer), w.written);
            EXPECT_EQ(Bytes(original_writes ? sharer : original), (std::vector<u8>{1, 2, 3}))
                << "the other kept its bytes";
        }

    // Bytes placed in a block are shared with the bitmaps placed beside
    // them: sharing them and writing never touches the neighbours.
    PixelBlocks blocks(8);
    PixelBytes first, second, copy;
    ASSERT_TRUE(blocks.Place(&first, 4));
    ASSERT_TRUE(blocks.Place(&second, 4));
    std::fill(first.begin(), first.end(), 1);
    std::fill(second.begin(), second.end(), 2);
    copy.ShareWith(first);
    copy[0] = 7;
    first[1] = 8;
    EXPECT_EQ(Bytes(copy), (std::vector<u8>{7, 1, 1, 1}));
    EXPECT_EQ(Bytes(first), (std::vector<u8>{1, 8, 1, 1}));
    EXPECT_EQ(Bytes(second), (std::vector<u8>{2, 2, 2, 2}));

    // The last holder writes in place.
    PixelBytes alone = {4, 5};
    {
        PixelBytes gone;
        gone.ShareWith(alone);
    }
    const u8* before = static_cast<const PixelBytes&>(alone).data();
    alone[0] = 6;
    EXPECT_EQ(alone.data(), before);
    EXPECT_FALSE(alone.IsShared());
}

}  // namespace
}  // namespace pirn
