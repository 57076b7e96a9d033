// Sound tags ('soun') from hand-built bytes: records, names, decoded samples
// with their channel interleave, durations and rows, and the tags that must
// not open.

#include "editors/sound_data.h"

#include <gtest/gtest.h>

#include <cstring>

#include "editors/ima4_decoder.h"
#include "editors/sound_export.h"
#include "tests/editors/sound_fixture.h"

using namespace pirn;
using namespace editors_test;

namespace {

std::vector<FixturePermutation> MonoAndOddStereo() {
    FixturePermutation mono{"Roar", 1, 16, 1, 22050, {SilentPacket(), RisingPacket()}};
    FixturePermutation stereo{"Wind/Gust", 2, 16, 1, 11025, {LoudPacket(), RisingPacket(), FloorPacket()}};
    return {mono, stereo};
}

bool Read(SoundData* sound, const std::vector<u8>& data, u32 length, const std::vector<u8>& before = {}) {
    std::vector<u8> bytes = before;
    bytes.insert(bytes.end(), data.begin(), data.end());
    std::FILE* f = StreamOf(bytes);
    const bool ok = ReadSoundData(sound, f, before.size(), length);
    std::fclose(f);
    return ok;
}

}  // namespace

TEST(SoundData, ReadsRecordsNamesAndDecodedSamples) {
    const std::vector<u8> data = SoundTagData(MonoAndOddStereo());
    ASSERT_EQ(data.size(), 64u + 2 * 32 + 2 * 32 + 5 * 34);
    SoundData sound;
    // Read from inside a bigger file, as from an archive.
    ASSERT_TRUE(Read(&sound, data, u32(data.size()), std::vector<u8>(100, 0xEE)));
    EXPECT_EQ(sound.header.carried_0, 0x11111111u);
    EXPECT_EQ(sound.header.carried_4[7], 0x2227);
    EXPECT_EQ(sound.header.carried_32, 0x5555);
    EXPECT_EQ(sound.header.reserved_34, 0) << "reserved fields read as zero";
    EXPECT_EQ(sound.header.carried_44, 0x88888888u);
    EXPECT_EQ(sound.header.reserved_48[0], 0);
    ASSERT_EQ(sound.permutations.size(), 2u);
    EXPECT_EQ(sound.descriptions[1].carried[1], 0xBBBB);
    EXPECT_EQ(sound.descriptions[1].reserved, 0);

    const SoundPermutation& mono = sound.permutations[0];
    EXPECT_EQ(mono.name, "Roar");
    EXPECT_EQ(mono.record.carried_6, 0x1234);
    EXPECT_EQ(mono.record.carried_20[1], 0x66666666u);
    EXPECT_EQ(mono.record.samples_field, 0u) << "the pointer field is never carried in";
    EXPECT_EQ(mono.SampleRateHz(), 22050u);
    ASSERT_EQ(mono.SampleCount(), 128u);
    const std::vector<i16> mono_samples = DecodePermutation(mono);
    ASSERT_EQ(mono_samples.size(), 128u);
    for (u32 i = 0; i < 64; ++i) EXPECT_EQ(mono_samples[i], 0) << i;
    for (u32 i = 0; i < 4; ++i) EXPECT_EQ(mono_samples[64 + i], RisingStart()[i]);

    // Stereo: packets alternate left, right; the odd last packet has no
    // partner, so its place is silence rather than whatever memory held.
    const SoundPermutation& stereo = sound.permutations[1];
    EXPECT_EQ(stereo.name, "Wind/Gust");
    ASSERT_EQ(stereo.SampleCount(), 3u * 64);
    const std::vector<i16> stereo_samples = DecodePermutation(stereo);
    ASSERT_EQ(stereo_samples.size(), 3u * 64);
    for (u32 k = 0; k < 4; ++k) {
        EXPECT_EQ(stereo_samples[2 * k], LoudStart()[k]) << k;
        EXPECT_EQ(stereo_samples[2 * k + 1], RisingStart()[k]) << k;
    }
    for (u32 i = 128; i < 192; ++i) EXPECT_EQ(stereo_samples[i], 0) << i;
}

TEST(SoundData, DecodesTheEdgesOfThePacketFormat) {
    i16 out[64];
    struct Case {
        std::vector<u8> packet;
        std::vector<i16> start;
    } cases[] = {
        {SilentPacket(), {0, 0, 0, 0}},
        {RisingPacket(), RisingStart()},
        {LoudPacket(), LoudStart()},
        {FloorPacket(), {-32767, -32766, -32765, -32764}},
    };
    for (const Case& c : cases) {
        Ima4Packet packet;
        packet.header = u16((c.packet[0] << 8) | c.packet[1]);
        std::memcpy(packet.codes, &c.packet[2], 32);
        DecodeIma4(packet, out, 64, 1);
        for (size_t i = 0; i < c.start.size(); ++i) EXPECT_EQ(out[i], c.start[i]) << packet.header << " " << i;
    }
    // All zero codes from header 0 stay at zero and leave the index at 0:
    // a second packet decodes the same.
    Ima4Packet silent{};
    DecodeIma4(silent, out, 64, 1);
    for (i16 s : out) EXPECT_EQ(s, 0);
}

