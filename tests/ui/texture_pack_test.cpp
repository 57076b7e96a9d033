#include "ui/texture_pack.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/test_support.h"

namespace pirn {
namespace {

// Builds pack bytes field by field as the file format lays them out.
class PackBytes {
public:
    explicit PackBytes(u32 count) { U32(count); }
    PackBytes& Image(u16 w, u16 h, u32 index, u8 fill, bool junk_reserved = true) {
        for (int i = 0; i < 12; ++i) bytes.push_back(junk_reserved ? 0xEE : 0);  // links, atlas x/y
        U16(w);
        U16(h);
        for (int i = 0; i < 8; ++i) bytes.push_back(junk_reserved ? 0xDD : 0);   // flags/page, pointer
        U32(index);
        for (u32 i = 0; i < u32(w) * h * 4; ++i) bytes.push_back(u8(fill + i));
        return *this;
    }
    void U16(u16 v) {
        bytes.push_back(u8(v));
        bytes.push_back(u8(v >> 8));
    }
    void U32(u32 v) {
        for (int i = 0; i < 4; ++i) bytes.push_back(u8(v >> (8 * i)));
    }
    std::vector<u8> bytes;
};

TEST(TexturePackTest, ParsesImagesFromTheFileLayout) {
    PackBytes b(3);
    b.Image(2, 1, 7, 10).Image(1, 2, 300, 50).Image(1, 1, 7, 90);
    TexturePack pack;
    EXPECT_EQ(ParseTexturePack(pack, b.bytes.data(), b.bytes.size()), b.bytes.size());
    ASSERT_EQ(pack.images.size(), 3u);
    EXPECT_EQ(pack.images[0]->Width(), 2);
    EXPECT_EQ(pack.images[0]->Height(), 1);
    EXPECT_EQ(pack.images[0]->atlas.flags, 0);  // reserved bytes are ignored
    EXPECT_EQ(pack.images[0]->pixels, (std::vector<u8>{10, 11, 12, 13, 14, 15, 16, 17}));
    EXPECT_EQ(pack.images[1]->index, 300);
    // The first image with an index wins.
    EXPECT_EQ(FindTexturePackImage(pack, 7), pack.images[0].get());
    EXPECT_EQ(FindTexturePackImage(pack, 8), nullptr);
    i32 w = -1, h = -1;
    TexturePackImageSize(nullptr, &w, &h);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 0);
}

TEST(TexturePackTest, RefusesShortAndCorruptFilesWithoutKeepingImages) {
    PackBytes good(2);
    good.Image(2, 2, 1, 0).Image(3, 1, 2, 0);
    struct Case {
        const char* name;
        std::vector<u8> bytes;
    };
    std::vector<Case> cases;
    cases.push_back({"empty", {}});
    cases.push_back({"count cut", {2, 0}});
    cases.push_back({"head cut", std::vector<u8>(good.bytes.begin(), good.bytes.begin() + 20)});
    cases.push_back({"pixels of the last image cut", std::vector<u8>(good.bytes.begin(), good.bytes.end() - 1)});
    PackBytes huge_count(0xFFFFFFFFu);
    cases.push_back({"count beyond the file", huge_count.bytes});
    PackBytes huge_image(1);
    huge_image.Image(0, 0, 1, 0);
    huge_image.bytes[4 + 12] = 0xFF;  // width 65535
    huge_image.bytes[4 + 13] = 0xFF;
    huge_image.bytes[4 + 14] = 0xFF;  // height 65535
    huge_image.bytes[4 + 15] = 0xFF;
    cases.push_back({"image larger than the file", huge_image.bytes});
    for (const Case& c : cases) {
        TexturePack pack;
        PackBytes keep(1);
        keep.Image(1, 1, 5, 0);
        ASSERT_NE(ParseTexturePack(pack, keep.bytes.data(), keep.bytes.size()), 0u);
        std::string error;
        EXPECT_EQ(ParseTexturePack(pack, c.bytes.data(), c.bytes.size(), &error), 0u) << c.name;
        EXPECT_FALSE(error.empty()) << c.name;
        EXPECT_EQ(pack.images.size(), 1u) << c.name;  // earlier loads stay
    }
}

TEST(TexturePackTest, LoadsFromAFileAndBuildsPages) {
    pirn_test::TempDir dir;
    PackBytes b(3);
    b.Image(4, 2, 0, 1).Image(0, 0, 1, 0).Image(2, 3, 2, 100);
    pirn_test::WriteAll(dir.file("texturepack"), b.bytes);
    TexturePack pack;
    EXPECT_EQ(LoadTexturePack(pack, dir.file("texturepack")), b.bytes.size());
    EXPECT_EQ(LoadTexturePack(pack, dir.file("missing")), 0u);
    ASSERT_TRUE(BuildTexturePackPages(pack));
    ASSERT_EQ(pack.pages.size(), 1u);
    const AtlasPage& page = pack.pages[0];
    EXPECT_EQ(page.width, 128);
    EXPECT_EQ(page.height, 128);
    // Every non-empty image's pixels sit at its atlas place.
    for (auto& image : pack.images) {
        if (image->Width() == 0) continue;
        EXPECT_EQ(image->atlas.flags, 0);
        for (i32 y = 0; y < image->Height(); ++y)
            for (i32 x = 0; x < image->Width() * 4; ++x)
                EXPECT_EQ(page.pixels[(size_t(image->atlas.y + y) * page.width + image->atlas.x) * 4 + x],
                          image->pixels[size_t(y) * image->Width() * 4 + x]);
    }
    DropTexturePackPixels(pack);
    EXPECT_TRUE(pack.images[0]->pixels.empty());
}

TEST(TexturePackTest, ImageLargerThanAPageFailsTheBuild) {
    PackBytes b(1);
    b.Image(1025, 1, 0, 0);
    TexturePack pack;
    ASSERT_NE(ParseTexturePack(pack, b.bytes.data(), b.bytes.size()), 0u);
    EXPECT_FALSE(BuildTexturePackPages(pack));
}

// One image placed at (10, 20) in its page, 4 wide and 2 high.
struct QuadFixture {
    QuadFixture() {
        image.atlas = AtlasItem{10, 20, 4, 2, 0, 0};
        draw.pack = &pack;
        draw.image = &image;
        draw.source_width = 4;
        draw.source_height = 2;
    }
    std::vector<ImageQuad> Quads(const Rect& dest, u32 flags) {
        draw.dest = dest;
        draw.flags = flags;
        std::vector<ImageQuad> out;
        AppendImageQuads(draw, out);
        return out;
    }
    TexturePack pack;
    TexturePackImage image;
    QueuedImageDraw draw;
};

TEST(TexturePackTest, TilesAtNaturalSizeClippedAtRightAndBottom) {
    QuadFixture f;
    const auto quads = f.Quads(Rect{0, 0, 10, 3}, 0);
    ASSERT_EQ(quads.size(), 6u);  // 3 columns x 2 rows
    EXPECT_EQ(quads[2].dest, (Rect{8, 0, 10, 2}));
    EXPECT_EQ(quads[5].dest, (Rect{8, 2, 10, 3}));
    // The clipped tile shows the image's top-left part.
    EXPECT_FLOAT_EQ(quads[5].s[0], 10);
    EXPECT_FLOAT_EQ(quads[5].t[0], 20);
    EXPECT_FLOAT_EQ(quads[5].s[2], 12);
    EXPECT_FLOAT_EQ(quads[5].t[2], 21);

    const auto stretched = f.Quads(Rect{0, 0, 100, 50}, kImageStretch);
    ASSERT_EQ(stretched.size(), 1u);
    EXPECT_FLOAT_EQ(stretched[0].s[2], 14);
    EXPECT_FLOAT_EQ(stretched[0].t[2], 22);
}

TEST(TexturePackTest, ZeroSizedImagesAndRectanglesDrawNothing) {
    QuadFixture f;
    EXPECT_TRUE(f.Quads(Rect{0, 0, 0, 10}, 0).empty());
    f.image.atlas.width = 0;
    f.draw.source_width = 0;
    EXPECT_TRUE(f.Quads(Rect{0, 0, 1000000, 1000000}, 0).empty());
}

TEST(TexturePackTest, RotationAndMirrorsMapCornersToTheImage) {
    QuadFixture f;
    // Corners top-left, top-right, bottom-right, bottom-left in page pixels.
    struct Case {
        u32 flags;
        float s[4], t[4];
    };
    const Case cases[] = {
        {kImageStretch, {10, 14, 14, 10}, {20, 20, 22, 22}},
        {kImageStretch | kImageMirrorX, {14, 10, 10, 14}, {20, 20, 22, 22}},
        {kImageStretch | kImageMirrorY, {10, 14, 14, 10}, {22, 22, 20, 20}},
        // Clockwise: the image's bottom-left shows at the top-left.
        {kImageStretch | kImageRotate, {10, 10, 14, 14}, {22, 20, 20, 22}},
    };
    for (const Case& c : cases) {
        const auto q = f.Quads(Rect{0, 0, 8, 8}, c.flags);
        ASSERT_EQ(q.size(), 1u);
        for (int i = 0; i < 4; ++i) {
            EXPECT_FLOAT_EQ(q[0].s[i], c.s[i]) << c.flags << " corner " << i;
            EXPECT_FLOAT_EQ(q[0].t[i], c.t[i]) << c.flags << " corner " << i;
        }
    }
    // Turned, the tile is 2 wide and 4 high.
    EXPECT_EQ(f.Quads(Rect{0, 0, 4, 4}, kImageRotate).size(), 2u);

    // An image stored turned in the atlas draws upright.
    f.image.atlas.flags = kAtlasRotated;
    f.image.atlas.width = 2;
    f.image.atlas.height = 4;
    const auto q = f.Quads(Rect{0, 0, 4, 2}, kImageStretch);
    ASSERT_EQ(q.size(), 1u);
    EXPECT_FLOAT_EQ(q[0].s[1], 10);  // image top-right = stored bottom-left
    EXPECT_FLOAT_EQ(q[0].t[1], 24);
}

TEST(TexturePackTest, QueueFlushesSortedByPackAndPage) {
    TexturePack a, b;
    TexturePackImage a0, a1, b0;
    a0.atlas = AtlasItem{0, 0, 1, 1, 0, 1};
    a1.atlas = AtlasItem{0, 0, 1, 1, 0, 0};
    b0.atlas = AtlasItem{0, 0, 1, 1, 0, 0};
    std::vector<QueuedImageDraw> draws(3);
    draws[0].pack = &a;
    draws[0].image = &a0;
    draws[1].pack = &a;
    draws[1].image = &a1;
    draws[2].pack = &b;
    draws[2].image = &b0;
    SortImageDraws(draws);
    // The two draws of pack a stay together, page 0 before page 1.
    const size_t first_a = draws[0].pack == &a ? 0 : 1;
    EXPECT_EQ(draws[first_a].image, &a1);
    EXPECT_EQ(draws[first_a + 1].image, &a0);
    EXPECT_EQ(draws[first_a == 0 ? 2 : 0].pack, &b);

    QueueImageDraw(&a, &a0, Rect{0, 0, 4, 4}, 0);
    QueueImageDraw(&a, nullptr, Rect{0, 0, 4, 4}, 0);  // missing images queue nothing
    EXPECT_EQ(PendingImageDraws().size(), 1u);
    FlushImageDraws(true);
    EXPECT_TRUE(PendingImageDraws().empty());
}

}  // namespace
}  // namespace pirn
