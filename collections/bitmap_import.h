#pragma once
// Bitmaps, shadows and alpha masks from image files: the loader checks with
// their messages, the colour-table prompt, and replacing selected bitmaps
// from files matched by order or by name.
//
// Bitmaps come from 8-bit paletted images (indices 0 and 1 transparent),
// shadows and alpha masks from 8-bit greyscale ones. A bitmap's name is its
// file's name without the extension, in the program's 8-bit text.

#include <string>
#include <vector>

#include "collections/collection.h"
#include "platform/user_prompts.h"
#include "platform/image_file.h"

namespace pirn {

// Preference "BitmapImportMappingMode".
enum BitmapImportMappingMode : u32 {
    kMapByOrder = 0,  // "By Order" / "By Numbering"
    kMapByName = 1,   // "By Name" / "By Bitmap Name"
};
extern const char* const kBitmapImportMappingModeKey;
u32 GetBitmapImportMappingMode();
void SetBitmapImportMappingMode(u32 mode);

// The file's name as the program's 8-bit text, with or without extension.
std::string ImageFileDisplayName(const ImageFile& file);
// The bitmap name a file gives: its base name, at most 63 characters.
std::string BitmapNameFromPath(const std::string& path);

// Loads the file and checks its pixel form, showing the matching message
// on failure.
bool CheckPalettedImage(ImageFile* file, UserPrompts& prompts);
bool CheckGreyscaleImage(ImageFile* file, UserPrompts& prompts);

// A checked paletted file as a bitmap. When its palette does not fit the
// table the user may replace the table with it. Null when nothing was added.
CollectionBitmap* AddBitmapWithPrompt(Collection* collection, ImageFile* file, CollectionBitmap* replaced,
                                      UserPrompts& prompts);
// A checked greyscale file as a shadow: index = grey, alpha 255 where the
// grey is non-zero.
CollectionBitmap* AddShadowFromImage(Collection* collection, const ImageFile& file, CollectionBitmap* replaced);
// A checked greyscale file as the bitmap's alpha; the sizes must agree.
bool CheckAlphaMask(CollectionBitmap* bitmap, const ImageFile& file, UserPrompts& prompts);

// "Import Bitmaps" / "Import Shadows": every file must pass its check
// before any is added. Answers the bitmaps added.
u32 AddBitmapsFromFiles(Collection* collection, const std::vector<std::string>& paths, bool shadows,
                        UserPrompts& prompts);

enum ReplaceKind : u32 {
    kReplaceBitmaps = 0,
    kReplaceShadows = 1,
    kReplaceAlphas = 2,
};
// "Import replacement bitmap(s)" and the like, singular for one bitmap.
const char* ReplaceDialogTitle(ReplaceKind kind, size_t selected);

struct ReplacementMatch {
    size_t file = 0;  // index into the paths
    CollectionBitmap* bitmap = nullptr;
};
// Pairs files with selected bitmaps: by order file i replaces selected i;
// by name a file replaces the selected bitmap of its base name. False (the
// error shown) when too few bitmaps are selected or selected bitmaps are
// left without a file of their name.
bool MatchReplacementFiles(const std::vector<std::string>& paths, const std::vector<CollectionBitmap*>& selected,
                           u32 mode, UserPrompts& prompts, std::vector<ReplacementMatch>* matches);
// Most unmatched names one error lists before "(%d more)".
constexpr size_t kListedUnmatchedNames = 10;

// "Replace" / "Replace Alpha": matches, checks every matched file, then
// replaces. Every view that showed a replaced bitmap shows the new one.
// Answers the bitmaps replaced.
u32 ReplaceBitmapsFromFiles(Collection* collection, const std::vector<std::string>& paths,
                            const std::vector<CollectionBitmap*>& selected, ReplaceKind kind, u32 mode,
                            UserPrompts& prompts);

}  // namespace pirn
