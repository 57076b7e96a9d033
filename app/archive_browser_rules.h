#pragma once
// The Archive Browser's rules, apart from its window: which tags the tree
// shows, which rows may be opened, the rows' colours and the location text.

#include "codex/tag_entry.h"
#include "codex/tag_header.h"
#include "platform/types.h"

namespace pirn {

constexpr u32 kCollectionGroup = 0x2E323536;  // '.256'
constexpr u32 kDetailMapGroup = 0x646D6170;   // 'dmap'
// A collection whose user data has this bit is a colour map, not a picture.
constexpr u32 kColorMapBit = 0x100;
// Collections this large without user data keep the flags in their data.
constexpr u32 kLargeCollectionLength = 0x120000;
// Terrain meshes below this version can no longer be edited.
constexpr u16 kOldestEditableMeshVersion = 11;

constexpr u32 kRowWhite = 0xFFFFFFFFu;       // the list's own text colour
constexpr u32 kRowOrange = 0xFF0090FFu;      // red 255, green 144, blue 0
// Red, green and blue halved, alpha kept.
constexpr u32 HalveRowColor(u32 rgba) { return (rgba & 0xFF000000u) | ((rgba & 0x00FEFEFEu) >> 1); }

bool GroupHasEditor(u32 group);
// The tag is available, and hidden groups are shown, or its group has an
// editor, or it is a detail map.
bool IsTagShown(const TagEntry* tag, bool showHiddenGroups);

// Whether a row of the header is not openable by its header alone: a
// colour-map collection, a mesh older than version 11, or a tag of any
// other group without an editor.
bool IsHeaderNotOpenable(const TagHeader& header);
// Whether the browser keeps the tag closed: its header is not openable, or
// it is a collection whose flags in its data mark a colour map. When those
// flags were read, *flagsWord gets them (the user data they stand for).
bool IsTagNotOpenable(TagEntry* tag, const TagHeader& header, u32* flagsWord);
// Whether the header says the collection's flags are in its data (user data
// 0 and at least 0x120000 bytes of data).
bool CollectionFlagsInData(const TagHeader& header);
// The big-endian word at data offset + 4 of the tag's effective copy, where
// such collections keep their flags. False when it cannot be read.
bool ReadCollectionFlagsWord(TagEntry* tag, u32* word);

u32 TagRowColor(bool local, bool notOpenable);
u32 GroupRowColor(bool hasEditor);

// The tag's location (its archive's file name, "local folder" or "unknown")
// in the program's 8-bit text, cut to fit 64 bytes with the NUL.
void FormatTagLocation(const char* location, char out[64]);

}  // namespace pirn
