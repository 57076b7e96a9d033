// IMA decoding and WAV export against their floors in the same run:
// - decoding a minute of stereo 'ima4' packets that ffmpeg encoded, in
//   samples per second, against ffmpeg decoding the same stream (its process
//   time, start-up included) and against a memcpy of the decoded samples;
// - exporting 100 permutations as WAV files against writing the same bytes
//   with plain stdio.
// Times are the best of several runs.

#include <sys/resource.h>
#include <sys/time.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/bench_timing.h"
#include "editors/ima4_decoder.h"
#include "editors/sound_export.h"
#include "editors/wav_file.h"
#include "platform/file_system.h"

using namespace pirn;
using bench_timing::BestSeconds;

namespace {

constexpr int kRuns = 5;
constexpr u32 kRate = 44100;
constexpr u32 kSeconds = 60;

double ChildCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

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

int BenchDecoding(const std::string& folder) {
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
        std::system(("ffmpeg -nostdin -v error -y -i '" + wav + "' -c:a adpcm_ima_qt -f aiff '" + aifc + "'").c_str()) != 0) {
        std::puts("ffmpeg could not encode the test stream (scripts/install-deps installs it)");
        return 1;
    }
    std::vector<u8> file;
    ReadFileBytes(aifc, file, false);
    const std::vector<Ima4Packet> packets = AifcPackets(file);
    const u32 count = u32(packets.size() & ~size_t{1});
    std::vector<i16> out(size_t{count} * 64);
    std::vector<i16> copy(out.size());
    const double samples = double(out.size());

    const double ours = BestSeconds(kRuns, [&] { DecodeIma4PacketBlock(packets.data(), count, 2, out.data()); });
    const double memcpy_time = BestSeconds(20, [&] { std::memcpy(copy.data(), out.data(), out.size() * sizeof(i16)); });
    double ffmpeg = 1e30;
    for (int i = 0; i < 3; ++i) {
        const double before = ChildCpuSeconds();
        if (std::system(("ffmpeg -nostdin -v error -f aiff -i '" + aifc + "' -f null -").c_str()) != 0) {
            std::puts("ffmpeg could not decode the test stream");
            return 1;
        }
        ffmpeg = std::min(ffmpeg, ChildCpuSeconds() - before);
    }
    std::printf("IMA decoding, %u s of stereo (%.0f samples): ours %.2f ms (%.0f Msamples/s), "
                "ffmpeg process %.2f ms (%.0f Msamples/s), ratio ffmpeg/ours %.1f; memcpy of the output %.3f ms, "
                "ratio ours/memcpy %.1f\n",
                kSeconds, samples, ours * 1e3, samples / ours / 1e6, ffmpeg * 1e3, samples / ffmpeg / 1e6,
                ffmpeg / ours, memcpy_time * 1e3, ours / memcpy_time);
    return 0;
}

int BenchExport(const std::string& folder) {
    SoundData sound;
    for (int i = 0; i < 100; ++i) {
        SoundPermutation p;
        p.name = "Permutation " + std::to_string(i);
        p.record.bits_per_sample = 16;
        p.record.channels = u16(1 + i % 2);
        p.record.sample_rate = 22050u << 16;
        p.record.packet_count = 345 * p.record.channels;  // one second
        p.samples.assign(size_t{p.record.packet_count} * 64, i16(i * 100));
        sound.permutations.push_back(std::move(p));
    }
    const std::string ours_dir = folder + "/export";
    const std::string raw_dir = folder + "/raw";
    std::filesystem::create_directories(ours_dir);
    std::filesystem::create_directories(raw_dir);
    const std::vector<u32> all = AllSoundPermutations(sound);
    size_t failed = 0;
    const double ours =
        BestSeconds(kRuns, [&] { failed = ExportSoundPermutations(sound, all, ours_dir).failed.size(); });
    const std::vector<std::string> names = SoundExportFileNames(sound, all);
    size_t bytes = 0;
    const double raw = BestSeconds(kRuns, [&] {
        bytes = 0;
        for (size_t i = 0; i < all.size(); ++i) {
            const SoundPermutation& p = sound.permutations[i];
            WavParameters w;
            w.samples = p.samples.data();
            w.sample_count = p.SampleCount();
            w.sample_rate = 22050;
            w.channels = p.record.channels;
            u8 header[kWavHeaderSize];
            BuildWavHeader(w, header);
            std::FILE* f = std::fopen((raw_dir + "/" + names[i]).c_str(), "wb");
            if (!f) continue;
            std::fwrite(header, 1, sizeof header, f);
            std::fwrite(p.samples.data(), 2, p.samples.size(), f);
            std::fclose(f);
            bytes += sizeof header + 2 * p.samples.size();
        }
    });
    std::printf("WAV export of 100 permutations (%.1f MB): ExportSoundPermutations %.2f ms, "
                "writing the same bytes with stdio %.2f ms, ratio %.2f%s\n",
                bytes / 1e6, ours * 1e3, raw * 1e3, ours / raw, failed ? " (some writes failed)" : "");
    return 0;
}

}  // namespace

int main() {
    const std::string folder = (std::filesystem::temp_directory_path() / "pirn_sound_bench").string();
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const int status = BenchDecoding(folder) | BenchExport(folder);
    std::filesystem::remove_all(folder);
    return status;
}
