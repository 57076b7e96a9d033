#include "collections/bitmap_browser_commands.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>

#include "collections/bitmap_codec.h"
#include "collections/x256_messages.h"
#include "collections/x256_texts.h"
#include "platform/strings.h"

namespace pirn {

namespace {

i16 Moved(i16 value, u32 margin) {
    return static_cast<i16>(std::clamp<i64>(i64{value} + margin, -32768, 32767));
}

}  // namespace

bool IsShadowBitmap(const CollectionBitmap& bitmap) { return (bitmap.flags & kBitmapShadow) != 0; }

std::vector<CollectionBitmap*> PageBitmaps(const Collection& collection, bool shadows) {
    std::vector<CollectionBitmap*> page;
    for (const auto& bitmap : collection.bitmaps)
        if (IsShadowBitmap(*bitmap) == shadows) page.push_back(bitmap.get());
    return page;
}

std::string BitmapBitsText(const CollectionBitmap& bitmap) {
    const char* bits = x256_text::kBits8;
    if (bitmap.bytes_per_pixel >= 4) bits = x256_text::kBits32;
    else if (bitmap.flags & kBitmapPartialAlpha) bits = x256_text::kBits16;
    return FormatString(x256_text::kBitsText, bits);
}

const char* BitmapFormatText(const CollectionBitmap& bitmap) {
    return (bitmap.flags & kBitmapRle) ? x256_text::kRleText : x256_text::kRawText;
}

std::string BitmapDimensionsText(const CollectionBitmap& bitmap) {
    return FormatString(x256_text::kDimensionsText, int{bitmap.width}, int{bitmap.height});
}

std::string BitmapCountLabel(size_t rows, bool shadows) {
    return FormatString(x256_text::kRowCountLabel, static_cast<int>(rows),
                        shadows ? x256_text::kShadowWord : x256_text::kBitmapWord, PluralEnding(rows));
}

const char* BitmapScopeWord(size_t pageRows, bool all) {
    if (pageRows == 1) return x256_text::kTheOnly;
    return all ? x256_text::kAll : x256_text::kTheSelected;
}

std::string CropQuestionText(size_t pageRows, size_t count, bool all) {
    return FormatString(x256_text::kCropQuestion, BitmapScopeWord(pageRows, all), PluralEnding(count));
}

std::string DeleteQuestionText(size_t pageRows, size_t count, bool all, bool shadows) {
    return FormatString(x256_text::kDeleteQuestion, BitmapScopeWord(pageRows, all),
                        shadows ? x256_text::kShadowNoun : x256_text::kBitmapNoun, PluralEnding(count));
}

bool SetBitmapsRle(const std::vector<CollectionBitmap*>& bitmaps, bool rle) {
    bool changed = false;
    for (CollectionBitmap* bitmap : bitmaps) {
        const u16 flags = rle ? static_cast<u16>(bitmap->flags | kBitmapRle) : static_cast<u16>(bitmap->flags & ~kBitmapRle);
        changed = changed || flags != bitmap->flags;
        bitmap->flags = flags;
    }
    return changed;
}

bool RemoveBitmapsAlpha(const std::vector<CollectionBitmap*>& bitmaps) {
    bool changed = false;
    for (CollectionBitmap* bitmap : bitmaps) changed = DropPartialAlpha(bitmap) || changed;
    return changed;
}

CropOutcome CropBitmaps(Collection* collection, const std::vector<CollectionBitmap*>& bitmaps) {
    CropOutcome outcome;
    for (CollectionBitmap* bitmap : bitmaps) {
        const i64 removed = CropBitmapToContent(collection, bitmap);
        if (removed <= 0) continue;
        ++outcome.cropped;
        outcome.pixels += removed;
    }
    return outcome;
}

bool ParseUncropSize(const std::string& text, u32* size) {
    size_t begin = 0, end = text.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(text[begin]))) ++begin;
    while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
    if (begin == end || end - begin > 9) return false;
    u32 value = 0;
    for (size_t i = begin; i < end; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(text[i]))) return false;
        value = value * 10 + u32(text[i] - '0');
    }
    if (value < 1 || value > kMaxUncropSize) return false;
    *size = value;
    return true;
}

bool UncropBitmap(Collection* collection, CollectionBitmap* bitmap, u32 size) {
    const u32 width = bitmap->width, height = bitmap->height;
    if (width > size || height > size || (width == size && height == size)) return false;
    const size_t bpp = bitmap->bytes_per_pixel;
    if (bitmap->pixels.size() != size_t{width} * height * bpp) return false;
    const u32 left = (size - width) / 2, top = (size - height) / 2;
    const u32 right = size - width - left, bottom = size - height - top;
    PixelBytes padded;
    padded.assign(size_t{size} * size * bpp, 0);
    for (u32 y = 0; y < height; ++y)
        std::memcpy(&padded[(size_t{top + y} * size + left) * bpp], &bitmap->pixels[size_t{y} * width * bpp],
                    width * bpp);
    bitmap->pixels.swap(padded);
    bitmap->width = static_cast<u16>(size);
    bitmap->height = static_cast<u16>(size);

    // A point measured from the right (mirrored) or bottom (flipped) edge
    // moves by the margin added on that side.
    ForEachInstance(collection, [&](BitmapInstance& instance) {
        const u32 dx = (instance.flags & kInstanceMirrored) ? right : left;
        const u32 dy = (instance.flags & kInstanceFlipped) ? bottom : top;
        if (instance.standard.bitmap == bitmap) {
            instance.standard.x = Moved(instance.standard.x, dx);
            instance.standard.y = Moved(instance.standard.y, dy);
            instance.key_x = Moved(instance.key_x, dx);
            instance.key_y = Moved(instance.key_y, dy);
        }
        if (instance.alternate.bitmap == bitmap) {
            instance.alternate.x = Moved(instance.alternate.x, dx);
            instance.alternate.y = Moved(instance.alternate.y, dy);
        }
    });
    return true;
}

u32 UncropBitmaps(Collection* collection, const std::vector<CollectionBitmap*>& bitmaps, u32 size) {
    u32 padded = 0;
    for (CollectionBitmap* bitmap : bitmaps) padded += UncropBitmap(collection, bitmap, size) ? 1 : 0;
    return padded;
}

u32 DeleteBitmaps(Collection* collection, const std::vector<CollectionBitmap*>& bitmaps) {
    u32 deleted = 0;
    for (CollectionBitmap* bitmap : bitmaps) deleted += DeleteCollectionBitmap(collection, bitmap) ? 1 : 0;
    return deleted;
}

u32 MoveBitmapToRow(Collection* collection, CollectionBitmap* bitmap, const std::vector<CollectionBitmap*>& rows,
                    u32 row) {
    if (rows.empty() || row > rows.size()) return kNotFound;
    i32 target = -1;
    if (row < rows.size()) {
        target = FindCollectionBitmap(*collection, rows[row]);
    } else {
        target = FindCollectionBitmap(*collection, rows.back());
        if (target >= 0) ++target;
    }
    if (target < 0) return kNotFound;
    return MoveCollectionBitmap(collection, bitmap, static_cast<u32>(target));
}

}  // namespace pirn
