// BMP files as the program reads them itself: the headers, the palette, row
// padding, top-down and bottom-up rows, the data offset.
// What was read is written again as BMP and must read back the same.

#include "fuzz/image_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return pirn_fuzz::DecodeAndWriteBack(pirn::kTypeBmp, data, size);
}
