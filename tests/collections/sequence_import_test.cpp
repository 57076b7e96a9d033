// The sequence editor's import and export menu without its window:
// assignment orders, bitmaps and alphas from files and plates checked
// before anything changes, and the files and plates written.

#include "collections/sequence_import.h"

#include <gtest/gtest.h>

#include "collections/plate.h"
#include "platform/file_system.h"
#include "tests/collections/scripted_prompts.h"
#include "tests/support/test_support.h"

namespace pirn {
namespace {

// A w x h paletted PNG whose pixels are all `index`, over a palette whose
// entry i is (i, seed, 255 - i).
std::string WritePaletted(const std::string& path, u32 w, u32 h, u8 index, u8 seed = 7) {
    ImageFile file;
    InitImageFile(&file, path);
    file.type = kTypePng;
    std::vector<u8> pixels(size_t{w} * h, index);
    SetImagePixels(&file.image, w, h, kFormatColorIndex, pixels.data());
    u8 palette[kPaletteBytes];
    for (u32 i = 0; i < 256; ++i) {
        palette[3 * i] = u8(i);
        palette[3 * i + 1] = seed;
        palette[3 * i + 2] = u8(255 - i);
    }
    SetImagePalette(&file.image, 256, palette);
    EXPECT_TRUE(SaveImageFile(&file));
    return path;
}

std::string WriteGrey(const std::string& path, u32 w, u32 h, u8 value) {
    ImageFile file;
    InitImageFile(&file, path);
    file.type = kTypePng;
    std::vector<u8> pixels(size_t{w} * h, value);
    SetImagePixels(&file.image, w, h, kFormatAlpha, pixels.data());
    EXPECT_TRUE(SaveImageFile(&file));
    return path;
}

std::string Slots(const std::vector<SequenceSlot>& slots) {
    std::string text;
    for (const SequenceSlot& s : slots) text += (text.empty() ? "" : " ") + std::to_string(s.frame) + std::to_string(s.view);
    return text;
}

// The names of the shown bitmaps frame by frame ("-" for an empty view).
std::string Shown(const CollectionSequence& sequence) {
    std::string text;
    for (CollectionBitmap* b : SequenceSlotBitmaps(sequence)) text += (text.empty() ? "" : " ") + std::string(b ? b->name : "-");
    return text;
}

class SequenceImportTest : public ::testing::Test {
protected:
    void SetUp() override {
        InitCollection(&c_);
        seq_ = AddSequence(&c_, "Walk");
        ResizeSequence(seq_, 2, 2);
    }
    std::vector<std::string> Files(const std::vector<std::string>& names, u32 w = 3, u32 h = 2) {
        std::vector<std::string> paths;
        u8 index = 2;
        for (const std::string& name : names) paths.push_back(WritePaletted(dir_.file(name + ".png"), w, h, index++));
        return paths;
    }

