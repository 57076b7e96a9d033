// Exporting permutations: safe, distinct file names, every file readable by
// Python's wave module with the expected channels, rate and frames, long
// sounds written a piece at a time to the same bytes as a whole decode in
// bounded memory, and failures reported by name. (Writes that fail part
// way through a file: tests/fault_injection.)

#include "editors/sound_export.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <random>

#include "editors/wav_file.h"
#include "tests/editors/sound_fixture.h"
#include "tests/editors/wav_fixture.h"
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

// A permutation of varied packets from a seed: predictors and step
// indices all over their range, codes of every value.
SoundPermutation NoisyPermutation(const std::string& name, u16 channels, u32 packets, u32 seed) {
    std::mt19937 random(seed);
    SoundPermutation p;
    p.name = name;
    p.record.flags = 1;
    p.record.bits_per_sample = 16;
    p.record.channels = channels;
    p.record.sample_rate = 22050u << 16;
    p.record.packet_count = packets;
    p.packets.resize(packets);
    for (Ima4Packet& packet : p.packets) {
        packet.header = u16((random() & 0xFF80) | (random() % 89));
        for (u8& code : packet.codes) code = u8(random());
    }
    return p;
}

// What the permutation's file must hold after its header: each group of
// packets decoded here one packet at a time into its channel's places, and
// silence where an odd stereo count leaves a packet without its partner.
std::vector<i16> ExpectedSamples(const SoundPermutation& p) {
    const u32 channels = p.record.channels;
    std::vector<i16> samples(p.packets.size() * 64, 0);
    for (size_t g = 0; g < p.packets.size() / channels; ++g)
        for (u32 c = 0; c < channels; ++c)
            DecodeIma4(p.packets[g * channels + c], &samples[g * 64 * channels + c], 64, channels);
    return samples;
}

std::vector<u8> ExpectedFile(const SoundPermutation& p) {
    const std::vector<i16> samples = ExpectedSamples(p);
    LittleEndianBytes b = WavHeaderBytes(p.record.channels, p.SampleRateHz(), u32(samples.size() * 2));
    return b.Samples(samples).data;
}

}  // namespace

TEST(SoundExport, LongPermutationsAreWrittenAPieceAtATimeToTheSameBytes) {
    SoundData sound;
    sound.permutations = {NoisyPermutation("Mono", 1, 1100, 1), NoisyPermutation("Stereo", 2, 1100, 2),
                          NoisyPermutation("Odd", 2, 1101, 3)};
    for (const SoundPermutation& p : sound.permutations)
        ASSERT_GT(p.SampleCount(), 2u * kWavChunkSamples) << "each file spans several pieces";
    pirn_test::TempDir dir;
    const SoundExportResult result = ExportSoundPermutations(sound, AllSoundPermutations(sound), dir.path());
    ASSERT_TRUE(result.failed.empty());
    ASSERT_EQ(result.written.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(result.written[i]);
        EXPECT_TRUE(pirn_test::ReadAll(result.written[i]) == ExpectedFile(sound.permutations[i]));
    }

    PIRN_SKIP_LINUX_CHECKERS("ffmpeg and soxi");
    RequireTool("ffmpeg");
    RequireTool("soxi");
    for (size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(result.written[i]);
        const SoundPermutation& p = sound.permutations[i];
        std::string out;
        const std::string raw = dir.file("raw.pcm");
        ASSERT_TRUE(RunCommand("ffmpeg -nostdin -v error -y -i '" + result.written[i] + "' -f s16le -c:a pcm_s16le '" +
                                   raw + "' 2>&1",
                               &out))
            << out;
        EXPECT_TRUE(pirn_test::ReadAll(raw) == LittleEndianBytes().Samples(ExpectedSamples(p)).data)
            << "ffmpeg reads other samples";
        ASSERT_TRUE(RunCommand("soxi -c '" + result.written[i] + "' && soxi -r '" + result.written[i] + "'", &out));
        EXPECT_EQ(out, std::to_string(p.record.channels) + "\n22050\n");
    }
}

TEST(SoundExport, RatesUnderOneHertzAreRefusedAndNamed) {
    // The rate is 16.16 fixed point; a WAV file holds whole Hz, and a file
    // of 0 Hz is refused by players.
    const struct {
        u32 field;
        bool written;
    } cases[] = {{0, false}, {0x8000, false}, {0xFFFF, false}, {0x10000, true}, {0x18000, true}};
    pirn_test::TempDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.field);
        SoundData sound;
        sound.permutations = {NoisyPermutation("Hum", 1, 3, 4)};
        sound.permutations[0].record.sample_rate = c.field;
        pirn_test::WriteAll(dir.file("Hum.wav"), std::string("old"));
        const SoundExportResult result = ExportSoundPermutations(sound, {0}, dir.path());
        if (c.written) {
            EXPECT_TRUE(result.failed.empty());
            EXPECT_TRUE(pirn_test::ReadAll(dir.file("Hum.wav")) == ExpectedFile(sound.permutations[0]));
            continue;
        }
        EXPECT_TRUE(result.written.empty());
        ASSERT_EQ(result.failed.size(), 1u);
        EXPECT_EQ(result.failed[0].permutation, 0u);
        EXPECT_EQ(result.failed[0].file, "Hum.wav");
        EXPECT_EQ(result.failed[0].reason, "its sample rate is below 1 Hz");
        EXPECT_EQ(pirn_test::ReadAll(dir.file("Hum.wav")).size(), 3u) << "the file that was there stays";
    }
}

#ifndef _WIN32
TEST(SoundExport, ExportingALongSoundNeedsMemoryForAPieceNotTheWholeSound) {
    // 24 MB of samples in 6.7 MB of packets. Read and exported in a child
    // process, whose peak memory starts from what it had when it began.
    const u32 packets = 196608;
    std::vector<FixturePermutation> perms(1);
    perms[0].name = "Long";
    perms[0].packets.assign(packets, RisingPacket());
    const std::vector<u8> data = SoundTagData(perms);
    std::FILE* stream = StreamOf(data);
    pirn_test::TempDir dir;
    const long decoded_kib = long(packets) * 128 / 1024;
    std::fflush(nullptr);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const long before = pirn_test::PeakMemoryKiB();
        SoundData sound;
        if (!ReadSoundData(&sound, stream, 0, u32(data.size()))) _exit(2);
        if (ExportSoundPermutations(sound, {0}, dir.path()).written.size() != 1) _exit(3);
        _exit(pirn_test::PeakMemoryKiB() - before < decoded_kib / 2 ? 0 : 1);
    }
    std::fclose(stream);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: the peak grew by half the decoded size or more; 2, 3: read or export failed";
    EXPECT_EQ(pirn_test::ReadAll(dir.file("Long.wav")).size(), kWavHeaderSize + size_t{packets} * 128);
}
#endif

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
    EXPECT_EQ(result.FailedFiles(), (std::vector<std::string>{"Roar.wav", "Gust.wav"}));
}
