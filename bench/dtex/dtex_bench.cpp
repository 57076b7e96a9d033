// Detail-texture codec speed and size against zlib (level 6) on the same
// RGB bytes and against libpng (its simplified API, default compression),
// measured in the same run, on photo-like and flat pictures.

#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

#include "bench/bench_timing.h"
#include "models/dtex_codec.h"

using namespace pirn;
using bench_timing::BestSeconds;

namespace {

// Soft light, shapes, fine texture and sensor noise.
std::vector<u8> PhotoLike(u32 side) {
    std::vector<u8> rgb(size_t(side) * side * 3);
    std::mt19937 random(side);
    std::normal_distribution<double> noise(0.0, 3.0);
    for (u32 y = 0; y < side; ++y)
        for (u32 x = 0; x < side; ++x) {
            double u = double(x) / side, v = double(y) / side;
            double base[3] = {70 + 120 * (1 - v) + 40 * std::sin(6 * u + 2 * v),
                              90 + 80 * std::cos(5 * u - 3 * v) + 30 * std::sin(40 * u * v),
                              60 + 150 * v * (1 - u) + 20 * std::sin(25 * (u + v))};
            for (int c = 0; c < 3; ++c) {
                double value = base[c] + noise(random);
                rgb[(size_t(y) * side + x) * 3 + size_t(c)] = u8(std::clamp(value, 0.0, 255.0));
            }
        }
    return rgb;
}

// Large flat areas with a few hard-edged shapes.
std::vector<u8> Flat(u32 side) {
    std::vector<u8> rgb(size_t(side) * side * 3);
    for (u32 y = 0; y < side; ++y)
        for (u32 x = 0; x < side; ++x) {
            u8* p = &rgb[(size_t(y) * side + x) * 3];
            const bool box = x > side / 4 && x < side / 2 && y > side / 3 && y < side * 2 / 3;
            const bool stripe = (y / 64) % 5 == 0;
            p[0] = box ? 200 : stripe ? 30 : 120;
            p[1] = box ? 40 : stripe ? 30 : 140;
            p[2] = box ? 40 : stripe ? 90 : 100;
        }
    return rgb;
}

struct Result {
    double encode_s, decode_s;
    size_t size;
};

Result Dtex(const std::vector<u8>& rgb, u32 side, int runs) {
    std::vector<u8> bytes;
    Result r{};
    r.encode_s = BestSeconds(runs, [&] { EncodeDtexBytes(rgb.data(), side, side, &bytes); });
    std::vector<u8> back;
    u32 w = 0, h = 0;
    r.decode_s = BestSeconds(runs, [&] { DecodeDtexBytes(bytes.data(), bytes.size(), &back, &w, &h); });
    if (back != rgb) std::printf("  !! dtex round trip differs\n");
    r.size = bytes.size();
    return r;
}

Result Zlib(const std::vector<u8>& rgb, int runs) {
    std::vector<u8> out(compressBound(uLong(rgb.size())));
    uLongf size = 0;
    Result r{};
    r.encode_s = BestSeconds(runs, [&] {
        size = uLongf(out.size());
        compress2(out.data(), &size, rgb.data(), uLong(rgb.size()), 6);
    });
    std::vector<u8> back(rgb.size());
    r.decode_s = BestSeconds(runs, [&] {
        uLongf n = uLongf(back.size());
        uncompress(back.data(), &n, out.data(), size);
    });
    r.size = size;
    return r;
}

Result Png(const std::vector<u8>& rgb, u32 side, int runs) {
    std::vector<u8> out;
    Result r{};
    r.encode_s = BestSeconds(runs, [&] {
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        image.width = side;
        image.height = side;
        image.format = PNG_FORMAT_RGB;
        png_alloc_size_t size = 0;
        png_image_write_to_memory(&image, nullptr, &size, 0, rgb.data(), 0, nullptr);
        out.resize(size);
        png_image_write_to_memory(&image, out.data(), &size, 0, rgb.data(), 0, nullptr);
        out.resize(size);
    });
    std::vector<u8> back(rgb.size());
    r.decode_s = BestSeconds(runs, [&] {
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        png_image_begin_read_from_memory(&image, out.data(), out.size());
        image.format = PNG_FORMAT_RGB;
        png_image_finish_read(&image, nullptr, back.data(), 0, nullptr);
    });
    r.size = out.size();
    return r;
}

double MBps(size_t bytes, double seconds) { return double(bytes) / 1e6 / seconds; }

}  // namespace

int main() {
    std::printf("Detail-texture codec vs zlib level 6 (same RGB bytes) and libpng; MB/s of RGB pixels\n");
    std::printf("%-6s %-6s | %9s %9s %9s | %9s %9s %9s | %9s %9s %9s | %7s %7s\n", "pic", "side", "dtex enc",
                "zlib enc", "png enc", "dtex dec", "zlib dec", "png dec", "dtex KB", "zlib KB", "png KB",
                "enc/zl", "dec/png");
    for (const char* kind : {"photo", "flat"}) {
        for (u32 side : {256u, 512u, 1024u, 2048u}) {
            const std::vector<u8> rgb = kind[0] == 'p' ? PhotoLike(side) : Flat(side);
            const int runs = side >= 2048 ? 2 : side >= 1024 ? 3 : 6;
            Result d = Dtex(rgb, side, runs), z = Zlib(rgb, runs), p = Png(rgb, side, runs);
            std::printf("%-6s %-6u | %9.1f %9.1f %9.1f | %9.1f %9.1f %9.1f | %9zu %9zu %9zu | %7.2f %7.2f\n", kind,
                        side, MBps(rgb.size(), d.encode_s), MBps(rgb.size(), z.encode_s),
                        MBps(rgb.size(), p.encode_s), MBps(rgb.size(), d.decode_s), MBps(rgb.size(), z.decode_s),
                        MBps(rgb.size(), p.decode_s), d.size / 1024, z.size / 1024, p.size / 1024,
                        z.encode_s / d.encode_s, p.decode_s / d.decode_s);
        }
    }
    std::printf("enc/zl: dtex encode speed as a share of zlib's (goal: at least 0.5); dec/png: dtex decode speed\n"
                "over libpng's (goal: above 1).\n");
    return 0;
}
