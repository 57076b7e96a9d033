#pragma once
// Hand-built terrain tags for the terrain editor's tests, laid out field by
// field from the format tables with big-endian writers of their own: the
// 'mesh' map data, a '.256' collection of 256 x 256 8-bit RAW bitmaps (two
// per block), 'dmap' version 2 data with its own run-length coder, and a
// decoder of 'dmap' data that shares nothing with the program's reader.

#include <functional>
#include <string>
#include <vector>

#include "tests/codex/codex_fixture_bytes.h"
#include "tests/collections/collection_fixture.h"

namespace terrain_fixture {

using collection_fixture::Bytes;
using pirn::i16;
using pirn::u16;
using pirn::u32;
using pirn::u8;

constexpr u32 Code(const char (&text)[5]) { return codex_fixture::Code(text); }

struct MeshSpec {
    u16 block_columns = 1;
    u16 block_rows = 1;
    u32 collection_id = Code("tcol");
    u32 media_id = 0xFFFFFFFF;
    // Lighting: b at 88, a at 90, target colour at 92-96, f at 108.
    i16 b = 0;
    i16 a = 0;
    u16 target[3] = {0, 0, 0};
    u32 f = 0x8000;
    std::function<u16(u32 x, u32 y)> word0 = [](u32, u32) { return u16(0); };
    std::function<u16(u32 x, u32 y)> word4 = [](u32, u32) { return u16(0); };
    std::function<u16(u32 x, u32 y)> flags = [](u32, u32) { return u16(0); };
};

// 1024-byte header (the grid at u32@12 + u32@24 = 1024 + 16), 16 filler
// bytes, then the cells (words 3 and 5 set to values a reader zeroes).
inline std::vector<u8> MeshData(const MeshSpec& spec) {
    Bytes b;
    b.U32(spec.collection_id).U32(spec.media_id).U16(spec.block_columns).U16(spec.block_rows);
    b.U32(1000).Zeros(8).U32(40);
    b.Zeros(88 - b.size());
    b.U16(u16(spec.b)).U16(u16(spec.a)).U16(spec.target[0]).U16(spec.target[1]).U16(spec.target[2]);
    b.Zeros(108 - b.size());
    b.U32(spec.f);
    b.Zeros(1024 - b.size());
    b.Zeros(16);
    const u32 columns = spec.block_columns * 32u, rows = spec.block_rows * 32u;
    for (u32 y = 0; y < rows; ++y)
        for (u32 x = 0; x < columns; ++x)
            b.U16(spec.word0(x, y)).U16(0x1111).U16(spec.flags(x, y)).U16(0x3333).U16(spec.word4(x, y)).U16(0x5555);
    return b.data;
}

// A 256 x 256 RAW 8-bit bitmap without row table.
inline std::vector<u8> RawBitmap(const std::function<u8(u32 x, u32 y)>& value, u16 side = 256) {
    Bytes b = collection_fixture::BitmapHeader(i16(side), i16(side), side, 0x0020, 8, 0, 0);
    for (u32 y = 0; y < side; ++y)
        for (u32 x = 0; x < side; ++x) b.U8(value(x, y));
    return b.data;
}

// The collection of a terrain: bitmaps 2i (colour indices) and 2i + 1
// (shades) for each block i.
struct TerrainCollection {
    u8 colors[256][3] = {};
    std::vector<std::function<u8(u32 x, u32 y)>> colour_index;  // per block
    std::vector<std::function<u8(u32 x, u32 y)>> shade;          // per block
    u16 side = 256;
};

inline std::vector<u8> TerrainCollectionData(const TerrainCollection& t) {
    collection_fixture::StoredCollection c;
    std::memcpy(c.colors, t.colors, sizeof c.colors);
    for (size_t i = 0; i < t.colour_index.size(); ++i) {
        c.bitmaps.push_back({"colour " + std::to_string(i), t.side, t.side, RawBitmap(t.colour_index[i], t.side)});
        c.bitmaps.push_back({"shade " + std::to_string(i), t.side, t.side, RawBitmap(t.shade[i], t.side)});
    }
    return collection_fixture::CollectionData(c);
}

struct Entry {
    u32 id = 0xFFFFFFFF;
    u8 attribute = 0;
    u8 colour[3] = {0, 0, 0};
    std::string description;
};

// Pairs of (value, run length - 1), runs of at most 256.
inline std::vector<u8> Rle(const std::vector<u8>& bytes) {
    std::vector<u8> out;
    for (size_t i = 0; i < bytes.size();) {
        size_t n = 1;
        while (i + n < bytes.size() && n < 256 && bytes[i + n] == bytes[i]) ++n;
        out.push_back(bytes[i]);
        out.push_back(u8(n - 1));
        i += n;
    }
    return out;
}

// Version 2: header, entries at 256, byte plane, then the 16-bit plane's
// bytes (triangle 0 first) run-length coded.
inline std::vector<u8> DmapData(u32 width, u32 height, const std::vector<Entry>& entries,
                                const std::vector<u8>& byte_plane, const std::vector<u8>& triangle_bytes) {
    const std::vector<u8> bytes = Rle(byte_plane), words = Rle(triangle_bytes);
    const u32 table = 256, byte_at = table + 128 * 64, word_at = byte_at + u32(bytes.size());
    Bytes b;
    b.U32(width).U32(height).U32(byte_at).U32(0).U32(word_at).U32(0).U32(table).Zeros(228);
    for (size_t i = 0; i < 128; ++i) {
        const Entry e = i < entries.size() ? entries[i] : Entry();
        b.U32(e.id).U8(e.attribute).U8(e.colour[0]).U8(e.colour[1]).U8(e.colour[2]).Zeros(24).Text(e.description, 32);
    }
    b.Append(bytes).Append(words);
    return b.data;
}

struct ParsedDmap {
    u32 width = 0, height = 0;
    std::vector<Entry> entries;
    std::vector<u8> byte_plane;
    std::vector<u8> triangle_bytes;
};

inline u32 BigU32(const std::vector<u8>& d, size_t at) {
    return (u32(d.at(at)) << 24) | (u32(d.at(at + 1)) << 16) | (u32(d.at(at + 2)) << 8) | d.at(at + 3);
}

inline bool UnRle(const std::vector<u8>& d, size_t at, size_t n, std::vector<u8>* out) {
    out->clear();
    while (out->size() < n) {
        if (at + 1 >= d.size()) return false;
        out->insert(out->end(), size_t(d[at + 1]) + 1, d[at]);
        at += 2;
    }
    return out->size() == n;
}

// Data of a version-2 'dmap' (after the 64-byte tag header).
inline bool ParseDmap(const std::vector<u8>& d, ParsedDmap* out) {
    if (d.size() < 256) return false;
    out->width = BigU32(d, 0);
    out->height = BigU32(d, 4);
    const u32 byte_at = BigU32(d, 8), word_at = BigU32(d, 16), table = BigU32(d, 24);
    if (table + 128 * 64 > d.size()) return false;
    out->entries.clear();
    for (u32 i = 0; i < 128; ++i) {
        const size_t at = table + i * 64;
        Entry e;
        e.id = BigU32(d, at);
        e.attribute = d[at + 4];
        for (int c = 0; c < 3; ++c) e.colour[c] = d[at + 5 + c];
        e.description = std::string(reinterpret_cast<const char*>(&d[at + 32]));
        out->entries.push_back(e);
    }
    const size_t cells = size_t(out->width) * out->height;
    return UnRle(d, byte_at, cells, &out->byte_plane) && UnRle(d, word_at, 2 * cells, &out->triangle_bytes);
}

// The 'medi' record: amplitudes (x at 104, z at 106, y at 108) and
// frequencies (x at 110, z at 112, y at 114) as stored.
inline std::vector<u8> MediaData(u16 ax, u16 az, u16 ay, u16 fx, u16 fz, u16 fy) {
    Bytes b;
    b.U32(0xAAAAAAAA).U32(0xBBBBBBBB).Zeros(16);
    for (int i = 0; i < 16; ++i) b.U32(0x01010101);
    for (int i = 0; i < 6; ++i) b.U16(0x0202);
    b.U32(0x03030303);
    b.U16(ax).U16(az).U16(ay).U16(fx).U16(fz).U16(fy).U16(7).U16(8).U16(9);
    b.Zeros(256 - b.size());
    return b.data;
}

}  // namespace terrain_fixture
