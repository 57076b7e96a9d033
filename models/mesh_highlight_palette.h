#pragma once
// The terrain editor's highlight palette: 256 RGB colours, entries 0..127
// those of the detail map's texture slots, kept between runs in an Adobe
// Color Table file ("res/dtex.act" in the working folder).

#include <string>

#include "platform/types.h"

namespace pirn {

constexpr const char* kHighlightPalettePath = "res/dtex.act";
constexpr u32 kHighlightPaletteFileColors = 128;

// Eight colours repeated over all 256 entries: what a missing file gives.
void MakeFallbackHighlightPalette(u8 palette[768]);
// Our shipped palette (tools/dtex_palette writes it at build time): slot 0
// grey, then evenly spread hues in alternating brightness, so that
// neighbouring slots stand apart.
void MakeShippedHighlightPalette(u8 palette[768]);
// Reads the file into a zeroed palette; when it cannot be read, fills the
// fallback colours and writes them there (all 256). Returns whether the
// file was read.
bool LoadHighlightPaletteFile(u8 palette[768], const std::string& path);
// Keeps the first 128 colours in the file. 1 on success.
int SaveHighlightPaletteFile(const u8 palette[768], const std::string& path);

}  // namespace pirn
