#pragma once
// Windows only: the pieces the file layer needs to speak to Windows. Paths
// in the program are UTF-8 byte strings with '/'; Windows takes UTF-16, so
// every call that names a file goes through WidePath, and never through the
// narrow (code page) calls, which cannot name most non-ASCII files.
#ifdef _WIN32

#include <windows.h>

#include <string>

#include "platform/file_system.h"
#include "platform/types.h"

namespace pirn {

// A path and its UTF-16 form, both ways without loss: bytes that are not
// UTF-8 (tag names in the program's 8-bit set) travel as private-use
// characters.
std::wstring WidePath(const std::string& utf8);
std::string Utf8FromWide(const wchar_t* wide);

// The errno that stands for a GetLastError() value, for callers that
// report errno (the fault seam's callers, SafeFileWriter).
int ErrnoFromWindowsError(unsigned long error);
// Sets errno from GetLastError().
void SetErrnoFromLastError();

// Status through a handle: attributes, size, times, and the volume serial
// and file index as device and inode. Folders too. False when the path
// cannot be examined.
bool StatWindowsPath(const std::string& path, FileInfo* info);

// A FILETIME (100 ns ticks since 1601) as Unix seconds and nanoseconds.
void UnixTimeFromFileTime(u32 low, u32 high, i64* seconds, u32* nanoseconds);

// Flags, size and times of `info` from what Windows keeps of a file: the
// find data of a folder listing and a handle's information share these
// fields. Windows keeps no status-change time; the creation time stands for
// it, as it is what a save through a temporary file and a rename changes.
template <typename WindowsFileRecord>
void FillFileInfoFromWindows(const WindowsFileRecord& data, FileInfo* info) {
    const bool folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    info->flags = kFileReadable;
    // The read-only attribute of a folder does not stop writing into it.
    if (folder || !(data.dwFileAttributes & FILE_ATTRIBUTE_READONLY)) info->flags |= kFileWritable;
    if (folder) info->flags |= kFileIsFolder;
    info->size = folder ? 0 : (static_cast<u64>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    u32 unused = 0;
    UnixTimeFromFileTime(data.ftLastAccessTime.dwLowDateTime, data.ftLastAccessTime.dwHighDateTime,
                         &info->access_time, &unused);
    UnixTimeFromFileTime(data.ftLastWriteTime.dwLowDateTime, data.ftLastWriteTime.dwHighDateTime,
                         &info->modification_time, &info->modification_nanoseconds);
    UnixTimeFromFileTime(data.ftCreationTime.dwLowDateTime, data.ftCreationTime.dwHighDateTime,
                         &info->status_change_time, &info->status_change_nanoseconds);
}

// True while a process of that number runs.
bool ProcessRuns(unsigned long process_id);

}  // namespace pirn

#endif  // _WIN32
