// The older LWOB form: one layer, u16 point indices, surfaces named by a
// SRFS list and described in the old SURF form, whose texture descriptions
// are turned into texture blocks and image clips of the current form.

#include <cmath>
#include <cstring>

#include "models/lwo_chunk_readers.h"
#include "models/lwo_sub_chunks.h"
#include "platform/strings.h"

namespace pirn {

namespace {

// What LightWave itself takes for the old "smoothing" flag: 89.5 degrees.
constexpr float kOldSmoothingAngle = 1.5620697f;

void ReadPoints(LwoByteReader& chunk, LwoLayer& layer, u32* point_offset) {
    const u64 count = chunk.remaining() / 12;
    if (layer.points.size() + count > 0xFFFFFFFFu) {
        chunk.Fail("too many points");
        return;
    }
    *point_offset = static_cast<u32>(layer.points.size());
    layer.points.resize(layer.points.size() + static_cast<size_t>(count));
    for (u64 i = 0; i < count; ++i) chunk.VEC12(layer.points[*point_offset + i].position);
}

// Each polygon: u16 count, count u16 point indices, i16 surface (from 1). A
// negative surface announces detail polygons, which follow as ordinary
// polygons after their u16 count.
void ReadPolygons(LwoByteReader& chunk, LwoLayer& layer, u32 point_offset) {
    while (!chunk.at_end() && !chunk.failed()) {
        LwoPolygon polygon;
        polygon.type = LwoId("FACE");
        polygon.vertices.resize(chunk.U2());
        for (LwoPolygonVertex& vertex : polygon.vertices) {
            const u64 index = u64{chunk.U2()} + point_offset;
            if (chunk.failed()) return;
            if (index >= layer.points.size()) {
                chunk.Fail(FormatString("polygon %zu uses point %llu of a layer with %zu points", layer.polygons.size(),
                                        static_cast<unsigned long long>(index), layer.points.size()));
                return;
            }
            vertex.index = static_cast<u32>(index);
        }
        i32 surface = chunk.I2();
        if (surface < 0) {
            surface = -surface;
            chunk.U2();
        }
        if (chunk.failed()) return;
        if (surface == 0) {
            chunk.Fail(FormatString("polygon %zu names surface 0 (surfaces count from 1)", layer.polygons.size()));
            return;
        }
        polygon.surface_tag = static_cast<u32>(surface - 1);
        layer.polygons.push_back(std::move(polygon));
    }
}

void ReadSurfaceNames(LwoByteReader& chunk, LwoObject* object) {
    while (!chunk.at_end() && !chunk.failed()) {
        std::string name = chunk.S0();
        if (!chunk.failed()) object->tags.push_back(std::move(name));
    }
}

// A texture image becomes a clip of its own, numbered from 1. A name with
// "(sequence)" in it names an image sequence, cut just before that text.
u32 AddImageClip(LwoObject* object, std::string name) {
    LwoClip clip;
    clip.index = static_cast<u32>(object->clips.size() + 1);
    const size_t sequence = name.find("(sequence)");
    if (sequence != std::string::npos) {
        clip.type = kLwoClipSequence;
        name.resize(sequence > 0 ? sequence - 1 : 0);
    } else {
        clip.type = kLwoClipStill;
    }
    clip.file_name = std::move(name);
    object->clips.push_back(std::move(clip));
    return object->clips.back().index;
}

u32 ChannelOfTextureId(u32 id) {
    switch (id) {
        case LwoId("CTEX"): return LwoId("COLR");
        case LwoId("DTEX"): return LwoId("DIFF");
        case LwoId("STEX"): return LwoId("SPEC");
        case LwoId("RTEX"): return LwoId("REFL");
        case LwoId("TTEX"): return LwoId("TRAN");
        case LwoId("LTEX"): return LwoId("LUMI");
        case LwoId("BTEX"): return LwoId("BUMP");
        default: return 0;
    }
}

// "Planar Image Map", "Cylindrical Image Map", ... select image maps; any
// other name is a procedural texture of that name.
LwoTextureBlock BlockFromTextureName(u32 channel, const std::string& name) {
    LwoTextureBlock block;
    block.channel = channel;
    if (name.find("Image Map") == std::string::npos) {
        block.type = LwoId("PROC");
        block.procedural.function = name;
        return block;
    }
    block.type = LwoId("IMAP");
    static const struct {
        const char* word;
        u16 projection;
    } kProjections[] = {{"Planar", kLwoProjectionPlanar},
                        {"Cylindrical", kLwoProjectionCylindrical},
                        {"Spherical", kLwoProjectionSpherical},
                        {"Cubic", kLwoProjectionCubic},
                        {"Front", kLwoProjectionFront}};
    for (const auto& entry : kProjections) {
        if (name.find(entry.word) != std::string::npos) block.image.projection = entry.projection;
    }
    return block;
}

void ReadColour4(LwoByteReader& sub, float rgb[3]) {
    for (int i = 0; i < 3; ++i) rgb[i] = sub.U1() / 255.0f;
    sub.U1();
}

void ApplyTextureFlags(u16 flags, LwoTextureBlock& block) {
    u16 axis = 0;
    if (flags & 2) axis = 1;
    if (flags & 4) axis = 2;
    block.image.axis = axis;
    block.procedural.axis = axis;
    if (flags & 8) block.mapping.coordinate_system = 1;
    if (flags & 16) block.negative = 1;
    if (flags & 32) block.image.pixel_blending = 1;
    if (flags & 64) block.image.antialias_flags = 1;
}

// The texture sub-chunks that follow a CTEX, DTEX, ... and describe it.
void ReadTexturePart(u32 id, LwoByteReader& sub, LwoTextureBlock& block, LwoObject* object) {
    switch (id) {
        case LwoId("TFLG"): ApplyTextureFlags(sub.U2(), block); break;
        case LwoId("TSIZ"): sub.VEC12(block.mapping.size); break;
        case LwoId("TCTR"): sub.VEC12(block.mapping.center); break;
        case LwoId("TFAL"): sub.VEC12(block.mapping.falloff); break;
        case LwoId("TCLR"): ReadColour4(sub, block.procedural.value); break;
        case LwoId("TVAL"): block.procedural.value[0] = sub.U2() / 256.0f; break;
        case LwoId("TAMP"): block.image.amplitude.value = sub.F4(); break;
        case LwoId("TIMG"): {
            std::string name = sub.S0();
            if (!sub.failed() && name != "(none)") block.image.clip = AddImageClip(object, std::move(name));
            break;
        }
        case LwoId("TAAS"):
            block.image.antialias_strength = sub.F4();
            block.image.antialias_flags = 1;
            break;
        case LwoId("TREF"): block.mapping.reference_object = sub.S0(); break;
        case LwoId("TOPC"): block.opacity.value = sub.F4(); break;
        case LwoId("TWRP"):
            block.image.wrap_width = sub.U2();
            block.image.wrap_height = sub.U2();
            break;
        case LwoId("TFP0"): block.procedural.value[0] = sub.F4(); break;
        case LwoId("TFP1"): block.procedural.value[1] = sub.F4(); break;
        case LwoId("TFP2"): block.procedural.value[2] = sub.F4(); break;
        default: break;
    }
}

void ApplySurfaceFlags(u16 flags, LwoSurface& surface) {
    if (flags & 4) surface.smoothing_angle = kOldSmoothingAngle;
    if (flags & 8) surface.colour_highlights.value = 1;
    if (flags & 16) surface.colour_filter.value = 1;
    if (flags & 128) surface.sharpness.value = 0.5f;
    if (flags & 256) surface.sidedness = 3;
    if (flags & 512) surface.additive_transparency.value = 1;
}

// The old integer glossiness (16 low .. 1024 very high) on the current 0..1
// scale; 16 lands on the current default of 0.4.
float GlossinessFromOld(u16 value) {
    if (value == 0) return 0;
    const float g = std::log2(static_cast<float>(value)) / 10.0f;
    return g > 1 ? 1 : g;
}

class OldSurfaceReader {
public:
    explicit OldSurfaceReader(LwoObject* object) : object_(object) {}

