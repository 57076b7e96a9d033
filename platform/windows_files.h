#pragma once
// Windows only: the pieces the file layer needs to speak to Windows. Paths
// in the program are UTF-8 byte strings with '/'; Windows takes UTF-16, so
// every call that names a file goes through WidePath, and never through the
// narrow (code page) calls, which cannot name most non-ASCII files.
#ifdef _WIN32

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

// True while a process of that number runs.
bool ProcessRuns(unsigned long process_id);

}  // namespace pirn

#endif  // _WIN32
