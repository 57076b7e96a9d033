// Reading the plate grid and laying out and drawing plates.

#include "collections/plate.h"

#include <algorithm>
#include <cmath>

#include "collections/bitmap_export.h"
#include "collections/collection_messages.h"
#include "collections/collection_palette.h"
#include "platform/char_map.h"
#include "platform/file_system.h"
#include "platform/strings.h"

namespace pirn {

namespace {

class PlateReader {
public:
    explicit PlateReader(const PixelImage& image) : image_(image) {}
    u8 At(u32 x, u32 y) const { return image_.pixels[size_t{y} * image_.width + x]; }
    bool IsMarker(u32 x, u32 y) const { return At(x, y) == kPlateMarker; }
    bool RowIsMarkers(u32 y) const {
        for (u32 x = 0; x < image_.width; ++x)
            if (!IsMarker(x, y)) return false;
        return true;
    }

    bool CheckFrame() const {
        const u32 w = image_.width, h = image_.height;
        if (At(0, 0) != 0 || !IsMarker(1, 0) || At(2, 0) != 0) return false;
        for (u32 x = 3; x < w; ++x)
            if (At(x, 0) != 0) return false;
        for (u32 y = 0; y < h; ++y) {
            if (At(0, y) > 1 || !IsMarker(1, y)) return false;
            if (IsMarker(0, y) && !RowIsMarkers(y)) return false;
        }
        return IsMarker(0, 1) && IsMarker(0, h - 1);
    }

    // The cell of columns [left, right) in the band of rows [top, closing).
    bool ReadCell(u32 left, u32 right, u32 top, u32 closing, PlateCell* cell) const {
        bool any = false;
        u32 rightmost = 0, lowest = 0;
        for (u32 y = top; y < closing; ++y)
            for (u32 x = left; x < right; ++x) {
                if (!IsMarker(x, y)) continue;
                any = true;
                rightmost = std::max(rightmost, x);
                lowest = std::max(lowest, y);
            }
        *cell = PlateCell();
        if (!any) return true;
        if (rightmost < left + 2 || lowest < top + 2) return false;  // no room for a bitmap
        cell->empty = false;
        cell->x = left + 1;
        cell->y = top + 1;
        cell->width = rightmost - left - 1;
        cell->height = lowest - top - 1;
        return true;
    }

    bool ReadBand(u32 top, u32 closing, std::vector<PlateCell>* cells) const {
        u32 start = 2;
        PlateCell cell;
        for (u32 x = 2; x < image_.width; ++x) {
            if (!IsMarker(x, top)) continue;
            if (!ReadCell(start, x, top, closing, &cell)) return false;
            cells->push_back(cell);
            start = x + 1;
        }
        // A last cell left open at the row's end counts when it holds a 1.
        if (start < image_.width) {
            if (!ReadCell(start, image_.width, top, closing, &cell)) return false;
            if (!cell.empty) cells->push_back(cell);
        }
        return true;
    }

private:
    const PixelImage& image_;
};

bool IsOneByteImage(const PixelImage& image) {
    return (image.format == kFormatColorIndex || image.format == kFormatAlpha) && HasWholePixels(image);
}

u32 CellWidth(const CollectionBitmap* bitmap) { return (bitmap ? bitmap->width : 0) + 3u; }
u32 CellHeight(const CollectionBitmap* bitmap) { return (bitmap ? bitmap->height : 0) + 3u; }

PlateLayout LayOutWithLimit(const std::vector<const CollectionBitmap*>& bitmaps, u32 per_row, u64 limit) {
    PlateLayout layout;
    u64 x = 2, y = 2, widest = 2;
    u32 in_band = 0, band_height = 0;
    auto close_band = [&] {
        layout.band_top.push_back(y);
        layout.band_height.push_back(band_height);
        widest = std::max(widest, x);
        y += band_height;
        x = 2;
        in_band = 0;
        band_height = 0;
    };
    for (const CollectionBitmap* bitmap : bitmaps) {
        const u32 width = CellWidth(bitmap);
        const bool full = per_row ? in_band == per_row : in_band > 0 && x - 2 + width > limit;
        if (full) close_band();
        layout.cells.push_back({x, static_cast<u32>(layout.band_top.size())});
        x += width;
        band_height = std::max(band_height, CellHeight(bitmap));
        ++in_band;
    }
    if (in_band) close_band();
    // Empty cells (3 x 3) alone make a plate narrower or lower than a plate
    // may be: the last band grows and the image widens, with nothing in
    // what is added, so that the cells read back as they are.
    if (y < kMinPlateSide && !layout.band_height.empty()) {
        layout.band_height.back() += static_cast<u32>(kMinPlateSide - y);
        y = kMinPlateSide;
    }
    layout.width = std::max<u64>(widest, kMinPlateSide);
    layout.height = y;
    return layout;
}

// 1, 2, 3, 4, 6, 8, 12, 16, 24, ...: powers of two and three times them,
// from the widest cell up to the widest row the writer chooses.
std::vector<u64> RowWidthCandidates(u64 widest_cell) {
    std::vector<u64> candidates;
    for (u64 power = 1; power <= kMaxPlateRowWidth; power *= 2)
        for (u64 c : {power, 3 * power})
            if (c >= widest_cell && c <= kMaxPlateRowWidth) candidates.push_back(c);
    std::sort(candidates.begin(), candidates.end());
    candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());
    return candidates;
}

std::string FileBaseName(const std::string& path) { return Utf8ToCharMap(PathFileName(path, true)); }

}  // namespace

