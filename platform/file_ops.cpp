#include "platform/file_ops.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#ifdef _WIN32
#include <io.h>
#include <windows.h>

#include "platform/safe_file_name.h"
#include "platform/windows_files.h"
#endif

#include <cerrno>
#include <cstring>
#include <map>
#include <mutex>

namespace pirn {

namespace {

struct HookState {
    std::mutex mutex;
    FileFaultHook hook;
    bool installed = false;
    bool asking = false;  // the hook's own file work is not asked about again
};

HookState& Hook() {
    static HookState state;
    return state;
}

// 0, or the errno the hook wants this operation to fail with.
int AskHook(FileOp op, const std::string& what, bool changes_files = true) {
    HookState& state = Hook();
    if (!state.installed) return 0;
    std::lock_guard<std::mutex> lock(state.mutex);
    if (!state.hook || state.asking) return 0;
    state.asking = true;
    int error = state.hook(op, what, changes_files);
    state.asking = false;
    return error;
}

bool Refused(FileOp op, const std::string& what, bool changes_files = true) {
    if (int error = AskHook(op, what, changes_files)) {
        errno = error;
        return true;
    }
    return false;
}

// A stream made while a hook is installed: its own read, write, seek and
// close functions over the descriptor, so that the writes stdio passes to
// the system can be refused like any other operation. Windows has no such
// streams (fopencookie): there the hook sees opens, syncs, closes and
// renames, but not the single writes.
struct HookedFile {
    int fd;
    std::string path;
};

std::mutex& HookedMutex() {
    static std::mutex mutex;
    return mutex;
}
std::map<std::FILE*, HookedFile*>& HookedFiles() {
    static std::map<std::FILE*, HookedFile*> files;
    return files;
}

#ifndef _WIN32
ssize_t HookedRead(void* cookie, char* buffer, size_t size) {
    auto* file = static_cast<HookedFile*>(cookie);
    for (;;) {
        ssize_t got = ::read(file->fd, buffer, size);
        if (got >= 0 || errno != EINTR) return got;
    }
}

// A cookie's write answers the bytes it took, 0 on an error (errno set):
// glibc takes a negative answer for a count and walks its buffer pointers
// off the buffer.
ssize_t HookedWrite(void* cookie, const char* buffer, size_t size) {
    auto* file = static_cast<HookedFile*>(cookie);
    if (Refused(FileOp::kWrite, file->path)) return 0;
    size_t done = 0;
    while (done < size) {
        ssize_t wrote = ::write(file->fd, buffer + done, size - done);
        if (wrote < 0) {
            if (errno == EINTR) continue;
            break;
        }
        done += static_cast<size_t>(wrote);
    }
    return static_cast<ssize_t>(done);
}

int HookedSeek(void* cookie, off64_t* offset, int whence) {
    auto* file = static_cast<HookedFile*>(cookie);
    off64_t at = ::lseek64(file->fd, *offset, whence);
    if (at < 0) return -1;
    *offset = at;
    return 0;
}

int HookedClose(void* cookie) {
    auto* file = static_cast<HookedFile*>(cookie);
    int result = ::close(file->fd);
    delete file;
    return result;
}

#endif  // !_WIN32

bool ModeWrites(const char* mode) { return std::strpbrk(mode, "wa+") != nullptr; }

int OpenFlagsOfMode(const char* mode) {
    const bool plus = std::strchr(mode, '+') != nullptr;
    switch (mode[0]) {
    case 'r': return plus ? O_RDWR : O_RDONLY;
    case 'w': return (plus ? O_RDWR : O_WRONLY) | O_CREAT | O_TRUNC;
    case 'a': return (plus ? O_RDWR : O_WRONLY) | O_CREAT | O_APPEND;
    default: return -1;
    }
}

std::string Pair(const std::string& from, const std::string& to) { return from + " -> " + to; }

}  // namespace

const char* FileOpName(FileOp op) {
    switch (op) {
    case FileOp::kOpen: return "open";
    case FileOp::kWrite: return "write";
    case FileOp::kSync: return "fsync";
    case FileOp::kClose: return "close";
    case FileOp::kRename: return "rename";
    case FileOp::kRenameNoReplace: return "rename without replacing";
    case FileOp::kLink: return "link";
    case FileOp::kUnlink: return "unlink";
    }
    return "?";
}

void SetFileFaultHook(FileFaultHook hook) {
    HookState& state = Hook();
    std::lock_guard<std::mutex> lock(state.mutex);
    state.installed = static_cast<bool>(hook);
    state.hook = std::move(hook);
}

int OpenFileDescriptor(const std::string& path, int flags, unsigned mode) {
    if (Refused(FileOp::kOpen, path, (flags & (O_WRONLY | O_RDWR | O_CREAT | O_TRUNC)) != 0)) return -1;
#ifdef _WIN32
    // A name Windows takes for a device (a texture named "aux.png" in a
    // model, a path typed by hand) would open the device: no file can have
    // such a name there, so there is none to open.
    const size_t name_start = path.find_last_of("/\\:") + 1;
    if (IsWindowsDeviceName(path.substr(name_start))) {
        errno = ENOENT;
        return -1;
    }
    // CreateFileW rather than _wopen, for the sharing: a file held open
    // (an archive in the catalogue, a plugin read back before it takes its
    // name) can still be renamed, replaced and deleted, as on Linux.
    const int access_mode = flags & (O_RDONLY | O_WRONLY | O_RDWR);
    const DWORD access = access_mode == O_WRONLY ? GENERIC_WRITE
                         : access_mode == O_RDWR ? GENERIC_READ | GENERIC_WRITE
                                                 : GENERIC_READ;
    DWORD disposition = OPEN_EXISTING;
    if ((flags & O_CREAT) && (flags & O_EXCL))
        disposition = CREATE_NEW;
    else if ((flags & O_CREAT) && (flags & O_TRUNC))
        disposition = CREATE_ALWAYS;
    else if (flags & O_CREAT)
        disposition = OPEN_ALWAYS;
    else if (flags & O_TRUNC)
        disposition = TRUNCATE_EXISTING;
    const DWORD attributes = (mode & 0222) ? FILE_ATTRIBUTE_NORMAL : FILE_ATTRIBUTE_READONLY;
    HANDLE handle = CreateFileW(WidePath(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, disposition, attributes, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        SetErrnoFromLastError();
        return -1;
    }
    // Binary always (no _O_TEXT): text mode would rewrite line ends.
    const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(handle), flags & (O_APPEND | O_RDONLY));
    if (fd < 0) {
        CloseHandle(handle);
        errno = EMFILE;
    }
    return fd;
#else
    for (;;) {
        int fd = ::open(path.c_str(), flags | O_CLOEXEC, static_cast<mode_t>(mode));
        if (fd >= 0 || errno != EINTR) return fd;
    }
#endif
}

std::FILE* StreamFromDescriptor(int fd, const char* mode, const std::string& path) {
    if (fd < 0) return nullptr;
    std::FILE* stream = nullptr;
#ifdef _WIN32
    // Without 'b' the C library would take the stream for text.
    std::string binary = mode;
    if (binary.find('b') == std::string::npos) binary += 'b';
    stream = ::_fdopen(fd, binary.c_str());
    if (stream && Hook().installed && ModeWrites(mode)) {
        std::lock_guard<std::mutex> lock(HookedMutex());
        HookedFiles()[stream] = new HookedFile{fd, path};
    }
#else
    if (Hook().installed && ModeWrites(mode)) {
        auto* file = new HookedFile{fd, path};
        stream = fopencookie(file, mode, cookie_io_functions_t{HookedRead, HookedWrite, HookedSeek, HookedClose});
        if (stream) {
            std::lock_guard<std::mutex> lock(HookedMutex());
            HookedFiles()[stream] = file;
        } else {
            delete file;
        }
    } else {
        stream = ::fdopen(fd, mode);
    }
#endif
    if (!stream) {
        int error = errno;
        ::close(fd);
        errno = error;
    }
    return stream;
}

std::FILE* OpenFileStream(const std::string& path, const char* mode) {
    int flags = OpenFlagsOfMode(mode);
    if (flags < 0) {
        errno = EINVAL;
        return nullptr;
    }
    return StreamFromDescriptor(OpenFileDescriptor(path, flags), mode, path);
}

int StreamDescriptor(std::FILE* stream) {
    if (!stream) return -1;
    int fd = ::fileno(stream);
    if (fd >= 0) return fd;
    std::lock_guard<std::mutex> lock(HookedMutex());
    auto found = HookedFiles().find(stream);
    return found == HookedFiles().end() ? -1 : found->second->fd;
}

bool SyncStream(std::FILE* stream) {
#ifdef _WIN32
    // Without streams of our own, the bytes the stream still holds stand
    // for the writes it passes to the system now.
    if (stream && Hook().installed) {
        std::string written;
        {
            std::lock_guard<std::mutex> lock(HookedMutex());
            auto found = HookedFiles().find(stream);
            if (found != HookedFiles().end()) written = found->second->path;
        }
        if (!written.empty() && Refused(FileOp::kWrite, written)) return false;
    }
#endif
    if (!stream || std::fflush(stream) != 0) return false;
    int fd = StreamDescriptor(stream);
    if (fd < 0) return false;
    std::string path;
    {
        std::lock_guard<std::mutex> lock(HookedMutex());
        auto found = HookedFiles().find(stream);
        if (found != HookedFiles().end()) path = found->second->path;
    }
    if (Refused(FileOp::kSync, path)) return false;
#ifdef _WIN32
    if (FlushFileBuffers(reinterpret_cast<HANDLE>(::_get_osfhandle(fd)))) return true;
    SetErrnoFromLastError();
    return false;
#else
    return ::fsync(fd) == 0;
#endif
}

bool CloseFileStream(std::FILE* stream) {
    if (!stream) return false;
    std::string path;
    bool written = false;  // only streams that write are hooked
    {
        std::lock_guard<std::mutex> lock(HookedMutex());
        auto found = HookedFiles().find(stream);
        if (found != HookedFiles().end()) {
            path = found->second->path;
            written = true;
#ifdef _WIN32
            delete found->second;  // no cookie close to do it
#endif
            HookedFiles().erase(found);
        }
    }
    // A refused close still closes: the descriptor is gone either way, as it
    // is when close(2) reports a late write error.
#ifdef _WIN32
    // As in SyncStream: the last bytes go to the system now.
    int refused = written ? AskHook(FileOp::kWrite, path) : 0;
    if (!refused) refused = AskHook(FileOp::kClose, path, written);
#else
    const int refused = AskHook(FileOp::kClose, path, written);
#endif
    const bool closed = std::fclose(stream) == 0;
    if (refused) {
        errno = refused;
        return false;
    }
    return closed;
}

bool CloseFileDescriptor(int fd) {
    if (fd < 0) return false;
    const int refused = AskHook(FileOp::kClose, std::string(), false);
    const bool closed = ::close(fd) == 0;
    if (refused) {
        errno = refused;
        return false;
    }
    return closed;
}

bool RenameFile(const std::string& from, const std::string& to) {
    if (Refused(FileOp::kRename, Pair(from, to))) return false;
#ifdef _WIN32
    // rename() on Windows refuses an existing target; this replaces it in
    // one step, as rename(2) does.
    if (MoveFileExW(WidePath(from).c_str(), WidePath(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    SetErrnoFromLastError();
    return false;
#else
    return std::rename(from.c_str(), to.c_str()) == 0;
#endif
}

bool RenameFileNoReplace(const std::string& from, const std::string& to) {
    const int refused = AskHook(FileOp::kRenameNoReplace, Pair(from, to));
#ifdef _WIN32
    // Without MOVEFILE_REPLACE_EXISTING the move refuses an existing name
    // on every Windows file system, so there is no fallback to need.
    if (refused != 0) {
        errno = refused;
        return false;
    }
    if (MoveFileExW(WidePath(from).c_str(), WidePath(to).c_str(), MOVEFILE_WRITE_THROUGH)) return true;
    SetErrnoFromLastError();
    return false;
#else
    if (refused != 0) {
        errno = refused;
    } else if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS) return false;
    // File systems without RENAME_NOREPLACE: link() also refuses an
    // existing target. When the old name cannot be removed afterwards, the
    // new one goes again, so that nothing has changed.
    if (!LinkFile(from, to)) return false;
    if (UnlinkFile(from)) return true;
    int error = errno;
    UnlinkFile(to);
    errno = error;
    return false;
#endif
}

bool LinkFile(const std::string& from, const std::string& to) {
    if (Refused(FileOp::kLink, Pair(from, to))) return false;
#ifdef _WIN32
    if (CreateHardLinkW(WidePath(to).c_str(), WidePath(from).c_str(), nullptr)) return true;
    SetErrnoFromLastError();
    return false;
#else
    return ::link(from.c_str(), to.c_str()) == 0;
#endif
}

bool UnlinkFile(const std::string& path) {
    if (Refused(FileOp::kUnlink, path)) return false;
#ifdef _WIN32
    if (DeleteFileW(WidePath(path).c_str())) return true;
    SetErrnoFromLastError();
    return false;
#else
    return ::unlink(path.c_str()) == 0;
#endif
}

}  // namespace pirn
