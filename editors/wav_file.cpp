#include "editors/wav_file.h"

#include <algorithm>
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

namespace {

// Hands out samples held in memory, a buffer's worth at a time.
class MemorySampleSource : public WavSampleSource {
public:
    MemorySampleSource(const i16* samples, u32 count) : samples_(samples), left_(count) {}
    const i16* Next(i16*, u32 room, u32* count) override {
        *count = std::min(room, left_);
        const i16* at = samples_;
        samples_ += *count;
        left_ -= *count;
        return at;
    }

private:
    const i16* samples_;
    u32 left_;
};

}  // namespace

int WriteWavFile(const std::string& path, const WavParameters& w, WavSampleSource& source, std::string* failure) {
    if (w.bits_per_sample != 16 || w.channels == 0 || w.sample_rate == 0) return 0;
    if (DataBytes(w) + 36 > 0xFFFFFFFFu) return 0;
    u8 header[kWavHeaderSize];
    BuildWavHeader(w, header);
    SafeFileWriter out;
    out.set_sync(false);  // an export can always be made again; syncing each file would dominate
    auto fail = [&] {
        if (failure) *failure = out.FailureReason();
        out.Abandon();
        return 0;
    };
    if (!out.Open(path) || !out.Write(header, sizeof header)) return fail();
    std::vector<i16> buffer(std::min<u32>(kWavChunkSamples, w.sample_count));
    const bool little_endian = HostIsLittleEndian();
    u32 left = w.sample_count;
    while (left > 0) {
        u32 count = 0;
        const i16* samples = source.Next(buffer.data(), std::min<u32>(left, u32(buffer.size())), &count);
        if (count == 0 || count > left) return fail();
        if (!little_endian) {
            // In place in the buffer, or from where the source holds them.
            u8* le = reinterpret_cast<u8*>(buffer.data());
            for (u32 i = 0; i < count; ++i) {
                const u16 v = static_cast<u16>(samples[i]);
                PutLe16(le + 2 * size_t{i}, v);
            }
            samples = buffer.data();
        }
        if (!out.Write(samples, size_t{count} * 2)) return fail();
        left -= count;
    }
    if (!out.Commit()) return fail();
    return 1;
}

int WriteWavFile(const std::string& path, const WavParameters& w) {
    if (w.sample_count > 0 && !w.samples) return 0;
    MemorySampleSource source(w.samples, w.sample_count);
    return WriteWavFile(path, w, source);
}

}  // namespace pirn
