// Image file and palette speeds against references measured in the same
// run: bare libpng and libtiff on the same pictures, libimagequant (the
// library behind pngquant) for quantising, and a plain 256-entry scan for
// the nearest-colour search.

#include <png.h>
#include <sched.h>
#include <sys/wait.h>
#include <tiffio.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <ctime>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "bench/bench_timing.h"
#include "platform/image_file.h"
#include "platform/palette_index.h"
#include "platform/palette_quantise.h"
#include "platform/palette_remap.h"
#include "platform/pixel_convert.h"
#include "platform/png_codec.h"
#include "platform/tiff_codec.h"
#include "platform/worker_team.h"

#ifdef PIRN_HAVE_IMAGEQUANT
#include <libimagequant.h>
#endif

using namespace pirn;
using bench_timing::BestSeconds;

namespace {

// Smooth light, a few soft shapes, fine texture and sensor noise: enough
// distinct colours (hundreds of thousands) to stand for a photograph.
PixelImage PhotoLike(u32 size, u32 format) {
    PixelImage image;
    SetImagePixels(&image, size, size, format, nullptr);
    std::mt19937 random(1234);
    std::normal_distribution<double> noise(0.0, 3.0);
    int bpp = BytesPerPixel(format);
    for (u32 y = 0; y < size; ++y) {
        for (u32 x = 0; x < size; ++x) {
            double u = double(x) / size, v = double(y) / size;
            double sky = 1.0 - v;
            double r = 70 + 120 * sky + 40 * std::sin(6.0 * u + 2.0 * v);
            double g = 90 + 100 * sky + 50 * std::sin(4.0 * v + 1.0) * std::cos(3.0 * u);
            double b = 120 + 110 * sky - 30 * std::cos(5.0 * u * v);
            double dx = u - 0.6, dy = v - 0.55;
            if (dx * dx + dy * dy < 0.04) {  // a warm disc
                r += 80;
                g += 20;
                b -= 60;
            }
            double texture = 12 * std::sin(90.0 * u) * std::sin(70.0 * v);
            double values[3] = {r + texture + noise(random), g + texture + noise(random), b + texture + noise(random)};
            u8* p = &image.pixels[(size_t(y) * size + x) * bpp];
            for (int c = 0; c < 3; ++c) p[c] = static_cast<u8>(std::clamp(values[c], 0.0, 255.0));
            if (bpp == 4) p[3] = 255;
        }
    }
    return image;
}

// Flat areas, smooth gradients, a disc and a thin line, no noise: a
// drawing or an interface (some ten thousand colours).
PixelImage FlatAndGradients(u32 size) {
    PixelImage image;
    SetImagePixels(&image, size, size, kFormatRgba, nullptr);
    for (u32 y = 0; y < size; ++y) {
        for (u32 x = 0; x < size; ++x) {
            double u = double(x) / size, v = double(y) / size;
            double r, g, b;
            if (v < 0.4) {  // sky
                r = 30 + 200 * u;
                g = 60 + 150 * v;
                b = 200 - 120 * u;
            } else if (u < 0.3) {  // flat
                r = 200;
                g = 180;
                b = 40;
            } else if (u < 0.55) {
                r = 20 + 60 * std::sin(3.0 * v);
                g = 120;
                b = 60 + 100 * (u - 0.3);
            } else {  // radial
                double d = std::hypot(u - 0.8, v - 0.7);
                r = 240 - 300 * d;
                g = 90 + 200 * d;
                b = 150;
            }
            double cx = u - 0.45, cy = v - 0.25;
            if (cx * cx + cy * cy < 0.01) r = g = b = 250;
            if (std::fabs(u - v) < 0.01) r = g = b = 10;
            u8* p = &image.pixels[(size_t(y) * size + x) * 4];
            const double values[3] = {r, g, b};
            for (int c = 0; c < 3; ++c) p[c] = static_cast<u8>(std::clamp(values[c], 0.0, 255.0));
            p[3] = 255;
        }
    }
    return image;
}

// Every pixel drawn at random from the whole colour cube: about a million
// colours and no structure to exploit.
PixelImage Noise(u32 size) {
    PixelImage image;
    SetImagePixels(&image, size, size, kFormatRgba, nullptr);
    std::mt19937 random(99);
    for (size_t i = 0; i < size_t(size) * size; ++i) {
        const u32 v = random();
        u8* p = &image.pixels[i * 4];
        p[0] = u8(v);
        p[1] = u8(v >> 8);
        p[2] = u8(v >> 16);
        p[3] = 255;
    }
    return image;
}

// Forty flat tones in tiles, each with sixteen slight variations: a few
// hundred colours, many sharing a cell of Wu's 5-bit grid.
PixelImage FewColours(u32 size) {
    PixelImage image;
    SetImagePixels(&image, size, size, kFormatRgba, nullptr);
    std::mt19937 random(42);
    u8 tones[40][3];
    for (auto& tone : tones) {
        for (u8& c : tone) c = u8(random());
    }
    for (u32 y = 0; y < size; ++y) {
        for (u32 x = 0; x < size; ++x) {
            const u8* tone = tones[((x / 64) * 7 + (y / 48) * 3) % 40];
            const u32 jitter = random() % 16;
            u8* p = &image.pixels[(size_t(y) * size + x) * 4];
            p[0] = u8(std::min(255u, tone[0] + (jitter & 3)));
            p[1] = u8(std::min(255u, tone[1] + (jitter >> 2)));
            p[2] = tone[2];
            p[3] = 255;
        }
    }
    return image;
}

double Psnr(const std::vector<u8>& rgb_a, const std::vector<u8>& rgb_b) {
    double sum = 0;
    for (size_t i = 0; i < rgb_a.size(); ++i) {
        double d = double(rgb_a[i]) - rgb_b[i];
        sum += d * d;
    }
    double mse = sum / rgb_a.size();
    return mse == 0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 / mse);
}

