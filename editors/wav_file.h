#pragma once
// RIFF WAVE files of PCM samples: the 44-byte header (all numbers
// little-endian) and the samples.

#include <string>

#include "platform/types.h"

namespace pirn {

constexpr u32 kWavHeaderSize = 44;

struct WavParameters {
    const i16* samples = nullptr;  // 16-bit: native order; interleaved by channel
    u32 sample_count = 0;          // over all channels
    u32 sample_rate = 0;           // whole Hz
    u16 bits_per_sample = 16;
    u16 channels = 1;
};

// "RIFF", data bytes + 36, "WAVE", "fmt ", 16, 1 (PCM), channels, rate,
// rate x block align, block align = bits / 8 x channels, bits, "data", data
// bytes, where data bytes = bits x sample count / 8.
void BuildWavHeader(const WavParameters& parameters, u8 header[kWavHeaderSize]);

// Writes the file through a temporary file beside it, renamed into place
// when complete. 1, or 0 when the parameters cannot make a WAV file (only
// 16-bit samples, 1 or more channels, samples missing for a non-zero count,
// a size past 4 GiB) or the file cannot be written (nothing is left at the
// path then). No samples at all write a file with an empty data chunk.
int WriteWavFile(const std::string& path, const WavParameters& parameters);

}  // namespace pirn
