#pragma once
// The collection editor's texts filled in: the endings that follow a
// number and the messages several pages share.

#include <string>
#include <vector>

#include "collections/collection.h"
#include "platform/types.h"

namespace pirn {

// "" for exactly one, else "s".
const char* PluralEnding(u64 count);
// " was" for exactly one, else "s were".
const char* WasWereEnding(u64 count);

// "%d bitmap%s cropped (%d pixels removed)." (pixel totals may pass what
// 32 bits hold).
std::string CropReportText(u64 bitmaps, i64 pixels);
// "The bitmap \"%s\" is currently open. Please close it before %s."
std::string BitmapOpenText(const CollectionBitmap& bitmap, const char* verb);
// "%d%c": whole degrees of a 16-bit hue with the degree sign.
std::string DegreesText(u32 degrees);

// The text with its printf conversions ("%d", "%s", ...) replaced by the
// values in order, for numbers that may pass what an int holds; "%%" is
// a percent sign.
std::string FillTemplate(const char* text, const std::vector<std::string>& values);

}  // namespace pirn