TEST(SoundData, DurationsRowsAndTheirGuards) {
    SoundPermutationRecord r{};
    r.channels = 2;
    r.sample_rate = 64u << 16;
    r.packet_count = 10;
    EXPECT_EQ(PermutationDuration(r), 5u) << "10 stereo packets: 320 frames at 64 Hz";
    r.channels = 0;
    EXPECT_EQ(PermutationDuration(r), 0u);
    r.channels = 1;
    r.sample_rate = 0xFFFF;  // under 1 Hz
    EXPECT_EQ(PermutationDuration(r), 0u);

    struct Duration {
        u32 seconds;
        const char* text;
    } durations[] = {{0, "00:00"}, {59, "00:59"}, {61, "01:01"}, {3599, "59:59"}, {3600, "01:00:00"}, {363599, "100:59:59"}};
    for (const Duration& d : durations) EXPECT_EQ(FormatSoundDuration(d.seconds), d.text);
    EXPECT_EQ(FormatChannelCount(1), "1 (mono)");
    EXPECT_EQ(FormatChannelCount(2), "2 (stereo)");
    EXPECT_EQ(FormatChannelCount(6), "6");

    SoundPermutation p;
    p.name = "Roar";
    p.record.bits_per_sample = 16;
    p.record.channels = 1;
    p.record.sample_rate = (22050u << 16) | 0x8000;
    p.record.packet_count = 22050 * 90 / 64;
    const SoundPermutationRow row = DescribeSoundPermutation(p);
    EXPECT_EQ(row.name, "Roar");
    EXPECT_EQ(row.duration, "01:29");
    EXPECT_EQ(row.bit_depth, "16");
    EXPECT_EQ(row.channels, "1 (mono)");
    EXPECT_EQ(row.sample_rate, "22050 Hz");
}

TEST(SoundData, TagsThatCannotBeDecodedDoNotOpen) {
    struct Case {
        const char* what;
        std::vector<FixturePermutation> perms;
        int cut;  // bytes taken off the data length
    } cases[] = {
        {"8-bit samples", {{"a", 1, 8, 1, 22050, {SilentPacket()}}}, 0},
        {"three channels", {{"a", 3, 16, 1, 22050, {SilentPacket(), SilentPacket(), SilentPacket()}}}, 0},
        {"flag bit 0 clear", {{"a", 1, 16, 0, 22050, {SilentPacket()}}}, 0},
        {"no channels, even without packets", {{"a", 0, 16, 1, 22050, {}}}, 0},
        {"8-bit, even without packets", {{"a", 1, 16, 1, 22050, {}}, {"b", 2, 8, 1, 22050, {}}}, 0},
        {"packet count past the data", {{"a", 1, 16, 1, 22050, {SilentPacket()}, 0x7FFFFFFF}}, 0},
        {"last packet cut short", {{"a", 1, 16, 1, 22050, {SilentPacket(), SilentPacket()}}}, 1},
    };
    for (const Case& c : cases) {
        const std::vector<u8> data = SoundTagData(c.perms);
        SoundData sound;
        EXPECT_FALSE(Read(&sound, data, u32(data.size() - c.cut))) << c.what;
    }
    std::vector<u8> data = SoundTagData(MonoAndOddStereo());
    SoundData sound;
    EXPECT_FALSE(Read(&sound, data, u32(data.size() + 1))) << "length past the stream";
    EXPECT_FALSE(Read(&sound, data, 63)) << "shorter than the header";
    std::vector<u8> far = data;
    far[20] = 0xF0;  // permutation records far past the data
    EXPECT_FALSE(Read(&sound, far, u32(far.size())));
    std::vector<u8> many = data;
    many[36] = 0x10;  // 2^28 + 2 permutations
    EXPECT_FALSE(Read(&sound, many, u32(many.size())));
}

TEST(SoundData, PermutationsWithoutPacketsAndSoundsWithoutPermutationsOpen) {
    const std::vector<u8> none = SoundTagData({});
    SoundData sound;
    ASSERT_TRUE(Read(&sound, none, u32(none.size())));
    EXPECT_TRUE(sound.permutations.empty());

    const std::vector<u8> empty = SoundTagData({{"quiet", 2, 16, 0, 44100, {}}});
    ASSERT_TRUE(Read(&sound, empty, u32(empty.size())));
    ASSERT_EQ(sound.permutations.size(), 1u);
    EXPECT_EQ(sound.permutations[0].SampleCount(), 0u);
    EXPECT_EQ(DescribeSoundPermutation(sound.permutations[0]).duration, "00:00");
}
