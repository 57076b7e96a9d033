#pragma once
// Hand-built bitmap blocks and '.256' tag data for the collection tests,
// laid out field by field from the format tables with big-endian writers of
// their own (never through the code under test).

#include <cstdio>
#include <string>
#include <vector>

#include "codex/tag_header.h"
#include "collections/collection.h"
#include "platform/scratch_stream.h"
#include "platform/types.h"
#include "tests/support/big_endian_bytes.h"

namespace collection_fixture {

using pirn::i16;
using pirn::u16;
using pirn::u32;
using pirn::u8;

struct Bytes : pirn_test::BigEndianBytes<Bytes> {};

inline u16 ReadU16(const std::vector<u8>& b, size_t at) { return u16((b.at(at) << 8) | b.at(at + 1)); }
inline u32 ReadU32(const std::vector<u8>& b, size_t at) { return (u32(ReadU16(b, at)) << 16) | ReadU16(b, at + 2); }

// The 52-byte bitmap header: width, height, bytes per row, flags, bits per
// pixel, two zero words, depth shift, pixel format, 34 zero bytes.
inline Bytes BitmapHeader(i16 width, i16 height, u16 row_bytes, u16 flags, u16 bits, u16 shift, u16 format) {
    Bytes b;
    b.U16(u16(width)).U16(u16(height)).U16(row_bytes).U16(flags).U16(bits).U16(0).U16(0).U16(shift).U16(format);
    b.Zeros(34);
    return b;
}

// One RLE row: run count, pixel count, runs (start, end), pixel bytes, and a
// pad byte after an odd number of them when asked.
struct Run {
    u16 start, end;
};
inline void RleRow(Bytes* b, const std::vector<Run>& runs, const std::vector<u8>& pixel_bytes, size_t pixel_count,
                   bool pad) {
    b->U16(u16(runs.size())).U16(u16(pixel_count));
    for (const Run& r : runs) b->U16(r.start).U16(r.end);
    b->Append(pixel_bytes);
    if (pad && (pixel_bytes.size() & 1)) b->U8(0);
}

// Tag data of a collection, written in the stored section order with the
// offsets filled in.
struct StoredInstance {
    u32 flags = 0;
    i16 x = 0, y = 0, key_x = 0, key_y = 0;
    u16 bitmap = 0xFFFF, alternate = 0xFFFF;
    u32 alternate_scale = 0;
    i16 alternate_x = 0, alternate_y = 0;
};
struct StoredFrame {
    u16 frame_record = 0xFFFF;
    u16 values[3] = {0, 0, 0};
    std::vector<u16> views;  // instance indices
};
struct StoredSequence {
    std::string name;
    u32 flags = 2, value = 0x10000;
    u16 views = 1;
    u16 ticks = 0, key = 0, loop = 0, carried_a[3] = {0, 0, 0};
    u32 sounds[3] = {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF};
    u16 transfer_mode = 0, transfer_period = 0;
    u32 radius = 20 << 16, lower = u32(-10 * 65536), upper = 60 << 16;
    u16 carried_b[3] = {0, 0, 0};
    std::vector<StoredFrame> frames;
};
struct StoredFrameRecord {
    u32 flags = 0, x = 0, y = 0;
    u16 shadow = 0xFFFF;
};
struct StoredHue {
    std::string name;
    u16 start = 0x5556, end = 0xAAAB;
    u8 affected[32] = {};
    u16 min_saturation = 0, median = 0x8001, use_as = 0;
    u16 red = 0, green = 0, blue = 0, hue_flags = 0;
    u8 tail[8] = {};
};
struct StoredBitmap {
    std::string name;
    u16 width = 0, height = 0;
    std::vector<u8> block;
};
struct StoredCollection {
    u32 stored_word = 0;
    u32 flags = 6;
    u32 color_count = 256;
    u8 colors[256][3] = {};
    std::vector<StoredHue> hues;
    std::vector<StoredInstance> instances;
    std::vector<StoredSequence> sequences;
    std::vector<StoredFrameRecord> frame_records;
    std::vector<StoredBitmap> bitmaps;
};

inline std::vector<u8> SequenceBlock(const StoredSequence& s) {
    Bytes b;
    b.U32(s.flags).U32(s.value).U16(s.views).U16(u16(s.frames.size())).U16(s.ticks).U16(s.key).U16(s.loop);
    for (u16 v : s.carried_a) b.U16(v);
    for (u32 v : s.sounds) b.U32(v);
    b.U16(s.transfer_mode).U16(s.transfer_period).U32(s.radius).U32(s.lower).U32(s.upper);
    for (u16 v : s.carried_b) b.U16(v);
    b.Zeros(6);
    for (const StoredFrame& f : s.frames) {
        b.U16(f.frame_record).U16(f.values[0]).U16(f.values[1]).U16(f.values[2]).Zeros(38);
        for (u16 v : f.views) b.U16(v);
    }
    return b.data;
}

// The data of the tag (what follows the 64-byte tag header).
inline std::vector<u8> CollectionData(const StoredCollection& c) {
    Bytes b;
    b.Zeros(320);
    struct Section {
        u32 count = 0, offset = 0, size = 0;
    } sections[8];
    auto begin = [&](int id, u32 count) {
        sections[id].count = count;
        sections[id].offset = u32(b.size() - 320);
    };
    auto end = [&](int id) { sections[id].size = u32(b.size() - 320 - sections[id].offset); };

    begin(0, 1);
    b.U32(c.color_count).Zeros(28);
    for (int i = 0; i < 256; ++i) b.U16(u16(c.colors[i][0] << 8)).U16(u16(c.colors[i][1] << 8)).U16(u16(c.colors[i][2] << 8)).U16(0);
    end(0);
    begin(1, u32(c.hues.size()));
    for (const StoredHue& h : c.hues) {
        b.Text(h.name, 63).U8(0).U16(h.start).U16(h.end);
        for (u8 v : h.affected) b.U8(v);
        b.U16(h.min_saturation).U16(h.median).U16(h.use_as).Zeros(6).U16(h.red).U16(h.green).U16(h.blue).U16(h.hue_flags);
        for (u8 v : h.tail) b.U8(v);
    }
    end(1);
    begin(3, u32(c.instances.size()));
    for (const StoredInstance& i : c.instances) {
        b.U32(i.flags).Zeros(8).U16(u16(i.x)).U16(u16(i.y)).Zeros(8).U16(u16(i.key_x)).U16(u16(i.key_y));
        b.U16(i.bitmap).U16(i.alternate).U32(i.alternate_scale).U16(u16(i.alternate_x)).U16(u16(i.alternate_y));
        b.Zeros(24);
    }
    end(3);
    begin(4, u32(c.sequences.size()));
    const size_t sequence_table = b.size();
    b.Zeros(128 * c.sequences.size());
    end(4);
    std::vector<std::pair<u32, u32>> sequence_places;
    for (const StoredSequence& s : c.sequences) {
        const std::vector<u8> block = SequenceBlock(s);
        sequence_places.emplace_back(u32(b.size() - 320), u32(block.size()));
        b.Append(block);
    }
    begin(5, u32(c.frame_records.size()));
    for (const StoredFrameRecord& f : c.frame_records) b.U32(f.flags).U32(f.x).U32(f.y).U16(f.shadow).Zeros(18);
    end(5);
    begin(2, u32(c.bitmaps.size()));
    const size_t bitmap_table = b.size();
    b.Zeros(128 * c.bitmaps.size());
    end(2);
    std::vector<std::pair<u32, u32>> bitmap_places;
    for (const StoredBitmap& m : c.bitmaps) {
        bitmap_places.emplace_back(u32(b.size() - 320), u32(m.block.size()));
        b.Append(m.block);
    }
    const u32 total = u32(b.size() - 320);

    // Fill the tables and the header in place.
    Bytes table;
    for (size_t i = 0; i < c.sequences.size(); ++i)
        table.Text(c.sequences[i].name, 63).U8(0).U32(sequence_places[i].first).U32(sequence_places[i].second).Zeros(56);
    std::copy(table.data.begin(), table.data.end(), b.data.begin() + long(sequence_table));
    table.data.clear();
    for (size_t i = 0; i < c.bitmaps.size(); ++i)
        table.Text(c.bitmaps[i].name, 63).U8(0).U32(bitmap_places[i].first).U32(bitmap_places[i].second).Zeros(4)
            .U16(c.bitmaps[i].width).U16(c.bitmaps[i].height).Zeros(48);
    std::copy(table.data.begin(), table.data.end(), b.data.begin() + long(bitmap_table));
    Bytes header;
    header.U32(c.stored_word).U32(c.flags).Zeros(56);
    for (const Section& s : sections) header.U32(s.count).U32(s.offset).U32(s.size).U32(0);
    header.Zeros(56).U32(320).U32(total).Zeros(64);
    std::copy(header.data.begin(), header.data.end(), b.data.begin());
    return b.data;
}

// A tag header for data that starts at offset 64 of a tag file.
inline pirn::TagHeader TagHeaderFor(const std::vector<u8>& data, u32 flags, const char* name = "Test Collection") {
    pirn::TagHeader header = pirn::MakeTagHeader(0x2E323536, 0x74657374, name);
    header.data_offset = 64;
    header.data_length = u32(data.size());
    header.user_data = flags;
    header.version = 4;
    return header;
}

// A read-write stream over a copy of the bytes (a tag file: 64 header bytes
// then the data).
struct MemoryStream {
    std::FILE* file = nullptr;
    MemoryStream() : file(pirn::OpenScratchFile()) {}
    explicit MemoryStream(const std::vector<u8>& bytes) : file(pirn::OpenScratchFile()) {
        if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::rewind(file);
    }
    ~MemoryStream() {
        if (file) std::fclose(file);
    }
    MemoryStream(const MemoryStream&) = delete;
    MemoryStream& operator=(const MemoryStream&) = delete;
    std::vector<u8> Contents() const {
        std::fflush(file);
        std::fseek(file, 0, SEEK_END);
        const long size = std::ftell(file);
        std::vector<u8> bytes(size_t(size > 0 ? size : 0));
        std::rewind(file);
        if (!bytes.empty() && std::fread(bytes.data(), 1, bytes.size(), file) != bytes.size()) bytes.clear();
        return bytes;
    }
};

// A tag file: 64 zero bytes standing for the header, then the data.
inline std::vector<u8> TagFileBytes(const std::vector<u8>& data) {
    std::vector<u8> file(64, 0);
    file.insert(file.end(), data.begin(), data.end());
    return file;
}

}  // namespace collection_fixture
