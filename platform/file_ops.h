#pragma once
// The one place where the program opens, writes, syncs, closes, renames,
// links and unlinks files. Every save, and every file read while a save runs,
// goes through these calls, so that a test can make any single one of them
// fail the way a full disk (ENOSPC), a failing disk (EIO) or a refused
// permission (EACCES) would, and check that nothing saved before is lost or
// half-written (tests/fault_injection/).
//
// Without a hook the calls are the plain system calls.

#include <cstdio>
#include <functional>
#include <string>

#include "platform/types.h"

namespace pirn {

enum class FileOp : u8 { kOpen, kWrite, kSync, kClose, kRename, kRenameNoReplace, kLink, kUnlink };
const char* FileOpName(FileOp op);

// Asked before each operation, with the path it concerns ("from -> to" for a
// rename or link) and whether the operation changes what is on disk (opens
// for writing, writes, syncs, closes of written streams, renames, links and
// unlinks do; opens and closes for reading do not). Returns 0 to let the
// operation go on, or the errno it fails with instead. EINVAL for a
// kRenameNoReplace stands for a file system that cannot rename without
// replacing, on which the rename falls back to link and unlink. While a
// hook is installed, streams that write are made so that each write the
// stream passes to the system asks it too.
using FileFaultHook = std::function<int(FileOp op, const std::string& what, bool changes_files)>;
// An empty hook removes it.
void SetFileFaultHook(FileFaultHook hook);

// open(2) with O_CLOEXEC added; -1 with errno on failure.
int OpenFileDescriptor(const std::string& path, int flags, unsigned mode = 0666);
// fdopen(3) of a descriptor from OpenFileDescriptor; on failure the
// descriptor is closed. `path` names the file to the hook.
std::FILE* StreamFromDescriptor(int fd, const char* mode, const std::string& path);
// fopen(3).
std::FILE* OpenFileStream(const std::string& path, const char* mode);
// The descriptor under a stream made here (fileno does not know every kind).
int StreamDescriptor(std::FILE* stream);

// Flushes the stream and makes its bytes durable (fsync).
bool SyncStream(std::FILE* stream);
// fclose(3); false when it (or anything written before it) failed. The
// stream is gone either way.
bool CloseFileStream(std::FILE* stream);
bool CloseFileDescriptor(int fd);

// rename(2): replaces `to`.
bool RenameFile(const std::string& from, const std::string& to);
// Renames only when nothing has the name `to` (renameat2 RENAME_NOREPLACE;
// on file systems without it, link and unlink). False, with nothing
// changed, when `to` exists or the rename fails.
bool RenameFileNoReplace(const std::string& from, const std::string& to);
bool LinkFile(const std::string& from, const std::string& to);
bool UnlinkFile(const std::string& path);

}  // namespace pirn
