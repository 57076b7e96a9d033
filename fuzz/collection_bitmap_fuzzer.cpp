// One stored collection bitmap (header, row table, RAW or RLE rows at 8 or
// 16 bits, or the 64-bit pixel form) as the bitmap decoder reads it, with a
// colour table whose alphas differ per entry (flag 0x0800 takes alpha from
// it). A bitmap that decodes and can be stored must encode, decode to the
// same pixels and encode to the same bytes again.

#include <memory>
#include <vector>

#include "collections/bitmap_codec.h"
#include "fuzz/fuzz_support.h"

namespace {

const pirn::ColorTableRecord& Table() {
    static const pirn::ColorTableRecord table = [] {
        pirn::ColorTableRecord t{};
        t.color_count = pirn::kColorTableEntries;
        for (pirn::u32 i = 0; i < pirn::kColorTableEntries; ++i)
            for (int c = 0; c < 4; ++c) t.channels[i][c] = static_cast<pirn::u16>((i * 257u * (c + 3)) & 0xFFFF);
        return t;
    }();
    return table;
}

bool SamePixels(const pirn::CollectionBitmap& a, const pirn::CollectionBitmap& b) {
    return a.width == b.width && a.height == b.height && a.bytes_per_pixel == b.bytes_per_pixel &&
           a.pixels == b.pixels;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::unique_ptr<pirn::CollectionBitmap> bitmap = pirn::DecodeCollectionBitmapBytes(data, size, Table());
    if (!bitmap) return 0;
    FUZZ_CHECK(bitmap->width > 0 && bitmap->height > 0);
    FUZZ_CHECK(bitmap->pixels.size() == size_t(bitmap->width) * bitmap->height * bitmap->bytes_per_pixel);
    pirn::NormaliseBitmapAlpha(bitmap.get());
    if (!pirn::CanEncodeCollectionBitmap(*bitmap)) return 0;

    std::vector<pirn::u8> encoded;
    FUZZ_CHECK(pirn::EncodeCollectionBitmapBytes(*bitmap, &encoded));
    std::unique_ptr<pirn::CollectionBitmap> again =
        pirn::DecodeCollectionBitmapBytes(encoded.data(), encoded.size(), Table());
    FUZZ_CHECK(again != nullptr);
    pirn::NormaliseBitmapAlpha(again.get());
    FUZZ_CHECK(SamePixels(*bitmap, *again));
    std::vector<pirn::u8> encoded_again;
    FUZZ_CHECK(pirn::EncodeCollectionBitmapBytes(*again, &encoded_again) && encoded_again == encoded);
    return 0;
}
