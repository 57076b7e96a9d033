#pragma once
// IMA ADPCM in 34-byte packets (the 'ima4' packets of QuickTime and AIFF-C):
// a big-endian u16 header, whose top 9 bits are the starting predictor and
// low 7 bits the starting step index, then 32 bytes of 64 four-bit codes,
// the low nibble of each byte first. Every packet starts afresh from its
// header.

#include <cstdio>
#include <vector>

#include "platform/records.h"
#include "platform/types.h"

namespace pirn {

constexpr u32 kIma4PacketSize = 34;
constexpr u32 kIma4SamplesPerPacket = 64;
constexpr u32 kIma4MaxStepIndex = 88;

// The memory form of a packet: the header in native order, the codes as stored.
struct Ima4Packet {
    u16 header;
    u8 codes[32];
};
static_assert(sizeof(Ima4Packet) == kIma4PacketSize, "packet is packed");

extern const StructLayout kIma4PacketLayout[];  // 1 x u16, 32 bytes

// The 89 step sizes and the index changes of the published algorithm.
extern const i16 kImaStepTable[89];
extern const i8 kImaIndexTable[16];

// Decodes sample_count codes (at most 64) of one packet into output,
// stride samples apart. A step index above 88 in the header counts as 88.
void DecodeIma4(const Ima4Packet& packet, i16* output, u32 sample_count, u32 stride);

// Decodes packet_count packets from memory, channels interleaved: the
// packets alternate channel by channel and each group of `channels` packets
// gives 64 frames. Output holds packet_count x 64 samples; what no whole
// group fills (the last packet of an odd stereo count) is zero. channels 1 or 2.
void DecodeIma4PacketBlock(const Ima4Packet* packets, u32 packet_count, u32 channels, i16* output);

// Reads packet_count packets from the stream in one piece into their memory
// form. False on a short read.
bool ReadIma4Packets(std::vector<Ima4Packet>* packets, u32 packet_count, std::FILE* stream);

}  // namespace pirn