bool ParsePlate(const PixelImage& image, std::vector<PlateCell>* cells) {
    cells->clear();
    if (!IsOneByteImage(image) || image.width < kMinPlateSide || image.height < kMinPlateSide) return false;
    const PlateReader plate(image);
    if (!plate.CheckFrame()) return false;
    u32 previous_line = 1;
    for (u32 y = 2; y < image.height; ++y) {
        if (!plate.IsMarker(0, y)) continue;
        if (y > previous_line + 1 && !plate.ReadBand(previous_line + 1, y, cells)) {
            cells->clear();
            return false;
        }
        previous_line = y;
    }
    return true;
}

PlateLayout LayOutPlate(const std::vector<const CollectionBitmap*>& bitmaps, u32 per_row) {
    if (per_row) return LayOutWithLimit(bitmaps, per_row, 0);
    u64 widest_cell = 0;
    for (const CollectionBitmap* bitmap : bitmaps) widest_cell = std::max<u64>(widest_cell, CellWidth(bitmap));
    const std::vector<u64> candidates = RowWidthCandidates(widest_cell);
    if (candidates.empty()) return LayOutWithLimit(bitmaps, 0, widest_cell);
    PlateLayout best;
    double best_distance = 0;
    for (u64 limit : candidates) {
        PlateLayout layout = LayOutWithLimit(bitmaps, 0, limit);
        const double distance = std::fabs(double(layout.height) / double(layout.width) - 1.0);
        if (best.cells.empty() || distance < best_distance) {
            best = std::move(layout);
            best_distance = distance;
        }
    }
    return best;
}

