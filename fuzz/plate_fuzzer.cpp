// Plates as "Add Bitmap(s) from Plate" and "Replace Alpha from Plate" read
// them. Input byte 0 chooses the form: odd, the rest is a picture file
// (BMP, PNG, TIFF) as a user picks it; even, byte 1 gives the width (6 to
// 261) and the rest are the 8-bit pixels of the grid, saved as a BMP
// first, so that the fuzzer works on the grid itself. Every bitmap added
// must have its cell's size; the alpha plate of the same file must fit the
// bitmaps it added; and the plate the writer draws of them must read back
// with the same cells.

#include <memory>
#include <string>
#include <vector>

#include "collections/collection.h"
#include "collections/plate.h"
#include "fuzz/fuzz_support.h"
#include "platform/image_file.h"

namespace {

class QuietPrompts : public pirn::UserPrompts {
public:
    void ShowError(const std::string&) override {}
    int Ask(const std::string&, const std::string&, const std::vector<std::string>&) override { return 0; }
};

// Writes the grid as an 8-bit BMP with a grey ramp palette; false when it
// holds no whole row.
bool WriteGrid(const uint8_t* data, size_t size, const std::string& path) {
    if (size < 2) return false;
    const pirn::u32 width = pirn::u32(data[1]) + pirn::kMinPlateSide;
    const size_t pixels = size - 2;
    const pirn::u32 height = pirn::u32(pixels / width);
    if (height == 0) return false;
    pirn::ImageFile file;
    pirn::InitImageFile(&file, path);
    file.type = pirn::kTypeBmp;
    pirn::SetImagePixels(&file.image, width, height, pirn::kFormatColorIndex, data + 2);
    pirn::u8 ramp[pirn::kPaletteBytes];
    for (pirn::u32 i = 0; i < pirn::kPaletteBytes; ++i) ramp[i] = pirn::u8(i / 3);
    pirn::SetImagePalette(&file.image, 256, ramp);
    const bool saved = pirn::SaveImageFile(&file);
    pirn::FreeImageFile(&file);
    return saved;
}

std::vector<pirn::PlateCell> CellsOf(const std::string& path) {
    pirn::ImageFile file;
    pirn::InitImageFile(&file, path);
    std::vector<pirn::PlateCell> cells;
    if (!pirn::IdentifyImageFile(&file) || !pirn::LoadImageFile(&file) || !pirn::ParsePlate(file.image, &cells))
        cells.clear();
    pirn::FreeImageFile(&file);
    return cells;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    std::string path;
    if (data[0] & 1) {
        path = pirn_fuzz::WriteScratchFile("plate", data + 1, size - 1);
    } else {
        path = pirn_fuzz::ScratchFolder() + "/plate.bmp";
        if (!WriteGrid(data, size, path)) return 0;
    }
    QuietPrompts prompts;
    pirn::Collection collection;
    pirn::InitCollection(&collection);
    pirn::ImageFile file;
    pirn::InitImageFile(&file, path);
    std::vector<pirn::CollectionBitmap*> added;
    const pirn::u32 count = pirn::ImportColorPlate(&collection, &file, {}, prompts, &added);
    pirn::FreeImageFile(&file);
    if (count > 0) {
        const std::vector<pirn::PlateCell> cells = CellsOf(path);
        FUZZ_CHECK(cells.size() == added.size());
        std::vector<pirn::CollectionBitmap*> bitmaps;
        bool every_cell_filled = true;
        for (size_t i = 0; i < cells.size(); ++i) {
            FUZZ_CHECK(cells[i].empty == (added[i] == nullptr));
            if (!added[i]) {
                every_cell_filled = false;
                continue;
            }
            FUZZ_CHECK(added[i]->width == cells[i].width && added[i]->height == cells[i].height);
            bitmaps.push_back(added[i]);
        }
        FUZZ_CHECK(bitmaps.size() == count);
        if (every_cell_filled) {
            pirn::ImageFile alpha;
            pirn::InitImageFile(&alpha, path);
            FUZZ_CHECK(pirn::ImportAlphaPlate(&alpha, bitmaps, prompts));
            pirn::FreeImageFile(&alpha);
        }
        // The writer's plate of what was added reads back cell for cell.
        std::vector<const pirn::CollectionBitmap*> drawn(bitmaps.begin(), bitmaps.end());
        pirn::PixelImage plate;
        if (pirn::BuildPlateImage(collection, drawn, false, 0, &plate)) {
            std::vector<pirn::PlateCell> again;
            FUZZ_CHECK(pirn::ParsePlate(plate, &again) && again.size() == drawn.size());
            for (size_t i = 0; i < again.size(); ++i)
                FUZZ_CHECK(!again[i].empty && again[i].width == drawn[i]->width &&
                           again[i].height == drawn[i]->height);
        }
    }
    pirn::FreeCollection(&collection);
    pirn_fuzz::ClearScratchFolder();
    return 0;
}