    void Read(u32 id, LwoByteReader& sub) {
        if (const u32 channel = ChannelOfTextureId(id)) {
            FinishBlock();
            const std::string name = sub.S0();
            if (sub.failed()) return;
            block_ = BlockFromTextureName(channel, name);
            has_block_ = true;
            return;
        }
        if (id == LwoId("SHDR")) {
            FinishBlock();
            LwoTextureBlock shader;
            shader.type = LwoId("SHDR");
            shader.procedural.function = sub.S0();
            surface_.shaders.push_back(std::move(shader));
            return;
        }
        if (id == LwoId("SDAT")) {
            if (!surface_.shaders.empty()) sub.Bytes(surface_.shaders.back().procedural.data, sub.remaining());
            return;
        }
        if (ReadSurfacePart(id, sub)) return;
        if (has_block_) ReadTexturePart(id, sub, block_, object_);
    }

    LwoSurface& surface() { return surface_; }

    void FinishBlock() {
        if (!has_block_) return;
        const u32 channel = LwoChannelOfId(block_.channel);
        if (channel != kLwoNone) LwoInsertBlockByOrdinal(surface_.channels[channel], std::move(block_));
        block_ = LwoTextureBlock();
        has_block_ = false;
    }

private:
    // The plain surface values; false for a sub-chunk that is not one.
    bool ReadSurfacePart(u32 id, LwoByteReader& sub) {
        switch (id) {
            case LwoId("COLR"): ReadColour4(sub, surface_.colour.rgb); return true;
            case LwoId("FLAG"): ApplySurfaceFlags(sub.U2(), surface_); return true;
            case LwoId("LUMI"): surface_.luminosity.value = sub.U2() / 256.0f; return true;
            case LwoId("DIFF"): surface_.diffuse.value = sub.U2() / 256.0f; return true;
            case LwoId("SPEC"): surface_.specularity.value = sub.U2() / 256.0f; return true;
            case LwoId("REFL"): surface_.reflection.value = sub.U2() / 256.0f; return true;
            case LwoId("TRAN"): surface_.transparency.value = sub.U2() / 256.0f; return true;
            case LwoId("VLUM"): surface_.luminosity.value = sub.F4(); return true;
            case LwoId("VDIF"): surface_.diffuse.value = sub.F4(); return true;
            case LwoId("VSPC"): surface_.specularity.value = sub.F4(); return true;
            case LwoId("VRFL"): surface_.reflection.value = sub.F4(); return true;
            case LwoId("VTRN"): surface_.transparency.value = sub.F4(); return true;
            case LwoId("GLOS"): surface_.glossiness.value = GlossinessFromOld(sub.U2()); return true;
            case LwoId("RFLT"): surface_.reflection_options = sub.U2(); return true;
            case LwoId("RIMG"): {
                std::string name = sub.S0();
                if (!sub.failed()) surface_.reflection_image = AddImageClip(object_, std::move(name));
                return true;
            }
            case LwoId("RSAN"): surface_.reflection_seam_angle.value = sub.F4(); return true;
            case LwoId("RIND"): surface_.refractive_index.value = sub.F4(); return true;
            case LwoId("SMAN"): surface_.smoothing_angle = sub.F4(); return true;
            default: return false;
        }
    }

