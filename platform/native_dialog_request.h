#pragma once
// What a native file or folder dialog is asked and how its answer becomes the
// caller's result: filter lists, the extra choice boxes, the starting filter,
// extension appending and the sorting of several files. No process or window
// is involved here, so every rule is testable on its own.

#include <cstddef>
#include <string>
#include <vector>

#include "platform/types.h"

namespace pirn {

// A pattern is a wildcard such as "*.bmp", or several joined with ';'.
struct FileDialogFilter {
    std::string name;
    std::string pattern;
};
using FileDialogFilters = std::vector<FileDialogFilter>;

struct FileDialogChoice {
    std::string name;
    u32 value = 0;
};

// One extra labelled drop-down list shown with a dialog. chosen_index is
// written back when the dialog ends with OK.
struct FileDialogBox {
    u32 default_index = 0;
    u32 chosen_index = 0;
    std::vector<FileDialogChoice> choices;
    std::string label;
};

struct FileDialogOptions {
    std::vector<FileDialogBox> boxes;
};

// Adds one box. The default index is clamped to the last choice; a negative
// one makes both indices 0.
void AddFileDialogChoices(FileDialogOptions& options, const std::string& label, int default_index,
                          const std::vector<FileDialogChoice>& choices);
// The value of the chosen entry of a box after the dialog; 0 when the box or
// its entry does not exist.
u32 GetFileDialogChoice(const FileDialogOptions& options, std::size_t box);

enum class FileDialogKind { kOpenFile, kOpenFiles, kSaveFile, kChooseFolder };

// The extension a filter adds to a saved name: its first pattern without the
// leading '*' (".bmp" for "*.bmp;*.dib"); empty when that still holds a
// wildcard ("*.*") or is not an extension at all.
std::string FilterExtension(const std::string& pattern);
// Whether a file name matches any of the filter's ';'-separated wildcards,
// ignoring case ('*' any run, '?' one character).
bool FilterMatchesName(const std::string& pattern, const std::string& file_name);
// Appends extension unless the file name (never the folders above it)
// already contains it, ignoring case: "picture" gets ".png", "IMG.PNG" and
// "picture.png.bak" stay, "x.pngs/pic" gets it. Returns whether it appended.
bool AppendDialogExtension(std::string& path, const std::string& extension);

// The dialog as the backend must show it.
struct FileDialogRequest {
    FileDialogKind kind = FileDialogKind::kOpenFile;
    std::string title;
    // As offered: the caller's filters, then "Any" (every pattern joined with
    // ';') for open dialogs given two or more; "All Files" "*.*" when the
    // caller gave none; "Folders" for the folder chooser.
    FileDialogFilters filters;
    // How many leading entries of filters the caller gave; indices below
    // this name a real format.
    std::size_t given_filter_count = 0;
    u32 start_filter_index = 0;
    std::string initial_folder;  // ends with '/' when set
    std::string initial_name;
    std::vector<FileDialogBox> boxes;
};

// filter_index may be null; path is the preset folder and name (may be empty).
FileDialogRequest MakeFileDialogRequest(FileDialogKind kind, const std::string& title,
                                        const FileDialogFilters& filters, const u32* filter_index,
                                        const std::string& path, const FileDialogOptions* options);

// What a backend reports after OK.
struct FileDialogAnswer {
    std::vector<std::string> paths;
    // The filter the user had selected, or -1 when the backend cannot tell;
    // then it is taken from the chosen file's name.
    int filter_index = -1;
    // One per box when the backend asked them; empty keeps the defaults.
    std::vector<u32> chosen_indices;
};

struct FileDialogResult {
    std::vector<std::string> paths;
    u32 filter_index = 0;
    std::vector<u32> chosen_indices;  // one per box of the request
    // For a save: the extension was appended and a file of that name already
    // exists, which the dialog itself never saw; the caller must confirm.
    bool needs_replace_confirmation = false;
};

enum class FileDialogCheck {
    kAccepted,
    kRejected,   // no path, or a chosen file or folder that is not there
    kReadOnly,   // a save over a file that cannot be written (named in paths)
};

// Applies the result rules of the request's kind to the answer: filter index,
// extension appending (saves only), '\' to '/', folders ending in '/',
// several files sorted in natural order, existence and writability checks.
FileDialogCheck FinishFileDialogAnswer(const FileDialogRequest& request,
                                       const FileDialogAnswer& answer, FileDialogResult* result);

}  // namespace pirn