// --- Bare libpng and libtiff -------------------------------------------------

bool BarePngWrite(const std::string& path, const PixelImage& image) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    std::vector<png_bytep> rows(image.height);
    for (u32 y = 0; y < image.height; ++y)
        rows[y] = const_cast<u8*>(image.pixels.data()) + size_t(y) * image.width * 3;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(f);
        return false;
    }
    png_init_io(png, f);
    png_set_IHDR(png, info, image.width, image.height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return std::fclose(f) == 0;
}

bool BarePngRead(const std::string& path, std::vector<u8>* pixels) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        std::fclose(f);
        return false;
    }
    png_init_io(png, f);
    png_read_info(png, info);
    u32 width = png_get_image_width(png, info), height = png_get_image_height(png, info);
    size_t row = png_get_rowbytes(png, info);
    pixels->resize(row * height);
    std::vector<png_bytep> rows(height);
    for (u32 y = 0; y < height; ++y) rows[y] = pixels->data() + y * row;
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(f);
    return width > 0;
}

bool BareTiffWrite(const std::string& path, const PixelImage& image) {
    TIFF* tif = TIFFOpen(path.c_str(), "w");
    if (!tif) return false;
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, image.width);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, image.height);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, 32946);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tif, 0));
    std::vector<u8> row(size_t(image.width) * 3);
    bool ok = true;
    for (u32 y = 0; ok && y < image.height; ++y) {
        std::copy_n(image.pixels.data() + size_t(y) * row.size(), row.size(), row.data());
        ok = TIFFWriteScanline(tif, row.data(), y, 0) >= 0;
    }
    TIFFClose(tif);
    return ok;
}

