#include "platform/file_system.h"

#include <dirent.h>
#include <fcntl.h>
#ifdef _WIN32
#include <direct.h>
#include <windows.h>
#else
#include <signal.h>
#endif
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>
#include <set>
#include <utility>

#include "platform/file_ops.h"
#include "platform/folder_listing.h"
#ifdef _WIN32
#include "platform/windows_files.h"
#endif

namespace pirn {

namespace {

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

size_t LastSeparator(const std::string& path) {
    size_t slash = path.find_last_of("/\\");
    return slash;
}

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    }
    return true;
}

std::string WithForwardSlashes(const std::string& path) {
    std::string out = path;
    std::replace(out.begin(), out.end(), '\\', '/');
    return out;
}

// Drops final '/'s but keeps a lone "/".
std::string WithoutTrailingSlash(const std::string& path) {
    std::string out = WithForwardSlashes(path);
    while (out.size() > 1 && out.back() == '/') out.pop_back();
#ifdef _WIN32
    // "C:" alone is the working folder of drive C, not its root.
    if (out.size() == 2 && out[1] == ':') out.push_back('/');
#endif
    return out;
}

// Index where the file name starts: after the last separator, or after a
// leading drive letter and ':'.
size_t FileNameStart(const std::string& path) {
    size_t sep = LastSeparator(path);
    if (sep != std::string::npos) return sep + 1;
    if (path.size() >= 2 && path[1] == ':' &&
        ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'))) {
        return 2;
    }
    return 0;
}

// The last '.' inside the file name, or npos.
size_t ExtensionDot(const std::string& path) {
    size_t start = FileNameStart(path);
    size_t dot = path.rfind('.');
    if (dot == std::string::npos || dot < start) return std::string::npos;
    return dot;
}

std::string CurrentDirectory() {
#ifdef _WIN32
    wchar_t* wide = ::_wgetcwd(nullptr, 0);
    std::string folder = WithForwardSlashes(Utf8FromWide(wide));
    std::free(wide);
    return folder;
#else
    std::vector<char> buffer(4096);
    for (;;) {
        if (getcwd(buffer.data(), buffer.size()) != nullptr) return std::string(buffer.data());
        if (errno != ERANGE || buffer.size() > (1u << 20)) return std::string();
        buffer.resize(buffer.size() * 2);
    }
#endif
}

std::vector<std::string>& DirectoryStack() {
    static std::vector<std::string> stack;
    return stack;
}

bool CopyBounded(char* destination, size_t size, const std::string& text) {
    if (destination == nullptr || size == 0) return false;
    size_t n = std::min(size - 1, text.size());
    std::memcpy(destination, text.data(), n);
    destination[n] = '\0';
    return true;
}

// Visits one folder's entries; returns false when a callback stopped.
bool WalkOne(const std::string& folder, bool recursive, const WalkCallback& on_file,
             const WalkCallback& on_folder, std::vector<std::pair<u64, u64>>& ancestors) {
    std::vector<ListedEntry> entries;
    FolderIdentity identity;
    if (!ListFolderEntries(folder, entries, &identity)) return true;  // unreadable: empty
    ancestors.emplace_back(identity.device, identity.inode);
    for (const ListedEntry& entry : entries) {
        if (entry.info.IsFolder()) {
            if (on_folder && !on_folder(entry.info, folder, entry.name)) return false;
            if (!recursive) continue;
            std::pair<u64, u64> id(entry.device, entry.inode);
            if (std::find(ancestors.begin(), ancestors.end(), id) != ancestors.end()) continue;
            if (!WalkOne(folder + entry.name + "/", recursive, on_file, on_folder, ancestors)) {
                return false;
            }
        } else if (on_file && !on_file(entry.info, folder, entry.name)) {
            return false;
        }
    }
    ancestors.pop_back();
    return true;
}

constexpr char kTempPrefix[] = ".pirn-tmp-";

// ".pirn-tmp-<process>-<n>-<target name>": the process lets a later run tell
// a leftover of a crashed save from a save still running.
std::string TempNameFor(const std::string& target) {
    static unsigned counter = 0;
    size_t start = FileNameStart(target);
    std::string folder = target.substr(0, start);
    std::string name = target.substr(start);
    // Keep the whole name within the usual 255-byte limit.
    if (name.size() > 180) name.resize(180);
    return folder + kTempPrefix + std::to_string(static_cast<long>(getpid())) + "-" +
           std::to_string(++counter) + "-" + name;
}

