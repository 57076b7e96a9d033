#pragma once
// The platform's standard dialogs as plain calls: open one or several files,
// save, choose a folder, choose a colour. A backend shows them (the desktop's
// own dialogs through zenity, or a scripted one in tests); this layer holds
// the rules every backend shares and the native-dialog mode around each run.
//
// Titles, labels and choice names are program text (8-bit); paths are byte
// strings with '/' separators.

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "platform/native_dialog_request.h"
#include "platform/types.h"

namespace pirn {

struct ColorRgb {
    u8 red = 0;
    u8 green = 0;
    u8 blue = 0;
    bool operator==(const ColorRgb& o) const { return red == o.red && green == o.green && blue == o.blue; }
    bool operator!=(const ColorRgb& o) const { return !(*this == o); }
};

constexpr int kCustomColorCount = 16;
using CustomColors = std::array<ColorRgb, kCustomColorCount>;

// Shows the dialogs. Every call blocks until the user is done, and must call
// RunNativeDialogFrame() regularly while it waits so the program keeps
// presenting frames.
class NativeDialogBackend {
public:
    virtual ~NativeDialogBackend() = default;
    // False on cancel or when the dialog could not be shown.
    virtual bool RunFileDialog(const FileDialogRequest& request, FileDialogAnswer* answer) = 0;
    // custom holds the remembered custom colours and may be updated.
    virtual bool RunColorDialog(const ColorRgb& initial, CustomColors* custom, ColorRgb* chosen) = 0;
    // True when the user answers yes.
    virtual bool AskYesNo(const std::string& title, const std::string& text) = 0;
    virtual void ShowError(const std::string& title, const std::string& text) = 0;
};

// The backend in use (null: every dialog fails at once). Not owned.
void SetNativeDialogBackend(NativeDialogBackend* backend);
NativeDialogBackend* GetNativeDialogBackend();

// The window system's native-dialog mode switch (on before each dialog, off
// after), and the frame it wants drawn while a dialog is open. Both may be
// empty (before the window system exists).
void SetNativeDialogModeHook(std::function<void(bool on)> hook);
void SetNativeDialogFrameHook(std::function<void()> hook);
// Runs the frame hook once; backends call it between polls of the dialog.
// Returns false when there is no frame hook (the caller should then sleep).
bool RunNativeDialogFrame();
bool IsNativeDialogOpen();

// Open one existing file. filter_index (may be null) is in/out, 0-based; path
// is in/out: on entry its folder and name preset the dialog.
bool OsOpenFile(const std::string& title, const FileDialogFilters& filters, u32* filter_index,
                std::string* path, FileDialogOptions* options);
// Open several; files receives the chosen paths in natural order.
bool OsOpenFiles(const std::string& title, const std::string& initial_path,
                 const FileDialogFilters& filters, u32* filter_index, std::vector<std::string>* files,
                 FileDialogOptions* options);
// Save: asks before replacing an existing file and refuses read-only files;
// the selected filter's extension is appended unless the name holds it.
bool OsSaveFile(const std::string& title, const FileDialogFilters& filters, u32* filter_index,
                std::string* path, FileDialogOptions* options);
// path is in/out; on OK the chosen folder with a final '/'.
bool OsChooseFolder(const std::string& title, std::string* path, FileDialogOptions* options);
// rgb is in/out; true on OK.
bool OsChooseColor(ColorRgb* rgb);

// The custom colours kept across colour-chooser calls (white at first).
const CustomColors& OsCustomColors();
void OsSetCustomColors(const CustomColors& colors);
// The chosen colour goes first, an equal entry further down is dropped, and
// the last one falls off: what the chooser remembers after each OK.
void RememberCustomColor(CustomColors* colors, const ColorRgb& color);

}  // namespace pirn
