#include "platform/os/win32/clipboard_picture.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "platform/os/clipboard_dib.h"

namespace pirn {
namespace win32 {
namespace {

// The clipboard needs an owner window for SetClipboardData to succeed; a
// message-only window of our own works before, with and after the program
// window.
HWND ClipboardOwner() {
    static HWND owner = [] {
        const wchar_t* class_name = L"PirnClipboardOwner";
        WNDCLASSW window_class{};
        window_class.lpfnWndProc = DefWindowProcW;
        window_class.hInstance = GetModuleHandleW(nullptr);
        window_class.lpszClassName = class_name;
        RegisterClassW(&window_class);
        return CreateWindowExW(0, class_name, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    }();
    return owner;
}

// Another program may hold the clipboard for a moment.
class OpenedClipboard {
public:
    OpenedClipboard() {
        for (int attempt = 0; attempt < 10 && !open_; ++attempt) {
            open_ = OpenClipboard(ClipboardOwner()) != 0;
            if (!open_) Sleep(10);
        }
    }
    ~OpenedClipboard() {
        if (open_) CloseClipboard();
    }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
    bool open() const { return open_; }

private:
    bool open_ = false;
};

}  // namespace

bool PutClipboardPicture(const u8* rgb, u32 width, u32 height) {
    std::vector<u8> dib;
    if (!EncodeClipboardDib(rgb, width, height, &dib)) return false;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, dib.size());
    if (memory == nullptr) return false;
    void* target = GlobalLock(memory);
    if (target == nullptr) {
        GlobalFree(memory);
        return false;
    }
    std::memcpy(target, dib.data(), dib.size());
    GlobalUnlock(memory);
    OpenedClipboard clipboard;
    // Once SetClipboardData succeeds the memory is the system's.
    if (!clipboard.open() || !EmptyClipboard() || SetClipboardData(CF_DIB, memory) == nullptr) {
        GlobalFree(memory);
        return false;
    }
    return true;
}

bool ReadClipboardPicture(ClipboardImage* image) {
    if (image == nullptr) return false;
    OpenedClipboard clipboard;
    if (!clipboard.open() || !IsClipboardFormatAvailable(CF_DIB)) return false;
    HANDLE memory = GetClipboardData(CF_DIB);
    if (memory == nullptr) return false;
    const void* bytes = GlobalLock(memory);
    if (bytes == nullptr) return false;
    const bool decoded = DecodeClipboardDib(static_cast<const u8*>(bytes), GlobalSize(memory), image);
    GlobalUnlock(memory);
    return decoded;
}

}  // namespace win32
}  // namespace pirn
