#include "ui/file_dialogs.h"

#include "platform/file_system.h"
#include "platform/pref_store.h"
#include "platform/strings.h"
#include "ui/message_box_window.h"

namespace pirn {

namespace {

constexpr char kUnreadableFile[] = "The selected file could not be read (inaccessable or invalid format).";
constexpr char kUnreadableFiles[] = "Some of the selected files could not be read (inaccessable or invalid format).";
constexpr char kTargetFormatLabel[] = "Target Format:";

const std::vector<FileKindRow>& FileKindTable() {
    static const std::vector<FileKindRow> table = {
        {kFileKindAny, "Save File As", "Open File", "Open Multiple Files", "Choose Folder",
         {{"All files", "*.*", kTypeUnknown}}, "", false},
        {kFileKindImage, "Save Image As", "Open Image", "Open Multiple Images", "Choose Image Folder",
         {{"Bitmap Image", "*.bmp", kTypeBmp}, {"PNG Image", "*.png", kTypePng}, {"TIFF Image", "*.tiff", kTypeTiff}},
         "Image", true},
        {kFileKindModel, "Save Model As", "Open Model", "Open Multiple Models", "Choose Model Folder",
         {{"LightWave Object", "*.lwo", kTypeLwo}, {"3D Metafile", "*.3dmf", kType3dmf}}, "Model", true},
        {kFileKindSound, "Save Sound As", "Open Sound", "Open Multiple Sounds", "Choose Sound Folder",
         {{"WAV Sound", "*.wav", kTypeWav}}, "Sound", true},
        {kFileKindArchive, "Save Archive As", "Open Archive", "Open Multiple Archives", "Choose Archive Folder", {},
         "Archive", false},
    };
    return table;
}

std::string KeyOf(const FileKindRow& row, FileDialogUse use) { return FileKindKey(row, use, false); }

// The filter index remembered for a use of the kind (0 when none is).
u32 RememberedFormat(const FileKindRow& row, FileDialogUse use) {
    i32 index = 0;
    if (row.remembers_format && GetPrefInt(FileKindKey(row, use, true), &index) && index >= 0)
        return static_cast<u32>(index);
    return 0;
}

void RememberFormat(const FileKindRow& row, FileDialogUse use, u32 index) {
    if (row.remembers_format) SetPrefInt(FileKindKey(row, use, true), static_cast<i32>(index));
}

// Identifies the file at path as one of the kind (any kind for kind 0).
bool IdentifyAs(ImageFile* file, const std::string& path, u32 kind) {
    InitImageFile(file, path);
    file->kind = kind;
    return IdentifyImageFile(file);
}

void ShowErrorText(const char* text) { ShowMessageBox("Error", text, "OK", nullptr); }

}  // namespace

const FileKindRow* FindFileKind(u32 kind) {
    for (const FileKindRow& row : FileKindTable())
        if (row.kind == kind) return &row;
    return nullptr;
}

FileDialogFilters FileKindFilters(const FileKindRow& row) {
    FileDialogFilters filters;
    for (const FileKindFilter& f : row.filters) filters.push_back({f.description, f.pattern});
    return filters;
}

std::string FileKindKey(const FileKindRow& row, FileDialogUse use, bool format) {
    if (format && !row.remembers_format) return "";
    const char* useWord = use == FileDialogUse::kSave ? "Save" : use == FileDialogUse::kOpen ? "Open" : "Folder";
    return FormatString("Last%s%s%s", row.key_word, useWord, format ? "Format" : "Path");
}

void RememberFolder(const std::string& path, const char* key) {
    if (!key) return;
    std::string folder, name;
    SplitPathInTwo(path, kSplitFolderAndFileName, &folder, &name);
    if (!folder.empty()) SetPrefString(key, folder);
}

void ApplyRememberedFolder(std::string* path, const char* key) {
    if (!key || !path) return;
    std::string folder, name;
    SplitPathInTwo(*path, kSplitFolderAndFileName, &folder, &name);
    std::string remembered;
    if (folder.empty() && GetPrefString(key, &remembered) && !remembered.empty())
        *path = EnsureTrailingSlash(remembered) + *path;
}

int ChooseOpenFile(const char* caption, ImageFile* file, u32 kind, FileDialogOptions* options) {
    const FileKindRow* row = FindFileKind(kind);
    if (!row || !file) return 0;
    const std::string key = KeyOf(*row, FileDialogUse::kOpen);
    std::string path = file->path;
    ApplyRememberedFolder(&path, key.c_str());
    u32 format = RememberedFormat(*row, FileDialogUse::kOpen);
    if (!OsOpenFile(caption ? caption : row->open_caption, FileKindFilters(*row), &format, &path, options)) return 0;
    RememberFolder(path, key.c_str());
    RememberFormat(*row, FileDialogUse::kOpen, format);
    if (!IdentifyAs(file, path, kind)) {
        ShowErrorText(kUnreadableFile);
        return 0;
    }
    return 1;
}

int ChooseOpenFiles(const char* caption, std::vector<ImageFile>* files, u32 kind, FileDialogOptions* options) {
    const FileKindRow* row = FindFileKind(kind);
    if (!row || !files) return 0;
    const std::string key = KeyOf(*row, FileDialogUse::kOpen);
    std::string folder;
    GetPrefString(key, &folder);
    u32 format = RememberedFormat(*row, FileDialogUse::kOpen);
    std::vector<std::string> paths;
    if (!OsOpenFiles(caption ? caption : row->multi_open_caption, folder.empty() ? "" : EnsureTrailingSlash(folder),
                     FileKindFilters(*row), &format, &paths, options))
        return 0;
    if (!paths.empty()) RememberFolder(paths.front(), key.c_str());
    RememberFormat(*row, FileDialogUse::kOpen, format);
    files->clear();
    bool dropped = false;
    for (const std::string& path : paths) {
        ImageFile file;
        if (IdentifyAs(&file, path, kind)) files->push_back(std::move(file));
        else dropped = true;
    }
    if (dropped) ShowErrorText(kUnreadableFiles);
    return files->empty() ? 0 : 1;
}

int ChooseSaveFile(const char* caption, ImageFile* file, u32 kind, FileDialogOptions* options) {
    const FileKindRow* row = FindFileKind(kind);
    if (!row || !file) return 0;
    const std::string key = KeyOf(*row, FileDialogUse::kSave);
    std::string path = file->path;
    ApplyRememberedFolder(&path, key.c_str());
    u32 format = RememberedFormat(*row, FileDialogUse::kSave);
    if (!OsSaveFile(caption ? caption : row->save_caption, FileKindFilters(*row), &format, &path, options)) return 0;
    RememberFolder(path, key.c_str());
    RememberFormat(*row, FileDialogUse::kSave, format);
    InitImageFile(file, path);
    file->type = FileTypeFromExtension(path);
    file->kind = FileTypeRow(file->type).kind;
    return 1;
}

int ChooseExportFolder(const char* caption, std::string* folder, u32* fileType, u32 kind,
                       FileDialogOptions* extra) {
    const FileKindRow* row = FindFileKind(kind);
    if (!row || !folder) return 0;
    const std::string key = KeyOf(*row, FileDialogUse::kFolder);
    ApplyRememberedFolder(folder, key.c_str());

    // A kind without filters has no format to offer (and none to divide by).
    const bool asksFormat = fileType && !row->filters.empty();
    FileDialogOptions options;
    if (asksFormat) {
        std::vector<FileDialogChoice> choices;
        for (const FileKindFilter& f : row->filters)
            choices.push_back({FormatString("%s (%s)", f.description, f.pattern), f.file_type});
        const u32 remembered = RememberedFormat(*row, FileDialogUse::kFolder) % u32(row->filters.size());
        AddFileDialogChoices(options, kTargetFormatLabel, static_cast<int>(remembered), choices);
    }
    if (extra) options.boxes.insert(options.boxes.end(), extra->boxes.begin(), extra->boxes.end());

    std::string chosen = *folder;
    if (!OsChooseFolder(caption ? caption : row->folder_caption, &chosen, &options)) return 0;
    *folder = chosen;
    // The folder itself is what is remembered, not the one above it.
    SetPrefString(key, EnsureTrailingSlash(chosen));
    const size_t firstExtra = asksFormat ? 1 : 0;
    if (extra)
        for (size_t i = 0; i < extra->boxes.size(); ++i) extra->boxes[i].chosen_index = options.boxes[firstExtra + i].chosen_index;
    if (fileType) *fileType = kTypeUnknown;
    if (asksFormat) {
        RememberFormat(*row, FileDialogUse::kFolder, options.boxes[0].chosen_index);
        *fileType = GetFileDialogChoice(options, 0);
    }
    return 1;
}

}  // namespace pirn
