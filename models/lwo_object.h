#pragma once
// A LightWave object (LWO2, or the older LWOB read into the same form) held
// completely in memory: layers of points and polygons with their vertex maps,
// surfaces with their texture blocks, image clips and envelopes. Indices
// between parts are positions in the owning lists.

#include <memory>
#include <string>
#include <vector>

#include "platform/types.h"

namespace pirn {

constexpr u32 LwoId(const char (&text)[5]) {
    return (static_cast<u32>(static_cast<u8>(text[0])) << 24) | (static_cast<u32>(static_cast<u8>(text[1])) << 16) |
           (static_cast<u32>(static_cast<u8>(text[2])) << 8) | static_cast<u32>(static_cast<u8>(text[3]));
}

// "No index" for the u32/i32 references below.
constexpr u32 kLwoNone = 0xFFFFFFFFu;

// One value attached to a point or a polygon corner: the vertex map and the
// entry in it.
struct LwoVertexMapRef {
    u32 map = 0;
    u32 entry = 0;
};

// A run of entries in one of the layer's shared lists (below): the lists
// of a point or corner live together, so that reading an object does not
// allocate once per point and per corner.
struct LwoRange {
    u32 first = 0;
    u32 count = 0;
};

// A read-only view of a run of a list.
template <typename T>
class LwoSpan {
public:
    LwoSpan() = default;
    LwoSpan(const T* data, size_t size) : data_(data), size_(size) {}
    const T* begin() const { return data_; }
    const T* end() const { return data_ + size_; }
    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    const T& operator[](size_t i) const { return data_[i]; }

private:
    const T* data_ = nullptr;
    size_t size_ = 0;
};

struct LwoPoint {
    float position[3] = {0, 0, 0};
    LwoRange polygons;                     // every polygon using the point (LwoLayer::PolygonsOf)
    LwoRange vmaps;                        // VMAP entries of the point (LwoLayer::VmapsOf)
};

struct LwoPolygonVertex {
    u32 index = 0;                         // point of the layer
    float normal[3] = {0, 0, 0};
    LwoRange vmads;                        // per-polygon (VMAD) entries (LwoLayer::VmadsOf)
};

struct LwoPolygon {
    u32 type = 0;                          // FACE, CURV, PTCH, MBAL, BONE
    u16 flags = 0;                         // high 6 bits of the count word
    std::vector<LwoPolygonVertex> vertices;
    u32 surface_tag = kLwoNone;            // TAGS index from PTAG SURF
    u32 part_tag = kLwoNone;
    u32 smoothing_group = 0;
    u32 surface = kLwoNone;                // the object's surface, once resolved
    float normal[3] = {0, 0, 0};
};

struct LwoVertexMap {
    u32 type = 0;                          // TXUV, WGHT, RGB, ...
    u32 dimension = 0;
    std::string name;
    bool per_polygon = false;              // VMAD
    std::vector<u32> points;
    std::vector<u32> polygons;             // VMAD only
    std::vector<float> values;             // dimension per entry

    size_t size() const { return points.size(); }
    const float* entry(u32 i) const { return values.data() + static_cast<size_t>(i) * dimension; }
};

struct LwoLayer {
    u16 index = 0;
    u16 flags = 0;
    float pivot[3] = {0, 0, 0};
    std::string name;
    i32 parent = -1;                       // -1 when the file gives none
    float bounds[6] = {0, 0, 0, 0, 0, 0};  // min x, y, z, max x, y, z
    std::vector<LwoPoint> points;
    std::vector<LwoPolygon> polygons;
    std::vector<LwoVertexMap> vertex_maps;
    // The lists the points' and corners' ranges run in.
    std::vector<u32> point_polygons;
    std::vector<LwoVertexMapRef> point_vmaps;
    std::vector<LwoVertexMapRef> corner_vmads;

