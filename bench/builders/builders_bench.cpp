// Collection builder speeds against references measured in the same run,
// on one rendered sequence of 8 views x 32 frames (256 x 256 RGBA PNGs of a
// shaded figure with soft edges and a team colour; the same renderings at
// 512 x 512 for the high-resolution build):
//   standard  the whole standard build (decode, mask, crop, de-duplicate,
//             quantise to one palette, make and save the collection) in
//             pixels per second, against bare libpng decoding the same
//             files plus libimagequant making one palette of 254 colours for
//             the same cropped pixels and mapping each picture onto it
//             (dithered, as ours does); our quantiser alone is shown beside;
//   up-res    the whole high-resolution build of that collection from the
//             512 x 512 files at target scales 1.98 (the measured scale is
//             1.99: soft edges make the large crops a pixel short of twice
//             the size; the pictures keep nearly their size) and 1 (halved),
//             labelling a team-colour hue change, against bare libpng
//             decoding the same files and a plain 2 x 2 box halving them.
// Both sides of every ratio run on the same number of threads: first the
// worker team's (its size is printed; the references spread their files
// over a team of that size), then one. Times are the best of several runs.

#include <png.h>
#include <unistd.h>

#ifdef PIRN_HAVE_IMAGEQUANT
#include <libimagequant.h>
#include <omp.h>
#endif

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/bench_timing.h"
#include "collections/build_tasks.h"
#include "collections/collection_builder.h"
#include "collections/collection_tag.h"
#include "collections/picture_file.h"
#include "collections/unique_images.h"
#include "collections/uprez_builder.h"
#include "platform/colour_space.h"
#include "platform/file_system.h"
#include "platform/image_file.h"
#include "platform/log_message.h"
#include "platform/palette_remap.h"
#include "platform/strings.h"
#include "platform/worker_team.h"

using namespace pirn;
using bench_timing::BestSeconds;

