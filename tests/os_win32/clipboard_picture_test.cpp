#include "platform/os/win32/clipboard_picture.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <vector>

#include "platform/os/clipboard_dib.h"

namespace pirn {
namespace win32 {
namespace {

// What another program does: empty the clipboard and put its own data on.
bool OfferAsAnotherProgram(UINT format, const std::vector<u8>& bytes) {
    if (!OpenClipboard(nullptr)) return false;
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    std::memcpy(GlobalLock(memory), bytes.data(), bytes.size());
    GlobalUnlock(memory);
    const bool put = SetClipboardData(format, memory) != nullptr;
    CloseClipboard();
    return put;
}

std::vector<u8> ClipboardBytes(UINT format) {
    std::vector<u8> bytes;
    if (!OpenClipboard(nullptr)) return bytes;
    if (HANDLE memory = GetClipboardData(format)) {
        const u8* data = static_cast<const u8*>(GlobalLock(memory));
        bytes.assign(data, data + GlobalSize(memory));
        GlobalUnlock(memory);
    }
    CloseClipboard();
    return bytes;
}

TEST(ClipboardPicture, APictureComesBackIdenticalAndIsA24BitDib) {
    std::vector<u8> rgb;
    for (int i = 0; i < 5 * 3 * 3; ++i) rgb.push_back(static_cast<u8>(i * 7));  // 5 x 3, odd rows
    ASSERT_TRUE(PutClipboardPicture(rgb.data(), 5, 3));

    const std::vector<u8> dib = ClipboardBytes(CF_DIB);
    ASSERT_GE(dib.size(), kDibHeaderBytes + 16 * 3);
    EXPECT_EQ(dib[0], 40);   // header size
    EXPECT_EQ(dib[14], 24);  // bits a pixel
    EXPECT_EQ(dib[8], 3);    // positive height: bottom-up

    ClipboardImage back;
    ASSERT_TRUE(ReadClipboardPicture(&back));
    EXPECT_EQ(back.width, 5u);
    EXPECT_EQ(back.height, 3u);
    EXPECT_EQ(back.rgb, rgb);
}

TEST(ClipboardPicture, ReadsA32BitDibAnotherProgramOffered) {
    std::vector<u8> dib(kDibHeaderBytes, 0);
    dib[0] = 40;
    dib[4] = 1;     // width
    dib[8] = 2;     // height, bottom-up
    dib[12] = 1;    // planes
    dib[14] = 32;   // bits
    const u8 rows[] = {10, 20, 30, 0, 40, 50, 60, 0};  // bottom row first, BGRA
    dib.insert(dib.end(), rows, rows + sizeof rows);
    ASSERT_TRUE(OfferAsAnotherProgram(CF_DIB, dib));

    ClipboardImage image;
    ASSERT_TRUE(ReadClipboardPicture(&image));
    EXPECT_EQ(image.rgb, (std::vector<u8>{60, 50, 40, 30, 20, 10}));
}

TEST(ClipboardPicture, TextOrADamagedDibIsNoPicture) {
    const std::vector<u8> text = {'h', 'i', 0};
    ASSERT_TRUE(OfferAsAnotherProgram(CF_TEXT, text));
    ClipboardImage image;
    EXPECT_FALSE(ReadClipboardPicture(&image));

    std::vector<u8> truncated(kDibHeaderBytes, 0);
    truncated[0] = 40;
    truncated[4] = 100;
    truncated[8] = 100;
    truncated[12] = 1;
    truncated[14] = 24;
    ASSERT_TRUE(OfferAsAnotherProgram(CF_DIB, truncated));
    EXPECT_FALSE(ReadClipboardPicture(&image));
    EXPECT_TRUE(image.rgb.empty());
}

}  // namespace
}  // namespace win32
}  // namespace pirn
