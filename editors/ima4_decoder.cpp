#include "editors/ima4_decoder.h"

#include <cstring>
#include <vector>

namespace pirn {

const StructLayout kIma4PacketLayout[] = {34, 1, kRunU16, 32, kRunBytes};

const i16 kImaStepTable[89] = {
    7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,    21,    23,    25,    28,
    31,    34,    37,    41,    45,    50,    55,    60,    66,    73,    80,    88,    97,    107,   118,
    130,   143,   157,   173,   190,   209,   230,   253,   279,   307,   337,   371,   408,   449,   494,
    544,   598,   658,   724,   796,   876,   963,   1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,
    2272,  2499,  2749,  3024,  3327,  3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,
    9493,  10442, 11487, 12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767,
};

const i8 kImaIndexTable[16] = {-1, -1, -1, -1, 2, 4, 6, 8, -1, -1, -1, -1, 2, 4, 6, 8};

void DecodeIma4(const Ima4Packet& packet, i16* output, u32 sample_count, u32 stride) {
    i32 predictor = static_cast<i16>(packet.header & 0xFF80);
    i32 index = packet.header & 0x7F;
    if (index > static_cast<i32>(kIma4MaxStepIndex)) index = kIma4MaxStepIndex;
    i32 step = kImaStepTable[index];
    if (sample_count > kIma4SamplesPerPacket) sample_count = kIma4SamplesPerPacket;
    for (u32 k = 0; k < sample_count; ++k) {
        const u8 byte = packet.codes[k >> 1];
        const i32 code = (k & 1) ? byte >> 4 : byte & 0x0F;
        i32 diff = step >> 3;
        if (code & 4) diff += step;
        if (code & 2) diff += step >> 1;
        if (code & 1) diff += step >> 2;
        if (code & 8) diff = -diff;
        predictor += diff;
        if (predictor > 32767) predictor = 32767;
        if (predictor < -32768) predictor = -32768;
        output[size_t{k} * stride] = static_cast<i16>(predictor);
        index += kImaIndexTable[code];
        if (index < 0) index = 0;
        if (index > static_cast<i32>(kIma4MaxStepIndex)) index = kIma4MaxStepIndex;
        step = kImaStepTable[index];
    }
}

void DecodeIma4PacketBlock(const Ima4Packet* packets, u32 packet_count, u32 channels, i16* output) {
    const u32 groups = packet_count / channels;
    const size_t group_samples = size_t{kIma4SamplesPerPacket} * channels;
    for (u32 g = 0; g < groups; ++g)
        for (u32 c = 0; c < channels; ++c)
            DecodeIma4(packets[size_t{g} * channels + c], output + g * group_samples + c, kIma4SamplesPerPacket,
                       channels);
    const size_t decoded = groups * group_samples;
    const size_t total = size_t{packet_count} * kIma4SamplesPerPacket;
    if (total > decoded) std::memset(output + decoded, 0, (total - decoded) * sizeof(i16));
}

bool ReadIma4Packets(std::vector<Ima4Packet>* packets, u32 packet_count, std::FILE* stream) {
    packets->resize(packet_count);
    if (packet_count == 0) return true;
    return ReadRecords(packets->data(), packet_count, kIma4PacketLayout, stream) == u64{packet_count} * kIma4PacketSize;
}

}  // namespace pirn