bool BareTiffRead(const std::string& path, std::vector<u8>* pixels) {
    TIFF* tif = TIFFOpen(path.c_str(), "rm");
    if (!tif) return false;
    u32 width = 0, height = 0;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &height);
    size_t row = size_t(TIFFScanlineSize64(tif));
    pixels->resize(row * height);
    bool ok = true;
    for (u32 y = 0; ok && y < height; ++y) ok = TIFFReadScanline(tif, pixels->data() + y * row, y, 0) >= 0;
    TIFFClose(tif);
    return ok;
}

// --- Our side -----------------------------------------------------------------

bool OurWrite(u32 type, const std::string& path, const PixelImage& image) {
    std::FILE* f = std::fopen(path.c_str(), "w+b");
    if (!f) return false;
    bool ok = type == kTypePng ? WritePng(f, image) : WriteTiff(f, image);
    return std::fclose(f) == 0 && ok;
}

bool OurLoad(const std::string& path, PixelImage* out) {
    ImageFile file;
    InitImageFile(&file, path);
    if (!LoadImageFile(&file)) return false;
    *out = std::move(file.image);
    return true;
}

void Report(const char* what, double ours, double reference, const char* reference_name) {
    std::printf("%-34s ours %8.2f ms  %-14s %8.2f ms  ratio %.2fx\n", what, ours * 1e3, reference_name,
                reference * 1e3, ours / reference);
}

void FileBenchmarks(const std::string& folder) {
    PixelImage image = PhotoLike(1024, kFormatRgb);
    const int runs = 5;
    struct Codec {
        const char* name;
        u32 type;
        const char* ext;
        std::function<bool(const std::string&, const PixelImage&)> bare_write;
        std::function<bool(const std::string&, std::vector<u8>*)> bare_read;
        const char* library;
    } codecs[] = {
        {"PNG", kTypePng, ".png", BarePngWrite, BarePngRead, "libpng"},
        {"TIFF", kTypeTiff, ".tiff", BareTiffWrite, BareTiffRead, "libtiff"},
    };
    for (const Codec& c : codecs) {
        std::string ours_path = folder + "/ours" + c.ext, bare_path = folder + "/bare" + c.ext;
        double write_ours = BestSeconds(runs, [&] { OurWrite(c.type, ours_path, image); });
        double write_bare = BestSeconds(runs, [&] { c.bare_write(bare_path, image); });
        PixelImage loaded;
        std::vector<u8> bare_pixels;
        double read_ours = BestSeconds(runs, [&] { OurLoad(ours_path, &loaded); });
        double read_bare = BestSeconds(runs, [&] { c.bare_read(ours_path, &bare_pixels); });
        if (loaded.pixels != image.pixels || bare_pixels != image.pixels)
            std::printf("!! %s pixels differ after the round trip\n", c.name);
        std::string label = std::string(c.name) + " write 1024x1024 RGB";
        Report(label.c_str(), write_ours, write_bare, c.library);
        label = std::string(c.name) + " read (identify + decode)";
        Report(label.c_str(), read_ours, read_bare, c.library);

        // The safe save adds a temporary file, a sync and a rename on top.
        ImageFile file;
        InitImageFile(&file, folder + "/safe" + c.ext);
        file.type = c.type;
        file.image = image;
        double safe = BestSeconds(runs, [&] { SaveImageFile(&file); });
        label = std::string(c.name) + " SaveImageFile (temp+sync)";
        Report(label.c_str(), safe, write_bare, c.library);
    }
}

struct QuantiseFigures {
    double best = 0, median = 0, cpu = 0, psnr = 0;
};

constexpr int kQuantiseRuns = 5;

using Quantiser = std::function<void(std::vector<u8>* rgb)>;

