#pragma once
// Every native file and folder dialog of the program goes through here: a
// fixed set of file kinds with their captions and filters, the folder and
// format remembered per kind and per dialog type in the preferences, the
// identification of chosen files (platform/image_file.h), and the error
// boxes for files that cannot be read.
//
//   kind  used for   remembered under (folders: strings, formats: filter indices)
//   0     any file   LastSavePath, LastOpenPath, LastFolderPath
//   5     images     LastImage{Save,Open,Folder}{Path,Format}
//   4     models     LastModel{Save,Open,Folder}{Path,Format}
//   3     sounds     LastSound{Save,Open,Folder}{Path,Format}
//   2     archives   LastArchive{Save,Open,Folder}Path

#include <string>
#include <vector>

#include "platform/image_file.h"
#include "platform/native_dialogs.h"
#include "platform/types.h"

namespace pirn {

enum FileDialogKindId : u32 {
    kFileKindAny = 0,
    kFileKindArchive = 2,
    kFileKindSound = 3,
    kFileKindModel = 4,
    kFileKindImage = 5,
};

enum class FileDialogUse { kSave, kOpen, kFolder };

struct FileKindFilter {
    const char* description;
    const char* pattern;
    u32 file_type;  // platform/image_file.h FileType of the pattern's extension
};

struct FileKindRow {
    u32 kind;
    const char* save_caption;
    const char* open_caption;
    const char* multi_open_caption;
    const char* folder_caption;
    std::vector<FileKindFilter> filters;
    const char* key_word;  // "" for kind 0, "Image", "Model", "Sound", "Archive"
    bool remembers_format;
};

// The row of a kind, or null.
const FileKindRow* FindFileKind(u32 kind);
// The kind's filters as the platform dialogs take them.
FileDialogFilters FileKindFilters(const FileKindRow& row);
// "Last<word><Save|Open|Folder>Path", or with format "...Format" (empty for
// a kind that remembers no format).
std::string FileKindKey(const FileKindRow& row, FileDialogUse use, bool format);

// Stores the folder part of the path under the key (nothing for a null key
// or a path without a folder part).
void RememberFolder(const std::string& path, const char* key);
// Puts the folder stored under the key in front of a path that has no
// folder part.
void ApplyRememberedFolder(std::string* path, const char* key);

// One existing file of the kind. file->path presets the dialog's folder and
// name (a bare name starts in the remembered folder). 1 when the chosen file
// was identified as one of the kind ("The selected file could not be read
// (inaccessable or invalid format)." otherwise); 0 on cancel.
int ChooseOpenFile(const char* caption, ImageFile* file, u32 kind, FileDialogOptions* options);
// Several files; each is identified, those that cannot be are dropped and
// reported once ("Some of the selected files could not be read
// (inaccessable or invalid format)."). 1 when the dialog ended with OK.
int ChooseOpenFiles(const char* caption, std::vector<ImageFile>* files, u32 kind, FileDialogOptions* options);
// A file to save; its type follows the chosen name's extension. 1 on OK.
int ChooseSaveFile(const char* caption, ImageFile* file, u32 kind, FileDialogOptions* options);
// A folder. With fileType given and a kind that has filters, the dialog
// also asks "Target Format:" (one entry per filter, the last one chosen
// preselected) and *fileType receives the chosen entry's type; a kind
// without filters asks no format and gives kTypeUnknown. Extra choices of
// the caller follow the format choice and get their chosen indices back.
// 1 on OK.
int ChooseExportFolder(const char* caption, std::string* folder, u32* fileType, u32 kind,
                       FileDialogOptions* extra);

}  // namespace pirn
