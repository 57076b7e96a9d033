#pragma once
// Streams that the image codecs (which read and write stdio streams) use
// for bytes held in memory: the clipboard's pictures and decoded bytes.
// Memory streams where the C library has them (Linux); elsewhere a
// temporary file that is deleted when closed.

#include <cstdio>
#include <functional>
#include <vector>

#include "platform/types.h"

namespace pirn {

// A stream reading a copy of (or, on Linux, directly) the bytes, which must
// outlive it. Null when size is 0 or no stream can be made.
std::FILE* OpenBytesForReading(const u8* bytes, size_t size);

// Runs write on a fresh stream and, when it returns true, gives what it
// wrote. False when write fails or the bytes cannot be read back.
bool CaptureWrittenBytes(const std::function<bool(std::FILE*)>& write, std::vector<u8>* bytes);
// The same through a real temporary file, for writers that seek back and
// read what they wrote (libtiff).
bool CaptureWrittenBytesInScratchFile(const std::function<bool(std::FILE*)>& write, std::vector<u8>* bytes);

// A read-write temporary file that goes when closed (std::tmpfile() writes
// into the root of the drive on Windows, where users may not write).
std::FILE* OpenScratchFile();

}  // namespace pirn
