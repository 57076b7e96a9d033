#include "editors/sound_data.h"

#include <sys/types.h>

#include <cstring>

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
        p.samples.resize(size_t{r.packet_count} * kIma4SamplesPerPacket);
        if (!SeekTo(stream, data_offset + packets_at) ||
            !DecodeIma4Packets(p.samples.data(), r.channels, r.packet_count, stream))
            return false;
        packets_at += u64{r.packet_count} * kIma4PacketSize;
    }
    *sound = std::move(result);
    return true;
}

u32 PermutationDuration(const SoundPermutationRecord& record) {
    const u64 rate = record.sample_rate >> 16;
    if (record.channels == 0 || rate == 0) return 0;
    return static_cast<u32>(u64{record.packet_count} * kIma4SamplesPerPacket / record.channels / rate);
}

}  // namespace pirn
