// Pictures pasted from other programs: the first byte picks the data type the
// clipboard offered, the rest is its bytes. A decoded picture is put on the
// clipboard again in both types we offer and must come back the same.

#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "platform/clipboard_image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const char* const kTypes[] = {"image/png", "image/bmp", "image/x-bmp", "image/x-MS-bmp", "text/plain"};
    if (size == 0) return 0;
    const std::string type = kTypes[data[0] % 5];
    pirn::ClipboardImage image;
    if (!pirn::DecodeClipboardImage(type, data + 1, size - 1, &image)) return 0;
    FUZZ_CHECK(pirn::IsClipboardImageType(type));
    FUZZ_CHECK(image.width > 0 && image.height > 0 &&
               image.rgb.size() == static_cast<size_t>(image.width) * image.height * 3);
    if (image.rgb.size() > (1u << 20)) return 0;
    for (const char* offered : {pirn::kClipboardPngType, pirn::kClipboardBmpType}) {
        std::vector<pirn::u8> bytes;
        FUZZ_CHECK(pirn::EncodeClipboardImage(offered, image.rgb.data(), image.width, image.height, &bytes));
        pirn::ClipboardImage again;
        FUZZ_CHECK(pirn::DecodeClipboardImage(offered, bytes.data(), bytes.size(), &again));
        FUZZ_CHECK(again.width == image.width && again.height == image.height && again.rgb == image.rgb);
    }
    return 0;
}
