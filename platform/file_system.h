#pragma once
// Thin, uniform access to the file system: status records, folders, walks,
// path helpers, whole-file reads, the working-directory stack, the byte
// run-length codec of the tag formats, and safe saving through a temporary
// file that is renamed into place only when everything was written.
//
// Paths are byte strings with '/' as the separator; '\' is accepted on input.

#include <cstddef>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "platform/types.h"

namespace pirn {

enum FileInfoFlags : u32 {
    kFileReadable = 1,
    kFileWritable = 2,
    kFileIsFolder = 4,
};

// All zero when the path cannot be examined. Times are seconds since the
// epoch; the nanosecond parts let the folder watcher see two writes within
// the same second.
struct FileInfo {
    u32 flags = 0;
    u64 size = 0;  // 64-bit: tag archives and images may pass 4 GiB
    i64 access_time = 0;
    i64 modification_time = 0;
    i64 status_change_time = 0;
    u32 modification_nanoseconds = 0;
    u32 status_change_nanoseconds = 0;
    // Which file it is: a file replaced through a rename (every save here
    // goes through a temporary file) is another file even when its size and
    // times match, as they can within one coarse timestamp tick.
    u64 device = 0;
    u64 inode = 0;

    bool IsFolder() const { return (flags & kFileIsFolder) != 0; }
};

// True when flags, size, modification and status-change times (with their
// nanoseconds), device and inode are equal. Access time is left out:
// reading a file is not a change.
bool SameFileState(const FileInfo& a, const FileInfo& b);

// --- Status and folders -----------------------------------------------------

// 1 and info filled, or 0 with info zeroed when the path cannot be examined.
bool StatPath(FileInfo* info, const std::string& path);
// The stream's own access (readable/writable bits) and its size; the other
// fields stay zero.
bool StatStream(FileInfo* info, std::FILE* stream);

enum PathKind : int {
    kPathIsFile = 0,    // exists and is not a folder
    kPathIsFolder = 1,  // exists and is a folder
    kPathAnyKind = 2,   // exists
};
// False for an empty path; a final '/' is ignored.
bool PathExists(const std::string& path, int kind);

// Creates the folder and any missing parents. True when the folder exists
// afterwards; false when a plain file (or anything not a folder) already has
// one of the names, or creation fails.
bool MakeDirectory(const std::string& path);
// Makes a new, empty folder named prefix + a unique ending in the system's
// folder for temporary files ($TMPDIR or /tmp; on Windows the user's
// temporary folder). Its path, or "" when none can be made.
std::string MakeTemporaryFolder(const std::string& prefix);

// In place: '\' becomes '/', each of "*?<>|" becomes '_', and a '/' is
// appended unless the path already ends with one ("" stays ""). Meant for names the
// program makes itself; a folder the user chose may legitimately hold those
// characters on this system, so the walk and the existence test use only
// EnsureTrailingSlash.
void NormalizeDirectoryPath(std::string& path);
// '\' becomes '/' and a final '/' is added when missing ("" stays "").
std::string EnsureTrailingSlash(const std::string& path);

// --- Walking ----------------------------------------------------------------

// Receives the entry's status, the folder path (ending in '/') and the entry
// name; returns true to go on, false to stop the whole walk.
using WalkCallback =
    std::function<bool(const FileInfo& info, const std::string& folder, const std::string& name)>;

// Visits the entries in the order the system lists them, skipping "." and
// "..", the desktop clutter files (".DS_Store", "Thumbs.db", "desktop.ini",
// any case), leftovers of interrupted safe saves and entries that cannot be
// examined. Folders go to on_folder and then, when recursive, are walked the
// same way (a folder already on the current path, reached through a link, is
// reported but not entered again). A missing callback means "go on". A
// folder that cannot be opened counts as empty. Returns false only when a
// callback stopped the walk.
bool WalkDirectory(const std::string& folder, bool recursive, const WalkCallback& on_file,
                   const WalkCallback& on_folder);

// Appends every file (not folders) as a bare name, or as folder path + name
// when with_folder is set; returns the list's new count.
size_t ListDirectoryFiles(const std::string& folder, std::vector<std::string>& files,
                          bool recursive, bool with_folder);

// True for the names WalkDirectory and the folder watcher never report.
bool IsIgnoredFolderEntryName(const std::string& name);

// --- Paths ------------------------------------------------------------------

// The part after the last '/' or '\' (and after a leading "X:" drive), cut at
// its last '.' when asked.
std::string PathFileName(const std::string& path, bool cut_extension);

// folder keeps its final separator; extension keeps its dot and is taken
// from the last '.' after the last separator. An output is written only
// when that part is non-empty; any output may be null.
void SplitPath(const std::string& path, std::string* folder, std::string* base_name,
               std::string* extension);
// The same into caller buffers of the given sizes (cut to fit, always
// NUL-terminated); a null buffer or a zero size is skipped.
void SplitPathChars(const char* path, char* folder, size_t folder_size, char* base_name,
                    size_t base_name_size, char* extension, size_t extension_size);

enum SplitMode : int {
    kSplitFolderAndFileName = 0,       // "a/b/" and "c.txt"
    kSplitStemAndExtension = 1,        // "a/b/c" and ".txt"
};
// Both outputs are always written (possibly empty).
void SplitPathInTwo(const std::string& path, int mode, std::string* first, std::string* second);

// Cuts the path at its last '.' (only within the file name). With a
// non-empty extension (with or without its dot) only when the text there
// equals it, ignoring case. Returns whether anything was cut.
bool StripExtension(std::string& path, const std::string& extension = std::string());

// Appends text unless the string already holds it anywhere.
void AppendIfMissing(std::string& text, const std::string& addition);
// Appends extension (with its dot) unless the file name already ends with
// it, ignoring case. Unlike AppendIfMissing, "x.pngs/pic" gets ".png".
void AppendExtensionIfMissing(std::string& path, const std::string& extension);

// Last index at or before position holding the character, or npos.
size_t FindLastChar(const std::string& text, char character, size_t position = std::string::npos);

// --- Whole files and streams ------------------------------------------------

// The whole file as text (std::string keeps a NUL after it). False when the
// file cannot be opened or fully read; an empty file reads as "".
bool ReadFileText(const std::string& path, std::string* text);
// The whole file; the count becomes the file size, plus one NUL byte when
// add_nul is set.
bool ReadFileBytes(const std::string& path, std::vector<u8>& bytes, bool add_nul);

// Closes the holder's stream if any and opens path with mode into it.
bool ReopenFile(std::FILE** holder, const std::string& path, const char* mode);

// Byte run-length codec: pairs of (value, run length - 1), so one pair
// covers 1 to 256 equal bytes. Every helper answers with the encoded bytes
// it used, and 0 means failure: a block always takes at least one pair, so
// "consumed nothing" can only be a short read, a failed write, or n = 0
// (callers with an empty block have nothing to read and skip the call).
// Reads pairs until n bytes are filled (a run past n fills only up to n).
// 0 on a short read.
size_t ReadRleBytes(std::FILE* stream, u8* destination, size_t n);
// Writes maximal runs; 0 when a write failed.
size_t WriteRleBytes(std::FILE* stream, const u8* source, size_t n);
// The same on memory: decodes from source (of source_size bytes); 0 when
// the source ends too early.
size_t DecodeRleBytes(const u8* source, size_t source_size, u8* destination, size_t n);
void EncodeRleBytes(const u8* source, size_t n, std::vector<u8>& out);

// --- Working directory --------------------------------------------------------

// The first push records the current working directory as the bottom entry.
// Returns whether the new directory could be entered (it is pushed either
// way, so pushes and pops stay paired).
bool PushDirectory(const std::string& path);
bool PushCurrentDirectory();
// Removes the top entry unless only the bottom one is left, then makes the
// (new) top entry the working directory.
bool PopDirectory();
// The stack's depth, bottom entry included (0 before the first push).
size_t DirectoryStackDepth();

// --- Renames and safe saving ----------------------------------------------------

// Renames without replacing: false (and nothing changed) when `to` exists.
bool RenameNoReplace(const std::string& from, const std::string& to);

// True for names of our temporary files (".pirn-tmp-<process>-<n>-<name>",
// and the forms of earlier versions), which every scan skips so that they
// are never taken for tags or archives.
bool IsSafeSaveTempName(const std::string& name);

// Removes the temporary files an interrupted save left in the folder (not
// its subfolders): those of processes that no longer run, those of this
// process that no writer holds, and those of earlier versions older than an
// hour. Returns how many went. Folders are cleaned when they are opened, and
// SafeFileWriter cleans each folder at its process's first save there.
size_t RemoveStaleSafeSaveFiles(const std::string& folder);

// Writes a file through a temporary file beside it (in the target's own
// folder, so that the final rename never crosses file systems). Nothing at
// the target changes until Commit (or Place) succeeds; destroying the writer
// without a successful Commit removes the temporary file and leaves the old
// target as it was.
//
//   SafeFileWriter out;
//   if (!out.Open(path)) return false;
//   ... fwrite(..., out.stream()) ...
//   return out.Commit();
class SafeFileWriter {
public:
    SafeFileWriter() = default;
    ~SafeFileWriter();
    SafeFileWriter(const SafeFileWriter&) = delete;
    SafeFileWriter& operator=(const SafeFileWriter&) = delete;

