#pragma once
// Bitmaps and their alpha as image files. File names built from bitmap
// names are made safe to join to a folder: converted to UTF-8, without
// separators, never empty, "." or "..", and distinct within one export.

#include <string>
#include <vector>

#include "collections/collection.h"
#include "platform/user_prompts.h"
#include "platform/pixel_image.h"

namespace pirn {

// Type of exports whose path names none.
constexpr u32 kDefaultExportType = 7;  // PNG

// "%s%s": the bitmap's name, and " alpha" for an alpha export (the single
// export's default name, in the program's 8-bit text).
std::string DefaultExportName(const CollectionBitmap& bitmap, bool alpha);

// The 8-bit name as one path component in UTF-8, by the rule of every name
// that becomes a path (safe_file_name.h); empty when nothing is left.
std::string SafeFileNameComponent(const std::string& name);

// The names (without folder or extension) a multi-bitmap export writes:
// by name "%s%s" (name, " alpha"), by numbering "%s #%04d" with "bitmap",
// "shadow" or "alpha" and the bitmap's index in the collection. Unsafe
// names fall back to the numbered form; repeats gain " (2)", " (3)"...
// False (the error shown) when exporting by name and two bitmaps share a
// name.
bool ExportFileNames(const Collection& collection, const std::vector<const CollectionBitmap*>& bitmaps, bool alpha,
                     u32 mode, UserPrompts& prompts, std::vector<std::string>* names);

// Saves the image at path in the type its extension names (type 0, PNG
// when it names none), or in `type` with its extension added when
// missing. Shows an error naming the file on failure.
bool SaveExportImage(PixelImage* image, const std::string& path, u32 type, UserPrompts& prompts);

// One bitmap to the path the save dialog chose.
bool ExportBitmapToFile(const Collection& collection, const CollectionBitmap& bitmap, bool alpha,
                        const std::string& path, u32 type, UserPrompts& prompts);

// Several bitmaps into a folder, named as ExportFileNames says, in `type`
// (0: PNG). Answers the files written.
u32 ExportBitmaps(const Collection& collection, const std::vector<const CollectionBitmap*>& bitmaps, bool alpha,
                  const std::string& folder, u32 mode, u32 type, UserPrompts& prompts);

}  // namespace pirn
