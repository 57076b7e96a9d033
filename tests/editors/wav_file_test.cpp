// WAV files: the 44-byte header from its table, the samples little-endian,
// and every file read back by Python's wave module and by soxi.

#include "editors/wav_file.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/editors/editors_test_support.h"
#include "tests/editors/wav_fixture.h"
#include "tests/support/linux_checkers.h"
#include "tests/support/test_support.h"

using namespace pirn;
using namespace editors_test;

namespace {

std::vector<i16> Ramp(u32 n) {
    std::vector<i16> s(n);
    for (u32 i = 0; i < n; ++i) s[i] = i16(int(i) * 517 - 30000);
    return s;
}

// "channels rate frames sampwidth" as Python's wave module reads the file.
std::string PythonWave(const std::string& path) {
    std::string out;
    EXPECT_TRUE(RunCommand("/usr/bin/python3 -c \"import wave,sys; w=wave.open(sys.argv[1]); "
                           "print(w.getnchannels(), w.getframerate(), w.getnframes(), w.getsampwidth())\" '" +
                               path + "' 2>&1",
                           &out))
        << out;
    return out;
}

// "channels rate samples-per-channel bits" as soxi reads the file.
std::string Soxi(const std::string& path) {
    std::string out;
    std::string line;
    for (const char* flag : {"-c", "-r", "-s", "-b"}) {
        EXPECT_TRUE(RunCommand(std::string("soxi ") + flag + " '" + path + "' 2>&1", &line)) << line;
        if (!line.empty() && line.back() == '\n') line.pop_back();
        out += (out.empty() ? "" : " ") + line;
    }
    return out;
}

}  // namespace

TEST(WavFile, HeaderFollowsTheRiffTable) {
    WavParameters w;
    w.sample_count = 1000;
    w.sample_rate = 22050;
    w.channels = 2;
    u8 header[kWavHeaderSize];
    BuildWavHeader(w, header);
    EXPECT_EQ(std::vector<u8>(header, header + kWavHeaderSize), WavHeaderBytes(2, 22050, 2000).data);
}

TEST(WavFile, WrittenFilesHoldTheSamplesAndReadBackOutside) {
    pirn_test::TempDir dir;
    struct Case {
        const char* name;
        u16 channels;
        u32 rate;
        u32 samples;
        const char* python;
        const char* soxi;
    } cases[] = {
        {"mono.wav", 1, 22050, 640, "1 22050 640 2\n", "1 22050 640 16"},
        {"stereo.wav", 2, 11025, 384, "2 11025 192 2\n", "2 11025 192 16"},
        {"empty.wav", 2, 44100, 0, "2 44100 0 2\n", "2 44100 0 16"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<i16> samples = Ramp(c.samples);
        WavParameters w;
        w.samples = samples.empty() ? nullptr : samples.data();
        w.sample_count = c.samples;
        w.sample_rate = c.rate;
        w.channels = c.channels;
        const std::string path = dir.file(c.name);
        ASSERT_EQ(WriteWavFile(path, w), 1);
        const std::vector<u8> bytes = pirn_test::ReadAll(path);
        ASSERT_EQ(bytes.size(), kWavHeaderSize + 2 * size_t{c.samples});
        for (u32 i = 0; i < c.samples; ++i) {
            const i16 s = i16(bytes[44 + 2 * i] | (bytes[45 + 2 * i] << 8));
            ASSERT_EQ(s, samples[i]) << i;
        }
    }
    PIRN_SKIP_LINUX_CHECKERS("python3 and soxi");
    RequireTool("soxi");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(PythonWave(dir.file(c.name)), c.python);
        EXPECT_EQ(Soxi(dir.file(c.name)), c.soxi);
    }
}

TEST(WavFile, FilesThatCannotBeWrittenLeaveNothingBehind) {
    pirn_test::TempDir dir;
    const std::vector<i16> samples = Ramp(64);
    WavParameters good;
    good.samples = samples.data();
    good.sample_count = 64;
    good.sample_rate = 8000;
    EXPECT_EQ(WriteWavFile(dir.file("missing/folder/x.wav"), good), 0);
    EXPECT_FALSE(pirn_test::Exists(dir.file("missing")));
    struct Case {
        const char* what;
        WavParameters w;
    } cases[] = {
        {"8-bit", {samples.data(), 64, 8000, 8, 1}},
        {"no channels", {samples.data(), 64, 8000, 16, 0}},
        {"a rate of 0 Hz", {samples.data(), 64, 0, 16, 1}},
        {"samples missing", {nullptr, 64, 8000, 16, 1}},
        {"past 4 GiB", {samples.data(), 0x7FFFFFF0, 8000, 16, 1}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WriteWavFile(dir.file("x.wav"), c.w), 0) << c.what;
        EXPECT_FALSE(pirn_test::Exists(dir.file("x.wav"))) << c.what;
    }
    // An existing file is replaced only by a complete one.
    pirn_test::WriteAll(dir.file("keep.wav"), std::string("old"));
    EXPECT_EQ(WriteWavFile(dir.file("keep.wav"), cases[0].w), 0);
    EXPECT_EQ(pirn_test::ReadAll(dir.file("keep.wav")).size(), 3u);
}
