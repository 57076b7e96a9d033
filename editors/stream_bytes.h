#pragma once
// How many bytes a tag stream still holds, so that readers check a length
// taken from a file against what is really there before allocating for it.

#include <cstdio>

#include "platform/types.h"

namespace pirn {

// Bytes from the stream's position to its end; 0 when it cannot be told.
// The position is left where it was.
u64 StreamBytesLeft(std::FILE* stream);

}  // namespace pirn
