#pragma once
// The collection editor on the headless window system over a Codex in a
// scratch game folder: '.256' tags written as loose files from bytes laid
// out field by field (tests/collections/collection_fixture.h), opened
// through the editor registry, native dialogs and colour choosers answered
// from the headless backend's script, message boxes from the widget
// harness's.

#include <string>
#include <vector>

#include "codex/codex.h"
#include "codex/four_char_code.h"
#include "codex/ui/tag_editor_open.h"
#include "codex/ui/tag_editor_registry.h"
#include "collections/ui/x256_edit.h"
#include "platform/image_file.h"
#include "platform/native_dialogs.h"
#include "platform/os/headless/scripted_dialogs.h"
#include "platform/os/os_dialogs.h"
#include "platform/pixel_image.h"
#include "platform/pref_store.h"
#include "tests/codex_ui/tag_editor_fixture.h"
#include "tests/collections/collection_fixture.h"
#include "tools/fixture_bytes/tag_header_bytes.h"
#include "ui/tab_window.h"

namespace pirn_test {

using namespace collection_fixture;

// Bitmap blocks in the stored form.
inline std::vector<u8> RleSpriteBlock() {  // 3 x 2, 8-bit RLE: indices 9 10 11 / _ 12 _
    Bytes b = collection_fixture::BitmapHeader(3, 2, 3, 0x0044, 8, 0, 0);
    b.Zeros(4);
    RleRow(&b, {{0, 3}}, {9, 10, 11}, 3, true);
    RleRow(&b, {{1, 2}}, {12}, 1, true);
    return b.data;
}
inline std::vector<u8> WideSpriteBlock() {  // 2 x 2, 16-bit RAW
    Bytes b = collection_fixture::BitmapHeader(2, 2, 4, 0x0010, 16, 1, 0);
    b.Zeros(4).U8(3).U8(20).U8(0).U8(21).U8(15).U8(0).U8(0).U8(22);
    return b.data;
}
inline std::vector<u8> ShadowBlock() {  // 2 x 1, 8-bit RAW shadow
    Bytes b = collection_fixture::BitmapHeader(2, 1, 2, 0x0080, 8, 0, 0);
    b.U8(40).U8(200);
    return b.data;
}
inline std::vector<u8> SquareBlock() {  // 4 x 4, 8-bit RAW
    Bytes b = collection_fixture::BitmapHeader(4, 4, 4, 0x0000, 8, 0, 0);
    b.Zeros(12);
    for (int i = 0; i < 16; ++i) b.U8(u8(100 + i));
    return b.data;
}

// Offsets in the tag data (after the 320-byte header) are recorded so that
// tests can find an instance's stored bytes.
constexpr size_t kInstanceRecordBytes = 64;

// A collection stored the way this program writes it, so that a load and a
// save give the same bytes: the hue change's affected set matches the
// table, instance flags 4 and 16 match the bitmaps, instances and frame
// records are numbered in save order.
//   bitmaps  0 "Sprite A" (RLE 3 x 2), 1 "Sprite B" (16-bit RAW 2 x 2),
//            2 "Shadow", 3 "Square" (RAW 4 x 4), 4 "Spare" (unused)
//   "Walk"   2 views, 1 frame: view 0 shows Sprite A with Square as its
//            alternate (scale 0.5, at 5, 6), view 1 Sprite B; shadow 2
//   "Idle"   1 view, 1 frame: Square
inline StoredCollection EditorTag() {
    StoredCollection c;
    c.stored_word = 0x00C0FFEE;
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
    c.hues.push_back(hue);

    StoredInstance sprite;
    sprite.flags = 0x20;
    sprite.x = 2;
    sprite.y = 3;
    sprite.key_x = 1;
    sprite.key_y = -1;
    sprite.bitmap = 0;
    sprite.alternate = 3;
    sprite.alternate_scale = 0x8000;
    sprite.alternate_x = 5;
    sprite.alternate_y = 6;
    StoredInstance wide;
    wide.flags = 0x14;
    wide.x = -4;
    wide.y = 7;
    wide.bitmap = 1;
    wide.alternate = 0;
    StoredInstance idle;
    idle.flags = 0x10;
    idle.x = 1;
    idle.y = 1;
    idle.bitmap = 3;
    idle.alternate = 0;
    c.instances = {sprite, wide, idle};

    StoredSequence walk;
    walk.name = "Walk";
    walk.views = 2;
    walk.ticks = 3;
    StoredFrame w0;
    w0.frame_record = 0;
    w0.views = {0, 1};
    walk.frames = {w0};
    StoredSequence still;
    still.name = "Idle";
    StoredFrame i0;
    i0.frame_record = 1;
    i0.views = {2};
    still.frames = {i0};
    c.sequences = {walk, still};

    StoredFrameRecord lit;
    lit.flags = 1;
    lit.shadow = 2;
    c.frame_records = {lit, StoredFrameRecord()};

    c.bitmaps = {{"Sprite A", 3, 2, RleSpriteBlock()},
                 {"Sprite B", 2, 2, WideSpriteBlock()},
                 {"Shadow", 2, 1, ShadowBlock()},
                 {"Square", 4, 4, SquareBlock()},
                 {"Spare", 4, 4, SquareBlock()}};
    return c;
}

// Where instance i's record starts in the tag data.
inline size_t InstanceRecordOffset(const std::vector<u8>& data, size_t i) {
    // Section 3 of the header (16 bytes a section from byte 64): count,
    // offset, size; offsets count from the end of the 320-byte header.
    return 320 + ReadU32(data, 64 + 3 * 16 + 4) + i * kInstanceRecordBytes;
}

// An 8-bit paletted image file: a 4 x 3 picture of indices 2..13 with
// index 0 in one corner, in the palette's colours (index i is grey i * 16,
// entry 0 black).
inline void WritePalettedImage(const std::string& path, u32 type, u8 firstIndex = 2) {
    pirn::PixelImage image;
    std::vector<u8> pixels(12);
    for (u32 i = 0; i < 12; ++i) pixels[i] = u8(firstIndex + i);
    pixels[0] = 0;
    pirn::SetImagePixels(&image, 4, 3, pirn::kFormatColorIndex, pixels.data());
    std::vector<u8> palette(768, 0);
    for (u32 i = 0; i < 256; ++i) palette[3 * i] = palette[3 * i + 1] = palette[3 * i + 2] = u8(i * 16);
    pirn::SetImagePalette(&image, 256, palette.data());
    std::vector<u8> bytes;
    ASSERT_TRUE(pirn::EncodeImageBytes(type, image, &bytes));
    WriteAll(path, bytes);
}

class X256EditTest : public TagEditorTest {
protected:
    static constexpr u32 kGroup = pirn::fixture::FourCC(".256");
    static constexpr u32 kKnight = pirn::fixture::FourCC("knig");