    LwoSpan<u32> PolygonsOf(const LwoPoint& point) const { return Run(point_polygons, point.polygons); }
    LwoSpan<LwoVertexMapRef> VmapsOf(const LwoPoint& point) const { return Run(point_vmaps, point.vmaps); }
    LwoSpan<LwoVertexMapRef> VmadsOf(const LwoPolygonVertex& corner) const { return Run(corner_vmads, corner.vmads); }

private:
    // A range beyond its list (a layer put together by hand) is empty.
    template <typename T>
    static LwoSpan<T> Run(const std::vector<T>& list, LwoRange range) {
        if (range.first > list.size() || range.count > list.size() - range.first) return {};
        return {list.data() + range.first, range.count};
    }
};

// A plug-in reference (clip filters, envelope channel modifiers, shader
// functions): server name, flags and its opaque data.
struct LwoPlugin {
    std::string name;
    u16 flags = 0;
    std::vector<u8> data;
};

// A value with an optional envelope (VX index, 0 = none).
struct LwoParameter {
    float value = 0;
    u32 envelope = 0;
};

struct LwoColourParameter {
    float rgb[3] = {0, 0, 0};
    u32 envelope = 0;
};

struct LwoTextureMapping {
    float center[3] = {0, 0, 0};
    float size[3] = {1, 1, 1};
    float rotation[3] = {0, 0, 0};
    u32 center_envelope = 0, size_envelope = 0, rotation_envelope = 0;
    std::string reference_object;
    u16 falloff_type = 0;
    float falloff[3] = {0, 0, 0};
    u32 falloff_envelope = 0;
    u16 coordinate_system = 0;             // 0 object, 1 world
};

enum LwoProjection : u16 {
    kLwoProjectionPlanar = 0,
    kLwoProjectionCylindrical = 1,
    kLwoProjectionSpherical = 2,
    kLwoProjectionCubic = 3,
    kLwoProjectionFront = 4,
    kLwoProjectionUv = 5,
};

// "planar", "cylindrical", "spherical", "cubic", "front", "UV", or "an
// unknown" for a number the format does not define.
const char* LwoProjectionName(u32 projection);

struct LwoImageMap {
    u16 projection = kLwoProjectionPlanar;
    u16 axis = 0;
    u32 clip = kLwoNone;                   // clip index as in the file
    u16 wrap_width = 1, wrap_height = 1;   // 1 = repeat
    LwoParameter wrap_width_amount{1, 0};
    LwoParameter wrap_height_amount{1, 0};
    std::string uv_map;
    u16 antialias_flags = 0;
    float antialias_strength = 1;
    u16 pixel_blending = 0;
    u16 sticky = 0;
    float sticky_time = 0;
    LwoParameter amplitude{1, 0};
};

struct LwoProcedural {
    u16 axis = 0;
    float value[3] = {0, 0, 0};
    std::string function;
    std::vector<u8> data;
};

struct LwoGradientKey {
    float input = 0;
    float rgba[4] = {0, 0, 0, 0};
};

struct LwoGradient {
    std::string parameter;
    std::string item;
    float start = 0, end = 1;
    u16 repeat = 0;
    std::vector<LwoGradientKey> keys;
    std::vector<u16> interpolations;
};

struct LwoTextureBlock {
    u32 type = 0;                          // IMAP, PROC, GRAD, SHDR
    std::string ordinal;
    u32 channel = 0;
    u16 enabled = 1;
    u16 opacity_type = 0;
    LwoParameter opacity{1, 0};
    u16 displacement_axis = 0;
    u16 negative = 0;
    LwoTextureMapping mapping;
    LwoImageMap image;
    LwoProcedural procedural;              // also a shader's function
    LwoGradient gradient;
};

// The channels a texture block may drive, in the order of the surface's
// channel lists.
enum LwoChannel : u32 {
    kLwoChannelColour = 0,
    kLwoChannelLuminosity,
    kLwoChannelDiffuse,
    kLwoChannelSpecularity,
    kLwoChannelGlossiness,
    kLwoChannelReflection,
    kLwoChannelTransparency,
    kLwoChannelRefraction,
    kLwoChannelTranslucency,
    kLwoChannelBump,
    kLwoChannelCount,
};
// The channel list of a CHAN id (COLR, LUMI, ...), or kLwoNone.
u32 LwoChannelOfId(u32 id);

struct LwoSurface {
    std::string name;
    std::string source_name;
    LwoColourParameter colour{{200.0f / 255.0f, 200.0f / 255.0f, 200.0f / 255.0f}, 0};
    LwoParameter luminosity;
    LwoParameter diffuse{1.0f, 0};
    LwoParameter specularity;
    LwoParameter glossiness{0.4f, 0};
    LwoParameter reflection;
    LwoParameter transparency;
    LwoParameter translucency;
    LwoParameter bump{1.0f, 0};
    LwoParameter refractive_index{1.0f, 0};
    LwoParameter sharpness;
    LwoParameter colour_highlights;
    LwoParameter colour_filter;
    LwoParameter additive_transparency;
    u16 reflection_options = 0;
    u32 reflection_image = 0;
    LwoParameter reflection_seam_angle;
    LwoParameter reflection_blur;
    u16 transparency_options = 0;
    u32 transparency_image = 0;
    LwoParameter transparency_blur;
    u16 glow_type = 0;
    LwoParameter glow_intensity;
    LwoParameter glow_size;
    u16 line_flags = 0;
    LwoParameter line_size;
    LwoColourParameter line_colour;
    u16 alpha_mode = 0;
    float alpha_value = 0;
    LwoParameter vertex_colour_intensity;
    u32 vertex_colour_map_type = 0;
    std::string vertex_colour_map;
    float smoothing_angle = 0;             // radians; 0 = no smoothing
    u16 sidedness = 1;                     // 1 front only, 3 both sides
    std::vector<LwoTextureBlock> channels[kLwoChannelCount];
    std::vector<LwoTextureBlock> shaders;
};

enum LwoClipType : u32 {
    kLwoClipNone = 0,
    kLwoClipStill = LwoId("STIL"),
    kLwoClipSequence = LwoId("ISEQ"),
    kLwoClipAnimation = LwoId("ANIM"),
    kLwoClipReference = LwoId("XREF"),
    kLwoClipColourCycle = LwoId("STCC"),
};

struct LwoClip {
    u32 index = 0;
    u32 type = kLwoClipNone;
    std::string file_name;                 // still, sequence prefix, animation or cycle name
    // Image sequence
    u8 digits = 0;
    u8 sequence_flags = 0;
    i16 offset = 0;
    u16 reserved = 0;
    i16 start = 0, end = 0;
    std::string suffix;
    // Animation
    std::string server;
    u16 animation_flags = 0;
    std::vector<u8> animation_data;
    // Reference
    u32 reference = 0;
    std::string reference_name;
    // Colour cycle
    i16 cycle_low = 0, cycle_high = 0;
    // Modifiers
    float start_time = 0, duration = 0, frame_rate = 0;
    LwoParameter contrast, brightness, saturation, hue;
    LwoParameter gamma{1.0f, 0};
    u16 negative = 0;
    std::vector<LwoPlugin> image_filters;
    std::vector<LwoPlugin> pixel_filters;
};

enum LwoKeyShape : u32 {
    kLwoShapeTcb = LwoId("TCB "),
    kLwoShapeHermite = LwoId("HERM"),
    kLwoShapeBezier = LwoId("BEZI"),
    kLwoShapeLinear = LwoId("LINE"),
    kLwoShapeStepped = LwoId("STEP"),
    kLwoShapeBezier2 = LwoId("BEZ2"),
};

struct LwoEnvelopeKey {
    float time = 0;
    float value = 0;
    u32 shape = kLwoShapeTcb;
    float tension = 0, continuity = 0, bias = 0;
    float parameters[4] = {0, 0, 0, 0};
};

struct LwoEnvelope {
    u32 index = 0;
    u16 type = 0;
    std::string name;
    u16 pre_behaviour = 0, post_behaviour = 0;
    std::vector<LwoEnvelopeKey> keys;
    std::vector<LwoPlugin> channel_filters;
};

struct LwoObject {
    std::vector<LwoLayer> layers;          // never empty once read
    std::vector<LwoEnvelope> envelopes;
    std::vector<LwoClip> clips;
    std::vector<LwoSurface> surfaces;
    std::vector<std::string> tags;         // the names tags index
};

// The clip with that index (as given in the file), or null.
const LwoClip* LwoFindClip(const std::vector<LwoClip>& clips, u32 index);

// Frees everything the object holds.
void LwoFreeObject(std::unique_ptr<LwoObject>& object);

}  // namespace pirn
