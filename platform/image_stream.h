#pragma once
// Checked stdio helpers shared by the image codecs: whole reads and writes
// (a short one is an error) and 64-bit positions.

#include <cstdio>

#include "platform/types.h"

namespace pirn {

bool ReadExact(std::FILE* stream, void* buffer, size_t bytes);
bool WriteExact(std::FILE* stream, const void* buffer, size_t bytes);
bool SeekStream(std::FILE* stream, u64 position);
bool TellStream(std::FILE* stream, u64* position);
// Size of the stream in bytes; the position is left where it was.
bool StreamSize(std::FILE* stream, u64* size);

}  // namespace pirn