// Temporary files that a writer of this process holds right now.
std::mutex& LiveTempMutex() {
    static std::mutex mutex;
    return mutex;
}
std::set<std::string>& LiveTempFiles() {
    static std::set<std::string> files;
    return files;
}
void NoteLiveTemp(const std::string& path, bool live) {
    std::lock_guard<std::mutex> lock(LiveTempMutex());
    if (live)
        LiveTempFiles().insert(path);
    else
        LiveTempFiles().erase(path);
}
bool IsLiveTemp(const std::string& path) {
    std::lock_guard<std::mutex> lock(LiveTempMutex());
    return LiveTempFiles().count(path) != 0;
}

// The process number in a temporary file's name, or -1 for a name of an
// earlier form.
long TempFileProcess(const std::string& name) {
    if (name.compare(0, sizeof(kTempPrefix) - 1, kTempPrefix) != 0) return -1;
    size_t at = sizeof(kTempPrefix) - 1;
    long pid = 0;
    size_t digits = 0;
    while (at < name.size() && name[at] >= '0' && name[at] <= '9' && digits < 10) {
        pid = pid * 10 + (name[at++] - '0');
        ++digits;
    }
    return digits > 0 && at < name.size() && name[at] == '-' ? pid : -1;
}

bool IsStaleTempFile(const std::string& path, const std::string& name, const struct stat& st) {
    long pid = TempFileProcess(name);
    if (pid < 0) return std::time(nullptr) - st.st_mtime > 3600;
    if (pid == static_cast<long>(getpid())) return !IsLiveTemp(path);
#ifdef _WIN32
    return pid == 0 || !ProcessRuns(static_cast<unsigned long>(pid));
#else
    return pid == 0 || (kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH);
#endif
}

// The first save of this process into a folder first clears what
// interrupted saves left there, so that no folder the program writes into
// keeps them for ever, whichever path opened it.
void RemoveLeftoversOnFirstSave(const std::string& target) {
    static std::mutex mutex;
    static std::set<std::string> cleared;
    const std::string folder = target.substr(0, FileNameStart(target));
    std::lock_guard<std::mutex> lock(mutex);
    if (cleared.insert(folder).second) RemoveStaleSafeSaveFiles(folder);
}

bool ChangeDirectory(const std::string& path) {
#ifdef _WIN32
    return ::_wchdir(WidePath(path).c_str()) == 0;
#else
    return chdir(path.c_str()) == 0;
#endif
}

}  // namespace

bool SameFileState(const FileInfo& a, const FileInfo& b) {
    return a.flags == b.flags && a.size == b.size && a.modification_time == b.modification_time &&
           a.modification_nanoseconds == b.modification_nanoseconds &&
           a.status_change_time == b.status_change_time &&
           a.status_change_nanoseconds == b.status_change_nanoseconds && a.device == b.device &&
           a.inode == b.inode;
}

// --- Status and folders -----------------------------------------------------

bool StatPath(FileInfo* info, const std::string& path) {
    *info = FileInfo();
    if (path.empty()) return false;
#ifdef _WIN32
    return StatWindowsPath(WithoutTrailingSlash(path), info);
#else
    struct stat st;
    if (stat(WithoutTrailingSlash(path).c_str(), &st) != 0) return false;
    FillFileInfo(st, info);
    return true;
#endif
}

bool StatStream(FileInfo* info, std::FILE* stream) {
    *info = FileInfo();
    if (stream == nullptr) return false;
    int fd = fileno(stream);
    struct stat st;
    if (fd < 0 || fstat(fd, &st) != 0) return false;
#ifdef _WIN32
    // The C library's own record of how the stream was opened.
    if (stream->_flag & (_IOREAD | _IORW)) info->flags |= kFileReadable;
    if (stream->_flag & (_IOWRT | _IORW)) info->flags |= kFileWritable;
    info->size = static_cast<u64>(st.st_size);
    return true;
#else
    int mode = fcntl(fd, F_GETFL);
    if (mode < 0) return false;
    int access = mode & O_ACCMODE;
    if (access == O_RDONLY || access == O_RDWR) info->flags |= kFileReadable;
    if (access == O_WRONLY || access == O_RDWR) info->flags |= kFileWritable;
    info->size = static_cast<u64>(st.st_size);
    return true;
#endif
}

