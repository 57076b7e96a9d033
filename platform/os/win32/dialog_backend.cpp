#include "platform/os/win32/dialog_backend.h"

#include <windows.h>
#include <commdlg.h>
#include <shobjidl.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/os/win32/dialog_frame_timer.h"
#include "platform/os/win32/wide_text.h"

namespace pirn {
namespace win32 {
namespace {

struct ComRelease {
    void operator()(IUnknown* object) const {
        if (object != nullptr) object->Release();
    }
};
template <class T>
using ComRef = std::unique_ptr<T, ComRelease>;

// The program starts OLE on its thread; a test or a start-up message may
// come before that, so each dialog makes sure COM is there.
class ComApartment {
public:
    ComApartment() : started_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComApartment() {
        if (started_) CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool started_;
};

// Custom controls of the extra drop-downs: a labelled group holding a list.
constexpr DWORD kFirstBoxControl = 1000;
DWORD BoxGroupId(std::size_t box) { return kFirstBoxControl + DWORD(box) * 2; }
DWORD BoxListId(std::size_t box) { return BoxGroupId(box) + 1; }

std::wstring FullPath(const std::wstring& path) {
    const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return path;
    std::wstring full(needed, L'\0');
    const DWORD written = GetFullPathNameW(path.c_str(), needed, &full[0], nullptr);
    if (written == 0 || written >= needed) return path;
    full.resize(written);
    return full;
}

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::string ItemPath(IShellItem* item) {
    wchar_t* path = nullptr;
    if (item == nullptr || FAILED(item->GetDisplayName(SIGDN_FILESYSPATH, &path)) || path == nullptr) {
        return std::string();
    }
    std::string result = PathFromWide(path);
    CoTaskMemFree(path);
    return result;
}

FILEOPENDIALOGOPTIONS OptionsFor(FileDialogKind kind) {
    // The working folder stays where the program keeps its files.
    FILEOPENDIALOGOPTIONS options = FOS_NOCHANGEDIR | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST | FOS_DONTADDTORECENT;
    switch (kind) {
    case FileDialogKind::kOpenFile:
        options |= FOS_FILEMUSTEXIST;
        break;
    case FileDialogKind::kOpenFiles:
        options |= FOS_FILEMUSTEXIST | FOS_ALLOWMULTISELECT;
        break;
    case FileDialogKind::kSaveFile:
        options |= FOS_OVERWRITEPROMPT | FOS_NOREADONLYRETURN;
        break;
    case FileDialogKind::kChooseFolder:
        options |= FOS_PICKFOLDERS;
        break;
    }
    return options;
}

void OfferFilters(IFileDialog* dialog, const FileDialogRequest& request) {
    if (request.kind == FileDialogKind::kChooseFolder || request.filters.empty()) return;
    std::vector<std::wstring> names, patterns;
    for (const FileDialogFilter& filter : request.filters) {
        names.push_back(WideText(filter.name));
        patterns.push_back(Utf8ToWide(filter.pattern));
    }
    std::vector<COMDLG_FILTERSPEC> specs;
    for (std::size_t i = 0; i < names.size(); ++i) specs.push_back({names[i].c_str(), patterns[i].c_str()});
    dialog->SetFileTypes(static_cast<UINT>(specs.size()), specs.data());
    // 1-based; the request's index is already inside the list.
    dialog->SetFileTypeIndex(request.start_filter_index + 1);
}

// Relative presets start from the working folder. The folder chooser shows
// the preset folder selected inside its parent, so that OK alone returns it.
void PresetLocation(IFileDialog* dialog, const FileDialogRequest& request) {
    std::wstring folder = FullPath(WidePath(request.initial_folder.empty() ? "." : request.initial_folder));
    std::wstring name = WidePath(request.initial_name);
    if (request.kind == FileDialogKind::kChooseFolder) {
        std::wstring whole = FullPath(WidePath(request.initial_folder + request.initial_name));
        while (whole.size() > 3 && whole.back() == L'\\') whole.pop_back();
        const std::size_t slash = whole.find_last_of(L'\\');
        if (IsFolder(whole) && slash != std::wstring::npos && slash + 1 < whole.size()) {
            folder = whole.substr(0, slash + 1);
            name = whole.substr(slash + 1);
        }
    }
    IShellItem* raw = nullptr;
    if (IsFolder(folder) &&
        SUCCEEDED(SHCreateItemFromParsingName(folder.c_str(), nullptr, IID_IShellItem, reinterpret_cast<void**>(&raw)))) {
        ComRef<IShellItem> item(raw);
        dialog->SetFolder(item.get());
    }
    if (!name.empty()) dialog->SetFileName(name.c_str());
}

void AddBoxes(IFileDialogCustomize* customize, const std::vector<FileDialogBox>& boxes) {
    if (customize == nullptr) return;
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        const FileDialogBox& box = boxes[i];
        if (box.choices.empty()) continue;
        customize->StartVisualGroup(BoxGroupId(i), WideText(box.label).c_str());
        customize->AddComboBox(BoxListId(i));
        for (std::size_t j = 0; j < box.choices.size(); ++j) {
            customize->AddControlItem(BoxListId(i), DWORD(j), WideText(box.choices[j].name).c_str());
        }
        customize->SetSelectedControlItem(BoxListId(i), box.default_index);
        customize->EndVisualGroup();
    }
}

std::vector<u32> ReadBoxes(IFileDialogCustomize* customize, const std::vector<FileDialogBox>& boxes) {
    std::vector<u32> chosen;
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        DWORD selected = 0;
        const bool read = customize != nullptr && !boxes[i].choices.empty() &&
                          SUCCEEDED(customize->GetSelectedControlItem(BoxListId(i), &selected)) &&
                          selected < boxes[i].choices.size();
        chosen.push_back(read ? u32(selected) : boxes[i].default_index);
    }
    return chosen;
}

std::vector<std::string> ChosenPaths(IFileDialog* dialog, FileDialogKind kind) {
    std::vector<std::string> paths;
    if (kind == FileDialogKind::kOpenFiles) {
        IFileOpenDialog* open_raw = nullptr;
        if (FAILED(dialog->QueryInterface(IID_IFileOpenDialog, reinterpret_cast<void**>(&open_raw)))) return paths;
        ComRef<IFileOpenDialog> open(open_raw);
        IShellItemArray* items_raw = nullptr;
        if (FAILED(open->GetResults(&items_raw))) return paths;
        ComRef<IShellItemArray> items(items_raw);
        DWORD count = 0;
        items->GetCount(&count);
        for (DWORD i = 0; i < count; ++i) {
            IShellItem* item_raw = nullptr;
            if (FAILED(items->GetItemAt(i, &item_raw))) continue;
            ComRef<IShellItem> item(item_raw);
            const std::string path = ItemPath(item.get());
            if (!path.empty()) paths.push_back(path);
        }
        return paths;
    }
    IShellItem* item_raw = nullptr;
    if (FAILED(dialog->GetResult(&item_raw))) return paths;
    ComRef<IShellItem> item(item_raw);
    const std::string path = ItemPath(item.get());
    if (!path.empty()) paths.push_back(path);
    return paths;
}

// Centred over the owner (the program window) and brought to the front.
UINT_PTR CALLBACK CenterDialogHook(HWND dialog, UINT message, WPARAM, LPARAM) {
    if (message != WM_INITDIALOG) return 0;
    RECT area{};
    HWND owner = GetWindow(dialog, GW_OWNER);
    if (owner == nullptr || !GetWindowRect(owner, &area)) SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    RECT box{};
    GetWindowRect(dialog, &box);
    const int x = area.left + ((area.right - area.left) - (box.right - box.left)) / 2;
    const int y = area.top + ((area.bottom - area.top) - (box.bottom - box.top)) / 2;
    SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    SetForegroundWindow(dialog);
    return 0;
}

}  // namespace

DialogBackend::DialogBackend(std::function<u64()> owner_window) : owner_window_(std::move(owner_window)) {}

bool DialogBackend::RunFileDialog(const FileDialogRequest& request, FileDialogAnswer* answer) {
    ComApartment apartment;
    const CLSID kind_class =
        request.kind == FileDialogKind::kSaveFile ? CLSID_FileSaveDialog : CLSID_FileOpenDialog;
    IFileDialog* dialog_raw = nullptr;
    if (FAILED(CoCreateInstance(kind_class, nullptr, CLSCTX_INPROC_SERVER, IID_IFileDialog,
                                reinterpret_cast<void**>(&dialog_raw)))) {
        return false;
    }
    ComRef<IFileDialog> dialog(dialog_raw);
    FILEOPENDIALOGOPTIONS options = 0;
    dialog->GetOptions(&options);
    dialog->SetOptions(options | OptionsFor(request.kind));
    dialog->SetTitle(WideText(request.title).c_str());
    OfferFilters(dialog.get(), request);
    PresetLocation(dialog.get(), request);
    IFileDialogCustomize* customize_raw = nullptr;
    if (!request.boxes.empty()) {
        dialog->QueryInterface(IID_IFileDialogCustomize, reinterpret_cast<void**>(&customize_raw));
    }
    ComRef<IFileDialogCustomize> customize(customize_raw);
    AddBoxes(customize.get(), request.boxes);

    HRESULT shown;
    {
        DialogFrameTimer frames;
        shown = dialog->Show(reinterpret_cast<HWND>(owner_window_ ? owner_window_() : 0));
    }
    if (FAILED(shown)) return false;  // cancelled, or the dialog could not run

    FileDialogAnswer got;
    got.paths = ChosenPaths(dialog.get(), request.kind);
    if (got.paths.empty()) return false;
    UINT type_index = 0;
    if (request.kind != FileDialogKind::kChooseFolder && !request.filters.empty() &&
        SUCCEEDED(dialog->GetFileTypeIndex(&type_index)) && type_index >= 1) {
        got.filter_index = static_cast<int>(type_index - 1);
    }
    got.chosen_indices = ReadBoxes(customize.get(), request.boxes);
    *answer = std::move(got);
    return true;
}

bool DialogBackend::RunColorDialog(const ColorRgb& initial, CustomColors* custom, ColorRgb* chosen) {
    COLORREF table[kCustomColorCount];
    u32 values[kCustomColorCount];
    CustomColorsToColorRefs(*custom, values);
    for (int i = 0; i < kCustomColorCount; ++i) table[i] = values[i];
    CHOOSECOLORW choose{};
    choose.lStructSize = sizeof choose;
    choose.hwndOwner = reinterpret_cast<HWND>(owner_window_ ? owner_window_() : 0);
    choose.rgbResult = ColorRefFromRgb(initial);
    choose.lpCustColors = table;
    choose.Flags = CC_FULLOPEN | CC_RGBINIT | CC_ANYCOLOR | CC_ENABLEHOOK;
    choose.lpfnHook = CenterDialogHook;
    BOOL accepted;
    {
        DialogFrameTimer frames;
        accepted = ChooseColorW(&choose);
    }
    // Custom colours the user set stay, even when the dialog was cancelled,
    // as the system dialog keeps them.
    for (int i = 0; i < kCustomColorCount; ++i) values[i] = table[i];
    ColorRefsToCustomColors(values, custom);
    if (!accepted) return false;
    *chosen = RgbFromColorRef(choose.rgbResult);
    return true;
}

bool DialogBackend::AskYesNo(const std::string& title, const std::string& text) {
    HWND owner = reinterpret_cast<HWND>(owner_window_ ? owner_window_() : 0);
    DialogFrameTimer frames;
    return MessageBoxW(owner, WideText(text).c_str(), WideText(title).c_str(), MB_YESNO | MB_ICONWARNING) == IDYES;
}

void DialogBackend::ShowError(const std::string& title, const std::string& text) {
    HWND owner = reinterpret_cast<HWND>(owner_window_ ? owner_window_() : 0);
    // Without a window (start-up failures) the box must still come to the
    // front, or the user never sees why the program ended.
    const UINT front = owner == nullptr ? MB_SETFOREGROUND | MB_TOPMOST : 0;
    DialogFrameTimer frames;
    MessageBoxW(owner, WideText(text).c_str(), WideText(title).c_str(), MB_OK | MB_ICONERROR | front);
}

u32 ColorRefFromRgb(const ColorRgb& color) { return u32(color.red) | u32(color.green) << 8 | u32(color.blue) << 16; }

ColorRgb RgbFromColorRef(u32 color_ref) {
    return ColorRgb{static_cast<u8>(color_ref), static_cast<u8>(color_ref >> 8), static_cast<u8>(color_ref >> 16)};
}

void CustomColorsToColorRefs(const CustomColors& colors, u32* table) {
    for (int i = 0; i < kCustomColorCount; ++i) table[i] = ColorRefFromRgb(colors[i]);
}

void ColorRefsToCustomColors(const u32* table, CustomColors* colors) {
    for (int i = 0; i < kCustomColorCount; ++i) (*colors)[i] = RgbFromColorRef(table[i]);
}

}  // namespace win32
}  // namespace pirn