// Best and median wall time of each quantiser's runs, their mean CPU time
// (of the whole process, so helper threads count), and the PSNR of the last
// result against the original. The quantisers take turns run by run, so a
// change in the machine's load falls on all of them alike.
std::vector<QuantiseFigures> Measure(const std::vector<Quantiser>& quantisers, const std::vector<u8>& original_rgb) {
    const size_t n = quantisers.size();
    std::vector<std::vector<double>> walls(n);
    std::vector<double> cpu(n, 0.0);
    std::vector<std::vector<u8>> rgb(n);
    for (int run = 0; run < kQuantiseRuns; ++run) {
        for (size_t q = 0; q < n; ++q) {
            const std::clock_t cpu_start = std::clock();
            const auto start = bench_timing::Clock::now();
            quantisers[q](&rgb[q]);
            walls[q].push_back(bench_timing::Since(start));
            cpu[q] += double(std::clock() - cpu_start) / CLOCKS_PER_SEC;
        }
    }
    std::vector<QuantiseFigures> figures(n);
    for (size_t q = 0; q < n; ++q) {
        std::sort(walls[q].begin(), walls[q].end());
        figures[q].best = walls[q].front();
        figures[q].median = walls[q][walls[q].size() / 2];
        figures[q].cpu = cpu[q] / kQuantiseRuns;
        figures[q].psnr = Psnr(original_rgb, rgb[q]);
    }
    return figures;
}

double LoadAverage() {
    double load[1] = {0};
    return getloadavg(load, 1) == 1 ? load[0] : -1.0;
}

// Where the time of our quantiser goes, on the photograph.
void QuantiserStages(const PixelImage& rgba) {
    ColorList colours;
    CollectOpaqueColors(&colours, rgba);
    auto t0 = std::chrono::steady_clock::now();
    const std::vector<CountColorPair>& histogram = BuildColorHistogram(&colours);
    auto t1 = std::chrono::steady_clock::now();
    u8 wu[kPaletteBytes];
    u32 boxes = WuQuantize(histogram, wu, 256);
    auto t2 = std::chrono::steady_clock::now();
    u8 refined[kPaletteBytes];
    u32 count = RefinePaletteKMeans(histogram, wu, boxes, refined);
    auto t3 = std::chrono::steady_clock::now();
    PaletteIndex index;
    BuildPaletteIndex(&index, refined, count, 0);
    PixelImage dithered = rgba;
    DitherToPalette(&dithered, kFormatColorIndex, refined, 0, count, index);
    auto t4 = std::chrono::steady_clock::now();
    auto ms = [](auto a, auto b) { return std::chrono::duration<double, std::milli>(b - a).count(); };
    // Wu alone (no k-means), remapped the same way, shows what the
    // refinement buys.
    PaletteIndex wu_index;
    BuildPaletteIndex(&wu_index, wu, boxes, 0);
    PixelImage wu_only = rgba;
    DitherToPalette(&wu_only, kFormatColorIndex, wu, 0, boxes, wu_index);
    PalettedToRgb(&wu_only);
    std::vector<u8> original_rgb;
    for (size_t i = 0; i < rgba.pixels.size(); i += 4)
        original_rgb.insert(original_rgb.end(), rgba.pixels.begin() + i, rgba.pixels.begin() + i + 3);
    std::printf("  stages on the photograph: %zu distinct colours; histogram %.0f ms, Wu %.0f ms, k-means %.0f ms, "
                "dither %.0f ms; Wu alone %.2f dB\n",
                histogram.size(), ms(t0, t1), ms(t1, t2), ms(t2, t3), ms(t3, t4), Psnr(original_rgb, wu_only.pixels));
}

