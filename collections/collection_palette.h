#pragma once
// Bringing an image's palette into a collection's colour table. Indices 0
// and 1 of an imported image mark its transparent pixels (0 those of an
// RLE bitmap, 1 those of a RAW one); every other index is an opaque colour
// and lands in table entries 2-255, never in 0 or 1.

#include "collections/collection.h"
#include "platform/pixel_image.h"

namespace pirn {

constexpr u32 kFirstOpaqueEntry = 2;

// The image's palette as 256 RGB triples, entries past its count copies of
// entry 0. False when the image has no palette.
bool PaddedImagePalette(const PixelImage& image, u8 out[kColorTableBytes]);

// Which palette entries opaque pixels use (index 2 and above).
void OpaqueEntriesUsed(const PixelImage& image, bool used[kColorTableEntries]);

// Whether every entry equals entry 0 (a table nothing has filled yet).
bool TableIsOneColor(const u8 table[kColorTableBytes]);

// Which table entries the collection's bitmaps draw with (pixels that are
// not fully transparent; shadows hold grey levels and draw with none).
void EntriesShownByBitmaps(const Collection& collection, bool shown[kColorTableEntries]);

// Every used palette colour that table entries 2-255 lack takes the lowest
// free slot: an entry from 2 on whose colour also stands at a lower index
// and that no bitmap draws with (`shown`, when given). A bitmap may draw
// with the later of two equal entries, for instance after the colour table
// was edited; giving that entry away would recolour the bitmap.
// False when the slots run out (the table may then hold some of the
// colours already: callers work on a copy). Colours no pixel uses take no
// slot: most 8-bit files carry a full palette of which a sprite uses a
// few entries, and merging them all would use up the table's free slots
// (and ask to replace the table) for colours that never show.
bool MergePalette(u8 table[kColorTableBytes], const u8 palette[kColorTableBytes],
                  const bool used[kColorTableEntries], const bool shown[kColorTableEntries] = nullptr);

// For each used palette entry, the first table entry from 2 on with its
// colour; entries 0 and 1 map to 0. False when a used colour is missing.
bool MapPaletteToTable(const u8 table[kColorTableBytes], const u8 palette[kColorTableBytes],
                       const bool used[kColorTableEntries], u8 map[kColorTableEntries]);

// The table an import works with: the collection's own, replaced by the
// palette when forced or when the collection has no bitmaps and a one-colour
// table, else merged around the entries its bitmaps draw with. False when
// the merge fails.
bool ChooseImportTable(const Collection& collection, const u8 palette[kColorTableBytes],
                       const bool used[kColorTableEntries], bool force, u8 table[kColorTableBytes]);

}  // namespace pirn
