#include "editors/sound_data.h"

#include <sys/types.h>

#include <algorithm>
#include <cstring>
#include <limits>

#include "editors/ima4_decoder.h"
#include "editors/stream_bytes.h"

namespace pirn {

const StructLayout kSoundHeaderLayout[] = {64, 1, kRunU32, 8, kRunU16, 3, kRunU32, 1, kRunU16, 1, kRunZero16,
                                           3, kRunU32, 1, kRunZero32, 12, kRunZero8};
const StructLayout kSoundDescriptionLayout[] = {32, 2, kRunU16, 1, kRunZero16, 25, kRunBytes, 1, kRunZero8};
// The pointer field is zero on disk and never carried: read as a zeroed word.
const StructLayout kSoundPermutationLayout[] = {32, 1, kRunU32, 3, kRunU16, 1, kRunZero16, 4, kRunU32, 1, kRunZero32};

namespace {

constexpr u32 kRecordSize = 32;
constexpr u32 kHeaderSize = 64;

bool SeekTo(std::FILE* stream, u64 offset) {
    return offset <= 0x7FFFFFFFFFFFFFFFull && fseeko(stream, static_cast<off_t>(offset), SEEK_SET) == 0;
}

// A block of `count` records at `offset` lies inside the data.
bool BlockFits(u64 offset, u64 count, u64 record_size, u32 data_length) {
    return offset + count * record_size <= data_length;
}

std::string DescriptionName(const SoundDescription& d) {
    size_t n = 0;
    while (n < sizeof d.name && d.name[n]) ++n;
    return std::string(d.name, n);
}

bool IsDecodable(const SoundPermutationRecord& r) {
    return (r.channels == 1 || r.channels == 2) && r.bits_per_sample == 16 && (r.flags & 1);
}

}  // namespace

bool ReadSoundData(SoundData* sound, std::FILE* stream, u64 data_offset, u32 data_length) {
    if (data_length < kHeaderSize || !SeekTo(stream, data_offset) || StreamBytesLeft(stream) < data_length)
        return false;
    SoundData result;
    if (ReadRecords(&result.header, 1, kSoundHeaderLayout, stream) != kHeaderSize) return false;
    const u32 count = result.header.permutation_count;
    const u64 records_end = u64{result.header.permutation_offset} + u64{count} * kRecordSize;
    if (!BlockFits(result.header.permutation_offset, count, kRecordSize, data_length) ||
        (count > 0 && !BlockFits(result.header.description_offset, count, kRecordSize, data_length)))
        return false;

    if (count > 0) {
        result.descriptions.resize(count);
        if (!SeekTo(stream, data_offset + result.header.description_offset) ||
            ReadRecords(result.descriptions.data(), count, kSoundDescriptionLayout, stream) != count * kRecordSize)
            return false;
        std::vector<SoundPermutationRecord> records(count);
        if (!SeekTo(stream, data_offset + result.header.permutation_offset) ||
            ReadRecords(records.data(), count, kSoundPermutationLayout, stream) != count * kRecordSize)
            return false;
        result.permutations.resize(count);
        for (u32 i = 0; i < count; ++i) {
            result.permutations[i].record = records[i];
            result.permutations[i].name = DescriptionName(result.descriptions[i]);
        }
    }

    // The packets follow the records, permutation after permutation; every
    // count is checked against what the data still holds before anything
    // is allocated for it.
    u64 packets_at = records_end;
    for (SoundPermutation& p : result.permutations) {
        const SoundPermutationRecord& r = p.record;
        if (r.channels < 1 || r.bits_per_sample != 16) return false;
        if (r.packet_count == 0) continue;
        if (!IsDecodable(r) || !BlockFits(packets_at, r.packet_count, kIma4PacketSize, data_length)) return false;
        if (!SeekTo(stream, data_offset + packets_at) || !ReadIma4Packets(&p.packets, r.packet_count, stream))
            return false;
        packets_at += u64{r.packet_count} * kIma4PacketSize;
    }
    *sound = std::move(result);
    return true;
}

PermutationSampleReader::PermutationSampleReader(const SoundPermutation& permutation)
    : permutation_(permutation) {
    const u32 channels = permutation.record.channels;
    const u64 packets = permutation.packets.size();
    if (channels == 1 || channels == 2) {
        channels_ = channels;
        groups_ = packets / channels;
    }
    total_ = packets * kIma4SamplesPerPacket;
}

u32 PermutationSampleReader::Read(i16* out, u32 room) {
    const u64 group_samples = u64{kIma4SamplesPerPacket} * channels_;
    u32 made = 0;
    if (group_ < groups_) {
        const u64 groups = std::min<u64>(room / group_samples, groups_ - group_);
        DecodeIma4PacketBlock(&permutation_.packets[group_ * channels_], static_cast<u32>(groups * channels_),
                              channels_, out);
        group_ += groups;
        made = static_cast<u32>(groups * group_samples);
    } else {
        // What no whole group decodes is silence.
        made = static_cast<u32>(std::min<u64>(room, total_ - done_));
        std::fill(out, out + made, i16{0});
    }
    done_ += made;
    return made;
}

std::vector<i16> DecodePermutation(const SoundPermutation& permutation) {
    // A count past what memory can index (a 32-bit program) gives nothing.
    if (permutation.SampleCount() > std::numeric_limits<size_t>::max() / sizeof(i16)) return {};
    std::vector<i16> samples(static_cast<size_t>(permutation.SampleCount()));
    PermutationSampleReader reader(permutation);
    size_t at = 0;
    while (u32 n = reader.Read(samples.data() + at, static_cast<u32>(std::min<size_t>(samples.size() - at, 1u << 30))))
        at += n;
    return samples;
}

u32 PermutationDuration(const SoundPermutationRecord& record) {
    const u64 rate = record.sample_rate >> 16;
    if (record.channels == 0 || rate == 0) return 0;
    return static_cast<u32>(u64{record.packet_count} * kIma4SamplesPerPacket / record.channels / rate);
}

}  // namespace pirn
