#pragma once
// What the BMP, PNG and TIFF harnesses share: decoding one format from
// memory as the import dialogs do, and writing what was decoded again in the
// same format, which must read back as the same picture.

#include <cstdio>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "platform/image_file.h"
#include "platform/scratch_stream.h"

namespace pirn_fuzz {

inline bool DecodeAs(pirn::u32 type, const uint8_t* data, size_t size, pirn::PixelImage* image) {
    if (size == 0) return false;
    std::FILE* stream = pirn::OpenBytesForReading(data, size);
    FUZZ_CHECK(stream != nullptr);
    pirn::ImageFile file;
    file.kind = pirn::kKindImage;
    file.type = type;
    file.stream = stream;  // closed by the record
    file.open_mode = pirn::kImageReading;
    if (!pirn::LoadImageFile(&file)) return false;
    FUZZ_CHECK(file.kind == pirn::kKindImage && file.type == type);
    FUZZ_CHECK(pirn::HasWholePixels(file.image));
    *image = std::move(file.image);
    return true;
}

// Pictures above this size are not written again: the round trip of a
// big picture costs much and finds nothing a small one would not.
constexpr pirn::u64 kMostRoundTripBytes = 1 << 20;

inline void CheckWritesBack(pirn::u32 type, const pirn::PixelImage& image) {
    if (image.pixels.size() > kMostRoundTripBytes || !pirn::CanSaveImageAs(type, image)) return;
    std::vector<pirn::u8> bytes;
    FUZZ_CHECK(pirn::EncodeImageBytes(type, image, &bytes));
    pirn::PixelImage again;
    FUZZ_CHECK(DecodeAs(type, bytes.data(), bytes.size(), &again));
    FUZZ_CHECK(pirn::ImagesEqual(image, again));
    if (image.format == pirn::kFormatColorIndex) FUZZ_CHECK(image.palette == again.palette);
}

inline int DecodeAndWriteBack(pirn::u32 type, const uint8_t* data, size_t size) {
    pirn::PixelImage image;
    if (DecodeAs(type, data, size, &image)) CheckWritesBack(type, image);
    return 0;
}

}  // namespace pirn_fuzz
