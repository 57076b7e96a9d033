// SURF chunks of LWO2 files: the surface parameters and the texture blocks
// of every channel.

#include <cstring>

#include "models/lwo_chunk_readers.h"
#include "models/lwo_sub_chunks.h"

namespace pirn {

namespace {

void ReadParameter(LwoByteReader& r, LwoParameter& parameter) {
    parameter.value = r.F4();
    parameter.envelope = r.VX();
}

void ReadVectorParameter(LwoByteReader& r, float value[3], u32& envelope) {
    r.VEC12(value);
    envelope = r.VX();
}

void ReadTextureMapping(LwoByteReader& r, LwoTextureMapping& mapping) {
    ForEachLwoSubChunk(r, [&](u32 id, LwoByteReader& sub) {
        switch (id) {
            case LwoId("CNTR"): ReadVectorParameter(sub, mapping.center, mapping.center_envelope); break;
            case LwoId("SIZE"): ReadVectorParameter(sub, mapping.size, mapping.size_envelope); break;
            case LwoId("ROTA"): ReadVectorParameter(sub, mapping.rotation, mapping.rotation_envelope); break;
            case LwoId("OREF"): mapping.reference_object = sub.S0(); break;
            case LwoId("FALL"):
                mapping.falloff_type = sub.U2();
                ReadVectorParameter(sub, mapping.falloff, mapping.falloff_envelope);
                break;
            case LwoId("CSYS"): mapping.coordinate_system = sub.U2(); break;
            default: break;
        }
    });
}

// The block header: ordinal string, then CHAN, ENAB, OPAC, AXIS and NEGA.
void ReadBlockHeader(LwoByteReader& r, LwoTextureBlock& block) {
    block.ordinal = r.S0();
    ForEachLwoSubChunk(r, [&](u32 id, LwoByteReader& sub) {
        switch (id) {
            case LwoId("CHAN"): block.channel = sub.ID4(); break;
            case LwoId("ENAB"): block.enabled = sub.U2(); break;
            case LwoId("OPAC"):
                block.opacity_type = sub.U2();
                ReadParameter(sub, block.opacity);
                break;
            case LwoId("AXIS"): block.displacement_axis = sub.U2(); break;
            case LwoId("NEGA"): block.negative = sub.U2(); break;
            default: break;
        }
    });
}

void ReadImageMapPart(u32 id, LwoByteReader& sub, LwoImageMap& image) {
    switch (id) {
        case LwoId("PROJ"): image.projection = sub.U2(); break;
        case LwoId("AXIS"): image.axis = sub.U2(); break;
        case LwoId("IMAG"): image.clip = sub.VX(); break;
        case LwoId("WRAP"):
            image.wrap_width = sub.U2();
            image.wrap_height = sub.U2();
            break;
        case LwoId("WRPW"): ReadParameter(sub, image.wrap_width_amount); break;
        case LwoId("WRPH"): ReadParameter(sub, image.wrap_height_amount); break;
        case LwoId("VMAP"): image.uv_map = sub.S0(); break;
        case LwoId("AAST"):
            image.antialias_flags = sub.U2();
            image.antialias_strength = sub.F4();
            break;
        case LwoId("PIXB"): image.pixel_blending = sub.U2(); break;
        case LwoId("STCK"):
            image.sticky = sub.U2();
            image.sticky_time = sub.F4();
            break;
        case LwoId("TAMP"): ReadParameter(sub, image.amplitude); break;
        default: break;
    }
}

void ReadFunction(LwoByteReader& sub, LwoProcedural& procedural) {
    procedural.function = sub.S0();
    sub.Bytes(procedural.data, sub.remaining());
}

void ReadProceduralPart(u32 id, LwoByteReader& sub, LwoProcedural& procedural) {
    switch (id) {
        case LwoId("AXIS"): procedural.axis = sub.U2(); break;
        case LwoId("VALU"):
            for (int i = 0; i < 3 && sub.remaining() >= 4; ++i) procedural.value[i] = sub.F4();
            break;
        case LwoId("FUNC"): ReadFunction(sub, procedural); break;
        default: break;
    }
}

void ReadGradientPart(u32 id, LwoByteReader& sub, LwoGradient& gradient) {
    switch (id) {
        case LwoId("PNAM"): gradient.parameter = sub.S0(); break;
        case LwoId("INAM"): gradient.item = sub.S0(); break;
        case LwoId("GRST"): gradient.start = sub.F4(); break;
        case LwoId("GREN"): gradient.end = sub.F4(); break;
        case LwoId("GRPT"): gradient.repeat = sub.U2(); break;
        case LwoId("FKEY"):
            while (!sub.at_end() && !sub.failed()) {
                LwoGradientKey key;
                key.input = sub.F4();
                for (float& channel : key.rgba) channel = sub.F4();
                if (!sub.failed()) gradient.keys.push_back(key);
            }
            break;
        case LwoId("IKEY"):
            while (!sub.at_end() && !sub.failed()) {
                const u16 interpolation = sub.U2();
                if (!sub.failed()) gradient.interpolations.push_back(interpolation);
            }
            break;
        default: break;
    }
}

bool IsBlockType(u32 id) {
    return id == LwoId("IMAP") || id == LwoId("PROC") || id == LwoId("GRAD") || id == LwoId("SHDR");
}

void ReadBlock(LwoByteReader& r, LwoSurface& surface) {
    LwoTextureBlock block;
    bool first = true;
    bool known = false;
    ForEachLwoSubChunk(r, [&](u32 id, LwoByteReader& sub) {
        if (first) {
            first = false;
            known = IsBlockType(id);
            block.type = id;
            if (known) ReadBlockHeader(sub, block);
            return;
        }
        if (!known) return;
        if (id == LwoId("TMAP")) {
            ReadTextureMapping(sub, block.mapping);
        } else if (block.type == LwoId("IMAP")) {
            ReadImageMapPart(id, sub, block.image);
        } else if (block.type == LwoId("PROC")) {
            ReadProceduralPart(id, sub, block.procedural);
        } else if (block.type == LwoId("GRAD")) {
            ReadGradientPart(id, sub, block.gradient);
        } else if (id == LwoId("FUNC")) {
            ReadFunction(sub, block.procedural);
        } else if (id == LwoId("ENAB")) {
            block.enabled = sub.U2();
        }
    });
    if (r.failed() || !known) return;
    if (block.type == LwoId("SHDR")) {
        LwoInsertBlockByOrdinal(surface.shaders, std::move(block));
        return;
    }
    const u32 channel = LwoChannelOfId(block.channel);
    if (channel != kLwoNone) LwoInsertBlockByOrdinal(surface.channels[channel], std::move(block));
}

void ReadGlow(LwoByteReader& sub, LwoSurface& surface) {
    surface.glow_type = sub.U2();
    ReadParameter(sub, surface.glow_intensity);
    ReadParameter(sub, surface.glow_size);
}

// LINE carries its size and colour only when its length says so.
void ReadLine(LwoByteReader& sub, LwoSurface& surface) {
    surface.line_flags = sub.U2();
    if (sub.remaining() > 0) ReadParameter(sub, surface.line_size);
    if (sub.remaining() > 0) ReadVectorParameter(sub, surface.line_colour.rgb, surface.line_colour.envelope);
}

void ReadSurfacePart(u32 id, LwoByteReader& sub, LwoSurface& surface) {
    switch (id) {
        case LwoId("COLR"): ReadVectorParameter(sub, surface.colour.rgb, surface.colour.envelope); break;
        case LwoId("LUMI"): ReadParameter(sub, surface.luminosity); break;
        case LwoId("DIFF"): ReadParameter(sub, surface.diffuse); break;
        case LwoId("SPEC"): ReadParameter(sub, surface.specularity); break;
        case LwoId("GLOS"): ReadParameter(sub, surface.glossiness); break;
        case LwoId("REFL"): ReadParameter(sub, surface.reflection); break;
        case LwoId("TRAN"): ReadParameter(sub, surface.transparency); break;
        case LwoId("TRNL"): ReadParameter(sub, surface.translucency); break;
        case LwoId("BUMP"): ReadParameter(sub, surface.bump); break;
        case LwoId("RIND"): ReadParameter(sub, surface.refractive_index); break;
        case LwoId("SHRP"): ReadParameter(sub, surface.sharpness); break;
        case LwoId("CLRH"): ReadParameter(sub, surface.colour_highlights); break;
        case LwoId("CLRF"): ReadParameter(sub, surface.colour_filter); break;
        case LwoId("ADTR"): ReadParameter(sub, surface.additive_transparency); break;
        case LwoId("SIDE"): surface.sidedness = sub.U2(); break;
        case LwoId("SMAN"): surface.smoothing_angle = sub.F4(); break;
        case LwoId("RFOP"): surface.reflection_options = sub.U2(); break;
        case LwoId("RIMG"): surface.reflection_image = sub.VX(); break;
        case LwoId("RSAN"): ReadParameter(sub, surface.reflection_seam_angle); break;
        case LwoId("RBLR"): ReadParameter(sub, surface.reflection_blur); break;
        case LwoId("TROP"): surface.transparency_options = sub.U2(); break;
        case LwoId("TIMG"): surface.transparency_image = sub.VX(); break;
        case LwoId("TBLR"): ReadParameter(sub, surface.transparency_blur); break;
        case LwoId("GLOW"): ReadGlow(sub, surface); break;
        case LwoId("LINE"): ReadLine(sub, surface); break;
        case LwoId("ALPH"):
            surface.alpha_mode = sub.U2();
            surface.alpha_value = sub.F4();
            break;
        case LwoId("VCOL"):
            ReadParameter(sub, surface.vertex_colour_intensity);
            surface.vertex_colour_map_type = sub.ID4();
            surface.vertex_colour_map = sub.S0();
            break;
        case LwoId("BLOK"): ReadBlock(sub, surface); break;
        default: break;
    }
}

}  // namespace

u32 LwoChannelOfId(u32 id) {
    switch (id) {
        case LwoId("COLR"): return kLwoChannelColour;
        case LwoId("LUMI"): return kLwoChannelLuminosity;
        case LwoId("DIFF"): return kLwoChannelDiffuse;
        case LwoId("SPEC"): return kLwoChannelSpecularity;
        case LwoId("GLOS"): return kLwoChannelGlossiness;
        case LwoId("REFL"): return kLwoChannelReflection;
        case LwoId("TRAN"): return kLwoChannelTransparency;
        case LwoId("RIND"): return kLwoChannelRefraction;
        case LwoId("TRNL"): return kLwoChannelTranslucency;
        case LwoId("BUMP"): return kLwoChannelBump;
        default: return kLwoNone;
    }
}

void LwoInsertBlockByOrdinal(std::vector<LwoTextureBlock>& list, LwoTextureBlock block) {
    auto at = list.begin();
    while (at != list.end() && std::strcmp(at->ordinal.c_str(), block.ordinal.c_str()) <= 0) ++at;
    list.insert(at, std::move(block));
}

bool LwoReadSurfaceChunk(LwoByteReader& chunk, LwoObject* object) {
    LwoSurface surface;
    surface.name = chunk.S0();
    surface.source_name = chunk.S0();
    ForEachLwoSubChunk(chunk, [&](u32 id, LwoByteReader& sub) { ReadSurfacePart(id, sub, surface); });
    if (chunk.failed()) return false;
    object->surfaces.push_back(std::move(surface));
    return true;
}

}  // namespace pirn
