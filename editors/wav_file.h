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

// Where a streamed WAV file's samples come from.
class WavSampleSource {
public:
    virtual ~WavSampleSource() = default;
    // The next samples (native order, interleaved by channel): at most
    // room, made into buffer or held elsewhere; *count says how many, and 0
    // means there are no more.
    virtual const i16* Next(i16* buffer, u32 room, u32* count) = 0;
};

// Samples of a WAV file are written through one buffer of this many.
constexpr u32 kWavChunkSamples = 32768;

// Writes parameters.sample_count samples from the source (parameters.samples
// is not used) through one buffer of kWavChunkSamples, so that a long
// sound never needs its whole size in memory. The file goes through a
// temporary file beside it, renamed into place when complete. 1, or 0 when
// the parameters cannot make a WAV file (only 16-bit samples, 1 or more
// channels, a rate of 1 Hz or more, a size within 4 GiB), the source ends
// early or the file cannot be written; nothing is left at the path then,
// and a file that was there stays as it was. *failure, when given, gets
// the system's words for a failed write.
int WriteWavFile(const std::string& path, const WavParameters& parameters, WavSampleSource& source,
                 std::string* failure = nullptr);

// The same with every sample in memory (parameters.samples; may be null
// when there are none). No samples at all write a file with an empty data
// chunk.
int WriteWavFile(const std::string& path, const WavParameters& parameters);

}  // namespace pirn
