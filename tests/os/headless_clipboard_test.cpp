#include "platform/os/headless/headless_clipboard.h"

#include <gtest/gtest.h>

#include "platform/clipboard_image.h"
#include "platform/os/os_clipboard.h"

namespace pirn {
namespace {

class HeadlessClipboardTest : public ::testing::Test {
protected:
    void TearDown() override { headless::ClearClipboard(); }
};

TEST_F(HeadlessClipboardTest, TextGoesThroughTheCharacterMap) {
    ASSERT_TRUE(OsSetClipboardText("Caf\x8E \xA5 20\xA1"));
    EXPECT_EQ(headless::ClipboardUtf8(), "Caf\xC3\xA9 \xE2\x80\xA2 20\xC2\xB0");

    headless::SetForeignClipboardText("na\xC3\xAFve \xE2\x82\xAC");
    std::string text;
    ASSERT_TRUE(OsGetClipboardText(&text));
    EXPECT_EQ(text, "na\x95ve \xFF");  // the euro sign has no code: clipped

    headless::ClearClipboard();
    EXPECT_FALSE(OsGetClipboardText(&text));
}

TEST_F(HeadlessClipboardTest, PicturesOfferPngAndBmpAndComeBackIdentical) {
    const std::vector<u8> rgb = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};  // 5 x 1
    ASSERT_TRUE(OsSetClipboardImage(rgb.data(), 5, 1));
    EXPECT_FALSE(headless::ClipboardData("image/png").empty());
    EXPECT_FALSE(headless::ClipboardData("image/bmp").empty());
    std::string text;
    EXPECT_FALSE(OsGetClipboardText(&text));

    std::vector<u8> back;
    u32 width = 0, height = 0;
    ASSERT_TRUE(OsGetClipboardImage(&back, &width, &height));
    EXPECT_EQ(back, rgb);
    EXPECT_EQ(width, 5u);
    EXPECT_EQ(height, 1u);
    EXPECT_FALSE(OsSetClipboardImage(rgb.data(), 0, 1));
}

TEST_F(HeadlessClipboardTest, ABmpFromAnotherProgramWithAWrongHeaderIsRefused) {
    const std::vector<u8> rgb(2 * 2 * 3, 200);
    std::vector<u8> bmp;
    ASSERT_TRUE(EncodeClipboardImage("image/bmp", rgb.data(), 2, 2, &bmp));
    headless::SetForeignClipboardData("image/x-MS-bmp", bmp);
    std::vector<u8> back;
    u32 width = 0, height = 0;
    ASSERT_TRUE(OsGetClipboardImage(&back, &width, &height));
    EXPECT_EQ(back, rgb);

    bmp[22] = 9;  // nine rows claimed, two given
    headless::SetForeignClipboardData("image/bmp", bmp);
    back.clear();
    EXPECT_FALSE(OsGetClipboardImage(&back, &width, &height));
    EXPECT_TRUE(back.empty());
}

}  // namespace
}  // namespace pirn
