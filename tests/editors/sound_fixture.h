#pragma once
// Sound tag bytes written from the format tables: a 64-byte header, 32-byte
// descriptions and permutation records, then 34-byte packets, with packets
// whose decoded samples were worked out by hand.

#include <string>
#include <vector>

#include "tests/editors/editors_test_support.h"

namespace editors_test {

struct FixturePermutation {
    std::string name;
    u16 channels = 1;
    u16 bits = 16;
    u32 flags = 1;
    u32 rate_hz = 22050;
    std::vector<std::vector<u8>> packets;  // 34 bytes each
    u32 claimed_packets = 0xFFFFFFFF;      // the record's count; default: packets.size()
};

// Header 0x0000 and all codes 0: 64 zero samples.
inline std::vector<u8> SilentPacket() {
    Bytes b;
    b.U16(0).Fill(32, 0);
    return b.data;
}

// Predictor 896 (1000 with its low 7 bits cleared), step index 10: codes 7, 0,
// 8, 0 give 930, 935, 931, 935; the rest are code 0.
inline std::vector<u8> RisingPacket() {
    Bytes b;
    b.U16((1000 & 0xFF80) | 10).U8(0x07).U8(0x08).Fill(30, 0);
    return b.data;
}
inline const std::vector<i16>& RisingStart() {
    static const std::vector<i16> samples = {930, 935, 931, 935};
    return samples;
}

// Step index 127 counts as 88: codes 7, 0, 15, 0 from predictor 0 give
// 32767 (clamped), 32767, -23096, -19001.
inline std::vector<u8> LoudPacket() {
    Bytes b;
    b.U16(0x007F).U8(0x07).U8(0x0F).Fill(30, 0);
    return b.data;
}
inline const std::vector<i16>& LoudStart() {
    static const std::vector<i16> samples = {32767, 32767, -23096, -19001};
    return samples;
}

// Predictor -32768 (header 0x8000), step index 5 (step 12): code 0 adds 1.
inline std::vector<u8> FloorPacket() {
    Bytes b;
    b.U16(0x8000 | 5).Fill(32, 0);
    return b.data;
}

// The whole tag data: header, descriptions at 64, records after them,
// packets after the records. Carried and reserved fields hold markers.
inline std::vector<u8> SoundTagData(const std::vector<FixturePermutation>& perms) {
    const u32 n = u32(perms.size());
    const u32 descriptions_at = 64;
    const u32 records_at = 64 + 32 * n;
    Bytes b;
    b.U32(0x11111111);
    for (u16 i = 0; i < 8; ++i) b.U16(u16(0x2220 + i));
    b.U32(records_at).U32(0x33333333).U32(0x44444444).U16(0x5555).U16(0x6666);
    b.U32(n).U32(descriptions_at).U32(0x88888888).Fill(16, 0x77);
    for (const FixturePermutation& p : perms) b.U16(0xAAAA).U16(0xBBBB).U16(0xCCCC).Text(p.name, 25).U8(0xDD);
    for (const FixturePermutation& p : perms) {
        const u32 count = p.claimed_packets == 0xFFFFFFFF ? u32(p.packets.size()) : p.claimed_packets;
        b.U32(p.flags).U16(p.bits).U16(0x1234).U16(p.channels).U16(0xEEEE);
        b.U32(p.rate_hz << 16).U32(count).U32(0x55555555).U32(0x66666666).U32(0xFEEDFACE);
    }
    for (const FixturePermutation& p : perms)
        for (const std::vector<u8>& packet : p.packets) b.Append(packet);
    return b.data;
}

}  // namespace editors_test