// The quantiser on the cores this process may run on, 1024x1024 to 256
// colours with dithering, on pictures of different character.
void QuantiseBenchmark() {
    struct Picture {
        const char* name;
        PixelImage rgba;
    } pictures[] = {
        {"photograph", PhotoLike(1024, kFormatRgba)},
        {"flat + gradients", FlatAndGradients(1024)},
        {"noise", Noise(1024)},
        {"few colours", FewColours(1024)},
    };
    const u32 threads = WorkerThreadCount();
    // Both sides run on the same cores: ours on a team of that many
    // threads, libimagequant's OpenMP threads on the process's cores, told
    // to wait passively as ours do (OMP_WAIT_POLICY, set by the parent).
    std::printf("quantise + dither on %u cores (load average %.1f), %d runs taking turns: wall ms best / median, "
                "ratio of the medians, CPU ms, PSNR dB (ours, libimagequant, difference)\n",
                threads, LoadAverage(), kQuantiseRuns);
    const char* wait_policy = std::getenv("OMP_WAIT_POLICY");
    if (!wait_policy || std::string(wait_policy) != "passive")
        std::printf("  (libimagequant's threads are not told to wait passively: OMP_WAIT_POLICY=%s)\n",
                    wait_policy ? wait_policy : "unset");
    for (Picture& picture : pictures) {
        const PixelImage& rgba = picture.rgba;
        std::vector<u8> original_rgb;
        for (size_t i = 0; i < rgba.pixels.size(); i += 4)
            original_rgb.insert(original_rgb.end(), rgba.pixels.begin() + i, rgba.pixels.begin() + i + 3);
        ColorList colours;
        CollectOpaqueColors(&colours, rgba);
        const size_t distinct = BuildColorHistogram(&colours).size();

        const Quantiser ours = [&](std::vector<u8>* rgb) {
            PixelImage result;
            CopyImageAs(&result, rgba, kFormatColorIndex);
            PalettedToRgb(&result);
            rgb->swap(result.pixels);
        };
        // Ours on two threads beside the whole team: more threads must
        // never be slower than fewer.
        const Quantiser ours_on_two = [&](std::vector<u8>* rgb) {
            SetWorkerThreadCount(2);
            ours(rgb);
            SetWorkerThreadCount(0);
        };
        std::vector<Quantiser> contenders = {ours};
        if (threads > 2) contenders.push_back(ours_on_two);
#ifdef PIRN_HAVE_IMAGEQUANT
        std::vector<u8> remapped(size_t(rgba.width) * rgba.height);
        contenders.push_back([&](std::vector<u8>* rgb) {
            liq_attr* attr = liq_attr_create();
            liq_set_max_colors(attr, 256);
            liq_image* image = liq_image_create_rgba(attr, rgba.pixels.data(), int(rgba.width), int(rgba.height), 0);
            liq_result* result = nullptr;
            rgb->clear();
            if (liq_image_quantize(image, attr, &result) == LIQ_OK) {
                liq_set_dithering_level(result, 1.0f);
                liq_write_remapped_image(result, image, remapped.data(), remapped.size());
                const liq_palette* palette = liq_get_palette(result);
                for (u8 i : remapped) {
                    const liq_color& c = palette->entries[i];
                    rgb->insert(rgb->end(), {c.r, c.g, c.b});
                }
                liq_result_destroy(result);
            }
            liq_image_destroy(image);
            liq_attr_destroy(attr);
        });
#endif
        const std::vector<QuantiseFigures> f = Measure(contenders, original_rgb);
        std::printf("  %-17s %7zu colours  ours %6.1f / %6.1f", picture.name, distinct, f[0].best * 1e3,
                    f[0].median * 1e3);
        if (threads > 2) std::printf("  (2 threads %6.1f / %6.1f)", f[1].best * 1e3, f[1].median * 1e3);
#ifdef PIRN_HAVE_IMAGEQUANT
        const QuantiseFigures& liq = f.back();
        std::printf("  libimagequant %6.1f / %6.1f  ratio %.2fx  CPU %6.1f %6.1f  PSNR %5.2f %5.2f %+.2f\n",
                    liq.best * 1e3, liq.median * 1e3, f[0].median / liq.median, f[0].cpu * 1e3, liq.cpu * 1e3,
                    f[0].psnr, liq.psnr, f[0].psnr - liq.psnr);
#else
        std::printf("  CPU %6.1f  PSNR %5.2f (libimagequant not available)\n", f[0].cpu * 1e3, f[0].psnr);
#endif
    }
    QuantiserStages(pictures[0].rgba);
}

