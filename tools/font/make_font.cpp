// Renders the interface font from Debian's DejaVu Sans faces:
//   make_font <out file> [font folder]
// Four styles (plain, bold, italic, bold italic), every program code 32..255
// through the built-in character map, with per-pair advances that include
// the faces' kerning.

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/char_map.h"

namespace {

constexpr int kPixelSize = 12;
constexpr unsigned kTabWidthInSpaces = 4;
constexpr int kFirstCode = 32;
constexpr int kCodes = 224;

const char* const kFaces[4] = {
    "DejaVuSans.ttf",              // 0 plain
    "DejaVuSans-Bold.ttf",         // 1 bold
    "DejaVuSans-Oblique.ttf",      // 2 italic
    "DejaVuSans-BoldOblique.ttf",  // 3 bold italic
};

struct Out {
    std::vector<unsigned char> bytes;
    void U8(unsigned v) { bytes.push_back(v & 255); }
    void U16(unsigned v) {
        U8(v);
        U8(v >> 8);
    }
    void U32(unsigned v) {
        for (int i = 0; i < 4; ++i) U8(v >> (8 * i));
    }
};

int Ceil26(long v) { return int((v + 63) >> 6); }

// The glyph of a program code: its Unicode character through the built-in
// map; control characters and unmapped codes have none.
FT_UInt GlyphIndex(FT_Face face, int code) {
    const unsigned unicode = pirn::BuiltInCharMap().units[code - kFirstCode];
    if (unicode < 0x20 || unicode == 0x7F || (unicode >= 0x80 && unicode < 0xA0)) return 0;
    return FT_Get_Char_Index(face, unicode);
}

struct Metrics {
    int ascent = 0;
    int descent = 0;
    int line_spacing = 0;
};

bool WriteStyle(FT_Face face, Out& out, int* kerned_pairs) {
    const FT_Int32 load = FT_LOAD_DEFAULT | FT_LOAD_TARGET_NORMAL;
    std::vector<FT_UInt> index(kCodes);
    std::vector<long> advance(kCodes, 0);  // 26.6
    for (int c = 0; c < kCodes; ++c) {
        index[c] = GlyphIndex(face, c + kFirstCode);
        if (FT_Load_Glyph(face, index[c], load) == 0) advance[c] = face->glyph->advance.x;
    }
    // Characters without a glyph advance like a space.
    const long space = advance[0];
    for (int c = 0; c < kCodes; ++c)
        if (!index[c] && c != 0) advance[c] = space;

    for (int c = 0; c < kCodes; ++c) {
        int width = 0, height = 0, left = 0, top = 0;
        std::vector<unsigned char> alpha;
        if (index[c] && FT_Load_Glyph(face, index[c], load) == 0 &&
            FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) == 0) {
            const FT_Bitmap& bm = face->glyph->bitmap;
            width = int(bm.width);
            height = int(bm.rows);
            left = face->glyph->bitmap_left;
            top = face->glyph->bitmap_top;
            alpha.resize(size_t(width) * height);
            for (int y = 0; y < height; ++y) {
                const unsigned char* row = bm.buffer + (bm.pitch >= 0 ? y : y - height + 1) * bm.pitch;
                std::copy(row, row + width, alpha.begin() + size_t(y) * width);
            }
        }
        if (width == 0 || height == 0) {
            width = height = 0;
            alpha.clear();
        }
        out.U16(unsigned(width));
        out.U16(unsigned(height));
        out.U16(unsigned(short(left)));
        out.U16(unsigned(short(-top)));
        // Advance before each following character: own advance plus the
        // pair's kerning, rounded to whole pixels.
        for (int n = 0; n < kCodes; ++n) {
            long a = advance[c];
            if (FT_HAS_KERNING(face) && index[c] && index[n]) {
                FT_Vector kern{0, 0};
                if (FT_Get_Kerning(face, index[c], index[n], FT_KERNING_UNFITTED, &kern) == 0 && kern.x) {
                    a += kern.x;
                    ++*kerned_pairs;
                }
            }
            const long px = std::lround(a / 64.0);
            out.U8(unsigned(std::clamp<long>(px, -128, 127)) & 255);
        }
        out.bytes.insert(out.bytes.end(), alpha.begin(), alpha.end());
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: make_font <out file> [font folder]\n");
        return 2;
    }
    const std::string folder = argc == 3 ? argv[2] : "/usr/share/fonts/truetype/dejavu";
    FT_Library library;
    if (FT_Init_FreeType(&library)) {
        std::fprintf(stderr, "make_font: FreeType does not start\n");
        return 1;
    }
    FT_Face faces[4] = {};
    for (int s = 0; s < 4; ++s) {
        const std::string path = folder + "/" + kFaces[s];
        if (FT_New_Face(library, path.c_str(), 0, &faces[s]) || FT_Set_Pixel_Sizes(faces[s], 0, kPixelSize)) {
            std::fprintf(stderr, "make_font: cannot open %s (Debian packages fonts-dejavu-core and fonts-dejavu-extra)\n",
                         path.c_str());
            return 1;
        }
    }
    // Line metrics from the plain face.
    const FT_Size_Metrics& m = faces[0]->size->metrics;
    const int ascent = Ceil26(m.ascender);
    const int descent = Ceil26(-m.descender);
    const int line_spacing = std::max(Ceil26(m.height), ascent + descent);

    Out out;
    out.U32(unsigned(ascent));
    out.U32(unsigned(descent));  // the second header word: kept by the loader, unused by layout
    out.U32(unsigned(line_spacing));
    out.U32(kTabWidthInSpaces);
    int kerned = 0;
    for (int s = 0; s < 4; ++s) {
        WriteStyle(faces[s], out, &kerned);
        // Trailer: pixel size, the style's ascent, reserved, bit 0 = style exists.
        out.U32(kPixelSize);
        out.U32(unsigned(Ceil26(faces[s]->size->metrics.ascender)));
        out.U32(0);
        out.U32(1);
    }
    for (FT_Face f : faces) FT_Done_Face(f);
    FT_Done_FreeType(library);
    if (!pirn::WriteFileSafely(argv[1], out.bytes.data(), out.bytes.size())) {
        std::fprintf(stderr, "make_font: cannot write %s\n", argv[1]);
        return 1;
    }
    std::printf("make_font: %d px, ascent %d, line spacing %d, %d kerned pairs\n", kPixelSize, ascent,
                line_spacing, kerned);
    return 0;
}
