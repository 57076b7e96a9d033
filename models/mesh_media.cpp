#include "models/mesh_media.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/records.h"

namespace pirn {

const u16 kMediaRecordLayout[] = {
    kMediaRecordBytes, 2, kRunU32, 16, kRunZero8, 16, kRunU32, 6, kRunU16, 1, kRunU32, 9, kRunU16, 134, kRunZero8,
};

namespace {

constexpr float kTwoPi = 6.28318530718f;

u16 U16At(const u8* record, u32 offset) {
    u16 value;
    std::memcpy(&value, record + offset, 2);
    return value;
}

void FinishWave(MediaWave* wave) {
    wave->largest = std::max(wave->amplitude[0], std::max(wave->amplitude[1], wave->amplitude[2]));
    // Heights are in 1/512 of a cell.
    wave->amplitude[1] *= 512;
}

}  // namespace

void SetDefaultMediaWave(MediaWave* wave) {
    wave->amplitude[0] = 0.1f;
    wave->amplitude[1] = 0.1f;
    wave->amplitude[2] = 0.2f;
    wave->frequency[0] = 0.5f;
    wave->frequency[1] = 0.5f;
    wave->frequency[2] = 1.0f;
    FinishWave(wave);
}

void MediaWaveFromRecord(MediaWave* wave, const u8 record[kMediaRecordBytes]) {
    wave->amplitude[0] = U16At(record, 104) / 512.0f;
    wave->amplitude[1] = U16At(record, 108) / 512.0f;
    wave->amplitude[2] = U16At(record, 106) / 512.0f;
    wave->frequency[0] = U16At(record, 110) * kTwoPi / 65536.0f;
    wave->frequency[1] = U16At(record, 114) * kTwoPi / 65536.0f;
    wave->frequency[2] = U16At(record, 112) * kTwoPi / 65536.0f;
    FinishWave(wave);
}

bool ReadMediaWave(MediaWave* wave, std::FILE* stream, const TagHeader& header) {
    if (!stream || header.data_length < kMediaRecordBytes) return false;
    if (::fseeko(stream, static_cast<off_t>(header.data_offset), SEEK_SET) != 0) return false;
    alignas(4) u8 record[kMediaRecordBytes];
    if (ReadRecords(record, 1, kMediaRecordLayout, stream) != kMediaRecordBytes) return false;
    MediaWaveFromRecord(wave, record);
    return true;
}

void ApplyMediaWave(const MediaWave& wave, u32 frame_counter, float vertex[3]) {
    const float phase = vertex[0] * 377 + vertex[2] * 211 + static_cast<u16>(frame_counter / 2);
    for (int axis = 0; axis < 3; ++axis)
        vertex[axis] += std::sin(phase * wave.frequency[axis]) * wave.amplitude[axis];
}

}  // namespace pirn
