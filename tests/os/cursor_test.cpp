#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "platform/os/cursor_id.h"
#include "platform/os/cursor_image.h"
#include "platform/os/headless/headless_os.h"
#include "platform/os/os_input.h"
#include "platform/os/os_window.h"

namespace pirn {
namespace {

TEST(CursorShapes, IdsMapToTheirShapes) {
    struct Case {
        int id;
        PointerShape shape;
    };
    const Case cases[] = {
        {0, PointerShape::Arrow},           {1, PointerShape::SizeWestEast},
        {2, PointerShape::SizeNorthSouth},  {3, PointerShape::SizeNwSe},
        {4, PointerShape::SizeNeSw},        {5, PointerShape::TextBeam},
        {6, PointerShape::Cross},           {7, PointerShape::DropAccepted},
        {8, PointerShape::NotAllowed},      {9, PointerShape::NotAllowed},
        {10, PointerShape::DropAccepted},   {11, PointerShape::MoveBitmap},
        {12, PointerShape::ShadowHover},    {13, PointerShape::ShadowDrag},
        {14, PointerShape::Arrow},          {99, PointerShape::Arrow},
        {-1, PointerShape::Arrow},
    };
    for (const Case& c : cases) EXPECT_EQ(PointerShapeForId(c.id), c.shape) << "id " << c.id;
}

TEST(CursorShapes, HeadlessBackendRecordsEveryShapeAsked) {
    headless::Reset();
    ASSERT_EQ(OsInit(), 1);
    for (int id : {0, 99, 7, 10, 3}) OsSetCursor(id);
    EXPECT_EQ(headless::Record().cursorHistory,
              (std::vector<PointerShape>{PointerShape::Arrow, PointerShape::Arrow,
                                        PointerShape::DropAccepted, PointerShape::DropAccepted,
                                        PointerShape::SizeNwSe}));
    EXPECT_EQ(headless::Record().cursorId, 3);
}

// Drawn images: the right size, black ink with a white outline, the hot spot
// on or next to the drawing, and every shape different from the others.
TEST(CursorImages, EveryShapeIsDrawnDistinctly) {
    std::set<std::vector<u8>> seen;
    for (int s = 0; s < static_cast<int>(PointerShape::Count); ++s) {
        PointerShape shape = static_cast<PointerShape>(s);
        CursorImage image = BuildCursorImage(shape);
        SCOPED_TRACE(PointerShapeName(shape));
        ASSERT_EQ(image.width, 32);
        ASSERT_EQ(image.height, 32);
        ASSERT_EQ(image.rgba.size(), 32u * 32u * 4u);
        int black = 0, white = 0, other = 0;
        for (size_t i = 0; i < image.rgba.size(); i += 4) {
            const u8* p = &image.rgba[i];
            if (p[3] == 0) continue;
            if (p[0] == 0 && p[1] == 0 && p[2] == 0 && p[3] == 255) ++black;
            else if (p[0] == 255 && p[1] == 255 && p[2] == 255 && p[3] == 255) ++white;
            else ++other;
        }
        EXPECT_GT(black, 20);
        EXPECT_GT(white, 20);
        EXPECT_EQ(other, 0);
        ASSERT_GE(image.hotX, 0);
        ASSERT_LT(image.hotX, 32);
        ASSERT_GE(image.hotY, 0);
        ASSERT_LT(image.hotY, 32);
        bool inkNearHotSpot = false;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                int x = image.hotX + dx, y = image.hotY + dy;
                if (x >= 0 && y >= 0 && x < 32 && y < 32 && image.rgba[(y * 32 + x) * 4 + 3] != 0)
                    inkNearHotSpot = true;
            }
        EXPECT_TRUE(inkNearHotSpot);
        EXPECT_TRUE(seen.insert(image.rgba).second) << "same image as another shape";
    }
}

TEST(CursorImages, OnlyShapesTheLibraryHasCountAsStandard) {
    EXPECT_TRUE(PointerShapeIsStandard(PointerShape::Arrow));
    EXPECT_TRUE(PointerShapeIsStandard(PointerShape::TextBeam));
    EXPECT_FALSE(PointerShapeIsStandard(PointerShape::SizeNwSe));
    EXPECT_FALSE(PointerShapeIsStandard(PointerShape::SizeNeSw));
    EXPECT_FALSE(PointerShapeIsStandard(PointerShape::NotAllowed));
    EXPECT_FALSE(PointerShapeIsStandard(PointerShape::DropAccepted));
}

// The pointer is visible while shows minus hides is zero or more.
TEST(CursorVisibility, ShowAndHideCount) {
    headless::Reset();
    ASSERT_EQ(OsInit(), 1);
    EXPECT_EQ(OsShowCursor(0), -1);
    EXPECT_EQ(OsShowCursor(0), -2);
    EXPECT_FALSE(headless::Record().cursorVisible);
    EXPECT_EQ(OsShowCursor(1), -1);
    EXPECT_FALSE(headless::Record().cursorVisible);
    EXPECT_EQ(OsShowCursor(1), 0);
    EXPECT_TRUE(headless::Record().cursorVisible);
    EXPECT_EQ(OsShowCursor(1), 1);
    EXPECT_TRUE(headless::Record().cursorVisible);
    // A new start begins visible again.
    ASSERT_EQ(OsInit(), 1);
    EXPECT_EQ(OsShowCursor(0), -1);
}

}  // namespace
}  // namespace pirn
