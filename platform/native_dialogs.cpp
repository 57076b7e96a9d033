#include "platform/native_dialogs.h"

#include <utility>

#include "platform/char_map.h"

namespace pirn {
namespace {

NativeDialogBackend* g_backend = nullptr;
std::function<void(bool)> g_mode_hook;
std::function<void()> g_frame_hook;
bool g_dialog_open = false;

CustomColors WhiteColors() {
    CustomColors colors;
    colors.fill(ColorRgb{255, 255, 255});
    return colors;
}
CustomColors g_custom_colors = WhiteColors();

// Native-dialog mode for the lifetime of one dialog, also on early returns.
class NativeDialogScope {
public:
    NativeDialogScope() {
        g_dialog_open = true;
        if (g_mode_hook) g_mode_hook(true);
    }
    ~NativeDialogScope() {
        if (g_mode_hook) g_mode_hook(false);
        g_dialog_open = false;
    }
    NativeDialogScope(const NativeDialogScope&) = delete;
    NativeDialogScope& operator=(const NativeDialogScope&) = delete;
};

// Only one dialog at a time: a frame drawn while one is open must not open
// another.
bool CanOpenDialog() { return g_backend != nullptr && !g_dialog_open; }

std::string FileNameForMessage(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return Utf8ToCharMap(slash == std::string::npos ? path : path.substr(slash + 1));
}

void PresetRequestPath(FileDialogRequest* request, const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        request->initial_name = path;
    } else {
        request->initial_folder = path.substr(0, slash + 1);
        request->initial_name = path.substr(slash + 1);
    }
}

// Shows the dialog until the answer is usable or the user cancels. A save
// whose name the extension changed into an existing file, or that names a
// read-only file, asks again with that name preset.
bool RunFileDialogUntilSettled(FileDialogRequest request, FileDialogResult* result) {
    if (!CanOpenDialog()) return false;
    NativeDialogScope scope;
    for (;;) {
        FileDialogAnswer answer;
        if (!g_backend->RunFileDialog(request, &answer)) return false;
        const FileDialogCheck check = FinishFileDialogAnswer(request, answer, result);
        if (check != FileDialogCheck::kRejected && result->paths.empty()) return false;
        switch (check) {
        case FileDialogCheck::kAccepted:
            if (!result->needs_replace_confirmation) return true;
            if (g_backend->AskYesNo("Confirm Save As", FileNameForMessage(result->paths.front()) +
                                                           " already exists.\nDo you want to replace it?")) {
                return true;
            }
            PresetRequestPath(&request, result->paths.front());
            break;
        case FileDialogCheck::kReadOnly:
            g_backend->ShowError(request.title, FileNameForMessage(result->paths.front()) +
                                                    " is read-only.\nTry again with a different file name.");
            PresetRequestPath(&request, result->paths.front());
            break;
        case FileDialogCheck::kRejected:
            return false;
        }
        if (request.kind == FileDialogKind::kSaveFile) {
            // Ask again with the filter the user went for.
            request.start_filter_index = result->filter_index;
        }
    }
}

void StoreChoices(const FileDialogResult& result, FileDialogOptions* options) {
    if (options == nullptr) return;
    for (std::size_t i = 0; i < options->boxes.size() && i < result.chosen_indices.size(); ++i) {
        options->boxes[i].chosen_index = result.chosen_indices[i];
    }
}

bool RunSingleFileDialog(FileDialogKind kind, const std::string& title, const FileDialogFilters& filters,
                         u32* filter_index, std::string* path, FileDialogOptions* options) {
    const FileDialogRequest request =
        MakeFileDialogRequest(kind, title, filters, filter_index, path ? *path : std::string(), options);
    FileDialogResult result;
    if (!RunFileDialogUntilSettled(request, &result)) return false;
    if (path != nullptr) *path = result.paths.front();
    if (filter_index != nullptr) *filter_index = result.filter_index;
    StoreChoices(result, options);
    return true;
}

}  // namespace

void SetNativeDialogBackend(NativeDialogBackend* backend) { g_backend = backend; }
NativeDialogBackend* GetNativeDialogBackend() { return g_backend; }
void SetNativeDialogModeHook(std::function<void(bool on)> hook) { g_mode_hook = std::move(hook); }
void SetNativeDialogFrameHook(std::function<void()> hook) { g_frame_hook = std::move(hook); }

bool RunNativeDialogFrame() {
    if (!g_frame_hook) return false;
    g_frame_hook();
    return true;
}

bool IsNativeDialogOpen() { return g_dialog_open; }

bool OsOpenFile(const std::string& title, const FileDialogFilters& filters, u32* filter_index,
                std::string* path, FileDialogOptions* options) {
    return RunSingleFileDialog(FileDialogKind::kOpenFile, title, filters, filter_index, path, options);
}

bool OsOpenFiles(const std::string& title, const std::string& initial_path,
                 const FileDialogFilters& filters, u32* filter_index, std::vector<std::string>* files,
                 FileDialogOptions* options) {
    const FileDialogRequest request =
        MakeFileDialogRequest(FileDialogKind::kOpenFiles, title, filters, filter_index, initial_path, options);
    FileDialogResult result;
    if (!RunFileDialogUntilSettled(request, &result)) return false;
    if (files != nullptr) *files = result.paths;
    if (filter_index != nullptr) *filter_index = result.filter_index;
    StoreChoices(result, options);
    return true;
}

bool OsSaveFile(const std::string& title, const FileDialogFilters& filters, u32* filter_index,
                std::string* path, FileDialogOptions* options) {
    return RunSingleFileDialog(FileDialogKind::kSaveFile, title, filters, filter_index, path, options);
}

bool OsChooseFolder(const std::string& title, std::string* path, FileDialogOptions* options) {
    return RunSingleFileDialog(FileDialogKind::kChooseFolder, title, FileDialogFilters(), nullptr, path,
                               options);
}

bool OsChooseColor(ColorRgb* rgb) {
    if (rgb == nullptr || !CanOpenDialog()) return false;
    NativeDialogScope scope;
    ColorRgb chosen = *rgb;
    if (!g_backend->RunColorDialog(*rgb, &g_custom_colors, &chosen)) return false;
    *rgb = chosen;
    return true;
}

const CustomColors& OsCustomColors() { return g_custom_colors; }
void OsSetCustomColors(const CustomColors& colors) { g_custom_colors = colors; }

void RememberCustomColor(CustomColors* colors, const ColorRgb& color) {
    CustomColors updated;
    updated[0] = color;
    int next = 1;
    for (const ColorRgb& c : *colors) {
        if (next == kCustomColorCount) break;
        if (c != color) updated[next++] = c;
    }
    // When several entries equalled the colour, the tail keeps what it held.
    for (; next < kCustomColorCount; ++next) updated[next] = (*colors)[next];
    *colors = updated;
}

}  // namespace pirn
