#include "collections/hue_regions.h"

#include <array>

namespace pirn {

namespace {

constexpr u8 kOpaqueAlpha = 8;

struct RegionWalk {
    const u8* labels = nullptr;
    i64 width = 0;
    i64 height = 0;
    u8 label = 0;
    int count = 0;
    std::array<i64, kRegionReach> path{};
    int path_length = 0;
};

bool OnPath(const RegionWalk& walk, i64 index) {
    for (int i = 0; i < walk.path_length; ++i)
        if (walk.path[size_t(i)] == index) return true;
    return false;
}

// One visit of the walk: the count only grows, a pixel leaves the path on
// the way back so another path may enter it again.
bool LabelRegionReaches(RegionWalk& walk, i64 x, i64 y) {
    static const int kStepX[8] = {-1, -1, -1, 0, 0, 1, 1, 1};
    static const int kStepY[8] = {-1, 0, 1, -1, 1, -1, 0, 1};
    if (walk.count >= kRegionReach) return true;
    if (x < 0 || y < 0 || x >= walk.width || y >= walk.height) return false;
    const i64 index = y * walk.width + x;
    if (walk.labels[index] != walk.label || OnPath(walk, index)) return false;
    ++walk.count;
    walk.path[size_t(walk.path_length++)] = index;
    bool reached = false;
    for (int k = 0; k < 8 && !reached; ++k) reached = LabelRegionReaches(walk, x + kStepX[k], y + kStepY[k]);
    --walk.path_length;
    return reached;
}

}  // namespace

u8 HueChangeIndex(const std::vector<CollectionHueChange>& hues, u8 r, u8 g, u8 b) {
    for (size_t i = 0; i < hues.size(); ++i)
        if (HueChangeAffectsColor(hues[i], r, g, b)) return static_cast<u8>(i);
    return kLabelNoHue;
}

void LabelHueRegions(const PixelImage& rgba, const std::vector<CollectionHueChange>& hues, std::vector<u8>* labels) {
    const size_t count = size_t(rgba.width) * rgba.height;
    labels->assign(count, kLabelNoHue);
    // Rendered pictures repeat colours in runs; remembering the last answer
    // saves most of the colour-space conversions.
    u32 last_colour = 0xFFFFFFFF;
    u8 last_label = kLabelNoHue;
    const u8* p = rgba.pixels.data();
    for (size_t i = 0; i < count; ++i, p += 4) {
        if (p[3] < kOpaqueAlpha) {
            (*labels)[i] = kLabelTransparent;
            continue;
        }
        if (hues.empty()) continue;
        const u32 colour = u32(p[0]) | u32(p[1]) << 8 | u32(p[2]) << 16;
        if (colour != last_colour) {
            last_colour = colour;
            last_label = HueChangeIndex(hues, p[0], p[1], p[2]);
        }
        (*labels)[i] = last_label;
    }
    if (!hues.empty()) CleanUpHueRegions(labels, rgba.width, rgba.height);
}

void CleanUpHueRegions(std::vector<u8>* labels, u32 width, u32 height) {
    RegionWalk walk;
    walk.labels = labels->data();
    walk.width = width;
    walk.height = height;
    for (i64 y = 0; y < walk.height; ++y)
        for (i64 x = 0; x < walk.width; ++x) {
            u8& label = (*labels)[size_t(y * walk.width + x)];
            if (label >= kLabelTransparent) continue;
            walk.label = label;
            walk.count = 0;
            walk.path_length = 0;
            if (!LabelRegionReaches(walk, x, y)) label = kLabelNoHue;
        }
}

}  // namespace pirn
