// Frame time of the 3D model view against the triangle count, 1,000 to
// 65,000 triangles of a crumpled, textured sheet seen from an angle:
//  - the whole frame (clear, projection, sort, submit in texture runs,
//    glFinish) in a real window, against a bare clear of the same window;
//  - the projection and sort alone, on the processor;
//  - the list insertion that sort replaces (each triangle walked in before
//    the first nearer one), timed up to 16,000 triangles.
// Per size the time divided by n log2 n, relative to 1,000 triangles: near
// 1 for n log n growth, climbing with n for n^2. Under Xvfb only the
// ratios mean anything. Everything is run once, unmeasured, before the
// first size.

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <list>
#include <memory>
#include <random>

#include "models/gl/model_view_gl.h"
#include "models/model_view_camera.h"
#include "platform/os/os_time.h"
#include "platform/os/os_window.h"
#include "platform/os/pirn_gl.h"

using namespace pirn;

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;

// Runs work() in three batches of at least `frames` runs and 0.2 s; the
// best batch's seconds per run (the machine is shared).
template <typename F>
double TimePerRun(F work, int frames, bool gl) {
    double best = 1e30;
    for (int batch = 0; batch < 3; ++batch) {
        if (gl) glFinish();
        const double start = OsGetTime();
        int n = 0;
        while (n < frames || OsGetTime() - start < 0.2) {
            work();
            ++n;
        }
        if (gl) glFinish();
        best = std::min(best, (OsGetTime() - start) / n);
    }
    return best;
}

// A sheet of about n triangles, folded so that depths vary and tie, with a
// 64 x 64 texture on every fourth row of quads and the rest untextured.
std::unique_ptr<ModelObject> Sheet(int triangles) {
    auto model = std::make_unique<ModelObject>();
    const int side = std::max(2, int(std::sqrt(triangles / 2.0)));
    const int rows = std::max(1, triangles / (2 * side));
    std::mt19937 random(5);
    std::uniform_real_distribution<float> jitter(-0.02f, 0.02f);
    for (int y = 0; y <= rows; ++y)
        for (int x = 0; x <= side; ++x) {
            ModelVertex v;
            v.x = 20.0f * x / side - 10;
            v.y = 20.0f * y / rows - 10;
            v.z = std::sin(v.x) * std::cos(v.y * 0.7f) + jitter(random);
            model->vertices.push_back(v);
        }
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < side; ++x) {
            const u32 a = u32(y * (side + 1) + x), b = a + 1, c = a + u32(side) + 1, d = c + 1;
            const u32 corners[2][3] = {{a, c, b}, {b, c, d}};
            for (const auto& tri : corners) {
                ModelTriangle triangle;
                triangle.texture = y % 4 == 0 ? 0 : kNoModelTexture;
                for (int k = 0; k < 3; ++k) {
                    triangle.corners[k].vertex = tri[k];
                    triangle.corners[k].u = float(x % 8) / 8;
                    triangle.corners[k].v = float(y % 8) / 8;
                }
                model->triangles.push_back(triangle);
            }
        }
    model->textures.resize(1);
    std::vector<u8> rgb(64 * 64 * 3);
    for (size_t i = 0; i < rgb.size(); ++i) rgb[i] = u8((i * 37) % 251);
    SetImagePixels(&model->textures[0].colour, 64, 64, kFormatRgb, rgb.data());
    ComputeModelBounds(model.get());
    SetModelTriangleOwners(model.get());
    return model;
}

void FrameOn(ModelViewCamera* camera, const ModelObject& model) {
    FrameCameraOnBounds(camera, model.bounds);
    SetCameraAngles(camera, 0.6f, 0.5f, 0);
}

// The list insertion of the draw order, as the view first did it.
size_t InsertionOrder(const ModelViewCamera& camera) {
    std::list<const ModelTriangle*> list;
    for (const ModelObject* model : camera.models)
        for (const ModelTriangle& triangle : model->triangles) {
            auto at = list.begin();
            while (at != list.end() && !((*at)->sort_key < triangle.sort_key)) ++at;
            list.insert(at, &triangle);
        }
    return list.size();
}

}  // namespace

int main() {
    const bool window = OsInit() && OsSetWindow(kWidth, kHeight, "bench_model_view", 0, 0);
    if (window) {
        PirnGL_Init();
        glViewport(0, 0, kWidth, kHeight);
    } else {
        std::printf("no window (run under xvfb-run): the processor part only\n");
    }
    const double clear = window ? TimePerRun([] {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        OsSwapBuffers();
    }, 20, true) : 0;
    if (window) std::printf("bare clear and swap: %.3f ms\n\n", clear * 1e3);

    // Warm: the first size is the base of every ratio, so the driver's
    // first draws, the first texture upload and the caches are paid for
    // before it is measured.
    {
        auto model = Sheet(1000);
        ModelViewCamera camera;
        InitModelViewCamera(&camera);
        camera.models.push_back(model.get());
        FrameOn(&camera, *model);
        const i32 viewport[4] = {0, 0, kWidth, kHeight};
        TimePerRun([&] {
            SetupCameraView(&camera, viewport);
            SortCameraTriangles(&camera);
            InsertionOrder(camera);
            if (!window) return;
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            DrawCameraModels(&camera);
            OsSwapBuffers();
        }, 10, window);
        if (window) ReleaseModelTextures(model.get());
    }

    std::printf("%9s | %10s %10s %9s | %10s %9s | %12s %9s\n", "triangles", "frame ms", "x clear", "/nlogn",
                "sort ms", "/nlogn", "insertion ms", "x sort");
    double frame_base = 0, sort_base = 0;
    for (int n : {1000, 2000, 4000, 8000, 16000, 32000, 65000}) {
        auto model = Sheet(n);
        ModelViewCamera camera;
        InitModelViewCamera(&camera);
        camera.models.push_back(model.get());
        FrameOn(&camera, *model);
        const i32 viewport[4] = {0, 0, kWidth, kHeight};
        const double triangles = double(model->triangles.size());
        const double nlogn = triangles * std::log2(triangles);
        const double sort = TimePerRun([&] {
            SetupCameraView(&camera, viewport);
            SortCameraTriangles(&camera);
        }, 10, false);
        double frame = 0;
        if (window) {
            frame = TimePerRun([&] {
                glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
                glEnable(GL_DEPTH_TEST);
                glEnable(GL_CULL_FACE);
                DrawCameraModels(&camera);
                glDisable(GL_CULL_FACE);
                OsSwapBuffers();
            }, 5, true);
        }
        double insertion = -1;
        if (n <= 16000) insertion = TimePerRun([&] { InsertionOrder(camera); }, 1, false);
        if (frame_base == 0) frame_base = frame / nlogn;
        if (sort_base == 0) sort_base = sort / nlogn;
        char insertion_text[32] = "-", ratio_text[32] = "-";
        if (insertion >= 0) {
            std::snprintf(insertion_text, sizeof insertion_text, "%.1f", insertion * 1e3);
            std::snprintf(ratio_text, sizeof ratio_text, "%.1f", insertion / sort);
        }
        std::printf("%9zu | %10.2f %10.1f %9.2f | %10.2f %9.2f | %12s %9s\n", model->triangles.size(), frame * 1e3,
                    window ? frame / clear : 0.0, frame_base > 0 ? frame / nlogn / frame_base : 0.0, sort * 1e3,
                    sort / nlogn / sort_base, insertion_text, ratio_text);
        if (window) ReleaseModelTextures(model.get());
    }
    return 0;
}
