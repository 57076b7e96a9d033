#ifdef _WIN32

#include "platform/windows_files.h"

#include <windows.h>

#include <cerrno>
#include <vector>

namespace pirn {

std::wstring WidePath(const std::string& utf8) {
    if (utf8.empty()) return std::wstring();
    const int size = static_cast<int>(utf8.size());
    int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    if (length <= 0) {
        // Not UTF-8: take the bytes as Latin-1 rather than losing the name.
        return std::wstring(utf8.begin(), utf8.end());
    }
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, &wide[0], length);
    return wide;
}

std::string Utf8FromWide(const wchar_t* wide) {
    if (wide == nullptr || *wide == 0) return std::string();
    int length = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 1) return std::string();
    std::string utf8(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, &utf8[0], length, nullptr, nullptr);
    utf8.resize(static_cast<size_t>(length - 1));
    return utf8;
}

int ErrnoFromWindowsError(unsigned long error) {
    switch (error) {
    case ERROR_SUCCESS: return 0;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_DIRECTORY: return ENOENT;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return EEXIST;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
    case ERROR_CURRENT_DIRECTORY: return EACCES;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return ENOSPC;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY: return ENOMEM;
    case ERROR_INVALID_HANDLE: return EBADF;
    case ERROR_FILENAME_EXCED_RANGE: return ENAMETOOLONG;
    case ERROR_DIR_NOT_EMPTY: return ENOTEMPTY;
    case ERROR_NOT_SAME_DEVICE: return EXDEV;
    case ERROR_TOO_MANY_OPEN_FILES: return EMFILE;
    case ERROR_INVALID_NAME:
    case ERROR_INVALID_PARAMETER:
    case ERROR_NEGATIVE_SEEK: return EINVAL;
    case ERROR_NOT_SUPPORTED:
    case ERROR_CALL_NOT_IMPLEMENTED: return ENOSYS;
    default: return EIO;
    }
}

void SetErrnoFromLastError() { errno = ErrnoFromWindowsError(GetLastError()); }

void UnixTimeFromFileTime(u32 low, u32 high, i64* seconds, u32* nanoseconds) {
    constexpr i64 kTicksPerSecond = 10000000;
    constexpr i64 kUnixEpochTicks = 116444736000000000LL;  // 1970-01-01 in 1601 ticks
    const i64 ticks = static_cast<i64>((static_cast<u64>(high) << 32) | low) - kUnixEpochTicks;
    i64 whole = ticks / kTicksPerSecond;
    i64 rest = ticks % kTicksPerSecond;
    if (rest < 0) {
        rest += kTicksPerSecond;
        --whole;
    }
    *seconds = whole;
    *nanoseconds = static_cast<u32>(rest * 100);
}

bool StatWindowsPath(const std::string& path, FileInfo* info) {
    *info = FileInfo();
    // No access rights asked: only the status is read, and it is read even
    // from files others hold open. Folders need backup semantics to open.
    HANDLE handle = CreateFileW(WidePath(path).c_str(), FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION data;
    const bool ok = GetFileInformationByHandle(handle, &data) != 0;
    CloseHandle(handle);
    if (!ok) return false;
    FillFileInfoFromWindows(data, info);
    info->device = data.dwVolumeSerialNumber;
    info->inode = (static_cast<u64>(data.nFileIndexHigh) << 32) | data.nFileIndexLow;
    return true;
}

bool ProcessRuns(unsigned long process_id) {
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process_id);
    if (process == nullptr) return GetLastError() == ERROR_ACCESS_DENIED;  // runs, but not ours
    DWORD code = 0;
    const bool running = GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
    CloseHandle(process);
    return running;
}

}  // namespace pirn

#endif  // _WIN32
