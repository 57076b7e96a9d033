#pragma once
// The wave that moves the vertices of a terrain under its media (water):
// amplitudes and frequencies read from the terrain's 'medi' tag, applied to
// every vertex of a cell that lies under media while media animation runs.
//
// 'medi' data starts with a 256-byte big-endian record: u32 x 2, 16 zero
// bytes, u32 x 16, u16 x 6 at 88, u32 at 100, u16 x 9 at 104, zeros to 256.
// The u16 at 104, 108, 106 / 512 are the amplitudes along x, y and z; those
// at 110, 114, 112 x 2 pi / 65536 the frequencies.

#include <cstdio>

#include "codex/tag_header.h"
#include "platform/types.h"

namespace pirn {

constexpr u32 kMediaGroup = 0x6D656469;  // 'medi'
constexpr u32 kMediaRecordBytes = 256;

extern const u16 kMediaRecordLayout[];

struct MediaWave {
    float amplitude[3] = {0.1f, 0.1f * 512, 0.2f};  // x, y (height units), z
    float frequency[3] = {0.5f, 0.5f, 1.0f};
    // The largest amplitude in cells, before y was scaled to height units.
    float largest = 0.2f;
};

// The defaults: amplitudes 0.1, 0.1, 0.2 and frequencies 0.5, 0.5, 1.0.
void SetDefaultMediaWave(MediaWave* wave);
// From a 'medi' tag's data; false (wave unchanged) when the record cannot
// be read.
bool ReadMediaWave(MediaWave* wave, std::FILE* stream, const TagHeader& header);
// From the record in memory form (fields converted, at their offsets).
void MediaWaveFromRecord(MediaWave* wave, const u8 record[kMediaRecordBytes]);

// Moves one vertex (x and z in cells, y in height units) by the wave at the
// frame counter's phase.
void ApplyMediaWave(const MediaWave& wave, u32 frame_counter, float vertex[3]);

}  // namespace pirn
