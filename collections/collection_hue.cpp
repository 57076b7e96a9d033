// Hue changes: which table colours a hue change affects, and the table as
// it looks once every active hue change has recoloured it. Colours are
// worked on as 16-bit channels (an 8-bit value v is v x 256) with hue as a
// 16-bit fraction of a turn and saturation and value as fractions of 65535.

#include <algorithm>
#include <cmath>
#include <cstring>
#include <unordered_map>

#include "collections/collection.h"
#include "platform/colour_space.h"

namespace pirn {

namespace {

struct Hsv16 {
    u32 hue = 0;
    u32 saturation = 0;
    u32 value = 0;
};

Hsv16 ToHsv16(u32 red, u32 green, u32 blue) {
    double h = 0, s = 0, v = 0;
    RgbToHsv(red / 65535.0, green / 65535.0, blue / 65535.0, &h, &s, &v);
    Hsv16 out;
    out.hue = std::min<u32>(static_cast<u32>(h * 65536.0), 0xFFFF);
    out.saturation = std::min<u32>(static_cast<u32>(s * 65535.0), 0xFFFF);
    out.value = std::min<u32>(static_cast<u32>(v * 65535.0), 0xFFFF);
    return out;
}

u16 ToChannel16(double fraction) {
    return static_cast<u16>(std::clamp<long>(std::lround(fraction * 65535.0), 0, 0xFFFF));
}

bool HueInRange(const CollectionHueChange& hue, u32 h) {
    if (hue.start_hue <= hue.end_hue) return hue.start_hue <= h && h < hue.end_hue;
    return h >= hue.start_hue || h < hue.end_hue;
}

void ApplyHueChange(const CollectionHueChange& hue, const Hsv16& replacement, u16 channels[3]) {
    const Hsv16 current = ToHsv16(channels[0], channels[1], channels[2]);
    const u32 median = hue.median_hue;
    const u32 shifted = (hue.hue_flags & 1) ? median - current.hue : current.hue - median;
    const u32 new_hue = (shifted + replacement.hue) & 0xFFFF;
    const u32 new_saturation = current.saturation * replacement.saturation / 65536;
    const u32 new_value = current.value * replacement.value / 65536;
    double r = 0, g = 0, b = 0;
    HsvToRgb(new_hue / 65536.0, new_saturation / 65535.0, new_value / 65535.0, &r, &g, &b);
    channels[0] = ToChannel16(r);
    channels[1] = ToChannel16(g);
    channels[2] = ToChannel16(b);
}

}  // namespace

bool HueChangeAffectsColor(const CollectionHueChange& hue, u8 r, u8 g, u8 b) {
    const Hsv16 hsv = ToHsv16(u32{r} * 256, u32{g} * 256, u32{b} * 256);
    return hsv.saturation > hue.minimum_saturation && HueInRange(hue, hsv.hue);
}

void ComputeAffectedColors(const Collection& collection, CollectionHueChange* hue) {
    std::memset(hue->affected_colors, 0, sizeof hue->affected_colors);
    for (u32 i = 0; i < kColorTableEntries; ++i) {
        const u8* c = &collection.colors[3 * i];
        if (HueChangeAffectsColor(*hue, c[0], c[1], c[2])) hue->affected_colors[i / 8] |= u8(1u << (i % 8));
    }
}

void PreviewHueChanges(const Collection& collection, u8 table_out[kColorTableBytes], u32* count_out) {
    u16 channels[kColorTableEntries][3];
    for (u32 i = 0; i < kColorTableEntries; ++i)
        for (int c = 0; c < 3; ++c) channels[i][c] = static_cast<u16>(collection.colors[3 * i + c] << 8);

    for (const auto& hue : collection.hue_changes) {
        if (hue->replacement_flags == 0) continue;
        const Hsv16 replacement = ToHsv16(hue->replacement_red, hue->replacement_green, hue->replacement_blue);
        for (u32 i = 0; i < kColorTableEntries; ++i) {
            const u8* unchanged = &collection.colors[3 * i];
            if (HueChangeAffectsColor(*hue, unchanged[0], unchanged[1], unchanged[2]))
                ApplyHueChange(*hue, replacement, channels[i]);
        }
    }
    for (u32 i = 0; i < kColorTableEntries; ++i)
        for (int c = 0; c < 3; ++c) table_out[3 * i + c] = static_cast<u8>(channels[i][c] >> 8);
    if (count_out) *count_out = kColorTableEntries;
}

namespace {

constexpr u32 kPixelHueNumbers = 7;

// One colour of a 64-bit pixel: colour bytes c[0..2] (hue, value and
// saturation while it names a hue change) and its code byte. The first
// colour's c[2] keeps its lowest bit: it tells that a second colour
// follows.
bool RenumberPixelColor(u8* c, u8* code, const std::vector<u32>& numbers, bool first) {
    const u32 n = *code / 32u;
    if (n == 0 || n >= numbers.size() || numbers[n] == n) return false;
    const u32 to = numbers[n];
    if (to >= 1 && to <= kPixelHueNumbers) {
        *code = static_cast<u8>(*code % 32 + 32 * to);
        return true;
    }
    const u8 hsv[3] = {c[0], c[2], c[1]};
    u8 rgb[4];
    HsvToRgb8(hsv, rgb);
    c[0] = rgb[0];
    c[1] = rgb[1];
    c[2] = first ? static_cast<u8>((rgb[2] & ~1u) | (c[2] & 1u)) : rgb[2];
    *code = static_cast<u8>(*code % 32);
    return true;
}

}  // namespace

std::vector<const CollectionHueChange*> HueChangeOrder(const Collection& collection) {
    std::vector<const CollectionHueChange*> order;
    order.reserve(collection.hue_changes.size());
    for (const auto& hue : collection.hue_changes) order.push_back(hue.get());
    return order;
}

void RenumberPixelHueChanges(Collection* collection, const std::vector<const CollectionHueChange*>& before) {
    std::unordered_map<const CollectionHueChange*, u32> now;
    for (size_t i = 0; i < collection->hue_changes.size(); ++i)
        now.emplace(collection->hue_changes[i].get(), static_cast<u32>(i + 1));
    // numbers[n]: the new number of what pixels called n (0: gone).
    std::vector<u32> numbers(std::min<size_t>(before.size(), kPixelHueNumbers) + 1, 0);
    bool any = false;
    for (u32 n = 1; n < numbers.size(); ++n) {
        auto found = before[n - 1] ? now.find(before[n - 1]) : now.end();
        numbers[n] = found != now.end() ? found->second : 0;
        any = any || numbers[n] != n;
    }
    if (!any) return;
    for (auto& bitmap : collection->bitmaps) {
        if (bitmap->bytes_per_pixel != 8) continue;
        bool changed = false;
        u8* p = bitmap->pixels.data();
        for (size_t i = 0; i + 8 <= bitmap->pixels.size(); i += 8) {
            const bool second = (p[i + 2] & 1) != 0;
            changed = RenumberPixelColor(&p[i], &p[i + 3], numbers, true) || changed;
            if (second) changed = RenumberPixelColor(&p[i + 4], &p[i + 7], numbers, false) || changed;
        }
        if (changed) MarkBitmapChanged(bitmap.get());
    }
}

}  // namespace pirn
