#pragma once
// Sound tags ('soun'): one sound in several permutations (variants the game
// picks from), each stored as IMA ADPCM packets and decoded when read.
//
// Tag data (big-endian, offsets from the data start): a 64-byte header
// holding the offsets of the permutation records and descriptions and the
// permutation count; 32-byte descriptions (two u16, 2 reserved bytes, a
// 25-byte name, 1 reserved byte); 32-byte permutation records (flags, bits
// per sample, a u16, channels, 2 reserved bytes, 16.16 sample rate, packet
// count, two u32, a pointer field); then every permutation's packets in
// permutation order, right after the records.

#include <cstdio>
#include <string>
#include <vector>

#include "editors/ima4_decoder.h"
#include "platform/records.h"
#include "platform/types.h"

namespace pirn {

struct SoundHeader {
    u32 carried_0;
    u16 carried_4[8];
    u32 permutation_offset;
    u32 carried_24[2];
    u16 carried_32;
    u16 reserved_34;
    u32 permutation_count;
    u32 description_offset;
    u32 carried_44;
    u8 reserved_48[16];
};
static_assert(sizeof(SoundHeader) == 64, "header is packed");

struct SoundDescription {
    u16 carried[2];
    u16 reserved;
    char name[25];  // 8-bit text, NUL-padded (no NUL when all 25 are used)
    u8 reserved_31;
};
static_assert(sizeof(SoundDescription) == 32, "description is packed");

// A permutation record as the file holds it (the pointer field read as zero).
struct SoundPermutationRecord {
    u32 flags;  // bit 0 set for a permutation with packets
    u16 bits_per_sample;
    u16 carried_6;
    u16 channels;
    u16 reserved_10;
    u32 sample_rate;  // unsigned 16.16 fixed point
    u32 packet_count;
    u32 carried_20[2];
    u32 samples_field;
};
static_assert(sizeof(SoundPermutationRecord) == 32, "permutation record is packed");

extern const StructLayout kSoundHeaderLayout[];
extern const StructLayout kSoundDescriptionLayout[];
extern const StructLayout kSoundPermutationLayout[];

// A permutation keeps its packets as read (34 bytes for 64 samples) and is
// decoded only when its samples are wanted, a piece at a time
// (PermutationSampleReader): a long sound never needs its decoded size in
// memory.
struct SoundPermutation {
    SoundPermutationRecord record;
    std::string name;                 // the description's name (8-bit text)
    std::vector<Ima4Packet> packets;  // record.packet_count of them, or none

    u32 Channels() const { return record.channels; }
    u32 SampleRateHz() const { return record.sample_rate >> 16; }
    // Decoded samples over all channels: 64 a packet.
    u64 SampleCount() const { return u64{packets.size()} * kIma4SamplesPerPacket; }
};

struct SoundData {
    SoundHeader header;
    std::vector<SoundDescription> descriptions;
    std::vector<SoundPermutation> permutations;
};

// Reads and decodes a sound whose data starts at data_offset of the stream
// and is data_length bytes long. False when a record lies outside the data,
// the packets do not fit in it, or a permutation with packets is not 16-bit
// IMA with 1 or 2 channels and flag bit 0, or any permutation has no
// channels or another bit depth. A sound without permutations reads.
bool ReadSoundData(SoundData* sound, std::FILE* stream, u64 data_offset, u32 data_length);

// Decodes a permutation's samples in order, interleaved by channel, a piece
// at a time: each group of packets (one a channel) gives 64 frames, and the
// place of a packet no whole group holds (the last of an odd stereo count)
// is silence.
class PermutationSampleReader {
public:
    explicit PermutationSampleReader(const SoundPermutation& permutation);
    // Decodes the next samples into out, at most room of them (whole groups
    // while any are left, so room must hold one group: 128 samples do for
    // either channel count). Answers how many; 0 at the end.
    u32 Read(i16* out, u32 room);
    u64 Remaining() const { return total_ - done_; }

private:
    const SoundPermutation& permutation_;
    u32 channels_ = 1;
    u64 groups_ = 0;
    u64 group_ = 0;  // the next group to decode
    u64 total_ = 0;
    u64 done_ = 0;
};

// The whole permutation decoded at once: packet count x 64 samples (none
// when they would not fit in memory).
std::vector<i16> DecodePermutation(const SoundPermutation& permutation);

// Whole seconds: packet count x 64 / channels / whole-Hz rate; 0 when the
// channel count or the rate is 0.
u32 PermutationDuration(const SoundPermutationRecord& record);

}  // namespace pirn
