#ifdef _WIN32

#include "platform/windows_files.h"

#include <windows.h>

#include <cerrno>
#include <vector>

namespace pirn {

// Paths are byte strings here as on Linux, and not all of them are UTF-8: a
// tag name in the program's 8-bit set names its file. A byte outside a
// well-formed UTF-8 sequence goes to Windows as the private-use character
// U+F700 + byte and comes back as that byte, so every name survives the
// trip and two names never meet on one file (MultiByteToWideChar would turn
// both "\x9C" and "\x9D" into U+FFFD). The UTF-8 form of a character of
// that range is escaped byte by byte too, so it cannot pass for a byte.
// (Lone surrogates would do as escapes on NTFS, but Wine refuses them.)
namespace {

constexpr u32 kEscapeBase = 0xF700;

bool IsEscape(u32 code) { return code >= kEscapeBase + 0x80 && code <= kEscapeBase + 0xFF; }

}  // namespace

std::wstring WidePath(const std::string& utf8) {
    std::wstring wide;
    wide.reserve(utf8.size());
    const auto* bytes = reinterpret_cast<const unsigned char*>(utf8.data());
    const size_t size = utf8.size();
    size_t i = 0;
    while (i < size) {
        const u32 lead = bytes[i];
        size_t length = 1;
        u32 code = lead;
        u32 smallest = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2, code = lead & 0x1F, smallest = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3, code = lead & 0x0F, smallest = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4, code = lead & 0x07, smallest = 0x10000;
        }
        bool well_formed = lead < 0x80 || (length > 1 && size - i >= length);
        for (size_t k = 1; well_formed && k < length; ++k) {
            if ((bytes[i + k] & 0xC0) != 0x80) well_formed = false;
            code = code << 6 | (bytes[i + k] & 0x3F);
        }
        if (well_formed && length > 1)
            well_formed = code >= smallest && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF) && !IsEscape(code);
        if (!well_formed) {
            wide.push_back(static_cast<wchar_t>(kEscapeBase + lead));
            ++i;
            continue;
        }
        if (code >= 0x10000) {
            code -= 0x10000;
            wide.push_back(static_cast<wchar_t>(0xD800 + (code >> 10)));
            wide.push_back(static_cast<wchar_t>(0xDC00 + (code & 0x3FF)));
        } else {
            wide.push_back(static_cast<wchar_t>(code));
        }
        i += length;
    }
    return wide;
}

// The inverse of WidePath. A lone surrogate (only another program can make
// one) has no UTF-8 form and reads as U+FFFD, as Windows' own conversion
// reads it.
std::string Utf8FromWide(const wchar_t* wide) {
    std::string utf8;
    if (wide == nullptr) return utf8;
    for (size_t i = 0; wide[i] != 0; ++i) {
        u32 code = static_cast<u16>(wide[i]);
        if (code >= 0xD800 && code <= 0xDBFF && wide[i + 1] >= 0xDC00 && wide[i + 1] <= 0xDFFF) {
            code = 0x10000 + ((code - 0xD800) << 10) + (static_cast<u16>(wide[i + 1]) - 0xDC00);
            ++i;
        } else if (IsEscape(code)) {
            utf8.push_back(static_cast<char>(code - kEscapeBase));
            continue;
        } else if (code >= 0xD800 && code <= 0xDFFF) {
            code = 0xFFFD;
        }
        if (code < 0x80) {
            utf8.push_back(static_cast<char>(code));
        } else if (code < 0x800) {
            utf8.push_back(static_cast<char>(0xC0 | code >> 6));
            utf8.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else if (code < 0x10000) {
            utf8.push_back(static_cast<char>(0xE0 | code >> 12));
            utf8.push_back(static_cast<char>(0x80 | (code >> 6 & 0x3F)));
            utf8.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        } else {
            utf8.push_back(static_cast<char>(0xF0 | code >> 18));
            utf8.push_back(static_cast<char>(0x80 | (code >> 12 & 0x3F)));
            utf8.push_back(static_cast<char>(0x80 | (code >> 6 & 0x3F)));
            utf8.push_back(static_cast<char>(0x80 | (code & 0x3F)));
        }
    }
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
