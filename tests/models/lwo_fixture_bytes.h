#pragma once
// Hand-built LightWave files for the reader tests, laid out from the IFF and
// LWO2/LWOB chunk tables byte by byte (never through the code under test).

#include <cstring>
#include <string>
#include <vector>

#include "platform/types.h"

namespace lwo_fixture {

using pirn::u16;
using pirn::u32;
using pirn::u8;

struct Bytes {
    std::vector<u8> data;

    Bytes& U1(u8 v) {
        data.push_back(v);
        return *this;
    }
    Bytes& U2(u16 v) { return U1(u8(v >> 8)).U1(u8(v)); }
    Bytes& U4(u32 v) { return U2(u16(v >> 16)).U2(u16(v)); }
    Bytes& I2(int v) { return U2(u16(v)); }
    Bytes& F4(float f) {
        u32 bits;
        std::memcpy(&bits, &f, 4);
        return U4(bits);
    }
    Bytes& Vec(float x, float y, float z) { return F4(x).F4(y).F4(z); }
    Bytes& Id(const char (&id)[5]) {
        for (int i = 0; i < 4; ++i) U1(u8(id[i]));
        return *this;
    }
    // NUL-ended, padded to an even length.
    Bytes& S0(const std::string& text) {
        for (char c : text) U1(u8(c));
        U1(0);
        if ((text.size() + 1) % 2) U1(0);
        return *this;
    }
    // Two bytes below 0xFF00, else FF and 24 bits.
    Bytes& VX(u32 index) {
        if (index < 0xFF00) return U2(u16(index));
        return U1(0xFF).U1(u8(index >> 16)).U1(u8(index >> 8)).U1(u8(index));
    }
    Bytes& Raw(const std::vector<u8>& more) {
        data.insert(data.end(), more.begin(), more.end());
        return *this;
    }
    Bytes& Raw(const Bytes& more) { return Raw(more.data); }
    size_t size() const { return data.size(); }
};

// id, u32 size, data, pad byte when the size is odd.
inline Bytes Chunk(const char (&id)[5], const Bytes& body) {
    Bytes b;
    b.Id(id).U4(u32(body.size())).Raw(body);
    if (body.size() % 2) b.U1(0);
    return b;
}

// id, u16 size, data, pad byte when the size is odd.
inline Bytes SubChunk(const char (&id)[5], const Bytes& body) {
    Bytes b;
    b.Id(id).U2(u16(body.size())).Raw(body);
    if (body.size() % 2) b.U1(0);
    return b;
}

// "FORM", size of type + chunks, type, chunks.
inline std::vector<u8> Form(const char (&type)[5], const std::vector<Bytes>& chunks) {
    Bytes body;
    body.Id(type);
    for (const Bytes& c : chunks) body.Raw(c);
    Bytes form;
    form.Id("FORM").U4(u32(body.size())).Raw(body);
    return form.data;
}

struct Point {
    float x, y, z;
};

inline Bytes Points(const std::vector<Point>& points) {
    Bytes b;
    for (const Point& p : points) b.Vec(p.x, p.y, p.z);
    return Chunk("PNTS", b);
}

// FACE polygons of the given point indices (count words without flags).
inline Bytes Faces(const std::vector<std::vector<u32>>& polygons) {
    Bytes b;
    b.Id("FACE");
    for (const auto& polygon : polygons) {
        b.U2(u16(polygon.size()));
        for (u32 index : polygon) b.VX(index);
    }
    return Chunk("POLS", b);
}

inline Bytes Tags(const std::vector<std::string>& names) {
    Bytes b;
    for (const std::string& name : names) b.S0(name);
    return Chunk("TAGS", b);
}

// (polygon, tag) pairs of one PTAG type.
inline Bytes PolygonTags(const char (&type)[5], const std::vector<std::pair<u32, u16>>& pairs) {
    Bytes b;
    b.Id(type);
    for (const auto& pair : pairs) b.VX(pair.first).U2(pair.second);
    return Chunk("PTAG", b);
}

// LAYR with index, flags 0, pivot, name and, when given, a parent.
inline Bytes Layer(u16 index, const std::string& name, Point pivot = {0, 0, 0}, int parent = -1) {
    Bytes b;
    b.U2(index).U2(0).Vec(pivot.x, pivot.y, pivot.z).S0(name);
    if (parent >= 0) b.U2(u16(parent));
    return Chunk("LAYR", b);
}

// One triangle of surface "Skin", whose colour is the image of clip 1
// (a still at `clip_path`) laid on by `projection`; a UV projection maps it
// by "map", which gives point 1 the value (1, 0.25).
inline std::vector<u8> TriangleWithImage(u16 projection, const std::string& clip_path) {
    Bytes clip, stil;
    stil.S0(clip_path);
    clip.U4(1).Raw(SubChunk("STIL", stil));
    Bytes header, chan, proj, imag, vmap, blok, surf, uv;
    chan.Id("COLR");
    header.S0("\x80").Raw(SubChunk("CHAN", chan));
    proj.U2(projection);
    imag.VX(1);
    vmap.S0("map");
    blok.Raw(SubChunk("IMAP", header)).Raw(SubChunk("PROJ", proj)).Raw(SubChunk("IMAG", imag));
    if (projection == 5) blok.Raw(SubChunk("VMAP", vmap));
    surf.S0("Skin").S0("").Raw(SubChunk("BLOK", blok));
    uv.Id("TXUV").U2(2).S0("map").VX(1).F4(1).F4(0.25f);
    return Form("LWO2", {Tags({"Skin"}), Chunk("CLIP", clip), Chunk("SURF", surf),
                         Points({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}), Faces({{0, 1, 2}}), Chunk("VMAP", uv)});
}

}  // namespace lwo_fixture
