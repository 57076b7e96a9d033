#include "collections/x256_texts.h"

#include "collections/x256_messages.h"
#include "platform/strings.h"

namespace pirn {

const char* PluralEnding(u64 count) { return count == 1 ? "" : x256_text::kPlural; }

const char* WasWereEnding(u64 count) { return count == 1 ? x256_text::kWas : x256_text::kWere; }

std::string FillTemplate(const char* text, const std::vector<std::string>& values) {
    std::string filled;
    size_t next = 0;
    for (const char* p = text; *p; ++p) {
        if (*p != '%') {
            filled += *p;
            continue;
        }
        if (p[1] == '%') {
            filled += '%';
            ++p;
            continue;
        }
        // Flags, width, precision and length up to the conversion letter.
        const char* q = p + 1;
        while (*q && !((*q >= 'a' && *q <= 'z' && *q != 'l' && *q != 'h') || (*q >= 'A' && *q <= 'Z'))) ++q;
        if (!*q) break;
        if (next < values.size()) filled += values[next++];
        p = q;
    }
    return filled;
}

std::string CropReportText(u64 bitmaps, i64 pixels) {
    return FillTemplate(x256_text::kCropReport, {std::to_string(bitmaps), WasWereEnding(bitmaps), std::to_string(pixels)});
}

std::string BitmapOpenText(const CollectionBitmap& bitmap, const char* verb) {
    return FormatString(x256_text::kBitmapOpen, bitmap.name, verb);
}

std::string DegreesText(u32 degrees) {
    return FormatString(x256_text::kDegrees, static_cast<int>(degrees), x256_text::kDegreeSign);
}

}  // namespace pirn
