#include "platform/os/headless/headless_clipboard.h"

#include <map>

#include "platform/char_map.h"
#include "platform/clipboard_image.h"
#include "platform/os/os_clipboard.h"

namespace pirn {
namespace {

struct ClipboardContents {
    bool has_text = false;
    std::string utf8;
    std::map<std::string, std::vector<u8>> data;
};

ClipboardContents& Contents() {
    static ClipboardContents contents;
    return contents;
}

}  // namespace

namespace headless {

void ClearClipboard() { Contents() = ClipboardContents(); }

void SetForeignClipboardText(const std::string& utf8) {
    ClearClipboard();
    Contents().has_text = true;
    Contents().utf8 = utf8;
}

void SetForeignClipboardData(const std::string& type, const std::vector<u8>& bytes) {
    ClearClipboard();
    Contents().data[type] = bytes;
}

std::string ClipboardUtf8() { return Contents().utf8; }

std::vector<u8> ClipboardData(const std::string& type) {
    const auto it = Contents().data.find(type);
    return it == Contents().data.end() ? std::vector<u8>() : it->second;
}

}  // namespace headless

bool OsGetClipboardText(std::string* text) {
    if (!Contents().has_text || text == nullptr) return false;
    *text = Utf8ToCharMap(Contents().utf8);
    return true;
}

bool OsSetClipboardText(const std::string& text) {
    headless::SetForeignClipboardText(CharMapToUtf8(text));
    return true;
}

bool OsGetClipboardImage(std::vector<u8>* rgb, u32* width, u32* height) {
    // The same order of preference as the desktop backend.
    for (const char* type : {kClipboardPngType, kClipboardBmpType, "image/x-bmp", "image/x-MS-bmp"}) {
        const auto it = Contents().data.find(type);
        if (it == Contents().data.end()) continue;
        ClipboardImage image;
        if (!DecodeClipboardImage(type, it->second.data(), it->second.size(), &image)) return false;
        *rgb = std::move(image.rgb);
        *width = image.width;
        *height = image.height;
        return true;
    }
    return false;
}

bool OsSetClipboardImage(const u8* rgb, u32 width, u32 height) {
    std::vector<u8> png, bmp;
    if (!EncodeClipboardImage(kClipboardPngType, rgb, width, height, &png) ||
        !EncodeClipboardImage(kClipboardBmpType, rgb, width, height, &bmp)) {
        return false;
    }
    headless::ClearClipboard();
    Contents().data[kClipboardPngType] = std::move(png);
    Contents().data[kClipboardBmpType] = std::move(bmp);
    return true;
}

}  // namespace pirn
