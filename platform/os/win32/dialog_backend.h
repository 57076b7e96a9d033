#pragma once
// Native dialogs through the system's own: the common item dialog for open,
// save and folder choices (extra drop-downs as its custom controls), the
// colour dialog, and message boxes. Each is modal; a frame timer keeps the
// program's frames coming meanwhile, so callers see the same native-dialog
// mode as with any other backend.

#include <functional>

#include "platform/native_dialogs.h"
#include "platform/types.h"

namespace pirn {
namespace win32 {

class DialogBackend : public NativeDialogBackend {
public:
    // owner_window gives the window (HWND) the dialogs belong to; 0 or an
    // empty function: none, as before the program window exists.
    explicit DialogBackend(std::function<u64()> owner_window = {});

    bool RunFileDialog(const FileDialogRequest& request, FileDialogAnswer* answer) override;
    bool RunColorDialog(const ColorRgb& initial, CustomColors* custom, ColorRgb* chosen) override;
    bool AskYesNo(const std::string& title, const std::string& text) override;
    void ShowError(const std::string& title, const std::string& text) override;

private:
    std::function<u64()> owner_window_;
};

// COLORREF values (0x00BBGGRR) of the colour dialog and back.
u32 ColorRefFromRgb(const ColorRgb& color);
ColorRgb RgbFromColorRef(u32 color_ref);
// The dialog edits its custom colours in a table of 16 COLORREFs.
void CustomColorsToColorRefs(const CustomColors& colors, u32* table);
void ColorRefsToCustomColors(const u32* table, CustomColors* colors);

}  // namespace win32
}  // namespace pirn
