// Record engine speed against the floor of the same work: converting 64-byte
// headers against a hand-written field swap, widening pointer records against
// a plain copy, and reading records from a file against reading the raw bytes.

#include <cstdio>
#include <cstring>
#include <vector>

#include "bench/bench_timing.h"
#include "platform/records.h"

using namespace pirn;
using bench_timing::BestSeconds;

namespace {

const StructLayout kTagHeader[] = {64, 1, 1, 2, 0, 31, 0, 1, 4, 5, 2, 1, 1, 2, 0, 1, 2};
const StructLayout kSpriteImage[] = {0x8000 | 28, 2, 14, 2, 5, 2, 17, 2, 5, 1, 14, 1, 18};

// The least a header swap can do: the same fields, written out by hand.
void HandSwapHeaders(u8* p, size_t n) {
    for (size_t i = 0; i < n; ++i, p += 64) {
        u16 w;
        std::memcpy(&w, p, 2); w = __builtin_bswap16(w); std::memcpy(p, &w, 2);
        p[35] = 0;
        for (int f = 0; f < 5; ++f) {
            u32 v;
            std::memcpy(&v, p + 36 + 4 * f, 4); v = __builtin_bswap32(v); std::memcpy(p + 36 + 4 * f, &v, 4);
        }
        std::memcpy(&w, p + 56, 2); w = __builtin_bswap16(w); std::memcpy(p + 56, &w, 2);
        u32 v;
        std::memcpy(&v, p + 60, 4); v = __builtin_bswap32(v); std::memcpy(p + 60, &v, 4);
    }
}

}  // namespace

int main() {
    const u32 headers = 1000000;
    std::vector<u8> disk(size_t{headers} * 64);
    for (size_t i = 0; i < disk.size(); ++i) disk[i] = static_cast<u8>(i * 131);
    std::vector<u8> work(disk.size());

    const double engine = BestSeconds(7, [&] {
        std::memcpy(work.data(), disk.data(), disk.size());
        SwapRecordsInPlace(work.data(), headers, kTagHeader);
    });
    const double hand = BestSeconds(7, [&] {
        std::memcpy(work.data(), disk.data(), disk.size());
        HandSwapHeaders(work.data(), headers);
    });
    std::printf("tag headers (%u): engine %.2f ms, hand-written swap %.2f ms, ratio %.2f\n", headers, engine * 1e3,
                hand * 1e3, engine / hand);

    const u32 sprites = 1000000;
    std::vector<u8> spriteDisk(size_t{sprites} * 28, 7);
    std::vector<u8> spriteMemory(LayoutMemorySize(sprites, kSpriteImage) + 8);
    const double unpack =
        BestSeconds(7, [&] { UnpackRecords(spriteMemory.data(), spriteDisk.data(), sprites, kSpriteImage); });
    const double copy = BestSeconds(7, [&] { std::memcpy(spriteMemory.data(), spriteDisk.data(), spriteDisk.size()); });
    std::printf("sprite records (%u): unpack %.2f ms, memcpy of the disk bytes %.2f ms, ratio %.2f\n", sprites,
                unpack * 1e3, copy * 1e3, unpack / copy);

    std::FILE* f = std::tmpfile();
    std::fwrite(disk.data(), 1, disk.size(), f);
    const double readRecords = BestSeconds(7, [&] {
        std::rewind(f);
        if (ReadRecords(work.data(), headers, kTagHeader, f) == 0) std::puts("read failed");
    });
    const double readRaw = BestSeconds(7, [&] {
        std::rewind(f);
        if (std::fread(work.data(), 1, disk.size(), f) != disk.size()) std::puts("read failed");
    });
    std::fclose(f);
    std::printf("read tag headers from a file: ReadRecords %.2f ms, raw fread %.2f ms, ratio %.2f\n",
                readRecords * 1e3, readRaw * 1e3, readRecords / readRaw);
    return 0;
}
