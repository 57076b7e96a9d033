// The data of a sound ('soun') tag as SoundEdit reads it (header, records
// and descriptions, IMA ADPCM packets decoded), then every permutation
// exported as a WAV file as "Export" does. A sound that reads holds the
// samples its packets promise; each WAV file lands inside the chosen folder
// (its name comes from the tag) and holds its permutation's samples.

#include <filesystem>
#include <string>

#include "editors/sound_data.h"
#include "editors/sound_export.h"
#include "editors/wav_file.h"
#include "fuzz/fuzz_support.h"
#include "fuzz/tag_data_harness.h"
#include "platform/file_system.h"

namespace {

constexpr pirn::u32 kSoundGroup = 0x736F756E;  // 'soun'

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool silenced = (pirn_fuzz::SilenceLogs(), true);
    (void)silenced;
    pirn_fuzz::TagDataInput input(kSoundGroup, data, size);
    pirn::SoundData sound;
    if (!pirn::ReadSoundData(&sound, input.stream(), input.header.data_offset, input.header.data_length)) return 0;
    pirn::u64 samples = 0;
    for (const pirn::SoundPermutation& permutation : sound.permutations) {
        FUZZ_CHECK(permutation.Channels() >= 1);
        FUZZ_CHECK(permutation.packets.size() == size_t(permutation.record.packet_count) ||
                   (permutation.record.flags & 1) == 0);
        samples += permutation.SampleCount();
    }
    FUZZ_CHECK(samples <= pirn::u64(size) * 2);  // a 34-byte packet holds 64 samples

    const std::string folder = pirn_fuzz::ScratchFolder() + "/sounds";
    FUZZ_CHECK(pirn::MakeDirectory(folder));
    const pirn::SoundExportResult result = pirn::ExportSoundPermutations(sound, pirn::AllSoundPermutations(sound), folder);
    FUZZ_CHECK(result.written.size() + result.failed.size() <= sound.permutations.size());
    for (const std::string& path : result.written) {
        const std::filesystem::path written(path);
        FUZZ_CHECK(written.parent_path() == std::filesystem::path(folder));
        pirn::FileInfo info;
        FUZZ_CHECK(pirn::StatPath(&info, path) && info.size >= pirn::kWavHeaderSize);
    }
    pirn_fuzz::ClearScratchFolder();
    return 0;
}
