#include "collections/uprez_resample.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "collections/hue_regions.h"
#include "platform/colour_space.h"

namespace pirn {

namespace {

u8 Channel(double value) { return static_cast<u8>(std::clamp<long>(std::lround(value), 0, 255)); }

u32 HueNumber(int label) { return label == kLabelNoHue ? 0 : u32(label) + 1; }

// A colour as stored: RGB without a hue change, else hue, value,
// saturation, so the game can turn the hue.
void StoreColour(const double colour[3], u32 hue_number, u8 out[3]) {
    out[0] = Channel(colour[0]);
    out[1] = Channel(colour[1]);
    out[2] = Channel(colour[2]);
    if (hue_number == 0) return;
    double h = 0, s = 0, v = 0;
    RgbToHsv(out[0] / 255.0, out[1] / 255.0, out[2] / 255.0, &h, &s, &v);
    out[0] = Channel(h * 255);
    out[1] = Channel(v * 255);
    out[2] = Channel(s * 255);
}

double Weight(double distance, double radius) { return distance <= radius ? 1.0 : radius + 1.0 - distance; }

}  // namespace

void RankUpResLabels(const std::vector<u8>& listed, const UpResLabelSum* sums, int* first, int* second) {
    *first = listed.empty() ? -1 : listed[0];
    *second = -1;
    if (listed.size() < 2) return;
    *second = listed[1];
    if (sums[*second].weight > sums[*first].weight) std::swap(*first, *second);
    for (size_t k = 2; k < listed.size(); ++k) {
        const int label = listed[k];
        if (sums[label].weight > sums[*second].weight) {
            *second = label;
            if (sums[*second].weight >= sums[*first].weight) std::swap(*first, *second);
        }
    }
}

void PackUpResPixel(const double first[3], u8 first_label, const double second[3], int second_label, double q,
                    double alpha, u8 out[kUpResPixelBytes]) {
    std::memset(out, 0, kUpResPixelBytes);
    const u32 n = HueNumber(first_label);
    StoreColour(first, n, out);
    out[3] = static_cast<u8>((u32(Channel(alpha)) + 4) * 31 / 255 + 32 * n);
    out[2] &= 0xFE;
    if (second_label < 0) return;
    out[2] |= 1;
    const u32 m = HueNumber(second_label);
    StoreColour(second, m, out + 4);
    out[7] = static_cast<u8>(std::min<u32>(31, u32(std::floor(64 * q))) + 32 * m);
}

void ResampleUpResImage(const PixelImage& rgba, const std::vector<u8>& labels, u32 dw, u32 dh, std::vector<u8>* out) {
    const i64 sw = rgba.width;
    const i64 sh = rgba.height;
    out->assign(size_t(dw) * dh * kUpResPixelBytes, 0);
    if (sw == 0 || sh == 0 || dw == 0 || dh == 0) return;
    const double sx = double(sw) / dw;
    const double sy = double(sh) / dh;
    const double rx = std::max(0.0, (sx - 1) / 2);
    const double ry = std::max(0.0, (sy - 1) / 2);

    UpResLabelSum sums[256];
    bool listed_flag[256] = {};
    std::vector<u8> listed;
    listed.reserve(256);
    u8* o = out->data();
    for (u32 y = 0; y < dh; ++y) {
        const double cy = (y + 0.5) * sy;
        const i64 row0 = std::max<i64>(0, i64(std::floor(cy - ry - 1)));
        const i64 row1 = std::min<i64>(sh - 1, i64(std::ceil(cy + ry + 1)));
        for (u32 x = 0; x < dw; ++x, o += kUpResPixelBytes) {
            const double cx = (x + 0.5) * sx;
            const i64 col0 = std::max<i64>(0, i64(std::floor(cx - rx - 1)));
            const i64 col1 = std::min<i64>(sw - 1, i64(std::ceil(cx + rx + 1)));
            double total = 0, alpha = 0, covered = 0;
            for (i64 j = row0; j <= row1; ++j) {
                const double wy = Weight(std::fabs(j + 0.5 - cy), ry);
                if (wy <= 0) continue;
                for (i64 i = col0; i <= col1; ++i) {
                    const double wx = Weight(std::fabs(i + 0.5 - cx), rx);
                    if (wx <= 0) continue;
                    const double w = wx * wy;
                    const size_t index = size_t(j * sw + i);
                    const u8* p = &rgba.pixels[index * 4];
                    total += w;
                    alpha += w * p[3];
                    const u8 label = labels[index];
                    if (label == kLabelTransparent) continue;
                    covered += w;
                    if (!listed_flag[label]) {
                        listed_flag[label] = true;
                        listed.push_back(label);
                    }
                    UpResLabelSum& sum = sums[label];
                    sum.weight += w;
                    sum.red += w * p[0];
                    sum.green += w * p[1];
                    sum.blue += w * p[2];
                }
            }
            if (listed.empty()) continue;  // stays 8 zero bytes
            int first = -1, second = -1;
            RankUpResLabels(listed, sums, &first, &second);
            const double share = covered / total;
            auto colour_of = [&](int label, double c[3]) {
                const UpResLabelSum& s = sums[label];
                c[0] = s.red / s.weight * share;
                c[1] = s.green / s.weight * share;
                c[2] = s.blue / s.weight * share;
            };
            double first_colour[3], second_colour[3] = {0, 0, 0};
            colour_of(first, first_colour);
            double q = 0;
            if (second >= 0) {
                q = sums[second].weight / (sums[first].weight + sums[second].weight);
                if (q < 1.0 / 32)
                    second = -1;
                else
                    colour_of(second, second_colour);
            }
            PackUpResPixel(first_colour, u8(first), second_colour, second, q, alpha / total, o);
            for (u8 label : listed) {
                sums[label] = UpResLabelSum();
                listed_flag[label] = false;
            }
            listed.clear();
        }
    }
}

}  // namespace pirn
