// A collection with an alternate (high-resolution) instance opened in the
// collection editor, which shows the alternates, edited in the frame editor
// and saved: the standard reference stays in the primary fields and the
// alternate one, with the edit, in the alternate fields. Checked on the
// bytes written, field by field from the instance record's table.

#include <gtest/gtest.h>

#include "tests/collections/collection_fixture.h"
#include "collections/ui/x256_sequence_frame_view.h"
#include "tests/collections_ui/sequence_page_fixture.h"

namespace pirn_test {
namespace {

using namespace collection_fixture;

std::vector<u8> SquareBlock(u8 first) {  // 4 x 4, 8-bit RAW
    Bytes b = collection_fixture::BitmapHeader(4, 4, 4, 0x0000, 8, 0, 0);
    b.Zeros(12);
    for (int i = 0; i < 16; ++i) b.U8(u8(first + i));
    return b.data;
}

StoredCollection WithAlternate() {
    StoredCollection c;
    for (int i = 0; i < 256; ++i) c.colors[i][0] = c.colors[i][1] = c.colors[i][2] = u8(i);
    for (int i = 0; i < 2; ++i) {
        StoredBitmap b;
        b.name = i ? "Large" : "Small";
        b.width = b.height = 4;
        b.block = SquareBlock(u8(100 + 20 * i));
        c.bitmaps.push_back(b);
    }
    StoredInstance instance;
    instance.flags = 0x20 | 0x10;
    instance.x = 1;
    instance.y = 2;
    instance.key_x = 3;
    instance.key_y = -3;
    instance.bitmap = 0;
    instance.alternate = 1;
    instance.alternate_scale = 5 << 16;
    instance.alternate_x = 3;
    instance.alternate_y = 4;
    c.instances.push_back(instance);
    StoredSequence walk;
    walk.name = "Walk";
    StoredFrame frame;
    frame.frame_record = 0;
    frame.views = {0};
    walk.frames.push_back(frame);
    c.sequences.push_back(walk);
    c.frame_records.push_back(StoredFrameRecord{});
    return c;
}

class X256AlternatesTest : public SequencePageTest {};

TEST_F(X256AlternatesTest, OpeningAndSavingKeepsBothReferences) {
    const std::vector<u8> data = CollectionData(WithAlternate());
    MemoryStream in(TagFileBytes(data));
    TagHeader header = TagHeaderFor(data, 6);
    X256Edit* editor = new X256Edit(nullptr);
    ASSERT_EQ(editor->ReadTag(in.file, &header), 1);
    Collection& c = editor->GetCollection();
    ASSERT_EQ(c.sequences.size(), 1u);
    BitmapInstance& instance = c.sequences[0]->frames[0].instances[0];
    EXPECT_TRUE(editor->ShowsAlternates());
    EXPECT_EQ(ShownReference(instance).bitmap, c.bitmaps[1].get());

    // The frame editor moves what is shown: F2 and Right take the alternate
    // picture right, its point left inside it.
    auto* browser = dynamic_cast<X256SequenceBrowser*>(editor->GetSequencePage());
    X256SequenceFrameEdit* frame = browser->OpenFrameEditor(c.sequences[0].get(), 0, 0);
    ActivateWindow(frame->GetCanvas(), kFocusByClick);
    HandleKeyInput(kKeyF1 + 1, 1);  // F2: the current instance
    HandleKeyInput(kKeyRight, 1);
    DrainEventQueue();
    HandleKeyInput(kKeyRight, 0);
    HandleKeyInput(kKeyF1 + 1, 0);
    DrainEventQueue();
    EXPECT_EQ(instance.alternate.x, 2);
    EXPECT_EQ(instance.standard.x, 1);

    MemoryStream out;
    ASSERT_EQ(editor->WriteTag(out.file, &header), 1);
    const std::vector<u8> file = out.Contents();
    const size_t base = 64 + 320;
    const size_t section = 64 + 64 + 3 * 16;  // section 3: instances
    ASSERT_EQ(ReadU32(file, section), 1u);
    const size_t record = base + ReadU32(file, section + 4);
    EXPECT_EQ(ReadU32(file, record + 0), 0x20u | 0x10u);
    EXPECT_EQ(i16(ReadU16(file, record + 12)), 1);   // standard x
    EXPECT_EQ(i16(ReadU16(file, record + 14)), 2);   // standard y
    EXPECT_EQ(i16(ReadU16(file, record + 24)), 3);   // key x
    EXPECT_EQ(i16(ReadU16(file, record + 26)), -3);  // key y
    EXPECT_EQ(ReadU16(file, record + 28), 0);        // standard bitmap
    EXPECT_EQ(ReadU16(file, record + 30), 1);        // alternate bitmap
    EXPECT_EQ(ReadU32(file, record + 32), 5u << 16);
    EXPECT_EQ(i16(ReadU16(file, record + 36)), 2);   // alternate x, moved
    EXPECT_EQ(i16(ReadU16(file, record + 38)), 4);

    // Shown the other way round, the same save.
    editor->ToggleAlternates();
    EXPECT_EQ(ShownReference(instance).bitmap, c.bitmaps[0].get());
    MemoryStream again;
    ASSERT_EQ(editor->WriteTag(again.file, &header), 1);
    EXPECT_EQ(again.Contents(), file);
}

}  // namespace
}  // namespace pirn_test
