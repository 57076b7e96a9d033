#pragma once
// The data of a geometry tag ('geom'): a 128-byte header, then three
// sections (materials, vertices, triangles). Records are held in memory as
// stored, fields native-endian, and go to and from disk through layouts.
//
// Stored axes: a model point (x, y, z) is stored as (-x, z, y), each times
// 512 and truncated toward zero into 16 bits. Texture coordinates are
// fractions of 65535, v before u.

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

#include "codex/tag_header.h"
#include "platform/records.h"
#include "platform/types.h"

namespace pirn {

constexpr u32 kGeomHeaderSize = 128;
constexpr u16 kGeomTagVersion = 1;
// Units of one model unit in stored coordinates.
constexpr float kGeomUnitsPerModelUnit = 512.0f;
// A unit normal is stored times this.
constexpr float kGeomNormalScale = 16384.0f;
// Flag bit 0 of a triangle: its transparency field is in use.
constexpr u16 kGeomTriangleTransparent = 1;
// Material index of a triangle drawn without a texture.
constexpr u16 kGeomNoMaterial = 0xFFFF;

struct GeomHeader {
    u32 zero;               // written as 0
    u32 core_tag_id;        // the model's 'core' collection reference
    u16 material_count;
    u16 vertex_count;
    u16 triangle_count;
    u16 unused_14;          // written as 0
    i16 pivot[3];           // stored axes
    u16 reserved_22[3];
    u32 materials_offset, materials_size;
    u32 reserved_36;
    u32 vertices_offset, vertices_size;
    u32 reserved_48;
    u32 triangles_offset, triangles_size;
    u32 reserved_60;
    u32 fourth_offset, fourth_size;  // written as 0, never read
    u32 reserved_72;
    u32 header_size;        // where the sections start: 128
    u32 total_size;         // of the three sections
    u32 reserved_84;
    i16 bounds[6];          // stored axes: minima of axes 0, 1, 2, then maxima
    u16 unused_100[13];     // written as 0
    u16 reserved_126;
};
static_assert(sizeof(GeomHeader) == kGeomHeaderSize, "GeomHeader is its 128 disk bytes");
static_assert(offsetof(GeomHeader, materials_offset) == 28 && offsetof(GeomHeader, header_size) == 76 &&
                  offsetof(GeomHeader, bounds) == 88,
              "GeomHeader fields sit at their disk offsets");

struct GeomMaterial {
    char name[32];          // at most 31 characters
    u16 sequence_index;     // the collection sequence whose first bitmap is the texture
    u16 unused[3];          // written as 0
    u8 reserved[24];
};
static_assert(sizeof(GeomMaterial) == 64, "GeomMaterial is 64 bytes");

struct GeomVertex {
    i16 axis[3];
};
static_assert(sizeof(GeomVertex) == 6, "GeomVertex is 6 bytes");

struct GeomCorner {
    u16 v;                  // times 65535
    u16 u;
    u16 vertex;
    u16 unused;             // written as 0
};

struct GeomTriangle {
    u16 flags;
    i16 normal[3];          // unit face normal in stored axes times 16384
    i32 plane_distance;     // minus normal . first corner, both as stored
    u16 unused_12[6];       // written as 0
    u16 transparency;       // (1 - alpha) x 65535
    u16 material;
    GeomCorner corners[3];
    u16 marks_52[3];        // 0xFFFF each
    u16 unused_58;          // written as 0
    u16 mark_60;            // 0xFFFF
    u16 reserved_62;
};
static_assert(sizeof(GeomTriangle) == 64 && offsetof(GeomTriangle, corners) == 28 &&
                  offsetof(GeomTriangle, marks_52) == 52,
              "GeomTriangle fields sit at their disk offsets");

extern const StructLayout kGeomHeaderLayout[];
extern const StructLayout kGeomMaterialLayout[];
extern const StructLayout kGeomVertexLayout[];
extern const StructLayout kGeomTriangleLayout[];

struct GeomData {
    GeomHeader header{};
    std::vector<GeomMaterial> materials;
    std::vector<GeomVertex> vertices;
    std::vector<GeomTriangle> triangles;
};

void InitGeomData(GeomData* geom);
void FreeGeomData(GeomData* geom);

// Reads the tag data at the header's data offset: the header, then each
// section with a non-zero count, checked to lie inside the tag's data.
// 1, or 0 on any failed check, seek or read.
int ReadGeomData(GeomData* geom, std::FILE* stream, const TagHeader& tag);
// Writes the sections, then the header with their counts, offsets, sizes and
// total. 0 on any failed seek or write, or when a section holds more records
// than its 16-bit count can say.
int WriteGeomData(GeomData* geom, std::FILE* stream, const TagHeader& tag);

// --- Conversions --------------------------------------------------------

// value x 512 truncated toward zero; values beyond 16 bits (and NaN, as 0)
// are clamped. The model builder refuses such models before this is reached.
i16 GeomStoredUnits(float value);
// A texture coordinate: clamped to 0..1, times 65535, truncated.
u16 GeomTextureFraction(float value);

// --- Setters used by the builder -------------------------------------------

// u32 0, the 'core' id, bounds (model units: min x, y, z, max x, y, z) and
// pivot converted to stored axes; each bounds axis ordered after negation.
void SetGeomHeader(GeomData* geom, u32 core_tag_id, const float bounds[6], const float pivot[3]);
void SetGeomMaterialCount(GeomData* geom, u32 count);
void SetGeomMaterial(GeomData* geom, u32 index, const std::string& name, u16 sequence_index);
void SetGeomVertexCount(GeomData* geom, u32 count);
void SetGeomVertex(GeomData* geom, u32 index, float x, float y, float z);
void SetGeomTriangleCount(GeomData* geom, u32 count);
void SetGeomCorner(GeomData* geom, u32 triangle, int corner, u16 vertex, float u, float v);
// Also computes the normal and plane distance from the corners already set
// (zero for a triangle without area). alpha 0..255.
void SetGeomTriangle(GeomData* geom, u32 triangle, u16 flags, u16 material, u8 alpha);

}  // namespace pirn