    pirn_test::TempDir dir_;
    Collection c_;
    CollectionSequence* seq_ = nullptr;
    ScriptedPrompts prompts_;
};

TEST_F(SequenceImportTest, AssignmentOrdersCoverTheShownViews) {
    ResizeSequence(seq_, 3, 2);
    EXPECT_EQ(Slots(SequenceAssignmentOrder(*seq_, kAssignViewsThenFrames)), "00 01 02 10 11 12");
    EXPECT_EQ(Slots(SequenceAssignmentOrder(*seq_, kAssignFramesThenViews)), "00 10 01 11 02 12");
    ResizeSequence(seq_, 8, 1);
    seq_->flags |= kSequenceMirroring;
    EXPECT_EQ(Slots(SequenceAssignmentOrder(*seq_, kAssignViewsThenFrames)), "00 01 02 03 04");
    ResizeSequence(seq_, 0, 4);
    EXPECT_EQ(Slots(SequenceAssignmentOrder(*seq_, kAssignViewsThenFrames)), "");
}

TEST_F(SequenceImportTest, BitmapsFromFilesInEitherOrder) {
    EXPECT_EQ(ImportSequenceBitmaps(&c_, seq_, Files({"a", "b", "c", "d"}), kAssignFramesThenViews, prompts_), 4u);
    EXPECT_TRUE(prompts_.errors.empty());
    EXPECT_EQ(Shown(*seq_), "a c b d");
    EXPECT_EQ(seq_->frames[1].instances[0].standard.index, 1);
    EXPECT_EQ(ImportSequenceBitmaps(&c_, seq_, Files({"e", "f", "g", "h"}), kAssignViewsThenFrames, prompts_), 4u);
    EXPECT_EQ(Shown(*seq_), "e f g h");
    EXPECT_EQ(c_.bitmaps.size(), 8u);
}

TEST_F(SequenceImportTest, NothingChangesWhenACheckFails) {
    ResizeSequence(seq_, 4, 2);
    const std::vector<std::string> seven = Files({"1", "2", "3", "4", "5", "6", "7"});
    EXPECT_EQ(ImportSequenceBitmaps(&c_, seq_, seven, kAssignViewsThenFrames, prompts_), 0u);
    EXPECT_EQ(prompts_.errors, std::vector<std::string>{"7 bitmaps were seleced, expected 8"});

    ResizeSequence(seq_, 2, 1);
    prompts_.errors.clear();
    const std::vector<std::string> mixed = {Files({"ok"})[0], WriteGrey(dir_.file("grey.png"), 2, 2, 9)};
    EXPECT_EQ(ImportSequenceBitmaps(&c_, seq_, mixed, kAssignViewsThenFrames, prompts_), 0u);
    EXPECT_EQ(prompts_.errors, std::vector<std::string>{"'grey.png': The image is not 8-bit paletted."});
    EXPECT_TRUE(c_.bitmaps.empty());

    // The second file's colours do not fit a full table and the user keeps
    // the table: the first file's bitmap goes again.
    const std::vector<std::string> fits = Files({"fits"});
    ASSERT_EQ(ImportSequenceBitmaps(&c_, seq_, {fits[0], fits[0]}, kAssignViewsThenFrames, prompts_), 2u);
    for (u32 i = 0; i < 256; ++i) {
        c_.colors[3 * i] = u8(i);
        c_.colors[3 * i + 1] = 7;
        c_.colors[3 * i + 2] = u8(255 - i);
    }
    const std::string clash = WritePaletted(dir_.file("clash.png"), 2, 2, 3, 99);
    prompts_.answers = {1};  // "Cancel"
    EXPECT_EQ(ImportSequenceBitmaps(&c_, seq_, {fits[0], clash}, kAssignViewsThenFrames, prompts_), 0u);
    EXPECT_EQ(prompts_.questions.size(), 1u);
    EXPECT_EQ(c_.bitmaps.size(), 2u);
    EXPECT_EQ(Shown(*seq_), "fits fits");
}

TEST_F(SequenceImportTest, PlatesBothWaysFrameByFrame) {
    ASSERT_EQ(ImportSequenceBitmaps(&c_, seq_, Files({"a", "b", "c"}, 2, 3), kAssignViewsThenFrames, prompts_), 0u);
    prompts_.errors.clear();
    const std::vector<std::string> four = Files({"a", "b", "c", "d"}, 2, 3);
    ASSERT_EQ(ImportSequenceBitmaps(&c_, seq_, four, kAssignViewsThenFrames, prompts_), 4u);
    ShownReference(seq_->frames[1].instances[0]).bitmap = nullptr;  // an empty view: an empty cell
    const std::string plate = dir_.file("walk.png");
    ASSERT_TRUE(ExportSequencePlate(c_, *seq_, false, plate, 0, prompts_));

    ImageFile parsed;
    InitImageFile(&parsed, plate);
    ASSERT_TRUE(IdentifyImageFile(&parsed) && LoadImageFile(&parsed));
    std::vector<PlateCell> cells;
    ASSERT_TRUE(ParsePlate(parsed.image, &cells));
    ASSERT_EQ(cells.size(), 4u);
    EXPECT_TRUE(cells[2].empty);
    EXPECT_EQ(cells[0].y, cells[1].y);  // one row a frame
    EXPECT_GT(cells[3].y, cells[0].y);

    Collection other;
    InitCollection(&other);
    CollectionSequence* walk = AddSequence(&other, "Walk");
    ResizeSequence(walk, 2, 2);
    ImageFile file;
    InitImageFile(&file, plate);
    EXPECT_EQ(ImportSequencePlate(&other, walk, &file, prompts_), 4u);
    EXPECT_EQ(Shown(*walk), "walk #0000 walk #0001 - walk #0003");
    EXPECT_TRUE(prompts_.errors.empty());

    ResizeSequence(walk, 3, 2);
    EXPECT_EQ(ImportSequencePlate(&other, walk, &file, prompts_), 0u);
    EXPECT_EQ(prompts_.errors.back(), "Invalid number of images in plate. It must contain exactly 6 images.");
    ImageFile notPlate;
    InitImageFile(&notPlate, four[0]);
    EXPECT_EQ(ImportSequencePlate(&other, walk, &notPlate, prompts_), 0u);
    EXPECT_EQ(prompts_.errors.back(), "'a.png': The color plate is not of the correct format.");
    EXPECT_EQ(other.bitmaps.size(), 3u);
}

TEST_F(SequenceImportTest, ThePlateOfASequenceWithoutBitmapsReadsBackEmpty) {
    // One frame of one view, two views, two frames: every cell empty.
    const struct {
        u16 views, frames;
    } shapes[] = {{1, 1}, {2, 1}, {1, 2}};
    for (const auto& shape : shapes) {
        SCOPED_TRACE(std::to_string(shape.views) + " views x " + std::to_string(shape.frames) + " frames");
        ResizeSequence(seq_, shape.views, shape.frames);
        const std::string plate = dir_.file("empty.png");
        ASSERT_TRUE(ExportSequencePlate(c_, *seq_, false, plate, 0, prompts_));
        // Into a sequence of that shape whose views show bitmaps: they are
        // emptied as the plate says.
        Collection other;
        InitCollection(&other);
        CollectionSequence* filled = AddSequence(&other, "Filled");
        ResizeSequence(filled, shape.views, shape.frames);
        CollectionBitmap* b = AddCollectionBitmap(&other, "b", 0, nullptr, 2, 2, 2, nullptr);
        for (SequenceFrame& f : filled->frames)
            for (BitmapInstance& i : f.instances) i.standard.bitmap = b;
        ImageFile file;
        InitImageFile(&file, plate);
        EXPECT_EQ(ImportSequencePlate(&other, filled, &file, prompts_), u32(shape.views) * shape.frames);
        EXPECT_TRUE(prompts_.errors.empty()) << prompts_.errors.front();
        EXPECT_EQ(Shown(*filled), Shown(*seq_));
        EXPECT_EQ(other.bitmaps.size(), 1u) << "nothing added";
    }
}

TEST_F(SequenceImportTest, AlphasNeedEveryViewAssigned) {
    ASSERT_EQ(ImportSequenceBitmaps(&c_, seq_, Files({"a", "b", "c", "d"}, 2, 2), kAssignViewsThenFrames, prompts_), 4u);
    const std::vector<std::string> greys = {WriteGrey(dir_.file("g0.png"), 2, 2, 10), WriteGrey(dir_.file("g1.png"), 2, 2, 20),
                                            WriteGrey(dir_.file("g2.png"), 2, 2, 30), WriteGrey(dir_.file("g3.png"), 2, 2, 255)};
    ASSERT_TRUE(ImportSequenceAlphas(seq_, greys, kAssignFramesThenViews, prompts_));
    EXPECT_EQ(c_.bitmaps[0]->pixels[0], 10);
    EXPECT_EQ(c_.bitmaps[2]->pixels[0], 20);  // frame 1, view 0
    EXPECT_EQ(c_.bitmaps[1]->pixels[0], 30);
    EXPECT_EQ(c_.bitmaps[3]->pixels[0], 255);
    EXPECT_TRUE(c_.bitmaps[0]->flags & kBitmapPartialAlpha);
    EXPECT_FALSE(c_.bitmaps[3]->flags & kBitmapPartialAlpha);

    // A mask of another size stops the import before any alpha changes.
    const std::vector<std::string> wrong = {greys[3], greys[3], greys[3], WriteGrey(dir_.file("big.png"), 3, 2, 1)};
    EXPECT_FALSE(ImportSequenceAlphas(seq_, wrong, kAssignViewsThenFrames, prompts_));
    EXPECT_EQ(prompts_.errors.back(),
              "'big.png': The alpha mask must have the same dimensions as the image. Found: 3 x 2. Expected: 2 x 2.");
    EXPECT_EQ(c_.bitmaps[0]->pixels[0], 10);

    // Alpha plates round trip through the slots' bitmaps.
    const std::string plate = dir_.file("alpha.png");
    ASSERT_TRUE(ExportSequencePlate(c_, *seq_, true, plate, 0, prompts_));
    for (auto& b : c_.bitmaps) b->pixels[0] = 0;
    ImageFile file;
    InitImageFile(&file, plate);
    ASSERT_TRUE(ImportSequenceAlphaPlate(seq_, &file, prompts_));
    EXPECT_EQ(c_.bitmaps[1]->pixels[0], 30);

    ShownReference(seq_->frames[0].instances[1]).bitmap = nullptr;
    const size_t errors = prompts_.errors.size();
    EXPECT_FALSE(ImportSequenceAlphas(seq_, greys, kAssignViewsThenFrames, prompts_));
    EXPECT_FALSE(ImportSequenceAlphaPlate(seq_, &file, prompts_));
    EXPECT_EQ(prompts_.errors.size(), errors + 2);
    EXPECT_EQ(prompts_.errors.back(), "In order to replace alphas, every bitmap must be assigned.");
}

TEST_F(SequenceImportTest, ExportsNameEachViewAndSkipEmptyOnes) {
    ASSERT_EQ(ImportSequenceBitmaps(&c_, seq_, Files({"a", "b", "c", "d"}, 2, 2), kAssignViewsThenFrames, prompts_), 4u);
    ShownReference(seq_->frames[0].instances[1]).bitmap = nullptr;
    const std::string out = dir_.file("out");
    ASSERT_TRUE(MakeDirectory(out));
    EXPECT_EQ(ExportSequenceBitmaps(c_, *seq_, false, out, 0, prompts_), 3u);
    EXPECT_EQ(ExportSequenceBitmaps(c_, *seq_, true, out, 0, prompts_), 3u);
    for (const char* name : {"Frame #00, view #00.png", "Frame #01, view #00.png", "Frame #01, view #01.png",
                             "Frame #00, view #00 alpha.png", "Frame #01, view #01 alpha.png"})
        EXPECT_TRUE(PathExists(out + "/" + name, kPathIsFile)) << name;
    EXPECT_FALSE(PathExists(out + "/Frame #00, view #01.png", kPathAnyKind));

    EXPECT_EQ(SequenceExportFileName(12, 3, true), "Frame #12, view #03 alpha");
    EXPECT_EQ(SequencePlateImportName(*seq_, false), "Walk plate");
    EXPECT_EQ(SequencePlateImportName(*seq_, true), "Walk alpha plate");
    EXPECT_EQ(SequencePlateExportName(*seq_, false), "Walk plate");
    EXPECT_EQ(SequencePlateExportName(*seq_, true), "Walk alpha plate");
    SetElementName(seq_->name, "../Run/Fast");
    EXPECT_EQ(SequencePlateExportName(*seq_, false), ".._Run_Fast plate");
}

}  // namespace
}  // namespace pirn
