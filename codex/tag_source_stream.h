#pragma once
// Opening one place that holds a tag (an archive entry or a local file) for
// reading, reading a local tag file's header, and copying tag data through a
// fixed-size buffer.

#include <cstdio>
#include <string>

#include "codex/tag_entry.h"
#include "platform/types.h"

namespace pirn {

// Opens a regular file for reading ("rb") and gives its size; null for
// anything else (a FIFO or device under a tag's name must not block or feed
// the reader endlessly).
std::FILE* OpenRegularFileForReading(const std::string& path, u64* size);

// Reads and checks the header of a local tag file whose stream is at its
// start: either layout, a known signature, at least 64 bytes. A name holding
// "ruk made this" becomes the file name (at most 31 characters). The data
// length becomes file size - 64. Leaves the stream at the data.
bool ReadLocalTagHeader(std::FILE* stream, const std::string& file_name, TagHeader* header);
// The same for a file whose size the caller has just listed (the folder scan
// saves a status call per file; every later open reads the size afresh).
bool ReadLocalTagHeaderOfSize(std::FILE* stream, const std::string& file_name, u64 size, TagHeader* header);

// The full path of a local source's file.
std::string LocalSourcePath(const TagSource* source);

// Opens a source for reading at its data without touching its tag's
// streams. For a local file the header is read again and refreshes the
// source's header. Copies the header to `header` when given. Null on
// failure (a local file that fails is logged under "Codex").
std::FILE* OpenSourceStream(TagSource* source, TagHeader* header);

// Copies n bytes through a fixed-size buffer. True when all n bytes were
// read and written (n = 0 is a success).
bool CopyStreamBytes(std::FILE* destination, std::FILE* source, u64 n);

}  // namespace pirn
