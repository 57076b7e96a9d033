#pragma once
// What the sound viewer shows of each permutation and how it exports
// permutations as WAV files into a folder.

#include <string>
#include <vector>

#include "editors/sound_data.h"
#include "platform/types.h"

namespace pirn {

// "%02d:%02d:%02d" (hours, minutes, seconds) from an hour on, else "%02d:%02d".
std::string FormatSoundDuration(u32 seconds);
// "1 (mono)", "2 (stereo)", else the number.
std::string FormatChannelCount(u32 channels);

// The texts of one row: name, "Duration", "Bit Depth", "Channels", "Sample Rate".
struct SoundPermutationRow {
    std::string name;
    std::string duration;
    std::string bit_depth;
    std::string channels;
    std::string sample_rate;
};
SoundPermutationRow DescribeSoundPermutation(const SoundPermutation& permutation);

// File names ("<name>.wav", UTF-8) for the permutations at the indices, in
// order: names made safe as one path component (no separators or control
// characters, never empty, "." or ".."), and names that would fall on the same
// file (ignoring case, so that they stay apart on any disk) numbered " (2)",
// " (3)"...
std::vector<std::string> SoundExportFileNames(const SoundData& sound, const std::vector<u32>& indices);

// A permutation that was not written, its file name and why.
struct SoundExportFailure {
    u32 permutation = 0;
    std::string file;
    std::string reason;
};

struct SoundExportResult {
    std::vector<std::string> written;  // full paths
    std::vector<SoundExportFailure> failed;
    std::vector<std::string> FailedFiles() const;
};

// Why a permutation cannot become a WAV file at all, or null when it can:
// a rate under 1 Hz would make a file with rate 0, which players refuse.
const char* SoundExportRefusal(const SoundPermutation& permutation);

// Writes each permutation at the indices as folder + "/" + its file name
// with its decoded samples, bits, whole-Hz rate and channels, decoding and
// writing a piece at a time. Indices past the permutations are passed over.
// Failures are collected, not fatal.
SoundExportResult ExportSoundPermutations(const SoundData& sound, const std::vector<u32>& indices,
                                          const std::string& folder);
// Every permutation, in order.
std::vector<u32> AllSoundPermutations(const SoundData& sound);

}  // namespace pirn
