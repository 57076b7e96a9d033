#pragma once
// The chunk readers shared by the LWO2 and LWOB readers, and the steps that
// finish an object once its file has been read.

#include "models/lwo_byte_reader.h"
#include "models/lwo_object.h"

namespace pirn {

// Each reads the data of one chunk (the reader spans exactly that data) and
// appends what it read to the object. False on failure (recorded in the
// reader's failure record).
bool LwoReadSurfaceChunk(LwoByteReader& chunk, LwoObject* object);
bool LwoReadClipChunk(LwoByteReader& chunk, LwoObject* object);
bool LwoReadEnvelopeChunk(LwoByteReader& chunk, LwoObject* object);

// Inserts a block into its list by its ordinal string (bytewise, smaller
// first; a block equal to one already there goes after it).
void LwoInsertBlockByOrdinal(std::vector<LwoTextureBlock>& list, LwoTextureBlock block);

// The derivations that follow the file, layer by layer: bounding boxes the
// file left zero, polygon normals, the polygons of every point, polygon
// surfaces (creating default surfaces for names without a SURF chunk),
// vertex normals and the vertex-map values of points and corners.
bool LwoDeriveObject(LwoObject* object, LwoFailure* failure);

// The LWOB reader over the whole file's bytes (the header already checked).
bool LwoReadV1Chunks(const u8* bytes, u64 file_end, u64 form_end, LwoObject* object, LwoFailure* failure);

}  // namespace pirn
