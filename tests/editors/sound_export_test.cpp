// Exporting permutations: safe, distinct file names, every file readable by
// Python's wave module with the expected channels, rate and frames, and
// failures reported by name.

#include "editors/sound_export.h"

#include <gtest/gtest.h>

#include "tests/editors/sound_fixture.h"
#include "tests/support/linux_checkers.h"
#include "tests/support/test_support.h"

using namespace pirn;
using namespace editors_test;

namespace {

SoundData NamedSound(const std::vector<std::string>& names) {
    SoundData sound;
    for (const std::string& name : names) {
        SoundPermutation p;
        p.name = name;
        p.record.channels = 1;
        p.record.bits_per_sample = 16;
        p.record.sample_rate = 8000u << 16;
        sound.permutations.push_back(p);
    }
    return sound;
}

SoundData ReadFixture(const std::vector<FixturePermutation>& perms) {
    const std::vector<u8> data = SoundTagData(perms);
    std::FILE* f = StreamOf(data);
    SoundData sound;
    EXPECT_TRUE(ReadSoundData(&sound, f, 0, u32(data.size())));
    std::fclose(f);
    return sound;
}

}  // namespace

TEST(SoundExport, FileNamesAreSafeAndDistinct) {
    const SoundData sound = NamedSound({"Roar", "Wind/Gust", "", "..", "roar", "Roar", " a:b*c ", "Caf\x8E", "\x01\x02",
                                        "Roar (2)", "aux", "LPT3. "});
    const std::vector<std::string> expected = {
        "Roar.wav",      "Wind_Gust.wav",  "Permutation 3.wav", "Permutation 4.wav", "roar (2).wav",
        "Roar (3).wav",  "a_b_c.wav",      "Caf\xC3\xA9.wav",   "__.wav",            "Roar (2) (2).wav",
        "_aux.wav",      "_LPT3.wav",
    };
    EXPECT_EQ(SoundExportFileNames(sound, AllSoundPermutations(sound)), expected);
    EXPECT_EQ(SoundExportFileNames(sound, {4, 0}), (std::vector<std::string>{"roar.wav", "Roar (2).wav"}));
}

TEST(SoundExport, ExportAllAndSelectedWriteWavFilesOfEachPermutation) {
    const SoundData sound = ReadFixture({{"Roar", 1, 16, 1, 22050, {SilentPacket(), RisingPacket()}},
                                         {"Wind/Gust", 2, 16, 1, 11025, {LoudPacket(), RisingPacket(), FloorPacket()}},
                                         {"Hush", 2, 16, 0, 8000, {}}});
    pirn_test::TempDir dir;
    const SoundExportResult all = ExportSoundPermutations(sound, AllSoundPermutations(sound), dir.path());
    EXPECT_TRUE(all.failed.empty());
    ASSERT_EQ(all.written.size(), 3u);
    struct Expect {
        const char* file;
        const char* wave;  // channels rate frames sampwidth
    } files[] = {{"Roar.wav", "1 22050 128 2\n"}, {"Wind_Gust.wav", "2 11025 96 2\n"}, {"Hush.wav", "2 8000 0 2\n"}};
    for (size_t i = 0; i < 3; ++i) EXPECT_EQ(all.written[i], dir.file(files[i].file));
    const std::vector<u8> roar = pirn_test::ReadAll(dir.file("Roar.wav"));
    ASSERT_EQ(roar.size(), 44u + 256);
    EXPECT_EQ(i16(roar[44 + 128] | (roar[45 + 128] << 8)), RisingStart()[0]);

    pirn_test::TempDir other;
    const SoundExportResult one = ExportSoundPermutations(sound, {1, 7}, other.path());
    EXPECT_EQ(one.written, std::vector<std::string>{other.file("Wind_Gust.wav")});
    EXPECT_FALSE(pirn_test::Exists(other.file("Roar.wav")));

    PIRN_SKIP_LINUX_CHECKERS("python3");
    for (size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(files[i].file);
        std::string out;
        EXPECT_TRUE(RunCommand("/usr/bin/python3 -c \"import wave,sys; w=wave.open(sys.argv[1]); "
                               "print(w.getnchannels(), w.getframerate(), w.getnframes(), w.getsampwidth())\" '" +
                                   all.written[i] + "' 2>&1",
                               &out));
        EXPECT_EQ(out, files[i].wave);
    }
}

TEST(SoundExport, FailedWritesAreReportedByName) {
    const SoundData sound = ReadFixture({{"Roar", 1, 16, 1, 22050, {SilentPacket()}}, {"Gust", 1, 16, 1, 8000, {}}});
    pirn_test::TempDir dir;
    const SoundExportResult result = ExportSoundPermutations(sound, AllSoundPermutations(sound), dir.file("nowhere"));
    EXPECT_TRUE(result.written.empty());
    EXPECT_EQ(result.failed, (std::vector<std::string>{"Roar.wav", "Gust.wav"}));
}