bool PathExists(const std::string& path, int kind) {
    if (path.empty()) return false;
    FileInfo info;
    if (!StatPath(&info, path)) return false;
    if (kind == kPathIsFile) return !info.IsFolder();
    if (kind == kPathIsFolder) return info.IsFolder();
    return true;
}

bool MakeDirectory(const std::string& path) {
    std::string full = WithoutTrailingSlash(path);
    if (full.empty()) return false;
    // Each prefix ending before a '/', then the whole path.
    for (size_t i = 1; i <= full.size(); ++i) {
        if (i < full.size() && full[i] != '/') continue;
        std::string prefix = full.substr(0, i);
        if (prefix.back() == '/') continue;  // "a//b"
#ifdef _WIN32
        // A drive ("C:") or a folder that is there already cannot be made.
        if (::_wmkdir(WidePath(prefix).c_str()) == 0) continue;
        FileInfo info;
        if (!StatPath(&info, prefix) || !info.IsFolder()) return false;
#else
        if (mkdir(prefix.c_str(), 0777) == 0) continue;
        if (errno != EEXIST) return false;
        struct stat st;
        if (stat(prefix.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
#endif
    }
    return true;
}

std::string MakeTemporaryFolder(const std::string& prefix) {
#ifdef _WIN32
    wchar_t folder[MAX_PATH + 1];
    DWORD length = GetTempPathW(MAX_PATH + 1, folder);
    if (length == 0 || length > MAX_PATH) return std::string();
    const std::string base = WithForwardSlashes(Utf8FromWide(folder));
    static unsigned counter = 0;
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        const std::string path = base + prefix + std::to_string(GetCurrentProcessId()) + "-" +
                                 std::to_string(GetTickCount()) + "-" + std::to_string(++counter);
        if (::_wmkdir(WidePath(path).c_str()) == 0) return path;
        if (errno != EEXIST) return std::string();
    }
    return std::string();
#else
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/" + prefix + "XXXXXX";
    if (mkdtemp(&pattern[0]) == nullptr) return std::string();
    return pattern;
#endif
}

void NormalizeDirectoryPath(std::string& path) {
    for (char& c : path) {
        if (c == '\\') {
            c = '/';
        } else if (std::strchr("*?<>|", c) != nullptr && c != '\0') {
            c = '_';
        }
    }
    // "" stays "" (the working folder) rather than becoming the root.
    if (!path.empty() && path.back() != '/') path.push_back('/');
}

std::string EnsureTrailingSlash(const std::string& path) {
    std::string out = WithForwardSlashes(path);
    if (!out.empty() && out.back() != '/') out.push_back('/');
    return out;
}

// --- Walking ----------------------------------------------------------------

bool IsIgnoredFolderEntryName(const std::string& name) {
    return EqualsIgnoringCase(name, ".ds_store") || EqualsIgnoringCase(name, "thumbs.db") ||
           EqualsIgnoringCase(name, "desktop.ini") || IsSafeSaveTempName(name);
}

bool WalkDirectory(const std::string& folder, bool recursive, const WalkCallback& on_file,
                   const WalkCallback& on_folder) {
    std::vector<std::pair<u64, u64>> ancestors;
    return WalkOne(EnsureTrailingSlash(folder), recursive, on_file, on_folder, ancestors);
}

size_t ListDirectoryFiles(const std::string& folder, std::vector<std::string>& files,
                          bool recursive, bool with_folder) {
    WalkDirectory(
        folder, recursive,
        [&](const FileInfo&, const std::string& where, const std::string& name) {
            files.push_back(with_folder ? where + name : name);
            return true;
        },
        WalkCallback());
    return files.size();
}

// --- Paths ------------------------------------------------------------------

std::string PathFileName(const std::string& path, bool cut_extension) {
    std::string name = path.substr(FileNameStart(path));
    if (cut_extension) {
        size_t dot = name.rfind('.');
        if (dot != std::string::npos) name.resize(dot);
    }
    return name;
}

void SplitPath(const std::string& path, std::string* folder, std::string* base_name,
               std::string* extension) {
    size_t sep = LastSeparator(path);
    size_t name_start = sep == std::string::npos ? 0 : sep + 1;
    size_t dot = path.rfind('.');
    if (dot != std::string::npos && dot < name_start) dot = std::string::npos;
    size_t base_end = dot == std::string::npos ? path.size() : dot;
    if (folder != nullptr && name_start > 0) *folder = path.substr(0, name_start);
    if (base_name != nullptr && base_end > name_start) {
        *base_name = path.substr(name_start, base_end - name_start);
    }
    if (extension != nullptr && dot != std::string::npos) *extension = path.substr(dot);
}

void SplitPathChars(const char* path, char* folder, size_t folder_size, char* base_name,
                    size_t base_name_size, char* extension, size_t extension_size) {
    std::string folder_text, base_text, extension_text;
    SplitPath(path != nullptr ? std::string(path) : std::string(), &folder_text, &base_text,
              &extension_text);
    if (!folder_text.empty()) CopyBounded(folder, folder_size, folder_text);
    if (!base_text.empty()) CopyBounded(base_name, base_name_size, base_text);
    if (!extension_text.empty()) CopyBounded(extension, extension_size, extension_text);
}

void SplitPathInTwo(const std::string& path, int mode, std::string* first, std::string* second) {
    std::string a, b;
    if (mode == kSplitFolderAndFileName) {
        size_t sep = LastSeparator(path);
        size_t name_start = sep == std::string::npos ? 0 : sep + 1;
        a = path.substr(0, name_start);
        b = path.substr(name_start);
    } else {
        size_t dot = ExtensionDot(path);
        a = dot == std::string::npos ? path : path.substr(0, dot);
        b = dot == std::string::npos ? std::string() : path.substr(dot);
    }
    if (first != nullptr) *first = a;
    if (second != nullptr) *second = b;
}

bool StripExtension(std::string& path, const std::string& extension) {
    size_t dot = ExtensionDot(path);
    if (dot == std::string::npos) return false;
    if (!extension.empty()) {
        std::string wanted = extension[0] == '.' ? extension : "." + extension;
        if (!EqualsIgnoringCase(path.substr(dot), wanted)) return false;
    }
    path.resize(dot);
    return true;
}

void AppendIfMissing(std::string& text, const std::string& addition) {
    if (text.find(addition) == std::string::npos) text += addition;
}

void AppendExtensionIfMissing(std::string& path, const std::string& extension) {
    if (extension.empty()) return;
    std::string name = path.substr(FileNameStart(path));
    if (name.size() >= extension.size() &&
        EqualsIgnoringCase(name.substr(name.size() - extension.size()), extension)) {
        return;
    }
    path += extension;
}

size_t FindLastChar(const std::string& text, char character, size_t position) {
    if (text.empty()) return std::string::npos;
    return text.rfind(character, position);
}

// --- Whole files and streams ------------------------------------------------

bool ReadFileBytes(const std::string& path, std::vector<u8>& bytes, bool add_nul) {
    bytes.clear();
    std::FILE* file = OpenFileStream(path, "rb");
    if (file == nullptr) return false;
    struct stat st;
    bool ok = fstat(fileno(file), &st) == 0 && !S_ISDIR(st.st_mode);
    if (ok && S_ISREG(st.st_mode)) {
        u64 size = static_cast<u64>(st.st_size);
        // The block must fit this build's address space (the 32-bit build).
        if (size >= static_cast<u64>(SIZE_MAX) / 2) ok = false;
        else bytes.reserve(static_cast<size_t>(size) + 1);
    }
    // Read to the end rather than trusting the size: the file may change.
    // The room reserved for the size (and one byte more, to meet the end)
    // is filled first; only a file that grew reads on in chunks.
    const size_t chunk = 1 << 16;
    while (ok) {
        size_t used = bytes.size();
        size_t want = bytes.capacity() > used ? bytes.capacity() - used : chunk;
        bytes.resize(used + want);
        size_t got = std::fread(bytes.data() + used, 1, want, file);
        bytes.resize(used + got);
        if (got < want) {
            ok = std::ferror(file) == 0;
            break;
        }
    }
    CloseFileStream(file);
    if (!ok) {
        bytes.clear();
        return false;
    }
    if (add_nul) bytes.push_back(0);
    return true;
}

bool ReadFileText(const std::string& path, std::string* text) {
    std::vector<u8> bytes;
    if (!ReadFileBytes(path, bytes, false)) return false;
    text->assign(bytes.begin(), bytes.end());
    return true;
}

bool ReopenFile(std::FILE** holder, const std::string& path, const char* mode) {
    if (*holder != nullptr) {
        CloseFileStream(*holder);
        *holder = nullptr;
    }
    *holder = OpenFileStream(path, mode);
    return *holder != nullptr;
}

size_t DecodeRleBytes(const u8* source, size_t source_size, u8* destination, size_t n) {
    size_t filled = 0;
    size_t used = 0;
    while (filled < n) {
        if (source_size - used < 2) return 0;
        u8 value = source[used];
        size_t run = static_cast<size_t>(source[used + 1]) + 1;
        used += 2;
        run = std::min(run, n - filled);
        std::memset(destination + filled, value, run);
        filled += run;
    }
    return used;
}

void EncodeRleBytes(const u8* source, size_t n, std::vector<u8>& out) {
    size_t i = 0;
    while (i < n) {
        u8 value = source[i];
        size_t run = 1;
        while (run < 256 && i + run < n && source[i + run] == value) ++run;
        out.push_back(value);
        out.push_back(static_cast<u8>(run - 1));
        i += run;
    }
}

size_t ReadRleBytes(std::FILE* stream, u8* destination, size_t n) {
    size_t filled = 0;
    size_t used = 0;
    while (filled < n) {
        u8 pair[2];
        if (std::fread(pair, 1, 2, stream) != 2) return 0;
        used += 2;
        size_t run = std::min(static_cast<size_t>(pair[1]) + 1, n - filled);
        std::memset(destination + filled, pair[0], run);
        filled += run;
    }
    return used;
}

size_t WriteRleBytes(std::FILE* stream, const u8* source, size_t n) {
    std::vector<u8> encoded;
    EncodeRleBytes(source, n, encoded);
    if (encoded.empty() || std::fwrite(encoded.data(), 1, encoded.size(), stream) != encoded.size()) return 0;
    return encoded.size();
}

// --- Working directory --------------------------------------------------------

bool PushDirectory(const std::string& path) {
    std::vector<std::string>& stack = DirectoryStack();
    if (stack.empty()) stack.push_back(CurrentDirectory());
    stack.push_back(path);
    return ChangeDirectory(path);
}

bool PushCurrentDirectory() { return PushDirectory(CurrentDirectory()); }

bool PopDirectory() {
    std::vector<std::string>& stack = DirectoryStack();
    if (stack.empty()) return false;
    if (stack.size() > 1) stack.pop_back();
    return ChangeDirectory(stack.back());
}

size_t DirectoryStackDepth() { return DirectoryStack().size(); }

// --- Renames and safe saving ----------------------------------------------------

bool RenameNoReplace(const std::string& from, const std::string& to) { return RenameFileNoReplace(from, to); }

bool IsSafeSaveTempName(const std::string& name) {
    return !name.empty() && name[0] == '.' && name.find(kTempPrefix) != std::string::npos;
}

size_t RemoveStaleSafeSaveFiles(const std::string& folder) {
    const std::string where = EnsureTrailingSlash(folder.empty() ? std::string(".") : folder);
    std::vector<std::string> stale;
#ifdef _WIN32
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileExW(WidePath(where + "*").c_str(), FindExInfoBasic, &found,
                                     FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) return 0;
    do {
        std::string name = Utf8FromWide(found.cFileName);
        if (!IsSafeSaveTempName(name) || (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
        struct stat st = {};
        i64 seconds = 0;
        u32 nanoseconds = 0;
        UnixTimeFromFileTime(found.ftLastWriteTime.dwLowDateTime, found.ftLastWriteTime.dwHighDateTime, &seconds,
                             &nanoseconds);
        st.st_mtime = static_cast<time_t>(seconds);
        if (IsStaleTempFile(where + name, name, st)) stale.push_back(where + name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
#else
    DIR* dir = opendir(where.c_str());
    if (dir == nullptr) return 0;
    while (struct dirent* item = readdir(dir)) {
        std::string name = item->d_name;
        if (!IsSafeSaveTempName(name)) continue;
        struct stat st;
        if (fstatat(dirfd(dir), item->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode)) continue;
        if (IsStaleTempFile(where + name, name, st)) stale.push_back(where + name);
    }
    closedir(dir);
#endif
    size_t removed = 0;
    for (const std::string& path : stale) removed += UnlinkFile(path) ? 1 : 0;
    return removed;
}

SafeFileWriter::~SafeFileWriter() { Abandon(); }

void SafeFileWriter::NoteFailure() {
    if (error_ == 0) error_ = errno != 0 ? errno : EIO;
}

std::string SafeFileWriter::FailureReason() const { return error_ ? std::strerror(error_) : std::string(); }

bool SafeFileWriter::Open(const std::string& target_path, bool readable) {
    Abandon();
    error_ = 0;
    if (target_path.empty() || IsSeparator(target_path.back())) {
        error_ = EINVAL;
        return false;
    }
    target_path_ = WithForwardSlashes(target_path);
    write_failed_ = false;
    finished_ = false;
    RemoveLeftoversOnFirstSave(target_path_);
    int fd = -1;
    for (unsigned attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        temp_path_ = TempNameFor(target_path_);
        // Held before it exists: a clean-up running meanwhile (another
        // thread's first save into this folder) must not take it for a
        // leftover.
        NoteLiveTemp(temp_path_, true);
        // 0666 through the umask, as a plain fopen would make it.
        fd = OpenFileDescriptor(temp_path_, (readable ? O_RDWR : O_WRONLY) | O_CREAT | O_EXCL, 0666);
        if (fd < 0) {
            const int error = errno;
            NoteLiveTemp(temp_path_, false);
            errno = error;
            if (error != EEXIST) break;
        }
    }
    if (fd < 0) {
        NoteFailure();
        temp_path_.clear();
        return false;
    }
#ifndef _WIN32
    // Windows has no mode bits to carry over.
    struct stat st;
    if (stat(target_path_.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
        fchmod(fd, st.st_mode & 07777);
    }
#endif
    stream_ = StreamFromDescriptor(fd, readable ? "w+b" : "wb", temp_path_);
    if (stream_ == nullptr) {
        NoteFailure();
        Abandon();
        return false;
    }
    return true;
}

bool SafeFileWriter::Write(const void* data, size_t size) {
    if (stream_ == nullptr) return false;
    if (size != 0 && std::fwrite(data, 1, size, stream_) != size) {
        NoteFailure();
        write_failed_ = true;
    }
    return !write_failed_;
}

bool SafeFileWriter::Finish() {
    if (finished_) return true;
    if (stream_ == nullptr) return false;
    errno = 0;
    bool ok = !write_failed_ && std::fflush(stream_) == 0 && std::ferror(stream_) == 0;
    // Make the bytes durable before the name points at them, so a crash
    // right after the rename cannot leave an empty file in place of the old.
    if (ok && sync_ && !SyncStream(stream_)) ok = false;
    if (!ok) NoteFailure();
    if (!CloseFileStream(stream_) && ok) {
        ok = false;
        NoteFailure();
    }
    stream_ = nullptr;
    finished_ = ok;
    return ok;
}

bool SafeFileWriter::Place(bool replace) {
    if (!finished_ || temp_path_.empty()) return false;
    bool ok = replace ? RenameFile(temp_path_, target_path_) : RenameNoReplace(temp_path_, target_path_);
    if (!ok) {
        NoteFailure();
        return false;
    }
    NoteLiveTemp(temp_path_, false);
    temp_path_.clear();
    return true;
}

bool SafeFileWriter::Commit(bool replace) {
    bool ok = Finish() && Place(replace);
    if (!ok) Abandon();
    return ok;
}

void SafeFileWriter::Abandon() {
    if (stream_ != nullptr) {
        CloseFileStream(stream_);
        stream_ = nullptr;
    }
    if (!temp_path_.empty()) {
        // A second try outlasts a passing failure; when the file still
        // cannot be removed, the next opening of its folder removes it
        // (RemoveStaleSafeSaveFiles).
        if (!UnlinkFile(temp_path_) && errno != ENOENT) UnlinkFile(temp_path_);
        NoteLiveTemp(temp_path_, false);
        temp_path_.clear();
    }
    finished_ = false;
}

bool WriteFileSafely(const std::string& path, const void* data, size_t size) {
    SafeFileWriter out;
    return out.Open(path) && out.Write(data, size) && out.Commit();
}

bool WriteFileSafely(const std::string& path, const std::string& text) {
    return WriteFileSafely(path, text.data(), text.size());
}

}  // namespace pirn