bool BuildPlateImage(const Collection& collection, const std::vector<const CollectionBitmap*>& bitmaps, bool alpha,
                     u32 per_row, PixelImage* image) {
    if (bitmaps.empty()) return false;
    for (const CollectionBitmap* bitmap : bitmaps)
        if (bitmap && (bitmap->bytes_per_pixel != 2 ||
                       bitmap->pixels.size() != size_t{bitmap->width} * bitmap->height * 2))
            return false;
    const PlateLayout layout = LayOutPlate(bitmaps, per_row);
    InitPixelImage(image);
    if (layout.width > kMaxImageBytes || layout.height > kMaxImageBytes ||
        layout.width * layout.height > kMaxImageBytes)
        return false;
    const u32 width = static_cast<u32>(layout.width), height = static_cast<u32>(layout.height);
    if (!SetImagePixels(image, width, height, alpha ? kFormatAlpha : kFormatColorIndex, nullptr)) return false;
    auto at = [&](u64 x, u64 y) -> u8& { return image->pixels[static_cast<size_t>(y * width + x)]; };
    at(1, 0) = kPlateMarker;
    for (u32 x = 0; x < width; ++x) at(x, 1) = kPlateMarker;
    for (u32 y = 0; y < height; ++y) at(1, y) = kPlateMarker;
    for (size_t b = 0; b < layout.band_top.size(); ++b) {
        const u64 closing = layout.band_top[b] + layout.band_height[b] - 1;
        for (u32 x = 0; x < width; ++x) at(x, closing) = kPlateMarker;
    }
    for (size_t i = 0; i < bitmaps.size(); ++i) {
        const CollectionBitmap* bitmap = bitmaps[i];
        const PlateLayout::Cell& cell = layout.cells[i];
        const u64 top = layout.band_top[cell.band];
        const u64 closing = top + layout.band_height[cell.band] - 1;
        const u64 separator = cell.x + CellWidth(bitmap) - 1;
        for (u64 y = top; y < closing; ++y) at(separator, y) = kPlateMarker;
        // A bitmap without pixels has no extent a marker could give: its
        // cell stays empty, as a reader sees it.
        if (!bitmap || bitmap->width == 0 || bitmap->height == 0) continue;
        const u8 transparent = (bitmap->flags & kBitmapRle) ? 0 : 1;
        for (u32 y = 0; y < bitmap->height; ++y)
            for (u32 x = 0; x < bitmap->width; ++x) {
                const u8* p = &bitmap->pixels[(size_t{y} * bitmap->width + x) * 2];
                at(cell.x + 1 + x, top + 1 + y) = alpha ? p[0] : (p[0] ? p[1] : transparent);
            }
        at(cell.x + 1 + bitmap->width, top + 1 + bitmap->height) = kPlateMarker;
    }
    if (!alpha) SetImagePalette(image, kColorTableEntries, collection.colors);
    return true;
}

std::string DefaultPlateName(const Collection& collection, bool alpha) {
    return std::string(collection.name) + (alpha ? collection_text::kAlphaPlateSuffix : collection_text::kPlateSuffix);
}

bool ExportPlate(const Collection& collection, const std::vector<const CollectionBitmap*>& bitmaps, bool alpha,
                 u32 per_row, const std::string& path, u32 type, UserPrompts& prompts) {
    PixelImage image;
    if (!BuildPlateImage(collection, bitmaps, alpha, per_row, &image)) {
        prompts.ShowError(FormatString(collection_text::kNotWritten, Utf8ToCharMap(PathFileName(path, false)).c_str()));
        return false;
    }
    return SaveExportImage(&image, path, type, prompts);
}

namespace {

bool LoadPlateImage(ImageFile* file) {
    return IdentifyImageFile(file) && file->kind == kKindImage && LoadImageFile(file) &&
           IsOneByteImage(file->image);
}

// The palette of a plate image: its own, or the grey ramp of one that
// loaded as greyscale because its palette was the ramp.
void PlatePalette(const PixelImage& image, u8 palette[kColorTableBytes]) {
    if (image.format == kFormatColorIndex && image.palette.size() >= kColorTableBytes) {
        u32 count = image.palette_count;
        if (count == 0 || count > kColorTableEntries) count = kColorTableEntries;
        std::copy(image.palette.begin(), image.palette.begin() + size_t{count} * 3, palette);
        for (u32 i = count; i < kColorTableEntries; ++i) std::copy(palette, palette + 3, palette + 3 * i);
        return;
    }
    for (u32 i = 0; i < kColorTableEntries; ++i) palette[3 * i] = palette[3 * i + 1] = palette[3 * i + 2] = u8(i);
}

}  // namespace

