#include "editors/sound_export.h"

#include <cctype>
#include <set>

#include "editors/wav_file.h"
#include "platform/char_map.h"
#include "platform/file_system.h"
#include "platform/safe_file_name.h"
#include "platform/strings.h"

namespace pirn {

namespace {

// A permutation's name as the stem of its file, by the rule of every name
// that becomes a path; leading spaces go too, as they confuse.
std::string SafeStem(const std::string& name, u32 index) {
    const size_t first = name.find_first_not_of(' ');
    std::string stem = SafeFileName(CharMapToUtf8(first == std::string::npos ? std::string() : name.substr(first)));
    if (stem.empty()) stem = FormatString("Permutation %u", index + 1);
    return stem;
}

std::string FoldCase(const std::string& text) {
    std::string folded = text;
    for (char& c : folded) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return folded;
}

}  // namespace

std::string FormatSoundDuration(u32 seconds) {
    const u32 hours = seconds / 3600;
    const u32 minutes = seconds / 60 % 60;
    const u32 rest = seconds % 60;
    if (hours > 0) return FormatString("%02u:%02u:%02u", hours, minutes, rest);
    return FormatString("%02u:%02u", minutes, rest);
}

std::string FormatChannelCount(u32 channels) {
    if (channels == 1) return "1 (mono)";
    if (channels == 2) return "2 (stereo)";
    return FormatString("%u", channels);
}

SoundPermutationRow DescribeSoundPermutation(const SoundPermutation& p) {
    SoundPermutationRow row;
    row.name = p.name;
    row.duration = FormatSoundDuration(PermutationDuration(p.record));
    row.bit_depth = FormatString("%u", u32{p.record.bits_per_sample});
    row.channels = FormatChannelCount(p.record.channels);
    row.sample_rate = FormatString("%u Hz", p.SampleRateHz());
    return row;
}

std::vector<std::string> SoundExportFileNames(const SoundData& sound, const std::vector<u32>& indices) {
    std::vector<std::string> names;
    std::set<std::string> taken;
    for (u32 index : indices) {
        const std::string stem = index < sound.permutations.size()
                                     ? SafeStem(sound.permutations[index].name, index)
                                     : FormatString("Permutation %u", index + 1);
        std::string name = stem + ".wav";
        for (u32 n = 2; taken.count(FoldCase(name)); ++n) name = FormatString("%s (%u).wav", stem.c_str(), n);
        taken.insert(FoldCase(name));
        names.push_back(name);
    }
    return names;
}

std::vector<u32> AllSoundPermutations(const SoundData& sound) {
    std::vector<u32> all;
    for (u32 i = 0; i < sound.permutations.size(); ++i) all.push_back(i);
    return all;
}

namespace {

// A permutation's samples decoded into the writer's buffer.
class DecodingSampleSource : public WavSampleSource {
public:
    explicit DecodingSampleSource(const SoundPermutation& permutation) : reader_(permutation) {}
    const i16* Next(i16* buffer, u32 room, u32* count) override {
        *count = reader_.Read(buffer, room);
        return buffer;
    }

private:
    PermutationSampleReader reader_;
};

// The most samples one WAV file's data chunk holds (its size is 32 bits).
constexpr u64 kMostWavSamples = (0xFFFFFFFFull - 36) / 2;

}  // namespace

const char* SoundExportRefusal(const SoundPermutation& p) {
    if (p.SampleRateHz() == 0) return "its sample rate is below 1 Hz";
    if (p.SampleCount() > kMostWavSamples) return "it is too long for a WAV file";
    return nullptr;
}

SoundExportResult ExportSoundPermutations(const SoundData& sound, const std::vector<u32>& indices,
                                          const std::string& folder) {
    std::vector<u32> valid;
    for (u32 index : indices)
        if (index < sound.permutations.size()) valid.push_back(index);
    const std::vector<std::string> names = SoundExportFileNames(sound, valid);
    const std::string base = EnsureTrailingSlash(folder);
    SoundExportResult result;
    for (size_t i = 0; i < valid.size(); ++i) {
        const SoundPermutation& p = sound.permutations[valid[i]];
        std::string why;
        if (const char* refusal = SoundExportRefusal(p)) {
            why = refusal;
        } else {
            WavParameters wav;
            wav.sample_count = static_cast<u32>(p.SampleCount());
            wav.sample_rate = p.SampleRateHz();
            wav.bits_per_sample = p.record.bits_per_sample;
            wav.channels = p.record.channels;
            DecodingSampleSource source(p);
            const std::string path = base + names[i];
            if (WriteWavFile(path, wav, source, &why)) {
                result.written.push_back(path);
                continue;
            }
            if (why.empty()) why = "it could not be written";
        }
        result.failed.push_back(SoundExportFailure{valid[i], names[i], why});
    }
    return result;
}

std::vector<std::string> SoundExportResult::FailedFiles() const {
    std::vector<std::string> files;
    for (const SoundExportFailure& f : failed) files.push_back(f.file);
    return files;
}

}  // namespace pirn
