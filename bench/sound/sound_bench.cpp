// Sound decoding and WAV export against libsndfile doing the same jobs in
// this process, warm, on the same packets (ffmpeg encodes a ten-minute
// stereo tone into AIFF-C 'ima4' packets once, untimed; the same packets
// make a sound tag):
//   decode  every packet into memory: ours against libsndfile reading the
//           AIFF-C bytes from memory; a memcpy of the decoded samples is
//           the floor;
//   export  the ten minutes as a 16-bit WAV file: ours from the sound as
//           the viewer holds it, and from the tag file (read, then export),
//           against libsndfile reading the AIFF-C file and writing a WAV
//           through a buffer of the size ours uses. The most heap the export
//           holds beyond what it had before is printed beside the sound's
//           decoded size;
//   many    100 one-second permutations exported, against writing the same
//           bytes with plain stdio (no decoding, no temporary file): a
//           bound, not a peer.
// Times are the best of several runs.

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <new>
#include <string>
#include <vector>

#ifdef PIRN_HAVE_SNDFILE
#include <sndfile.h>
#endif

#include "bench/bench_timing.h"
#include "editors/ima4_decoder.h"
#include "editors/sound_data.h"
#include "editors/sound_export.h"
#include "editors/wav_file.h"
#include "platform/file_system.h"
#include "tools/fixture_bytes/big_endian_buffer.h"

// ---- heap use, counted for the whole program ----

namespace {

std::atomic<size_t> g_heap_now{0};
std::atomic<size_t> g_heap_peak{0};
constexpr size_t kHeapPrefix = alignof(std::max_align_t);

void* CountedAlloc(size_t size) {
    void* block = std::malloc(size + kHeapPrefix);
    if (!block) throw std::bad_alloc();
    *static_cast<size_t*>(block) = size;
    const size_t now = g_heap_now += size;
    size_t peak = g_heap_peak.load();
    while (now > peak && !g_heap_peak.compare_exchange_weak(peak, now)) {
    }
    return static_cast<char*>(block) + kHeapPrefix;
}

void CountedFree(void* p) {
    if (!p) return;
    void* block = static_cast<char*>(p) - kHeapPrefix;
    g_heap_now -= *static_cast<size_t*>(block);
    std::free(block);
}

}  // namespace

void* operator new(size_t size) { return CountedAlloc(size); }
void* operator new[](size_t size) { return CountedAlloc(size); }
void operator delete(void* p) noexcept { CountedFree(p); }
void operator delete[](void* p) noexcept { CountedFree(p); }
void operator delete(void* p, size_t) noexcept { CountedFree(p); }
void operator delete[](void* p, size_t) noexcept { CountedFree(p); }

using namespace pirn;
using bench_timing::BestSeconds;