    // Creates the temporary file in the target's folder, open for writing
    // (and reading back, when asked). The finished file gets the target's
    // permission bits when the target exists.
    bool Open(const std::string& target_path, bool readable = false);
    std::FILE* stream() const { return stream_; }
    // Shorthand for fwrite of the whole block; a short write makes Commit
    // fail.
    bool Write(const void* data, size_t size);
    // Bulk writers of many small files that a crash may lose (generators,
    // tests) can skip the sync to disk before the rename.
    void set_sync(bool sync) { sync_ = sync; }

    // Flushes, syncs and closes the temporary file. False when a write, the
    // sync or the close failed; the temporary file then waits for Abandon.
    bool Finish();
    // Gives the finished temporary file the target's name: replacing the
    // target, or (replace false) only when nothing has that name. False
    // when the rename failed; the temporary file then waits for Abandon.
    bool Place(bool replace = true);
    // Finish and Place; on failure the temporary file is removed.
    bool Commit(bool replace = true);
    // Gives up: removes the temporary file. Safe to call more than once.
    void Abandon();

    const std::string& temp_path() const { return temp_path_; }
    const std::string& target_path() const { return target_path_; }
    // Why the first failing step failed (the system's words), for log lines;
    // empty while nothing failed.
    std::string FailureReason() const;

private:
    void NoteFailure();

    std::FILE* stream_ = nullptr;
    std::string temp_path_;
    std::string target_path_;
    bool write_failed_ = false;
    bool finished_ = false;
    bool sync_ = true;
    int error_ = 0;
};

// Whole-block convenience over SafeFileWriter.
bool WriteFileSafely(const std::string& path, const void* data, size_t size);
bool WriteFileSafely(const std::string& path, const std::string& text);

}  // namespace pirn