u32 ImportColorPlate(Collection* collection, ImageFile* file, const std::vector<CollectionBitmap*>& selected,
                     UserPrompts& prompts, std::vector<CollectionBitmap*>* added) {
    namespace ct = collection_text;
    if (added) added->clear();
    const std::string name = Utf8ToCharMap(PathFileName(file->path, false));
    std::vector<PlateCell> cells;
    if (!LoadPlateImage(file) || !ParsePlate(file->image, &cells)) {
        prompts.ShowError(FormatString(ct::kBadColorPlate, name.c_str()));
        return 0;
    }
    const bool replacing = !selected.empty();
    if (replacing) {
        if (cells.size() != selected.size()) {
            prompts.ShowError(FormatString(ct::kPlateCount, int(cells.size()), int(selected.size())));
            return 0;
        }
        for (const PlateCell& cell : cells)
            if (cell.empty) {
                prompts.ShowError(ct::kEmptyPlateCell);
                return 0;
            }
    }
    const PixelImage& image = file->image;
    u8 palette[kColorTableBytes];
    PlatePalette(image, palette);
    bool used[kColorTableEntries] = {};
    for (const PlateCell& cell : cells)
        for (u32 y = 0; y < cell.height; ++y)
            for (u32 x = 0; x < cell.width; ++x) {
                const u8 index = image.pixels[size_t{cell.y + y} * image.width + cell.x + x];
                if (index >= kFirstOpaqueEntry) used[index] = true;
            }
    u8 table[kColorTableBytes];
    if (!ChooseImportTable(*collection, palette, used, false, table)) {
        const int answer = prompts.Ask(ct::kQuestionCaption, FormatString(ct::kIncompatiblePlate, name.c_str()),
                                       {ct::kReplaceButton, ct::kCancelButton});
        if (answer != 0) return 0;
        std::copy(palette, palette + kColorTableBytes, table);
    }
    u8 map[kColorTableEntries];
    if (!MapPaletteToTable(table, palette, used, map)) return 0;
    SetCollectionColorTable(collection, table, kColorTableEntries);

    const std::string base = FileBaseName(file->path);
    u32 count = 0;
    for (size_t i = 0; i < cells.size(); ++i) {
        const PlateCell& cell = cells[i];
        if (cell.empty) {
            if (added) added->push_back(nullptr);
            continue;
        }
        std::vector<u8> pixels(size_t{cell.width} * cell.height * 2);
        u16 flags = 0;
        for (u32 y = 0; y < cell.height; ++y)
            for (u32 x = 0; x < cell.width; ++x) {
                const u8 index = image.pixels[size_t{cell.y + y} * image.width + cell.x + x];
                u8* p = &pixels[(size_t{y} * cell.width + x) * 2];
                if (index == 0) flags |= kBitmapRle;
                p[0] = index >= kFirstOpaqueEntry ? 255 : 0;
                p[1] = index >= kFirstOpaqueEntry ? map[index] : 0;
            }
        // A replacement keeps the name of the bitmap it replaces: a cell's
        // number says nothing about the bitmap, and its name is what export
        // and replace by name and the auto-rename know it by.
        const std::string bitmap_name =
            replacing ? std::string(selected[i]->name) : FormatString("%s #%04d", base.c_str(), int(i));
        CollectionBitmap* bitmap = AddCollectionBitmap(collection, bitmap_name.c_str(), flags, pixels.data(),
                                                       cell.width, cell.height, 2, replacing ? selected[i] : nullptr);
        if (added) added->push_back(bitmap);
        if (bitmap) ++count;
    }
    return count;
}

bool ImportAlphaPlate(ImageFile* file, const std::vector<CollectionBitmap*>& bitmaps, UserPrompts& prompts) {
    std::vector<PlateCell> cells;
    bool fits = LoadPlateImage(file) && ParsePlate(file->image, &cells) && cells.size() == bitmaps.size();
    for (size_t i = 0; fits && i < cells.size(); ++i)
        fits = !cells[i].empty && cells[i].width == bitmaps[i]->width && cells[i].height == bitmaps[i]->height &&
               bitmaps[i]->bytes_per_pixel == 2;
    if (!fits) {
        prompts.ShowError(FormatString(collection_text::kBadAlphaPlate,
                                       Utf8ToCharMap(PathFileName(file->path, false)).c_str()));
        return false;
    }
    const PixelImage& image = file->image;
    for (size_t i = 0; i < cells.size(); ++i) {
        CollectionBitmap* bitmap = bitmaps[i];
        bool partial = false;
        for (u32 y = 0; y < cells[i].height; ++y)
            for (u32 x = 0; x < cells[i].width; ++x) {
                const u8 value = image.pixels[size_t{cells[i].y + y} * image.width + cells[i].x + x];
                bitmap->pixels[(size_t{y} * bitmap->width + x) * 2] = value;
                partial = partial || (value != 0 && value != 255);
            }
        if (partial)
            bitmap->flags |= kBitmapPartialAlpha;
        else
            bitmap->flags &= static_cast<u16>(~kBitmapPartialAlpha);
        MarkBitmapChanged(bitmap);
    }
    return true;
}

}  // namespace pirn
