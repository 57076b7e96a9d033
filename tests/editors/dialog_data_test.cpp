// Dialog tags ('bina') from hand-built bytes, written back, and refused when
// their counts, sizes or texts do not hold together.

#include "editors/dialog_data.h"

#include <gtest/gtest.h>

#include "codex/four_char_code.h"
#include "platform/scratch_stream.h"
#include "tests/editors/editors_test_support.h"

using namespace pirn;
using namespace editors_test;

namespace {

// Header (version, count, top, left, bottom, right), then per control the
// type, 2 reserved bytes, the id, 8 reserved bytes and top, left, bottom,
// right; then the texts. `reserved` fills the reserved bytes.
std::vector<u8> ThreeControls(u8 reserved, bool last_nul = true) {
    Bytes b;
    b.U16(3).U16(3).I16(10).I16(20).I16(210).I16(320);
    b.Code("butt").Fill(2, reserved).U16(7).Fill(8, reserved).I16(30).I16(40).I16(60).I16(140);
    b.Code("stat").Fill(2, reserved).U16(8).Fill(8, reserved).I16(70).I16(40).I16(90).I16(300);
    b.Code("zzzz").Fill(2, reserved).U16(65535).Fill(8, reserved).I16(-32768).I16(-1).I16(32767).I16(0);
    b.CString("OK").CString("").Text("Caf\x8E", last_nul ? 5 : 4);
    return b.data;
}

u32 Read(DialogData* dialog, const std::vector<u8>& bytes, u32 length) {
    std::FILE* f = StreamOf(bytes);
    const u32 n = ReadDialog(dialog, f, length);
    std::fclose(f);
    return n;
}

std::vector<u8> Written(const DialogData& dialog, u32* result, const std::vector<u8>& before = {}) {
    std::FILE* f = pirn::OpenScratchFile();
    if (!before.empty()) std::fwrite(before.data(), 1, before.size(), f);
    *result = WriteDialog(dialog, f);
    std::vector<u8> bytes = StreamContents(f);
    std::fclose(f);
    return bytes;
}

}  // namespace

TEST(DialogData, ReadsHeaderControlsAndTexts) {
    const std::vector<u8> bytes = ThreeControls(0x5A);
    DialogData d;
    ASSERT_EQ(Read(&d, bytes, u32(bytes.size())), bytes.size());
    EXPECT_EQ(d.version, 3u);
    EXPECT_EQ(d.rect, (DialogRect{20, 10, 320, 210}));
    ASSERT_EQ(d.controls.size(), 3u);
    EXPECT_EQ(d.controls[0].type, MakeFourCC("butt"));
    EXPECT_EQ(d.controls[0].id, 7);
    EXPECT_EQ(d.controls[0].rect, (DialogRect{40, 30, 140, 60}));
    EXPECT_EQ(d.controls[0].text, "OK");
    EXPECT_EQ(d.controls[1].text, "");
    EXPECT_EQ(d.controls[2].type, MakeFourCC("zzzz"));
    EXPECT_EQ(d.controls[2].id, 65535);
    EXPECT_EQ(d.controls[2].rect, (DialogRect{-1, -32768, 0, 32767}));
    EXPECT_EQ(d.controls[2].text, "Caf\x8E");
}

TEST(DialogData, WritesEveryFieldBackWithReservedBytesZero) {
    const std::vector<u8> bytes = ThreeControls(0x5A);
    DialogData d;
    ASSERT_EQ(Read(&d, bytes, u32(bytes.size())), bytes.size());
    u32 written = 0;
    EXPECT_EQ(Written(d, &written), ThreeControls(0));
    EXPECT_EQ(written, bytes.size());
    // The writer writes where the stream stands: right after the header
    // of the file being written, wherever the tag's data was read from.
    const std::vector<u8> header(64, 0xEE);
    std::vector<u8> expected = header;
    const std::vector<u8> body = ThreeControls(0);
    expected.insert(expected.end(), body.begin(), body.end());
    EXPECT_EQ(Written(d, &written, header), expected);
}

TEST(DialogData, ADialogWithoutControlsReadsAndWrites) {
    Bytes b;
    b.U16(1).U16(0).I16(0).I16(0).I16(480).I16(640);
    DialogData d;
    ASSERT_EQ(Read(&d, b.data, 12), 12u);
    EXPECT_TRUE(d.controls.empty());
    EXPECT_EQ(d.rect, (DialogRect{0, 0, 640, 480}));
    u32 written = 0;
    EXPECT_EQ(Written(d, &written), b.data);
    EXPECT_EQ(written, 12u);
}

TEST(DialogData, CountsSizesAndTextsThatDoNotHoldTogetherAreRefused) {
    const std::vector<u8> good = ThreeControls(0);
    std::vector<u8> too_many = good;
    too_many[3] = 200;  // 200 controls in a data block that holds three
    struct Case {
        const char* what;
        std::vector<u8> bytes;
        u32 length;
    } cases[] = {
        {"shorter than a header", {0, 1, 0}, 3},
        {"records past the data", too_many, u32(too_many.size())},
        {"one text without its NUL", ThreeControls(0, false), u32(good.size() - 1)},
        {"text block cut before the last text", good, u32(good.size() - 5)},
        {"no text block at all", good, 12 + 3 * 24},
        {"length past the stream", good, u32(good.size() + 1)},
    };
    for (const Case& c : cases) {
        DialogData d;
        d.version = 99;
        EXPECT_EQ(Read(&d, c.bytes, c.length), 0u) << c.what;
        EXPECT_EQ(d.version, 99u) << "a refused read leaves the dialog alone: " << c.what;
    }
    // Bytes after the last text are passed over.
    std::vector<u8> trailing = good;
    trailing.push_back('x');
    DialogData d;
    EXPECT_EQ(Read(&d, trailing, u32(trailing.size())), trailing.size());
    EXPECT_EQ(d.controls[2].text, "Caf\x8E");
}

TEST(DialogData, FieldsTheFileCannotHoldAreRefusedNotWrapped) {
    const std::vector<u8> bytes = ThreeControls(0);
    DialogData base;
    ASSERT_NE(Read(&base, bytes, u32(bytes.size())), 0u);
    struct Case {
        const char* what;
        void (*change)(DialogData&);
    } cases[] = {
        {"version 65536", [](DialogData& d) { d.version = 65536; }},
        {"dialog side 32768", [](DialogData& d) { d.rect.right = 32768; }},
        {"control side -32769", [](DialogData& d) { d.controls[1].rect.top = -32769; }},
        {"text holding a NUL", [](DialogData& d) { d.controls[0].text = std::string("a\0b", 3); }},
        {"65536 controls", [](DialogData& d) { d.controls.resize(65536); }},
    };
    for (const Case& c : cases) {
        DialogData d = base;
        c.change(d);
        EXPECT_FALSE(DialogFitsFile(d)) << c.what;
        u32 written = 1;
        EXPECT_TRUE(Written(d, &written).empty()) << c.what;
        EXPECT_EQ(written, 0u) << c.what;
    }
    EXPECT_TRUE(DialogFitsFile(base));
}
