#pragma once
// WAV file bytes written from the RIFF table, little-endian, apart from the
// writer's own code: what an exported file must hold, byte for byte.

#include <string>
#include <vector>

#include "platform/types.h"

namespace editors_test {

struct LittleEndianBytes {
    std::vector<pirn::u8> data;
    LittleEndianBytes& Tag(const char* four) {
        data.insert(data.end(), four, four + 4);
        return *this;
    }
    LittleEndianBytes& U16(pirn::u32 v) {
        data.push_back(pirn::u8(v));
        data.push_back(pirn::u8(v >> 8));
        return *this;
    }
    LittleEndianBytes& U32(pirn::u32 v) { return U16(v & 0xFFFF).U16(v >> 16); }
    LittleEndianBytes& Samples(const std::vector<pirn::i16>& samples) {
        for (pirn::i16 s : samples) U16(pirn::u16(s));
        return *this;
    }
};

// The 44-byte header of a 16-bit PCM file.
inline LittleEndianBytes WavHeaderBytes(pirn::u32 channels, pirn::u32 rate, pirn::u32 data_bytes) {
    LittleEndianBytes b;
    b.Tag("RIFF").U32(data_bytes + 36).Tag("WAVE").Tag("fmt ").U32(16).U16(1).U16(channels).U32(rate)
        .U32(rate * 2 * channels).U16(2 * channels).U16(16).Tag("data").U32(data_bytes);
    return b;
}

}  // namespace editors_test