namespace {

constexpr int kRuns = 5;
constexpr u32 kRate = 44100;
constexpr u32 kSeconds = 600;

u32 Be32(const std::vector<u8>& b, size_t at) {
    return (u32(b[at]) << 24) | (u32(b[at + 1]) << 16) | (u32(b[at + 2]) << 8) | u32(b[at + 3]);
}

// The packets of the SSND chunk of an AIFF-C file.
std::vector<Ima4Packet> AifcPackets(const std::vector<u8>& file) {
    std::vector<Ima4Packet> packets;
    size_t at = 12;
    while (at + 8 <= file.size()) {
        const u32 size = Be32(file, at + 4);
        if (std::memcmp(&file[at], "SSND", 4) == 0) {
            for (size_t p = at + 16 + Be32(file, at + 8); p + 34 <= at + 8 + size && p + 34 <= file.size(); p += 34) {
                Ima4Packet packet;
                packet.header = u16((file[p] << 8) | file[p + 1]);
                std::memcpy(packet.codes, &file[p + 2], 32);
                packets.push_back(packet);
            }
        }
        at += 8 + size + (size & 1);
    }
    return packets;
}

// Sound tag data of one stereo permutation holding the packets: header,
// description, record, packets.
std::vector<u8> SoundTagBytes(const std::vector<Ima4Packet>& packets, u32 rate) {
    fixture::BigEndianBuffer b;
    b.PutU32(0);
    for (int i = 0; i < 8; ++i) b.PutU16(0);
    b.PutU32(64 + 32);  // records after the one description
    b.PutU32(0);
    b.PutU32(0);
    b.PutU16(0);
    b.PutU16(0);
    b.PutU32(1);   // one permutation
    b.PutU32(64);  // its description
    b.PutU32(0);
    for (int i = 0; i < 16; ++i) b.PutU8(0);
    b.PutU16(0);
    b.PutU16(0);
    b.PutU16(0);
    b.PutText("Tone", 25);
    b.PutU8(0);
    b.PutU32(1);   // flags
    b.PutU16(16);  // bits
    b.PutU16(0);
    b.PutU16(2);  // channels
    b.PutU16(0);
    b.PutU32(rate << 16);
    b.PutU32(u32(packets.size()));
    b.PutU32(0);
    b.PutU32(0);
    b.PutU32(0);
    for (const Ima4Packet& p : packets) {
        b.PutU16(p.header);
        for (u8 code : p.codes) b.PutU8(code);
    }
    return b.bytes();
}

#ifdef PIRN_HAVE_SNDFILE
// libsndfile's virtual I/O over bytes in memory.
struct MemoryFile {
    const std::vector<u8>* bytes;
    sf_count_t at = 0;
};
sf_count_t MemoryLength(void* user) { return sf_count_t(static_cast<MemoryFile*>(user)->bytes->size()); }
sf_count_t MemorySeek(sf_count_t offset, int whence, void* user) {
    auto* m = static_cast<MemoryFile*>(user);
    const sf_count_t size = sf_count_t(m->bytes->size());
    m->at = std::clamp<sf_count_t>(whence == SEEK_SET ? offset : whence == SEEK_CUR ? m->at + offset : size + offset,
                                   0, size);
    return m->at;
}
sf_count_t MemoryRead(void* out, sf_count_t count, void* user) {
    auto* m = static_cast<MemoryFile*>(user);
    const sf_count_t n = std::min<sf_count_t>(count, sf_count_t(m->bytes->size()) - m->at);
    std::memcpy(out, m->bytes->data() + m->at, size_t(n));
    m->at += n;
    return n;
}
sf_count_t MemoryWrite(const void*, sf_count_t, void*) { return 0; }
sf_count_t MemoryTell(void* user) { return static_cast<MemoryFile*>(user)->at; }

// Decodes the whole AIFF-C file in memory into out; the frames read.
sf_count_t SndfileDecode(const std::vector<u8>& aifc, std::vector<i16>* out) {
    SF_VIRTUAL_IO io = {MemoryLength, MemorySeek, MemoryRead, MemoryWrite, MemoryTell};
    MemoryFile file{&aifc};
    SF_INFO info{};
    SNDFILE* in = sf_open_virtual(&io, SFM_READ, &info, &file);
    if (!in) return 0;
    out->resize(size_t(info.frames) * size_t(info.channels));
    const sf_count_t frames = sf_readf_short(in, out->data(), info.frames);
    sf_close(in);
    return frames;
}

// AIFF-C file to 16-bit WAV file through one buffer of `chunk` samples.
bool SndfileExport(const std::string& aifc, const std::string& wav, u32 chunk) {
    SF_INFO in_info{};
    SNDFILE* in = sf_open(aifc.c_str(), SFM_READ, &in_info);
    if (!in) return false;
    SF_INFO out_info{};
    out_info.samplerate = in_info.samplerate;
    out_info.channels = in_info.channels;
    out_info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* out = sf_open(wav.c_str(), SFM_WRITE, &out_info);
    if (!out) {
        sf_close(in);
        return false;
    }
    std::vector<i16> buffer(chunk);
    const sf_count_t frames = chunk / u32(in_info.channels);
    bool ok = true;
    for (;;) {
        const sf_count_t n = sf_readf_short(in, buffer.data(), frames);
        if (n <= 0) break;
        if (sf_writef_short(out, buffer.data(), n) != n) {
            ok = false;
            break;
        }
    }
    sf_close(in);
    return sf_close(out) == 0 && ok;
}
#endif

bool MakeStream(const std::string& folder, std::vector<u8>* aifc_bytes) {
    // A tone with a sweep on the left and two partials on the right.
    std::vector<i16> tone(size_t{kRate} * kSeconds * 2);
    for (size_t i = 0; i < tone.size() / 2; ++i) {
        const double t = double(i) / kRate;
        tone[2 * i] = i16(20000 * std::sin(2 * M_PI * (220 + 400 * t / kSeconds) * t));
        tone[2 * i + 1] = i16(12000 * std::sin(2 * M_PI * 331 * t) + 6000 * std::sin(2 * M_PI * 1710 * t));
    }
    const std::string wav = folder + "/tone.wav";
    const std::string aifc = folder + "/tone.aifc";
    WavParameters w;
    w.samples = tone.data();
    w.sample_count = u32(tone.size());
    w.sample_rate = kRate;
    w.channels = 2;
    if (!WriteWavFile(wav, w) ||
        std::system(("ffmpeg -nostdin -v error -y -i '" + wav + "' -c:a adpcm_ima_qt -f aiff '" + aifc + "'").c_str()) !=
            0) {
        std::puts("ffmpeg could not encode the test stream (scripts/install-deps installs it)");
        return false;
    }
    std::filesystem::remove(wav);
    return ReadFileBytes(aifc, *aifc_bytes, false);
}

int Run(const std::string& folder, const std::vector<u8>& aifc_bytes) {
    const std::string aifc = folder + "/tone.aifc";
    const std::vector<Ima4Packet> packets = AifcPackets(aifc_bytes);
    const u32 count = u32(packets.size() & ~size_t{1});
    const std::string tag_path = folder + "/tone.soun";
    const std::vector<u8> tag = SoundTagBytes(std::vector<Ima4Packet>(packets.begin(), packets.begin() + count), kRate);
    if (!WriteFileSafely(tag_path, tag.data(), tag.size())) return 1;

    // ---- decoding into memory ----
    std::vector<i16> ours(size_t{count} * 64);
    std::vector<i16> copy(ours.size());
    const double ours_decode =
        BestSeconds(kRuns, [&] { DecodeIma4PacketBlock(packets.data(), count, 2, ours.data()); });
    const double memcpy_decode =
        BestSeconds(kRuns, [&] { std::memcpy(copy.data(), ours.data(), ours.size() * sizeof(i16)); });
    const double samples = double(ours.size());
        std::printf("decode %u s of stereo (%.0f Msamples): ours %.1f ms (%.0f Msamples/s); memcpy of the output "
                    "%.1f ms, ours/memcpy %.1f\n",
                    kSeconds, samples / 1e6, ours_decode * 1e3, samples / ours_decode / 1e6,
                    memcpy_decode * 1e3, ours_decode / memcpy_decode);
#ifdef PIRN_HAVE_SNDFILE
    std::vector<i16> theirs;
    const double peer_decode = BestSeconds(kRuns, [&] { SndfileDecode(aifc_bytes, &theirs); });
    size_t differ = 0;
    for (size_t i = 0; i < std::min(theirs.size(), ours.size()); ++i) differ += theirs[i] != ours[i];
        std::printf("       libsndfile from memory %.1f ms: ours/libsndfile %.2f (%zu of %zu samples differ)\n",
                    peer_decode * 1e3, ours_decode / peer_decode, differ, theirs.size());
#endif
    std::vector<i16>().swap(ours);
    std::vector<i16>().swap(copy);

    // ---- the long export ----
    SoundData sound;
    {
        std::FILE* stream = std::fopen(tag_path.c_str(), "rb");
        if (!stream || !ReadSoundData(&sound, stream, 0, u32(tag.size()))) {
            std::puts("the bench tag did not read");
            return 1;
        }
        std::fclose(stream);
    }
    const std::string out_dir = folder + "/out";
    std::filesystem::create_directories(out_dir);
    const std::string ours_wav = out_dir + "/Tone.wav";
    const std::string peer_wav = out_dir + "/peer.wav";
    size_t heap_extra = 0;
    bool ok = true;
    const double export_held = bench_timing::Best(kRuns, [&] {
        std::filesystem::remove(ours_wav);
        const size_t before = g_heap_now;
        g_heap_peak = before;
        const auto t0 = bench_timing::Clock::now();
        ok &= ExportSoundPermutations(sound, {0}, out_dir).failed.empty();
        const double s = bench_timing::Since(t0);
        heap_extra = std::max(heap_extra, g_heap_peak - before);
        return s;
    });
    const double export_from_tag = bench_timing::Best(kRuns, [&] {
        std::filesystem::remove(ours_wav);
        const auto t0 = bench_timing::Clock::now();
        std::FILE* stream = std::fopen(tag_path.c_str(), "rb");
        SoundData read;
        ok &= stream && ReadSoundData(&read, stream, 0, u32(tag.size()));
        if (stream) std::fclose(stream);
        ok &= ExportSoundPermutations(read, {0}, out_dir).failed.empty();
        return bench_timing::Since(t0);
    });
    const double decoded_mb = double(sound.permutations[0].SampleCount()) * 2 / 1e6;
        std::printf("export %u s of stereo as WAV (%.1f MB): ours %.1f ms, read from the tag and exported %.1f ms%s; "
                    "heap held beyond the sound's packets %.0f KB (decoded size %.1f MB)\n",
                    kSeconds, decoded_mb, export_held * 1e3, export_from_tag * 1e3,
                    ok ? "" : " (FAILED)", heap_extra / 1024.0, decoded_mb);
#ifdef PIRN_HAVE_SNDFILE
    bool peer_ok = true;
    const double peer_export = BestSeconds(kRuns, [&] {
        std::filesystem::remove(peer_wav);
        peer_ok &= SndfileExport(aifc, peer_wav, kWavChunkSamples);
    });
    // The same samples in both files (headers may differ in extra chunks).
    std::vector<u8> a, b;
    ReadFileBytes(ours_wav, a, false);
    ReadFileBytes(peer_wav, b, false);
    const bool same = a.size() >= kWavHeaderSize && b.size() >= a.size() &&
                      std::equal(a.end() - std::ptrdiff_t(a.size() - kWavHeaderSize), a.end(),
                                 b.end() - std::ptrdiff_t(a.size() - kWavHeaderSize));
        std::printf("       libsndfile AIFF-C file to WAV file %.1f ms%s: ours/libsndfile %.2f, read and export/"
                    "libsndfile %.2f (goal <= 1); %s\n",
                    peer_export * 1e3, peer_ok ? "" : " (FAILED)", export_held / peer_export,
                    export_from_tag / peer_export,
                    same ? "the files' samples are the same" : "the files' samples differ");
#else
    std::printf("       libsndfile is missing: no peer (scripts/install-deps installs libsndfile1-dev)\n");
#endif
    std::filesystem::remove_all(out_dir);
    sound = SoundData();

    // ---- many short permutations ----
    SoundData many;
    for (int i = 0; i < 100; ++i) {
        SoundPermutation p;
        p.name = "Permutation " + std::to_string(i);
        p.record.flags = 1;
        p.record.bits_per_sample = 16;
        p.record.channels = u16(1 + i % 2);
        p.record.sample_rate = 22050u << 16;
        p.record.packet_count = 345 * p.record.channels;  // one second
        p.packets.assign(packets.begin() + i * 700, packets.begin() + i * 700 + p.record.packet_count);
        many.permutations.push_back(std::move(p));
    }
    const std::string ours_dir = folder + "/export";
    const std::string raw_dir = folder + "/raw";
    std::filesystem::create_directories(ours_dir);
    std::filesystem::create_directories(raw_dir);
    const std::vector<u32> all = AllSoundPermutations(many);
    size_t failed = 0;
    const double many_time =
        BestSeconds(kRuns, [&] { failed = ExportSoundPermutations(many, all, ours_dir).failed.size(); });
    const std::vector<std::string> names = SoundExportFileNames(many, all);
    std::vector<std::vector<i16>> decoded;
    for (const SoundPermutation& p : many.permutations) decoded.push_back(DecodePermutation(p));
    size_t bytes = 0;
    const double many_stdio = BestSeconds(kRuns, [&] {
        bytes = 0;
        for (size_t i = 0; i < all.size(); ++i) {
            const std::vector<i16>& s = decoded[i];
            WavParameters w;
            w.sample_count = u32(s.size());
            w.sample_rate = 22050;
            w.channels = many.permutations[i].record.channels;
            u8 header[kWavHeaderSize];
            BuildWavHeader(w, header);
            std::FILE* file = std::fopen((raw_dir + "/" + names[i]).c_str(), "wb");
            if (!file) continue;
            std::fwrite(header, 1, sizeof header, file);
            std::fwrite(s.data(), 2, s.size(), file);
            std::fclose(file);
            bytes += sizeof header + 2 * s.size();
        }
    });
        std::printf("export 100 one-second permutations (%.1f MB): ours %.2f ms, the same bytes written with stdio "
                    "%.2f ms, ratio %.2f%s\n",
                    bytes / 1e6, many_time * 1e3, many_stdio * 1e3, many_time / many_stdio,
                    failed ? " (some writes failed)" : "");
    return 0;
}

}  // namespace

int main() {
    const std::string folder = (std::filesystem::temp_directory_path() / "pirn_sound_bench").string();
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    std::vector<u8> aifc;
    const int status = MakeStream(folder, &aifc) ? Run(folder, aifc) : 1;
    std::filesystem::remove_all(folder);
    return status;
}