    X256EditTest() : TagEditorTest(pirn::BindX256Edit) {}

    // A loose '.256' tag file of that data; the tag.
    pirn::TagEntry* WriteCollectionTag(const std::string& name, u32 id, const std::vector<u8>& data, u32 flags) {
        pirn::fixture::TagHeaderFields header;
        header.name = name;
        header.group = kGroup;
        header.id = id;
        header.user_data = flags;
        header.version = 4;
        WriteLocal("Collections", name, pirn::fixture::TagFileBytes(header, data));
        pirn::PollLocalFolder(true);
        return pirn::FindTag(kGroup, header.id);
    }
    pirn::TagEntry* WriteEditorTag(const std::string& name = "Knight") {
        const StoredCollection stored = EditorTag();
        return WriteCollectionTag(name, kKnight, CollectionData(stored), stored.flags);
    }

    pirn::X256Edit* Open(pirn::TagEntry* tag) { return dynamic_cast<pirn::X256Edit*>(pirn::OpenTagEditor(tag)); }
    // Opens the editor tag fresh.
    pirn::X256Edit* OpenEditorTag(const std::string& name = "Knight") { return Open(WriteEditorTag(name)); }

    // The data of the tag's local file (past its 64-byte header).
    std::vector<u8> SavedData(const std::string& name = "Knight") {
        std::vector<u8> file = ReadAll(LocalFile("Collections", name));
        if (file.size() < 64) return {};
        return std::vector<u8>(file.begin() + 64, file.end());
    }
    std::vector<u8> SavedFile(const std::string& name = "Knight") { return ReadAll(LocalFile("Collections", name)); }

    std::string ScratchFile(const std::string& name) { return dir_.path() + "/" + name; }
};

}  // namespace pirn_test
