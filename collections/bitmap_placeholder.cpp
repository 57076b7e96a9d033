#include "collections/bitmap_placeholder.h"

namespace pirn {

std::unique_ptr<CollectionBitmap> MakePlaceholderBitmap() {
    auto bitmap = std::make_unique<CollectionBitmap>();
    bitmap->width = kPlaceholderSide;
    bitmap->height = kPlaceholderSide;
    bitmap->bytes_per_pixel = 2;
    bitmap->pixels.assign(size_t{kPlaceholderSide} * kPlaceholderSide * 2, 0);
    return bitmap;
}

void FillPlaceholderBitmap(const Collection& collection, CollectionBitmap* bitmap) {
    u8 first = 0, second = 255;
    if (!(bitmap->flags & kBitmapShadow)) {
        first = static_cast<u8>(FindNearestColor(collection.colors, 1, 255, 0x000000));
        second = static_cast<u8>(FindNearestColor(collection.colors, 1, 255, 0xFFFFFF));
    }
    for (u32 y = 0; y < bitmap->height; ++y)
        for (u32 x = 0; x < bitmap->width; ++x) {
            u8* p = &bitmap->pixels[(size_t{y} * bitmap->width + x) * 2];
            p[0] = 255;
            p[1] = ((x ^ y) & 16) == 0 ? first : second;
        }
}

std::unique_ptr<CollectionBitmap> PlaceholderBitmaps::Make(bool shadow) {
    std::unique_ptr<CollectionBitmap>& board = boards_[shadow ? 1 : 0];
    if (!board) {
        board = MakePlaceholderBitmap();
        if (shadow) board->flags = kBitmapShadow;
        FillPlaceholderBitmap(collection_, board.get());
    }
    auto bitmap = std::make_unique<CollectionBitmap>();
    bitmap->width = board->width;
    bitmap->height = board->height;
    bitmap->bytes_per_pixel = board->bytes_per_pixel;
    bitmap->flags = board->flags;
    bitmap->pixels.ShareWith(board->pixels);
    return bitmap;
}

}  // namespace pirn