namespace {

constexpr u32 kViews = 8;
constexpr u32 kFrames = 32;
constexpr u32 kSide = 256;
constexpr int kRuns = 3;

double Smooth(double edge, double distance) {
    // Coverage of a pixel by a shape whose signed distance (in pixels) is
    // `distance`, over an edge of `edge` pixels.
    return std::clamp(0.5 - distance / edge, 0.0, 1.0);
}

// One frame of the figure at side x side pixels: a shaded body, a head, a
// swinging arm and a red banner, anti-aliased.
PixelImage RenderFrame(u32 view, u32 frame, u32 side) {
    PixelImage image;
    SetImagePixels(&image, side, side, kFormatRgba, nullptr);
    const double s = side;
    const double swing = std::sin(frame * 2 * M_PI / kFrames);
    const double turn = view * 2 * M_PI / kViews;
    double body_r = 0, body_g = 0, body_b = 0;
    HsvToRgb(0.55 + 0.04 * std::cos(turn), 0.35, 0.75, &body_r, &body_g, &body_b);
    for (u32 y = 0; y < side; ++y)
        for (u32 x = 0; x < side; ++x) {
            const double u = (x + 0.5) / s, v = (y + 0.5) / s;
            double r = 0, g = 0, b = 0, a = 0;
            auto over = [&](double cover, double cr, double cg, double cb) {
                r = r * (1 - cover) + cr * cover;
                g = g * (1 - cover) + cg * cover;
                b = b * (1 - cover) + cb * cover;
                a = a + (1 - a) * cover;
            };
            // Body: an ellipse, lit from the upper left.
            const double bx = (u - 0.5) / 0.17, by = (v - 0.58) / 0.27;
            const double body = (std::sqrt(bx * bx + by * by) - 1) * 0.2 * s;
            const double light = 0.6 + 0.4 * std::clamp(1 - (bx + by + 1.4) / 2.8, 0.0, 1.0);
            over(Smooth(1.5, body), body_r * light, body_g * light, body_b * light);
            // Banner in the team colour, moving round with the view.
            const double banner_u = 0.5 + 0.1 * std::sin(turn);
            if (std::fabs(u - banner_u) < 0.04 && std::fabs(v - 0.5) < 0.08 && body < 0)
                over(1.0, 0.8, 0.1 + 0.05 * v, 0.1);
            // Head.
            const double hx = u - 0.5, hy = v - 0.24;
            over(Smooth(1.5, (std::sqrt(hx * hx + hy * hy) - 0.07) * s), 0.9, 0.72, 0.58);
            // Arm: a capsule from the shoulder, swinging with the frame.
            const double angle = 0.9 * swing + 0.3 * std::cos(turn);
            const double ax = 0.5 + 0.15, ay = 0.4;
            const double dx = std::sin(angle) * 0.25, dy = std::cos(angle) * 0.25;
            const double t = std::clamp(((u - ax) * dx + (v - ay) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
            const double px = u - (ax + t * dx), py = v - (ay + t * dy);
            over(Smooth(1.5, (std::sqrt(px * px + py * py) - 0.025) * s), 0.6 + 0.3 * t, 0.62 + 0.3 * t, 0.7);
            u8* p = &image.pixels[(size_t(y) * side + x) * 4];
            const double alpha = std::max(a, 1e-9);
            p[0] = u8(std::lround(r / alpha * 255 * (a > 0)));
            p[1] = u8(std::lround(g / alpha * 255 * (a > 0)));
            p[2] = u8(std::lround(b / alpha * 255 * (a > 0)));
            p[3] = u8(std::lround(a * 255));
        }
    return image;
}

void WriteFrames(const std::string& folder, u32 side) {
    MakeDirectory(folder);
    RunBuildTasks(kViews * kFrames, [&](size_t k) {
        const PixelImage frame = RenderFrame(u32(k % kViews), u32(k / kViews), side);
        std::vector<u8> bytes;
        EncodeImageBytes(kTypePng, frame, &bytes);
        WriteFileSafely(folder + FormatString("frame %03zu.png", k + 1), bytes.data(), bytes.size());
    });
}

std::vector<std::string> FramePaths(const std::string& folder) {
    std::vector<std::string> paths;
    for (u32 k = 0; k < kViews * kFrames; ++k) paths.push_back(folder + FormatString("frame %03u.png", k + 1));
    return paths;
}

// libpng's simplified reader into RGBA, the files spread over the worker
// team (one after the other on one thread).
bool DecodeWithLibpng(const std::vector<std::string>& paths, std::vector<PixelImage>* out) {
    out->assign(paths.size(), PixelImage());
    std::atomic<bool> ok{true};
    RunBuildTasks(paths.size(), [&](size_t k) {
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        if (!png_image_begin_read_from_file(&image, paths[k].c_str())) {
            ok = false;
            return;
        }
        image.format = PNG_FORMAT_RGBA;
        PixelImage& decoded = (*out)[k];
        SetImagePixels(&decoded, image.width, image.height, kFormatRgba, nullptr);
        if (!png_image_finish_read(&image, nullptr, decoded.pixels.data(), 0, nullptr)) ok = false;
    });
    return ok;
}

// Each picture halved by averaging 2 x 2 blocks of its RGBA bytes, spread
// over the worker team like the decoding.
void HalveAll(const std::vector<PixelImage>& images, std::vector<PixelImage>* out) {
    out->assign(images.size(), PixelImage());
    RunBuildTasks(images.size(), [&](size_t k) {
        const PixelImage& in = images[k];
        PixelImage& half = (*out)[k];
        const u32 w = in.width / 2, h = in.height / 2;
        SetImagePixels(&half, w, h, kFormatRgba, nullptr);
        for (u32 y = 0; y < h; ++y) {
            const u8* a = &in.pixels[size_t{2 * y} * in.width * 4];
            const u8* b = a + size_t{in.width} * 4;
            u8* o = &half.pixels[size_t{y} * w * 4];
            for (u32 x = 0; x < w; ++x)
                for (u32 c = 0; c < 4; ++c)
                    o[4 * x + c] = u8((a[8 * x + c] + a[8 * x + 4 + c] + b[8 * x + c] + b[8 * x + 4 + c] + 2) / 4);
        }
    });
}

#ifdef PIRN_HAVE_IMAGEQUANT
// libimagequant: one palette for every picture (254 colours, as ours
// leaves two entries for the transparent marks), each picture mapped onto
// it with its default dithering.
bool LiqSharedPalette(std::vector<PixelImage>& images) {
    liq_attr* attr = liq_attr_create();
    liq_set_max_colors(attr, 254);
    liq_histogram* histogram = liq_histogram_create(attr);
    std::vector<liq_image*> pictures;
    for (PixelImage& image : images) {
        liq_image* picture = liq_image_create_rgba(attr, image.pixels.data(), int(image.width), int(image.height), 0);
        liq_histogram_add_image(histogram, attr, picture);
        pictures.push_back(picture);
    }
    liq_result* result = nullptr;
    const bool ok = liq_histogram_quantize(histogram, attr, &result) == LIQ_OK;
    if (ok) {
        std::vector<u8> remapped;
        for (size_t i = 0; i < images.size(); ++i) {
            remapped.resize(size_t(images[i].width) * images[i].height);
            liq_write_remapped_image(result, pictures[i], remapped.data(), remapped.size());
        }
        liq_result_destroy(result);
    }
    for (liq_image* picture : pictures) liq_image_destroy(picture);
    liq_histogram_destroy(histogram);
    liq_attr_destroy(attr);
    return ok;
}
#endif

bool SaveToScratch(Collection* c) {
    std::FILE* stream = std::tmpfile();
    if (!stream) return false;
    TagHeader header{};
    const bool ok = SaveCollection(c, stream, &header) == 1;
    std::fclose(stream);
    return ok;
}

// The standard build's result, kept for the up-res runs.
bool BuildInto(const std::string& root, Collection* kept) {
    CollectionBuildSettings settings;
    settings.name = "Bench";
    settings.folder = root;
    settings.registration_x = kSide / 2;
    settings.registration_y = kSide - 16;
    return BuildCollection(settings, [&](Collection* c) {
        if (!SaveToScratch(c)) return false;
        if (!kept) return true;
        std::FILE* stream = std::tmpfile();
        TagHeader header{};
        SaveCollection(c, stream, &header);
        std::fseek(stream, 0, SEEK_END);
        header.data_offset = 0;
        header.data_length = u32(std::ftell(stream));
        InitCollection(kept);
        const bool ok = LoadCollection(kept, stream, &header, true) == 1;
        std::fclose(stream);
        return ok;
    }) == 1;
}

}  // namespace

int main(int, char** argv) {
#ifdef PIRN_HAVE_IMAGEQUANT
    // Our workers wait for work passively; libgomp's spin unless told
    // otherwise, which on a shared machine costs the peer far more than
    // its work. It reads the setting when it loads, so the benchmark
    // starts itself again with it.
    if (!std::getenv("OMP_WAIT_POLICY")) {
        setenv("OMP_WAIT_POLICY", "passive", 1);
        execv("/proc/self/exe", argv);
    }
#else
    (void)argv;
#endif
    // The builders log every step; the benchmark prints its figures and
    // only the lines that say why a build failed.
    SetLogHandler([](i32 level, const std::string&, const std::string& text) {
        if (level >= 2) std::fputs(text.c_str(), stderr);
    });
    char pattern[] = "/tmp/pirn-builders-bench-XXXXXX";
    const char* made = mkdtemp(pattern);
    if (!made) return 1;
    const std::string root = std::string(made) + "/";
    std::printf("writing %u frames of %ux%u and of %ux%u...\n", kViews * kFrames, kSide, kSide, 2 * kSide, 2 * kSide);
    WriteFrames(root + "standard/walk(8,32)/", kSide);
    WriteFrames(root + "high/walk/", 2 * kSide);
    const std::vector<std::string> paths = FramePaths(root + "standard/walk(8,32)/");
    const std::vector<std::string> high_paths = FramePaths(root + "high/walk/");
    const double pixels = double(kViews) * kFrames * kSide * kSide;
    Collection base;
    if (!BuildInto(root + "standard/", &base)) return 1;
    const double high_pixels = pixels * 4;

    // Every figure on the worker team's threads, then again on one.
    const u32 team_threads = WorkerThreadCount();
    for (u32 threads : {team_threads, 1u}) {
        if (threads == 1 && team_threads == 1) break;
        SetWorkerThreadCount(threads);
        std::printf("-- %u thread%s, on both sides of every ratio --\n", threads, threads == 1 ? "" : "s");

        // Standard build.
        const double build = BestSeconds(kRuns, [&] { BuildInto(root + "standard/", nullptr); });
        std::vector<PixelImage> decoded;
        const double decode = BestSeconds(kRuns, [&] { DecodeWithLibpng(paths, &decoded); });
        for (PixelImage& image : decoded) {
            CropBox box;
            CropToAlpha(&image, &box);
        }
        std::vector<PixelImage> cropped;
        const double quantise = BestSeconds(kRuns, [&] {
            cropped = decoded;
            std::vector<PixelImage*> images;
            for (PixelImage& image : cropped) images.push_back(&image);
            u8 palette[kPaletteBytes];
            BuildSharedPalette(images, kFormatIndexAlpha, palette);
        });
        std::printf("standard build  %.3f s, %.1f Mpixels/s\n", build, pixels / build / 1e6);
#ifdef PIRN_HAVE_IMAGEQUANT
        omp_set_num_threads(int(threads));
        bool liq_ok = true;
        const double liq = BestSeconds(kRuns, [&] {
            cropped = decoded;
            liq_ok &= LiqSharedPalette(cropped);
        });
        std::printf("  libpng decode %.3f s + libimagequant %.3f s%s = %.3f s (%.1f Mpixels/s): ratio %.2f\n",
                    decode, liq, liq_ok ? "" : " (FAILED)", decode + liq, pixels / (decode + liq) / 1e6,
                    build / (decode + liq));
        std::printf("  (our quantiser alone on the same pixels %.3f s, %.2fx libimagequant)\n", quantise,
                    quantise / liq);
#else
        std::printf("  libpng decode %.3f s + our quantiser %.3f s = %.3f s (%.1f Mpixels/s): ratio %.2f "
                    "(libimagequant is missing: scripts/install-deps installs it)\n",
                    decode, quantise, decode + quantise, pixels / (decode + quantise) / 1e6,
                    build / (decode + quantise));
#endif

        // Up-res of the same set.
        auto uprez = [&](double target) {
            return BestSeconds(kRuns, [&] {
                Collection c;
                InitCollection(&c);
                std::FILE* stream = std::tmpfile();
                TagHeader header{};
                SaveCollection(&base, stream, &header);
                std::fseek(stream, 0, SEEK_END);
                header.data_offset = 0;
                header.data_length = u32(std::ftell(stream));
                LoadCollection(&c, stream, &header, true);
                std::fclose(stream);
                CollectionHueChange* team = AddHueChange(&c, "Team");
                team->start_hue = u16(340 * 65536 / 360);
                team->end_hue = u16(20 * 65536 / 360);
                UpResSettings settings;
                settings.folder = root + "high/";
                settings.target_scale = target;
                settings.tolerance = 0.1;
                if (UpResCollection(&c, settings, BuildScript(), SaveToScratch) != 1) std::printf("  up-res failed\n");
                FreeCollection(&c);
            });
        };
        const double same = uprez(1.98);
        const double halved = uprez(1.0);
        std::vector<PixelImage> high, halves;
        const double high_decode = BestSeconds(kRuns, [&] { DecodeWithLibpng(high_paths, &high); });
        const double halve = BestSeconds(kRuns, [&] { HalveAll(high, &halves); });
        const double reference = high_decode + halve;
        std::printf("up-res at 1.98 %.3f s, halving %.3f s (%.1f and %.1f Mpixels/s of high-resolution frames)\n",
                    same, halved, high_pixels / same / 1e6, high_pixels / halved / 1e6);
        std::printf("  libpng decode %.3f s + 2 x 2 box halving %.3f s = %.3f s: ratio at 1.98 %.2f, halving %.2f\n",
                    high_decode, halve, reference, same / reference, halved / reference);
    }
    SetWorkerThreadCount(0);
    FreeCollection(&base);
    std::string command = "rm -rf '" + std::string(made) + "'";
    return std::system(command.c_str()) == 0 ? 0 : 1;
}
