#include "models/lwo_reader.h"

#include <new>
#include <stdexcept>
#include <vector>

#include "models/lwo_byte_reader.h"
#include "models/lwo_chunk_readers.h"
#include "models/lwo_sub_chunks.h"
#include "platform/file_system.h"
#include "platform/strings.h"

namespace pirn {

namespace {

enum FormType { kFormBad, kFormLwo2, kFormLwob };

// Where the chunks of the current layer start counting: indices in POLS,
// VMAP, VMAD and PTAG are relative to the points (polygons) the layer held
// before its latest PNTS (POLS).
struct Lwo2Cursor {
    size_t layer = 0;
    bool layer_named = false;
    u32 point_offset = 0;
    u32 polygon_offset = 0;
};

FormType CheckForm(const u8* bytes, u64 size, u64* form_end, LwoFailure* failure) {
    failure->chunk = LwoId("FORM");
    auto refuse = [&](const char* reason) {
        failure->failed = true;
        failure->position = kLwoFormHeaderSize;
        failure->reason = reason;
        return kFormBad;
    };
    if (size < kLwoFormHeaderSize) return refuse("the file is too short for a LightWave header");
    LwoByteReader header(bytes, 0, kLwoFormHeaderSize, failure);
    const u32 form = header.ID4();
    const u32 form_size = header.U4();
    const u32 type = header.ID4();
    if (form != LwoId("FORM")) return refuse("the file is not an IFF FORM");
    if (form_size < 4) return refuse("the FORM is too short to hold its type");
    *form_end = 8 + static_cast<u64>(form_size);
    if (type == LwoId("LWO2")) return kFormLwo2;
    if (type == LwoId("LWOB")) return kFormLwob;
    return refuse("the FORM is neither LWO2 nor LWOB");
}

void ReadLayer(LwoByteReader& chunk, LwoObject* object, Lwo2Cursor& cursor) {
    if (cursor.layer_named) {
        object->layers.emplace_back();
        cursor.layer = object->layers.size() - 1;
        cursor.point_offset = 0;
        cursor.polygon_offset = 0;
    }
    cursor.layer_named = true;
    LwoLayer& layer = object->layers[cursor.layer];
    layer.index = chunk.U2();
    layer.flags = chunk.U2();
    chunk.VEC12(layer.pivot);
    layer.name = chunk.S0();
    if (chunk.remaining() >= 2) layer.parent = chunk.U2();
}

void ReadPoints(LwoByteReader& chunk, LwoLayer& layer, Lwo2Cursor& cursor) {
    const u64 count = chunk.remaining() / 12;
    if (layer.points.size() + count > 0xFFFFFFFFu) {
        chunk.Fail("too many points");
        return;
    }
    cursor.point_offset = static_cast<u32>(layer.points.size());
    layer.points.resize(layer.points.size() + static_cast<size_t>(count));
    for (u64 i = 0; i < count; ++i) chunk.VEC12(layer.points[cursor.point_offset + i].position);
}

void ReadBoundingBox(LwoByteReader& chunk, LwoLayer& layer) {
    float box[6];
    chunk.VEC12(box);
    chunk.VEC12(box + 3);
    if (!chunk.failed()) std::copy(box, box + 6, layer.bounds);
}

void ReadPolygons(LwoByteReader& chunk, LwoLayer& layer, Lwo2Cursor& cursor) {
    const u32 type = chunk.ID4();
    cursor.polygon_offset = static_cast<u32>(layer.polygons.size());
    const u64 point_count = layer.points.size();
    // Room for the triangles of 16-bit indices the chunk could hold: most
    // objects need no more, and none grows from one.
    layer.polygons.reserve(layer.polygons.size() + static_cast<size_t>(chunk.remaining() / 8));
    while (!chunk.at_end() && !chunk.failed()) {
        if (layer.polygons.size() >= 0xFFFFFFFEu) {
            chunk.Fail("too many polygons");
            return;
        }
        const u16 word = chunk.U2();
        // Made in place, and taken back when it cannot be read whole.
        LwoPolygon& polygon = layer.polygons.emplace_back();
        polygon.type = type;
        polygon.flags = static_cast<u16>(word & 0xFC00);
        polygon.vertices.resize(word & 0x03FF);
        for (LwoPolygonVertex& vertex : polygon.vertices) {
            const u64 index = u64{chunk.VX()} + cursor.point_offset;
            if (index >= point_count && !chunk.failed()) {
                chunk.Fail(FormatString("polygon %zu uses point %llu of a layer with %llu points",
                                        layer.polygons.size() - 1, static_cast<unsigned long long>(index),
                                        static_cast<unsigned long long>(point_count)));
            }
            if (chunk.failed()) {
                layer.polygons.pop_back();
                return;
            }
            vertex.index = static_cast<u32>(index);
        }
    }
}

// The polygon a PTAG or VMAD entry names, checked against the layer. The
// checks run for every entry; the failures, once at most, out of line.
bool NamedPolygonFails(LwoByteReader& chunk, u64 polygon, size_t count) __attribute__((noinline, cold));
bool NamedPolygonFails(LwoByteReader& chunk, u64 polygon, size_t count) {
    return chunk.Fail(FormatString("polygon %llu named of a layer with %zu polygons",
                                   static_cast<unsigned long long>(polygon), count));
}

bool NamedPointFails(LwoByteReader& chunk, u64 point, size_t count) __attribute__((noinline, cold));
bool NamedPointFails(LwoByteReader& chunk, u64 point, size_t count) {
    return chunk.Fail(FormatString("point %llu named of a layer with %zu points",
                                   static_cast<unsigned long long>(point), count));
}

inline bool PolygonIndex(LwoByteReader& chunk, const LwoLayer& layer, const Lwo2Cursor& cursor, u32* index) {
    const u64 polygon = u64{chunk.VX()} + cursor.polygon_offset;
    if (chunk.failed()) return false;
    if (polygon >= layer.polygons.size()) return NamedPolygonFails(chunk, polygon, layer.polygons.size());
    *index = static_cast<u32>(polygon);
    return true;
}

inline bool PointIndex(LwoByteReader& chunk, const LwoLayer& layer, const Lwo2Cursor& cursor, u32* index) {
    const u64 point = u64{chunk.VX()} + cursor.point_offset;
    if (chunk.failed()) return false;
    if (point >= layer.points.size()) return NamedPointFails(chunk, point, layer.points.size());
    *index = static_cast<u32>(point);
    return true;
}

void ReadPolygonTags(LwoByteReader& chunk, LwoLayer& layer, const Lwo2Cursor& cursor) {
    const u32 type = chunk.ID4();
    while (!chunk.at_end() && !chunk.failed()) {
        u32 polygon = 0;
        if (!PolygonIndex(chunk, layer, cursor, &polygon)) return;
        const u16 tag = chunk.U2();
        if (chunk.failed()) return;
        LwoPolygon& target = layer.polygons[polygon];
        if (type == LwoId("SURF")) target.surface_tag = tag;
        else if (type == LwoId("PART")) target.part_tag = tag;
        else if (type == LwoId("SMGP")) target.smoothing_group = tag;
    }
}

void ReadVertexMap(LwoByteReader& chunk, LwoLayer& layer, const Lwo2Cursor& cursor, bool per_polygon) {
    LwoVertexMap map;
    map.per_polygon = per_polygon;
    map.type = chunk.ID4();
    map.dimension = chunk.U2();
    map.name = chunk.S0();
    // Each entry takes at least its indices and values: the lists are made
    // as long as the chunk could fill, written in place, and cut to what it
    // held; they never move.
    const u32 dimension = map.dimension;
    const u64 entry_bytes = (per_polygon ? 4 : 2) + u64{dimension} * 4;
    const size_t most = static_cast<size_t>(chunk.remaining() / entry_bytes);
    map.points.resize(most);
    if (per_polygon) map.polygons.resize(most);
    map.values.resize(most * dimension);
    size_t count = 0;
    while (!chunk.at_end() && !chunk.failed()) {
        u32 point = 0, polygon = 0;
        if (!PointIndex(chunk, layer, cursor, &point)) return;
        if (per_polygon && !PolygonIndex(chunk, layer, cursor, &polygon)) return;
        if (chunk.remaining() < u64{dimension} * 4) {
            chunk.Fail("a vertex map entry runs past the end of its chunk");
            return;
        }
        map.points[count] = point;
        if (per_polygon) map.polygons[count] = polygon;
        chunk.F4s(map.values.data() + count * dimension, dimension);
        ++count;
    }
    if (chunk.failed()) return;
    map.points.resize(count);
    if (per_polygon) map.polygons.resize(count);
    map.values.resize(count * dimension);
    layer.vertex_maps.push_back(std::move(map));
}

void ReadTags(LwoByteReader& chunk, LwoObject* object) {
    while (!chunk.at_end() && !chunk.failed()) {
        std::string tag = chunk.S0();
        if (!chunk.failed()) object->tags.push_back(std::move(tag));
    }
}

bool ReadLwo2Chunks(const u8* bytes, u64 file_end, u64 form_end, LwoObject* object, LwoFailure* failure) {
    Lwo2Cursor cursor;
    return ForEachLwoChunk(bytes, file_end, form_end, failure, [&](u32 id, LwoByteReader& chunk) {
        // LAYR may add a layer, so the current one is looked up per chunk.
        auto layer = [&]() -> LwoLayer& { return object->layers[cursor.layer]; };
        switch (id) {
            case LwoId("LAYR"): ReadLayer(chunk, object, cursor); break;
            case LwoId("PNTS"): ReadPoints(chunk, layer(), cursor); break;
            case LwoId("BBOX"): ReadBoundingBox(chunk, layer()); break;
            case LwoId("POLS"): ReadPolygons(chunk, layer(), cursor); break;
            case LwoId("PTAG"): ReadPolygonTags(chunk, layer(), cursor); break;
            case LwoId("TAGS"): ReadTags(chunk, object); break;
            case LwoId("VMAP"): ReadVertexMap(chunk, layer(), cursor, false); break;
            case LwoId("VMAD"): ReadVertexMap(chunk, layer(), cursor, true); break;
            case LwoId("CLIP"): LwoReadClipChunk(chunk, object); break;
            case LwoId("ENVL"): LwoReadEnvelopeChunk(chunk, object); break;
            case LwoId("SURF"): LwoReadSurfaceChunk(chunk, object); break;
            default: break;
        }
    });
}

std::unique_ptr<LwoObject> ReadBytes(const u8* bytes, u64 size, int required_form, LwoReadFailure* out) {
    LwoFailure failure;
    std::unique_ptr<LwoObject> object;
    u64 form_end = 0;
    const FormType form = CheckForm(bytes, size, &form_end, &failure);
    if (form != kFormBad && required_form != kFormBad && form != required_form) {
        failure.failed = true;
        failure.position = kLwoFormHeaderSize;
        failure.reason = "the FORM is not LWOB";
    }
    if (!failure.failed) {
        // Allocation failures are read failures like any other: the object
        // never grows beyond what the file's bytes describe, but a huge file
        // may still not fit in a 32-bit address space.
        try {
            object = std::make_unique<LwoObject>();
            object->layers.emplace_back();
            const bool read = form == kFormLwo2 ? ReadLwo2Chunks(bytes, size, form_end, object.get(), &failure)
                                                : LwoReadV1Chunks(bytes, size, form_end, object.get(), &failure);
            if (read) {
                // Derivation failures (a tag beyond the tag list) belong to no
                // one chunk: they are reported at the end of the form.
                failure.chunk = LwoId("FORM");
                failure.position = form_end < size ? form_end : size;
                LwoDeriveObject(object.get(), &failure);
            }
        } catch (const std::bad_alloc&) {
            if (!failure.failed) {
                failure.failed = true;
                failure.reason = "out of memory";
            }
        } catch (const std::length_error&) {
            if (!failure.failed) {
                failure.failed = true;
                failure.reason = "out of memory";
            }
        }
    }
    if (failure.failed) object.reset();
    if (out) {
        out->chunk = failure.failed ? failure.chunk : 0;
        out->position = failure.failed ? static_cast<u32>(failure.position > 0xFFFFFFFFu ? 0xFFFFFFFFu : failure.position) : 0;
        out->reason = failure.failed ? failure.reason : std::string();
    }
    return object;
}

std::unique_ptr<LwoObject> ReadFile(const std::string& path, int required_form, LwoReadFailure* out) {
    std::vector<u8> bytes;
    bool read = false;
    try {
        read = ReadFileBytes(path, bytes, false);
    } catch (const std::bad_alloc&) {
        read = false;
    }
    if (!read) {
        if (out) *out = LwoReadFailure{LwoId("FORM"), 0, "the file cannot be read"};
        return nullptr;
    }
    if (bytes.size() > 0xFFFFFFFFu) {
        if (out) *out = LwoReadFailure{LwoId("FORM"), 0, "the file is larger than any LightWave file can be"};
        return nullptr;
    }
    return ReadBytes(bytes.data(), bytes.size(), required_form, out);
}

std::unique_ptr<LwoObject> Report(std::unique_ptr<LwoObject> object, const LwoReadFailure& failure,
                                  u32* failure_id, u32* failure_position) {
    if (failure_id) *failure_id = failure.chunk;
    if (failure_position) *failure_position = failure.position;
    return object;
}

}  // namespace

std::unique_ptr<LwoObject> LwoReadObject(const std::string& path, u32* failure_id, u32* failure_position) {
    LwoReadFailure failure;
    std::unique_ptr<LwoObject> object = ReadFile(path, kFormBad, &failure);
    return Report(std::move(object), failure, failure_id, failure_position);
}

std::unique_ptr<LwoObject> LwoReadObjectV1(const std::string& path, u32* failure_id, u32* failure_position) {
    LwoReadFailure failure;
    std::unique_ptr<LwoObject> object = ReadFile(path, kFormLwob, &failure);
    return Report(std::move(object), failure, failure_id, failure_position);
}

std::unique_ptr<LwoObject> LwoReadObjectFile(const std::string& path, LwoReadFailure* failure) {
    return ReadFile(path, kFormBad, failure);
}

std::unique_ptr<LwoObject> LwoReadObjectBytes(const u8* bytes, size_t size, LwoReadFailure* failure) {
    return ReadBytes(bytes, size, kFormBad, failure);
}

std::string LwoFailureText(const LwoReadFailure& failure) {
    char id[5];
    for (int i = 0; i < 4; ++i) {
        const char c = static_cast<char>(failure.chunk >> (24 - 8 * i));
        id[i] = (c >= 32 && c < 127) ? c : '?';
    }
    id[4] = 0;
    return FormatString("chunk '%s' at byte %u: %s", id, failure.position, failure.reason.c_str());
}

}  // namespace pirn
