// Collection builder speeds against references measured in the same run,
// on one rendered sequence of 8 views x 32 frames (256 x 256 RGBA PNGs of a
// shaded figure with soft edges and a team colour; the same renderings at
// 512 x 512 for the high-resolution build):
//   standard  the whole standard build (decode, mask, crop, de-duplicate,
//             quantise to one palette, make and save the collection) in
//             pixels per second, against bare libpng decoding the same
//             files (one after the other, as most tools do) plus our
//             quantiser alone on the same cropped pixels;
//   up-res    the whole high-resolution build of that collection from the
//             512 x 512 files at target scales 1.98 (the measured scale is
//             1.99: soft edges make the large crops a pixel short of twice
//             the size; the pictures keep nearly their size) and 1 (halved),
//             labelling a team-colour hue change, against Pillow (/usr/bin/python3)
//             opening the same files and box-resizing them to half size,
//             as process time of the child with its start-up time given.
// Times are the best of several runs; the builders use the worker team
// (its size is printed).

#include <png.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

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

// libpng's simplified reader, one file after the other, into RGBA.
bool DecodeWithLibpng(const std::vector<std::string>& paths, std::vector<PixelImage>* out) {
    out->clear();
    for (const std::string& path : paths) {
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
        image.format = PNG_FORMAT_RGBA;
        PixelImage decoded;
        SetImagePixels(&decoded, image.width, image.height, kFormatRgba, nullptr);
        if (!png_image_finish_read(&image, nullptr, decoded.pixels.data(), 0, nullptr)) return false;
        out->push_back(std::move(decoded));
    }
    return true;
}

// User + system time of `/usr/bin/python3 -c script paths...`; negative
// when it cannot be run.
double PythonProcessSeconds(const std::string& script, const std::vector<std::string>& paths) {
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child < 0) return -1;
    if (child == 0) {
        std::vector<char*> argv = {const_cast<char*>("python3"), const_cast<char*>("-c"),
                                   const_cast<char*>(script.c_str())};
        for (const std::string& path : paths) argv.push_back(const_cast<char*>(path.c_str()));
        argv.push_back(nullptr);
        std::freopen("/dev/null", "w", stdout);
        execv("/usr/bin/python3", argv.data());
        _exit(127);
    }
    int status = 0;
    struct rusage usage;
    if (wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
    return usage.ru_utime.tv_sec + usage.ru_utime.tv_usec * 1e-6 + usage.ru_stime.tv_sec + usage.ru_stime.tv_usec * 1e-6;
}

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

int main() {
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
    std::printf("worker team: %u threads\n", WorkerThreadCount());

    // Standard build.
    const double build = BestSeconds(kRuns, [&] { BuildInto(root + "standard/", nullptr); });
    std::vector<PixelImage> decoded;
    const double decode = BestSeconds(kRuns, [&] { DecodeWithLibpng(paths, &decoded); });
    std::vector<PixelImage> cropped;
    for (PixelImage& image : decoded) {
        CropBox box;
        CropToAlpha(&image, &box);
    }
    const double quantise = BestSeconds(kRuns, [&] {
        cropped = decoded;
        std::vector<PixelImage*> images;
        for (PixelImage& image : cropped) images.push_back(&image);
        u8 palette[kPaletteBytes];
        BuildSharedPalette(images, kFormatIndexAlpha, palette);
    });
    std::printf("standard build  %.3f s, %.1f Mpixels/s\n", build, pixels / build / 1e6);
    std::printf("  libpng decode alone %.3f s, our quantiser alone %.3f s, sum %.3f s (%.1f Mpixels/s)\n", decode,
                quantise, decode + quantise, pixels / (decode + quantise) / 1e6);
    std::printf("  ratio build / (decode + quantise) %.2f\n", build / (decode + quantise));
    // The same with every step on one thread, as the references run.
    SetWorkerThreadCount(1);
    const double alone_build = BestSeconds(kRuns, [&] { BuildInto(root + "standard/", nullptr); });
    const double alone_quantise = BestSeconds(kRuns, [&] {
        cropped = decoded;
        std::vector<PixelImage*> images;
        for (PixelImage& image : cropped) images.push_back(&image);
        u8 palette[kPaletteBytes];
        BuildSharedPalette(images, kFormatIndexAlpha, palette);
    });
    SetWorkerThreadCount(0);
    std::printf("  on one thread: build %.3f s, decode + quantise %.3f s, ratio %.2f\n", alone_build,
                decode + alone_quantise, alone_build / (decode + alone_quantise));

    // Up-res of the same set.
    Collection base;
    if (!BuildInto(root + "standard/", &base)) return 1;
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
    const double high_pixels = pixels * 4;
    std::printf("up-res at 1.98 %.3f s, %.1f Mpixels/s of high-resolution frames\n", same, high_pixels / same / 1e6);
    std::printf("up-res halving %.3f s, %.1f Mpixels/s\n", halved, high_pixels / halved / 1e6);
    const std::string pillow =
        "import sys\nfrom PIL import Image\nfor p in sys.argv[1:]:\n"
        "    im = Image.open(p).convert('RGBA')\n    im.resize((im.width // 2, im.height // 2), Image.BOX)\n";
    double startup = 1e30, resize = 1e30;
    for (int i = 0; i < kRuns; ++i) {
        startup = std::min(startup, PythonProcessSeconds(pillow, {}));
        resize = std::min(resize, PythonProcessSeconds(pillow, high_paths));
    }
    if (startup < 0 || resize < 0) {
        std::printf("  Pillow could not be run\n");
    } else {
        const double work = resize - startup;
        std::printf("  Pillow open + box resize to half: %.3f s process time (%.3f s beyond its start-up)\n", resize,
                    work);
        std::printf("  ratio up-res at 1.98 / Pillow %.2f, halving / Pillow %.2f\n", same / work, halved / work);
    }
    FreeCollection(&base);
    std::string command = "rm -rf '" + std::string(made) + "'";
    return std::system(command.c_str()) == 0 ? 0 : 1;
}
