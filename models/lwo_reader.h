#pragma once
// Reading LightWave object files (LWO2 and the older LWOB) into an LwoObject,
// with everything the file leaves implicit derived: bounding boxes, polygon
// and vertex normals, the polygons of every point, the surface of every
// polygon and the vertex-map values of points and polygon corners.
//
// Every index, count and string is checked against its chunk and against
// what it refers to; a file that fails any check is refused whole.

#include <memory>
#include <string>

#include "models/lwo_object.h"
#include "platform/types.h"

namespace pirn {

// Where a read failed: the four-character id of the chunk being read (the
// form's own id, 'FORM', while the header is read), the file offset reached
// and what was wrong. A file that is not a FORM of type LWO2 or LWOB fails
// at position 12.
struct LwoReadFailure {
    u32 chunk = 0;
    u32 position = 0;
    std::string reason;
};

// Null on failure, with the failure ID and position stored through the
// outputs (either may be null).
std::unique_ptr<LwoObject> LwoReadObject(const std::string& path, u32* failure_id, u32* failure_position);
// The same for LWOB files (LwoReadObject hands them over by itself).
std::unique_ptr<LwoObject> LwoReadObjectV1(const std::string& path, u32* failure_id, u32* failure_position);

// The same with the reason kept, from a file or from bytes in memory.
std::unique_ptr<LwoObject> LwoReadObjectFile(const std::string& path, LwoReadFailure* failure);
std::unique_ptr<LwoObject> LwoReadObjectBytes(const u8* bytes, size_t size, LwoReadFailure* failure);

// One line for the user: "chunk 'PNTS' at byte 1234: <reason>".
std::string LwoFailureText(const LwoReadFailure& failure);

}  // namespace pirn