    LwoObject* object_;
    LwoSurface surface_;
    LwoTextureBlock block_;
    bool has_block_ = false;
};

void ReadSurface(LwoByteReader& chunk, LwoObject* object) {
    OldSurfaceReader reader(object);
    reader.surface().name = chunk.S0();
    ForEachLwoSubChunk(chunk, [&](u32 id, LwoByteReader& sub) { reader.Read(id, sub); });
    reader.FinishBlock();
    if (!chunk.failed()) object->surfaces.push_back(std::move(reader.surface()));
}

}  // namespace

bool LwoReadV1Chunks(const u8* bytes, u64 file_end, u64 form_end, LwoObject* object, LwoFailure* failure) {
    LwoLayer& layer = object->layers[0];
    u32 point_offset = 0;
    return ForEachLwoChunk(bytes, file_end, form_end, failure, [&](u32 id, LwoByteReader& chunk) {
        switch (id) {
            case LwoId("PNTS"): ReadPoints(chunk, layer, &point_offset); break;
            case LwoId("POLS"): ReadPolygons(chunk, layer, point_offset); break;
            case LwoId("SRFS"): ReadSurfaceNames(chunk, object); break;
            case LwoId("SURF"): ReadSurface(chunk, object); break;
            default: break;
        }
    });
}

}  // namespace pirn
