#pragma once
// The demo generator's name for the shared fixture writer
// (tools/fixture_bytes/big_endian_buffer.h).

#include "tools/fixture_bytes/big_endian_buffer.h"

namespace pirn::demo {

using BigEndianBuffer = fixture::BigEndianBuffer;

}  // namespace pirn::demo
