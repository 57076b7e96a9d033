// Our IMA decoder against ffmpeg's on real 'ima4' packets: ffmpeg encodes a
// test tone into an AIFF-C stream, and decodes the same packets back.
//
// ffmpeg's decoder keeps the previous packet's predictor when the next
// header's step index matches its own state and the header's predictor is
// within 127 of it (the header holds only the top 9 bits). Every packet
// here starts from its header alone, so the packets are handed to ffmpeg
// with a filler packet before each one that leaves a different step index
// behind: then ffmpeg, too, starts every real packet from its header.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "editors/ima4_decoder.h"
#include "editors/wav_file.h"
#include "tests/editors/editors_test_support.h"
#include "tests/support/linux_checkers.h"
#include "tests/support/test_support.h"

using namespace pirn;
using namespace editors_test;

namespace {

u32 Be32(const std::vector<u8>& b, size_t at) {
    return (u32(b.at(at)) << 24) | (u32(b.at(at + 1)) << 16) | (u32(b.at(at + 2)) << 8) | u32(b.at(at + 3));
}

void PutBe32(std::vector<u8>& b, size_t at, u32 v) {
    for (int i = 0; i < 4; ++i) b.at(at + i) = u8(v >> (24 - 8 * i));
}

struct Chunk {
    std::string id;
    size_t data_at;
    u32 size;
};

std::vector<Chunk> AiffChunks(const std::vector<u8>& file) {
    std::vector<Chunk> chunks;
    size_t at = 12;
    while (at + 8 <= file.size()) {
        const u32 size = Be32(file, at + 4);
        chunks.push_back({std::string(file.begin() + at, file.begin() + at + 4), at + 8, size});
        at += 8 + size + (size & 1);
    }
    return chunks;
}

// A tone that walks the decoder through its whole range: quiet and loud
// passages, a sweep, clipping and silence, different on each channel.
std::vector<i16> TestTone(u32 frames, u32 channels, u32 rate) {
    std::vector<i16> s(size_t{frames} * channels);
    for (u32 i = 0; i < frames; ++i) {
        const double t = double(i) / rate;
        const double envelope = (i / 2000) % 4 == 3 ? 0.0 : 0.02 + 0.98 * std::fabs(std::sin(t * 3.0));
        for (u32 c = 0; c < channels; ++c) {
            const double f = c == 0 ? 440.0 + 2000.0 * t : 97.0;
            double v = envelope * (0.7 * std::sin(2 * M_PI * f * t) + 0.5 * std::sin(2 * M_PI * 3.1 * f * t));
            v = v > 1.0 ? 1.0 : v < -1.0 ? -1.0 : v;
            s[size_t{i} * channels + c] = i16(std::lround(v * 32767));
        }
    }
    return s;
}

void CheckAgainstFfmpeg(u32 channels) {
    PIRN_SKIP_LINUX_CHECKERS("ffmpeg");
    RequireTool("ffmpeg");
    pirn_test::TempDir dir;
    const u32 rate = 22050;
    const std::vector<i16> tone = TestTone(rate, channels, rate);
    WavParameters wav;
    wav.samples = tone.data();
    wav.sample_count = u32(tone.size());
    wav.sample_rate = rate;
    wav.channels = u16(channels);
    ASSERT_EQ(WriteWavFile(dir.file("tone.wav"), wav), 1);
    std::string out;
    ASSERT_TRUE(RunCommand("ffmpeg -nostdin -v error -y -i '" + dir.file("tone.wav") +
                               "' -c:a adpcm_ima_qt -f aiff '" + dir.file("tone.aifc") + "' 2>&1",
                           &out))
        << out;

    // The packets of ffmpeg's stream.
    std::vector<u8> file = pirn_test::ReadAll(dir.file("tone.aifc"));
    ASSERT_GE(file.size(), 12u);
    ASSERT_EQ(std::string(file.begin() + 8, file.begin() + 12), "AIFC");
    std::vector<Ima4Packet> packets;
    size_t comm_at = 0;
    std::vector<u8> prefix(file.begin(), file.begin() + 12);
    for (const Chunk& c : AiffChunks(file)) {
        if (c.id == "COMM") {
            ASSERT_EQ((file[c.data_at] << 8) | file[c.data_at + 1], int(channels));
            ASSERT_EQ(std::string(file.begin() + c.data_at + 18, file.begin() + c.data_at + 22), "ima4");
            comm_at = prefix.size() + 8;
        }
        if (c.id == "SSND") {
            const size_t first = c.data_at + 8 + Be32(file, c.data_at);
            for (size_t at = first; at + kIma4PacketSize <= c.data_at + c.size; at += kIma4PacketSize) {
                Ima4Packet p;
                p.header = u16((file[at] << 8) | file[at + 1]);
                std::memcpy(p.codes, &file[at + 2], 32);
                packets.push_back(p);
            }
            continue;
        }
        prefix.insert(prefix.end(), file.begin() + c.data_at - 8, file.begin() + c.data_at + c.size + (c.size & 1));
    }
    ASSERT_NE(comm_at, 0u);
    const u32 groups = u32(packets.size() / channels);
    ASSERT_GE(groups, 300u);

    // The same packets, each group after a filler group.
    std::vector<u8> refill = prefix;
    PutBe32(refill, comm_at + 2, 2 * groups);
    std::vector<u8> ssnd = {'S', 'S', 'N', 'D', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    for (u32 g = 0; g < groups; ++g) {
        for (u32 c = 0; c < channels; ++c) {
            // Codes 0 bring the index to 0; codes 7 to 88. Either differs
            // from the real packet's own starting index.
            const bool real_starts_at_zero = (packets[g * channels + c].header & 0x7F) == 0;
            ssnd.push_back(0);
            ssnd.push_back(0);
            ssnd.insert(ssnd.end(), 32, real_starts_at_zero ? 0x77 : 0x00);
        }
        for (u32 c = 0; c < channels; ++c) {
            const Ima4Packet& p = packets[g * channels + c];
            ssnd.push_back(u8(p.header >> 8));
            ssnd.push_back(u8(p.header));
            ssnd.insert(ssnd.end(), p.codes, p.codes + 32);
        }
    }
    PutBe32(ssnd, 4, u32(ssnd.size() - 8));
    refill.insert(refill.end(), ssnd.begin(), ssnd.end());
    PutBe32(refill, 4, u32(refill.size() - 8));
    pirn_test::WriteAll(dir.file("refill.aifc"), refill);
    ASSERT_TRUE(RunCommand("ffmpeg -nostdin -v error -y -f aiff -i '" + dir.file("refill.aifc") +
                               "' -f s16le -acodec pcm_s16le '" + dir.file("decoded.raw") + "' 2>&1",
                           &out))
        << out;
    const std::vector<u8> raw = pirn_test::ReadAll(dir.file("decoded.raw"));
    ASSERT_EQ(raw.size(), size_t{2} * groups * 64 * channels * 2);

    std::vector<i16> ours(size_t{groups} * channels * 64);
    DecodeIma4PacketBlock(packets.data(), groups * channels, channels, ours.data());
    size_t mismatches = 0;
    for (u32 g = 0; g < groups; ++g)
        for (u32 k = 0; k < 64 * channels; ++k) {
            const size_t at = (size_t{2 * g + 1} * 64 * channels + k) * 2;
            const i16 theirs = i16(raw[at] | (raw[at + 1] << 8));
            if (theirs != ours[size_t{g} * 64 * channels + k] && mismatches++ < 5)
                ADD_FAILURE() << "group " << g << " sample " << k << ": ffmpeg " << theirs << ", ours "
                              << ours[size_t{g} * 64 * channels + k];
        }
    EXPECT_EQ(mismatches, 0u);

    // And the decoded stream is the tone again, give or take ADPCM's noise.
    double signal = 0, noise = 0;
    for (size_t i = 0; i < ours.size() && i < tone.size(); ++i) {
        signal += double(tone[i]) * tone[i];
        noise += (double(tone[i]) - ours[i]) * (double(tone[i]) - ours[i]);
    }
    EXPECT_GT(10 * std::log10(signal / noise), 15.0);
}

}  // namespace

TEST(Ima4AgainstFfmpeg, MonoPacketsDecodeSampleForSample) { CheckAgainstFfmpeg(1); }

TEST(Ima4AgainstFfmpeg, StereoPacketsDecodeSampleForSample) { CheckAgainstFfmpeg(2); }
