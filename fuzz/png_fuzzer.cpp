// PNG files through libpng: 8-bit grey, RGB, palette and RGBA, interlaced or
// not; other depths and grey with alpha are refused.
// What was read is written again as PNG and must read back the same.

#include "fuzz/image_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return pirn_fuzz::DecodeAndWriteBack(pirn::kTypePng, data, size);
}
