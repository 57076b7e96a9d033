#include "editors/wav_file.h"

#include <cstring>
#include <vector>

#include "platform/file_system.h"

namespace pirn {

namespace {

void PutLe16(u8* p, u32 v) {
    p[0] = static_cast<u8>(v);
    p[1] = static_cast<u8>(v >> 8);
}

void PutLe32(u8* p, u32 v) {
    PutLe16(p, v & 0xFFFF);
    PutLe16(p + 2, v >> 16);
}

u64 DataBytes(const WavParameters& w) { return u64{w.bits_per_sample} * w.sample_count / 8; }

bool HostIsLittleEndian() {
    const u16 probe = 1;
    u8 first;
    std::memcpy(&first, &probe, 1);
    return first == 1;
}

}  // namespace

void BuildWavHeader(const WavParameters& w, u8 h[kWavHeaderSize]) {
    const u32 data = static_cast<u32>(DataBytes(w));
    const u32 block_align = u32{w.bits_per_sample} / 8 * w.channels;
    std::memcpy(h, "RIFF", 4);
    PutLe32(h + 4, data + 36);
    std::memcpy(h + 8, "WAVE", 4);
    std::memcpy(h + 12, "fmt ", 4);
    PutLe32(h + 16, 16);
    PutLe16(h + 20, 1);
    PutLe16(h + 22, w.channels);
    PutLe32(h + 24, w.sample_rate);
    PutLe32(h + 28, w.sample_rate * block_align);
    PutLe16(h + 32, block_align);
    PutLe16(h + 34, w.bits_per_sample);
    std::memcpy(h + 36, "data", 4);
    PutLe32(h + 40, data);
}

int WriteWavFile(const std::string& path, const WavParameters& w) {
    if (w.bits_per_sample != 16 || w.channels == 0 || (w.sample_count > 0 && !w.samples)) return 0;
    if (DataBytes(w) + 36 > 0xFFFFFFFFu) return 0;
    u8 header[kWavHeaderSize];
    BuildWavHeader(w, header);
    SafeFileWriter out;
    out.set_sync(false);  // an export can always be made again; syncing each file would dominate
    if (!out.Open(path) || !out.Write(header, sizeof header)) return 0;
    const size_t bytes = size_t{w.sample_count} * 2;
    if (HostIsLittleEndian()) {
        if (bytes > 0 && !out.Write(w.samples, bytes)) return 0;
    } else {
        std::vector<u8> le(bytes);
        for (u32 i = 0; i < w.sample_count; ++i) PutLe16(&le[size_t{i} * 2], static_cast<u16>(w.samples[i]));
        if (bytes > 0 && !out.Write(le.data(), bytes)) return 0;
    }
    return out.Commit() ? 1 : 0;
}

}  // namespace pirn
