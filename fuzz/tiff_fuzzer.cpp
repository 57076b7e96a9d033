// TIFF files through libtiff and the program's own stream procedures: 8-bit
// min-is-black, RGB, RGBA and palette strips of any compression libtiff reads;
// the size a header promises must be within what its strips can hold.
// What was read is written again as TIFF and must read back the same.

#include "fuzz/image_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return pirn_fuzz::DecodeAndWriteBack(pirn::kTypeTiff, data, size);
}
