#include "platform/native_dialog_request.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "platform/file_system.h"
#include "platform/natural_compare.h"

namespace pirn {
namespace {

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Iterative wildcard match with backtracking to the last '*': linear in
// practice and never recursive, so hostile patterns cannot blow the stack.
bool WildcardMatch(const std::string& pattern, const std::string& text) {
    std::size_t p = 0, t = 0;
    std::size_t star = std::string::npos, resume = 0;
    while (t < text.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || LowerAscii(pattern[p]) == LowerAscii(text[t]))) {
            ++p;
            ++t;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = t;
        } else if (star != std::string::npos) {
            p = star + 1;
            t = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

std::string FileNameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string Slashes(std::string path) {
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

std::string WithFinalSlash(std::string path) {
    if (!path.empty() && path.back() != '/') path += '/';
    return path;
}

// Index of the first filter the caller gave whose patterns match the name.
int MatchingGivenFilter(const FileDialogRequest& request, const std::string& path) {
    const std::string name = FileNameOf(path);
    for (std::size_t i = 0; i < request.given_filter_count && i < request.filters.size(); ++i) {
        if (FilterMatchesName(request.filters[i].pattern, name)) return static_cast<int>(i);
    }
    return -1;
}

// A file nobody may write counts as read-only even for a user (root) whom
// the system would let write it anyway.
bool IsReadOnlyFile(const std::string& path) {
    struct stat status;
    if (stat(path.c_str(), &status) != 0) return false;
    return (status.st_mode & 0222) == 0 || access(path.c_str(), W_OK) != 0;
}

u32 ResultFilterIndex(const FileDialogRequest& request, const FileDialogAnswer& answer) {
    if (answer.filter_index >= 0) {
        const auto index = static_cast<std::size_t>(answer.filter_index);
        return index < request.filters.size() ? static_cast<u32>(index) : request.start_filter_index;
    }
    if (request.kind == FileDialogKind::kChooseFolder || answer.paths.empty()) {
        return request.start_filter_index;
    }
    // The backend could not say which filter was selected: take the one the
    // file's own name matches, as the user would read it.
    const int match = MatchingGivenFilter(request, Slashes(answer.paths.front()));
    if (match >= 0) return static_cast<u32>(match);
    const bool offers_any = request.kind != FileDialogKind::kSaveFile && request.given_filter_count >= 2;
    if (offers_any) return static_cast<u32>(request.given_filter_count);
    return request.start_filter_index;
}

}  // namespace

void AddFileDialogChoices(FileDialogOptions& options, const std::string& label, int default_index,
                          const std::vector<FileDialogChoice>& choices) {
    FileDialogBox box;
    box.label = label;
    box.choices = choices;
    u32 index = 0;
    if (default_index > 0 && !choices.empty()) {
        index = std::min(static_cast<u32>(default_index), static_cast<u32>(choices.size() - 1));
    }
    box.default_index = index;
    box.chosen_index = index;
    options.boxes.push_back(std::move(box));
}

u32 GetFileDialogChoice(const FileDialogOptions& options, std::size_t box) {
    if (box >= options.boxes.size()) return 0;
    const FileDialogBox& b = options.boxes[box];
    if (b.chosen_index >= b.choices.size()) return 0;
    return b.choices[b.chosen_index].value;
}

std::string FilterExtension(const std::string& pattern) {
    const std::string first = pattern.substr(0, pattern.find(';'));
    if (first.size() < 2) return std::string();
    std::string extension = first.substr(1);
    if (extension[0] != '.' || extension.size() < 2) return std::string();
    if (extension.find_first_of("*?") != std::string::npos) return std::string();
    return extension;
}

bool FilterMatchesName(const std::string& pattern, const std::string& file_name) {
    std::size_t start = 0;
    while (start <= pattern.size()) {
        std::size_t end = pattern.find(';', start);
        if (end == std::string::npos) end = pattern.size();
        const std::string one = pattern.substr(start, end - start);
        // "*.*" has always meant every file, with or without a dot.
        if (one == "*.*") return true;
        if (!one.empty() && WildcardMatch(one, file_name)) return true;
        start = end + 1;
    }
    return false;
}

bool AppendDialogExtension(std::string& path, const std::string& extension) {
    if (extension.empty()) return false;
    std::string name = FileNameOf(Slashes(path));
    std::string wanted = extension;
    std::transform(name.begin(), name.end(), name.begin(), LowerAscii);
    std::transform(wanted.begin(), wanted.end(), wanted.begin(), LowerAscii);
    if (name.find(wanted) != std::string::npos) return false;
    path += extension;
    return true;
}

FileDialogRequest MakeFileDialogRequest(FileDialogKind kind, const std::string& title,
                                        const FileDialogFilters& filters, const u32* filter_index,
                                        const std::string& path, const FileDialogOptions* options) {
    FileDialogRequest request;
    request.kind = kind;
    request.title = title;
    if (kind != FileDialogKind::kChooseFolder) {
        request.filters = filters;
        request.given_filter_count = filters.size();
        const bool opening = kind == FileDialogKind::kOpenFile || kind == FileDialogKind::kOpenFiles;
        if (opening && filters.size() >= 2) {
            std::string all;
            for (const FileDialogFilter& f : filters) {
                if (!all.empty()) all += ';';
                all += f.pattern;
            }
            request.filters.push_back({"Any", all});
        }
        if (filters.empty()) request.filters.push_back({"All Files", "*.*"});
        if (filter_index != nullptr && *filter_index < request.filters.size()) {
            request.start_filter_index = *filter_index;
        }
    }

    const std::string slashed = Slashes(path);
    if (kind == FileDialogKind::kChooseFolder) {
        request.initial_folder = WithFinalSlash(slashed);
    } else {
        const std::size_t slash = slashed.find_last_of('/');
        if (slash == std::string::npos) {
            request.initial_name = slashed;
        } else {
            request.initial_folder = slashed.substr(0, slash + 1);
            request.initial_name = slashed.substr(slash + 1);
        }
    }
    if (options != nullptr) request.boxes = options->boxes;
    return request;
}

FileDialogCheck FinishFileDialogAnswer(const FileDialogRequest& request,
                                       const FileDialogAnswer& answer, FileDialogResult* result) {
    *result = FileDialogResult();
    std::vector<std::string> paths;
    for (const std::string& p : answer.paths) {
        if (!p.empty()) paths.push_back(Slashes(p));
    }
    if (paths.empty()) return FileDialogCheck::kRejected;
    if (request.kind != FileDialogKind::kOpenFiles) paths.resize(1);

    result->filter_index = ResultFilterIndex(request, answer);

    switch (request.kind) {
    case FileDialogKind::kOpenFile:
    case FileDialogKind::kOpenFiles:
        // Opening names a file that exists as it is; an extension added to
        // it would name another file.
        for (const std::string& p : paths) {
            if (!PathExists(p, kPathIsFile)) return FileDialogCheck::kRejected;
        }
        if (paths.size() > 1) {
            std::sort(paths.begin(), paths.end(), [](const std::string& a, const std::string& b) {
                return NaturalCompare(a.c_str(), b.c_str()) < 0;
            });
        }
        break;
    case FileDialogKind::kSaveFile: {
        std::string& p = paths.front();
        if (p.back() == '/') return FileDialogCheck::kRejected;
        if (result->filter_index < request.given_filter_count) {
            const std::string extension = FilterExtension(request.filters[result->filter_index].pattern);
            if (AppendDialogExtension(p, extension) && PathExists(p, kPathAnyKind)) {
                result->needs_replace_confirmation = true;
            }
        }
        if (PathExists(p, kPathIsFolder)) return FileDialogCheck::kRejected;
        if (PathExists(p, kPathIsFile) && IsReadOnlyFile(p)) {
            result->paths = paths;  // so the refusal can name the file
            return FileDialogCheck::kReadOnly;
        }
        break;
    }
    case FileDialogKind::kChooseFolder:
        paths.front() = WithFinalSlash(paths.front());
        if (!PathExists(paths.front(), kPathIsFolder)) return FileDialogCheck::kRejected;
        break;
    }

    result->chosen_indices.resize(request.boxes.size());
    for (std::size_t i = 0; i < request.boxes.size(); ++i) {
        const FileDialogBox& box = request.boxes[i];
        u32 index = box.default_index;
        if (i < answer.chosen_indices.size() && answer.chosen_indices[i] < box.choices.size()) {
            index = answer.chosen_indices[i];
        }
        result->chosen_indices[i] = index;
    }
    result->paths = std::move(paths);
    return FileDialogCheck::kAccepted;
}

}  // namespace pirn