void NearestColourBenchmark() {
    PixelImage rgba = PhotoLike(1024, kFormatRgba);
    ColorList colours;
    CollectOpaqueColors(&colours, rgba);
    u8 refined[kPaletteBytes];
    u32 count = QuantizePalette(&colours, refined, 256);
    PaletteIndex index;
    BuildPaletteIndex(&index, refined, count, 0);

    // Nearest colour: the sorted-sum search against a plain scan, over the
    // picture's own pixels and the palette made for it.
    size_t n = size_t(rgba.width) * rgba.height;
    volatile u32 sink = 0;
    double indexed = BestSeconds(3, [&] {
        u32 total = 0;
        for (size_t i = 0; i < n; ++i) {
            const u8* p = &rgba.pixels[i * 4];
            total += NearestPaletteColor(index, p[0], p[1], p[2], p[0] + p[1] + p[2]);
        }
        sink = total;
    });
    double brute = BestSeconds(3, [&] {
        u32 total = 0;
        for (size_t i = 0; i < n; ++i) {
            const u8* p = &rgba.pixels[i * 4];
            int best = 0, best_d = 1 << 30;
            for (u32 c = 0; c < count; ++c) {
                int dr = refined[c * 3] - p[0], dg = refined[c * 3 + 1] - p[1], db = refined[c * 3 + 2] - p[2];
                int d = dr * dr + dg * dg + db * db;
                if (d < best_d) {
                    best_d = d;
                    best = int(c);
                }
            }
            total += u32(best);
        }
        sink = total;
    });
    (void)sink;
    Report("NearestPaletteColor x 1M", indexed, brute, "256-entry scan");
}


// Runs the quantiser benchmark again in a child process confined to the
// first `cores` cores the bench may use, as taskset would: libimagequant's
// OpenMP reads the process's cores when it starts, and so do we.
void QuantiseOnCores(u32 cores) {
    cpu_set_t allowed;
    if (sched_getaffinity(0, sizeof allowed, &allowed) != 0) return;
    cpu_set_t chosen;
    CPU_ZERO(&chosen);
    u32 taken = 0;
    for (int cpu = 0; cpu < CPU_SETSIZE && taken < cores; ++cpu) {
        if (CPU_ISSET(cpu, &allowed)) {
            CPU_SET(cpu, &chosen);
            ++taken;
        }
    }
    std::fflush(stdout);
    pid_t child = fork();
    if (child == 0) {
        sched_setaffinity(0, sizeof chosen, &chosen);
        // Read by libimagequant's OpenMP when it starts; our team never spins.
        setenv("OMP_WAIT_POLICY", "passive", 1);
        char flag[] = "--quantise";
        char* args[] = {flag, flag, nullptr};
        execv("/proc/self/exe", args);
        _exit(127);
    }
    int status = 0;
    if (child > 0) waitpid(child, &status, 0);
}

}  // namespace

//   image_bench              files, quantiser, nearest colour
//   image_bench quantiser    the quantiser alone, on eight cores and on two
int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "--quantise") {
        QuantiseBenchmark();
        return 0;
    }
    const u32 cores = WorkerThreadCount();
    if (mode == "quantiser") {
        for (u32 wanted : {8u, 2u}) QuantiseOnCores(std::min(wanted, cores));
        return 0;
    }
    TIFFSetWarningHandler(nullptr);  // the legacy Deflate code draws a warning
    char folder[] = "/tmp/pirn-image-bench-XXXXXX";
    if (!mkdtemp(folder)) return 1;
    FileBenchmarks(folder);
    // The figures asked of the quantiser: on eight cores and on two.
    for (u32 wanted : {8u, 2u}) QuantiseOnCores(std::min(wanted, cores));
    NearestColourBenchmark();
    std::string clean = std::string("rm -rf '") + folder + "'";
    return std::system(clean.c_str()) == 0 ? 0 : 1;
}
