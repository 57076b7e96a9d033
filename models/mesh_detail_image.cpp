#include "models/mesh_detail_image.h"

#include <algorithm>
#include <cstring>

#include "models/mesh_edit_load.h"
#include "platform/strings.h"

namespace pirn {

namespace {

// Votes of one square or half square: the most frequent value, the smaller
// one among equally frequent values.
struct Ballot {
    u32 counts[256] = {};
    u32 total = 0;

    void Add(u8 value) {
        ++counts[value];
        ++total;
    }
    u8 Winner(bool* perfect) const {
        u32 best = 0;
        for (u32 v = 1; v < 256; ++v)
            if (counts[v] > counts[best]) best = v;
        *perfect = counts[best] == total;
        return static_cast<u8>(best);
    }
};

bool StartImage(const MeshEditData& data, PixelImage* image) {
    if (!data.planes_exist || data.columns == 0 || data.rows == 0) return false;
    if (!SetImagePixels(image, data.columns * kDetailSquare, data.rows * kDetailSquare, kFormatColorIndex, nullptr))
        return false;
    SetImagePalette(image, 256, data.palette);
    return true;
}

void MirrorRows(PixelImage* image) {
    for (u32 y = 0; y < image->height; ++y) {
        u8* row = image->pixels.data() + size_t(y) * image->width;
        std::reverse(row, row + image->width);
    }
}

// The image's pixels with the rows mirrored back.
std::vector<u8> UnmirroredPixels(const PixelImage& image) {
    std::vector<u8> pixels(image.pixels);
    for (u32 y = 0; y < image.height; ++y) {
        u8* row = pixels.data() + size_t(y) * image.width;
        std::reverse(row, row + image.width);
    }
    return pixels;
}

u8 Capped(u8 value) { return std::min<u8>(value, kMeshPlaneMaxValue); }

void FinishImport(MeshEditData* data, const PixelImage& image, const std::string& palette_path) {
    // A greyscale image brings no colour table: the palette stays.
    if (image.format == kFormatColorIndex && image.has_palette())
        SetHighlightPalette(data, image.palette.data(), palette_path);
    SyncSavedPlanes(data);
    InvalidateWholeMesh(data);
    NotifyModified(data);
    RequestRedraw(data);
}

}  // namespace

bool IsTriangleOnePixel(u32 column, u32 row, u32 px, u32 py) {
    if (((column ^ row) & 1) != 0) return px >= kDetailSquare - py;
    return px >= py;
}

bool MakeVertexDetailImage(const MeshEditData& data, PixelImage* image) {
    if (!StartImage(data, image)) return false;
    for (u32 y = 0; y < image->height; ++y)
        for (u32 x = 0; x < image->width; ++x)
            image->pixels[size_t(y) * image->width + x] = VertexValue(data, x / kDetailSquare, y / kDetailSquare);
    MirrorRows(image);
    return true;
}

bool MakeTriangleDetailImage(const MeshEditData& data, PixelImage* image) {
    if (!StartImage(data, image)) return false;
    for (u32 y = 0; y < image->height; ++y)
        for (u32 x = 0; x < image->width; ++x) {
            const u32 column = x / kDetailSquare, row = y / kDetailSquare;
            const u32 triangle = IsTriangleOnePixel(column, row, x % kDetailSquare, y % kDetailSquare) ? 1 : 0;
            image->pixels[size_t(y) * image->width + x] = TriangleValue(data, column, row, triangle);
        }
    MirrorRows(image);
    return true;
}

std::string CheckDetailImage(const MeshEditData& data, const PixelImage& image, bool triangles) {
    const int expected_w = static_cast<int>(data.columns * kDetailSquare);
    const int expected_h = static_cast<int>(data.rows * kDetailSquare);
    if (image.width != u32(expected_w) || image.height != u32(expected_h))
        return FormatString(triangles ? "Image dimensions (%d,%d) do not match expected dimensions (%d,%d)"
                                      : "Image dimensions (%d,%d) do not match mesh dimensions (%d,%d)",
                            static_cast<int>(image.width), static_cast<int>(image.height), expected_w, expected_h);
    if ((image.format != kFormatColorIndex && image.format != kFormatAlpha) || !HasWholePixels(image))
        return "Image must be 8-bit paletted or greyscale.";
    return "";
}

bool ImportVertexDetail(MeshEditData* data, const PixelImage& image, const std::string& palette_path) {
    if (!data->planes_exist || !CheckDetailImage(*data, image, false).empty()) return false;
    const std::vector<u8> pixels = UnmirroredPixels(image);
    bool all_perfect = true;
    for (u32 y = 0; y < data->rows; ++y)
        for (u32 x = 0; x < data->columns; ++x) {
            Ballot ballot;
            for (u32 py = 0; py < kDetailSquare; ++py)
                for (u32 px = 0; px < kDetailSquare; ++px)
                    ballot.Add(pixels[size_t(y * kDetailSquare + py) * image.width + x * kDetailSquare + px]);
            bool perfect;
            const u8 winner = ballot.Winner(&perfect);
            all_perfect = all_perfect && perfect;
            u8& target = data->vertex_plane.values[size_t(y) * data->columns + x];
            if (!IsValueLocked(*data, target)) target = Capped(winner);
        }
    FinishImport(data, image, palette_path);
    return all_perfect;
}

bool ImportTriangleDetail(MeshEditData* data, const PixelImage& image, const std::string& palette_path) {
    if (!data->planes_exist || !CheckDetailImage(*data, image, true).empty()) return false;
    const std::vector<u8> pixels = UnmirroredPixels(image);
    bool all_perfect = true;
    for (u32 y = 0; y < data->rows; ++y)
        for (u32 x = 0; x < data->columns; ++x) {
            Ballot ballots[2];
            for (u32 py = 0; py < kDetailSquare; ++py)
                for (u32 px = 0; px < kDetailSquare; ++px)
                    ballots[IsTriangleOnePixel(x, y, px, py) ? 1 : 0].Add(
                        pixels[size_t(y * kDetailSquare + py) * image.width + x * kDetailSquare + px]);
            for (u32 t = 0; t < 2; ++t) {
                bool perfect;
                const u8 winner = ballots[t].Winner(&perfect);
                all_perfect = all_perfect && perfect;
                u8& target = data->triangle_plane.values[(size_t(y) * data->columns + x) * 2 + t];
                if (!IsValueLocked(*data, target)) target = Capped(winner);
            }
        }
    FinishImport(data, image, palette_path);
    return all_perfect;
}

}  // namespace pirn
