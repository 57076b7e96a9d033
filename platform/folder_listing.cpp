#include "platform/folder_listing.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/windows_files.h"
#else
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cerrno>

namespace pirn {

#ifdef _WIN32

bool ListFolderEntries(const std::string& folder, std::vector<ListedEntry>& entries,
                       FolderIdentity* identity) {
    entries.clear();
    std::string path = folder.empty() ? std::string("./") : folder;
    if (path.back() != '/' && path.back() != '\\') path.push_back('/');
    if (identity != nullptr) {
        FileInfo info;
        if (StatWindowsPath(path, &info)) {
            identity->device = info.device;
            identity->inode = info.inode;
        }
    }
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileExW(WidePath(path + "*").c_str(), FindExInfoBasic, &found, FindExSearchNameMatch,
                                     nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE) {
        // An empty drive root lists nothing but is no failure.
        return GetLastError() == ERROR_FILE_NOT_FOUND;
    }
    bool ok = true;
    do {
        std::string name = Utf8FromWide(found.cFileName);
        if (name.empty() || name == "." || name == ".." || IsIgnoredFolderEntryName(name)) continue;
        ListedEntry entry;
        // Everything but the identity, which only folders need (the walk
        // uses it to stop at a folder it is already in).
        FillFileInfoFromWindows(found, &entry.info);
        if (entry.info.IsFolder()) {
            FileInfo own;
            if (!StatWindowsPath(path + name, &own)) continue;  // vanished or a broken link
            entry.device = own.device;
            entry.inode = own.inode;
        }
        entry.name = std::move(name);
        entries.push_back(std::move(entry));
    } while (FindNextFileW(search, &found));
    if (GetLastError() != ERROR_NO_MORE_FILES) ok = false;
    FindClose(search);
    if (!ok) entries.clear();
    return ok;
}

#else  // !_WIN32

namespace {

bool InGroup(gid_t gid) {
    if (gid == getegid()) return true;
    // Supplementary groups do not change while the program runs.
    static const std::vector<gid_t> groups = [] {
        std::vector<gid_t> list;
        int n = getgroups(0, nullptr);
        if (n > 0) {
            list.resize(static_cast<size_t>(n));
            n = getgroups(n, list.data());
            list.resize(n > 0 ? static_cast<size_t>(n) : 0);
        }
        return list;
    }();
    return std::find(groups.begin(), groups.end(), gid) != groups.end();
}

}  // namespace

void FillFileInfo(const struct stat& st, FileInfo* info) {
    *info = FileInfo();
    bool readable, writable;
    // The program never changes its user while it runs.
    static const uid_t user = geteuid();
    if (user == 0) {
        readable = writable = true;
    } else if (st.st_uid == user) {
        readable = (st.st_mode & S_IRUSR) != 0;
        writable = (st.st_mode & S_IWUSR) != 0;
    } else if (InGroup(st.st_gid)) {
        readable = (st.st_mode & S_IRGRP) != 0;
        writable = (st.st_mode & S_IWGRP) != 0;
    } else {
        readable = (st.st_mode & S_IROTH) != 0;
        writable = (st.st_mode & S_IWOTH) != 0;
    }
    if (readable) info->flags |= kFileReadable;
    if (writable) info->flags |= kFileWritable;
    if (S_ISDIR(st.st_mode)) info->flags |= kFileIsFolder;
    info->size = S_ISDIR(st.st_mode) ? 0 : static_cast<u64>(st.st_size);
    info->access_time = static_cast<i64>(st.st_atim.tv_sec);
    info->modification_time = static_cast<i64>(st.st_mtim.tv_sec);
    info->modification_nanoseconds = static_cast<u32>(st.st_mtim.tv_nsec);
    info->status_change_time = static_cast<i64>(st.st_ctim.tv_sec);
    info->status_change_nanoseconds = static_cast<u32>(st.st_ctim.tv_nsec);
    info->device = static_cast<u64>(st.st_dev);
    info->inode = static_cast<u64>(st.st_ino);
}

bool ListFolderEntries(const std::string& folder, std::vector<ListedEntry>& entries,
                       FolderIdentity* identity) {
    entries.clear();
    std::string path = folder.empty() ? std::string(".") : folder;
    DIR* dir = opendir(path.c_str());
    if (dir == nullptr) return false;
    int dir_fd = dirfd(dir);
    if (identity != nullptr) {
        struct stat st;
        if (fstat(dir_fd, &st) == 0) {
            identity->device = static_cast<u64>(st.st_dev);
            identity->inode = static_cast<u64>(st.st_ino);
        }
    }
    bool ok = true;
    for (;;) {
        errno = 0;
        struct dirent* item = readdir(dir);
        if (item == nullptr) {
            ok = errno == 0;
            break;
        }
        std::string name = item->d_name;
        if (name == "." || name == ".." || IsIgnoredFolderEntryName(name)) continue;
        struct stat st;
        if (fstatat(dir_fd, item->d_name, &st, 0) != 0) continue;  // vanished or a broken link
        ListedEntry entry;
        entry.name = std::move(name);
        FillFileInfo(st, &entry.info);
        entry.device = static_cast<u64>(st.st_dev);
        entry.inode = static_cast<u64>(st.st_ino);
        entries.push_back(std::move(entry));
    }
    closedir(dir);
    if (!ok) entries.clear();
    return ok;
}

#endif  // !_WIN32

}  // namespace pirn
