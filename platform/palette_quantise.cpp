#include "platform/palette_quantise.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <utility>

#include "platform/colour_space.h"
#include "platform/pixel_convert.h"

namespace pirn {
namespace {

// Wu's colour quantiser (Graphics Gems II) on 5-bit cells with a zero
// border, weighted by histogram counts.
class WuQuantiser {
public:
    static constexpr int kSide = 33;
    static constexpr int kCells = kSide * kSide * kSide;

    struct Box {
        int r0, r1, g0, g1, b0, b1;
        i64 volume;
    };

    explicit WuQuantiser(const std::vector<CountColorPair>& histogram)
        : wt_(kCells), mr_(kCells), mg_(kCells), mb_(kCells), m2_(kCells) {
        for (const CountColorPair& p : histogram) {
            int r = PairRed(p), g = PairGreen(p), b = PairBlue(p);
            int cell = Index((r >> 3) + 1, (g >> 3) + 1, (b >> 3) + 1);
            i64 w = p.count;
            wt_[cell] += w;
            mr_[cell] += w * r;
            mg_[cell] += w * g;
            mb_[cell] += w * b;
            m2_[cell] += double(w) * (double(r) * r + double(g) * g + double(b) * b);
        }
        Accumulate();
    }

    u32 Run(u8* palette, u32 k) {
        if (k == 0) k = 1;
        std::vector<Box> boxes(k);
        std::vector<double> variance(k, 0.0);
        boxes[0] = Box{0, kSide - 1, 0, kSide - 1, 0, kSide - 1, 0};
        if (Volume(boxes[0], wt_) == 0) return 0;
        u32 count = 1;
        u32 next = 0;
        while (count < k) {
            if (Cut(&boxes[next], &boxes[count])) {
                variance[next] = boxes[next].volume > 1 ? Variance(boxes[next]) : 0.0;
                variance[count] = boxes[count].volume > 1 ? Variance(boxes[count]) : 0.0;
                ++count;
            } else {
                variance[next] = 0.0;
            }
            next = 0;
            double best = variance[0];
            for (u32 i = 1; i < count; ++i) {
                if (variance[i] > best) {
                    best = variance[i];
                    next = i;
                }
            }
            if (best <= 0.0) break;
        }
        u32 written = 0;
        for (u32 i = 0; i < count; ++i) {
            i64 weight = Volume(boxes[i], wt_);
            if (weight <= 0) continue;  // an empty box gives no colour
            u8* e = palette + written * 3;
            e[0] = RoundedMean(Volume(boxes[i], mr_), weight);
            e[1] = RoundedMean(Volume(boxes[i], mg_), weight);
            e[2] = RoundedMean(Volume(boxes[i], mb_), weight);
            ++written;
        }
        return written;
    }

private:
    enum Axis { kRed, kGreen, kBlue };

    static int Index(int r, int g, int b) { return (r * kSide + g) * kSide + b; }

    static u8 RoundedMean(i64 sum, i64 weight) {
        i64 v = (sum + weight / 2) / weight;
        return static_cast<u8>(std::clamp<i64>(v, 0, 255));
    }

    void Accumulate() {
        std::vector<i64> area_w(kSide), area_r(kSide), area_g(kSide), area_b(kSide);
        std::vector<double> area_2(kSide);
        for (int r = 1; r < kSide; ++r) {
            std::fill(area_w.begin(), area_w.end(), 0);
            std::fill(area_r.begin(), area_r.end(), 0);
            std::fill(area_g.begin(), area_g.end(), 0);
            std::fill(area_b.begin(), area_b.end(), 0);
            std::fill(area_2.begin(), area_2.end(), 0.0);
            for (int g = 1; g < kSide; ++g) {
                i64 line_w = 0, line_r = 0, line_g = 0, line_b = 0;
                double line_2 = 0.0;
                for (int b = 1; b < kSide; ++b) {
                    int cell = Index(r, g, b);
                    line_w += wt_[cell];
                    line_r += mr_[cell];
                    line_g += mg_[cell];
                    line_b += mb_[cell];
                    line_2 += m2_[cell];
                    area_w[b] += line_w;
                    area_r[b] += line_r;
                    area_g[b] += line_g;
                    area_b[b] += line_b;
                    area_2[b] += line_2;
                    int below = Index(r - 1, g, b);
                    wt_[cell] = wt_[below] + area_w[b];
                    mr_[cell] = mr_[below] + area_r[b];
                    mg_[cell] = mg_[below] + area_g[b];
                    mb_[cell] = mb_[below] + area_b[b];
                    m2_[cell] = m2_[below] + area_2[b];
                }
            }
        }
    }

    template <typename M>
    static M Volume(const Box& c, const std::vector<M>& m) {
        return m[Index(c.r1, c.g1, c.b1)] - m[Index(c.r1, c.g1, c.b0)] - m[Index(c.r1, c.g0, c.b1)] +
               m[Index(c.r1, c.g0, c.b0)] - m[Index(c.r0, c.g1, c.b1)] + m[Index(c.r0, c.g1, c.b0)] +
               m[Index(c.r0, c.g0, c.b1)] - m[Index(c.r0, c.g0, c.b0)];
    }

    // Part of the volume with the cut axis at its lower bound.
    template <typename M>
    static M Bottom(const Box& c, Axis axis, const std::vector<M>& m) {
        switch (axis) {
        case kRed:
            return -m[Index(c.r0, c.g1, c.b1)] + m[Index(c.r0, c.g1, c.b0)] + m[Index(c.r0, c.g0, c.b1)] -
                   m[Index(c.r0, c.g0, c.b0)];
        case kGreen:
            return -m[Index(c.r1, c.g0, c.b1)] + m[Index(c.r1, c.g0, c.b0)] + m[Index(c.r0, c.g0, c.b1)] -
                   m[Index(c.r0, c.g0, c.b0)];
        case kBlue:
        default:
            return -m[Index(c.r1, c.g1, c.b0)] + m[Index(c.r1, c.g0, c.b0)] + m[Index(c.r0, c.g1, c.b0)] -
                   m[Index(c.r0, c.g0, c.b0)];
        }
    }

    template <typename M>
    static M Top(const Box& c, Axis axis, int pos, const std::vector<M>& m) {
        switch (axis) {
        case kRed:
            return m[Index(pos, c.g1, c.b1)] - m[Index(pos, c.g1, c.b0)] - m[Index(pos, c.g0, c.b1)] +
                   m[Index(pos, c.g0, c.b0)];
        case kGreen:
            return m[Index(c.r1, pos, c.b1)] - m[Index(c.r1, pos, c.b0)] - m[Index(c.r0, pos, c.b1)] +
                   m[Index(c.r0, pos, c.b0)];
        case kBlue:
        default:
            return m[Index(c.r1, c.g1, pos)] - m[Index(c.r1, c.g0, pos)] - m[Index(c.r0, c.g1, pos)] +
                   m[Index(c.r0, c.g0, pos)];
        }
    }

    double Variance(const Box& c) const {
        double dr = double(Volume(c, mr_));
        double dg = double(Volume(c, mg_));
        double db = double(Volume(c, mb_));
        double w = double(Volume(c, wt_));
        double xx = Volume(c, m2_);
        return xx - (dr * dr + dg * dg + db * db) / w;
    }

    double Maximize(const Box& c, Axis axis, int first, int last, int* cut, i64 whole_r, i64 whole_g,
                    i64 whole_b, i64 whole_w) const {
        i64 base_r = Bottom(c, axis, mr_);
        i64 base_g = Bottom(c, axis, mg_);
        i64 base_b = Bottom(c, axis, mb_);
        i64 base_w = Bottom(c, axis, wt_);
        double best = 0.0;
        *cut = -1;
        for (int i = first; i < last; ++i) {
            i64 half_r = base_r + Top(c, axis, i, mr_);
            i64 half_g = base_g + Top(c, axis, i, mg_);
            i64 half_b = base_b + Top(c, axis, i, mb_);
            i64 half_w = base_w + Top(c, axis, i, wt_);
            if (half_w == 0) continue;
            double temp = (double(half_r) * half_r + double(half_g) * half_g + double(half_b) * half_b) /
                          double(half_w);
            half_r = whole_r - half_r;
            half_g = whole_g - half_g;
            half_b = whole_b - half_b;
            half_w = whole_w - half_w;
            if (half_w == 0) continue;
            temp += (double(half_r) * half_r + double(half_g) * half_g + double(half_b) * half_b) /
                    double(half_w);
            if (temp > best) {
                best = temp;
                *cut = i;
            }
        }
        return best;
    }

    bool Cut(Box* set1, Box* set2) const {
        i64 whole_r = Volume(*set1, mr_);
        i64 whole_g = Volume(*set1, mg_);
        i64 whole_b = Volume(*set1, mb_);
        i64 whole_w = Volume(*set1, wt_);
        int cut_r, cut_g, cut_b;
        double max_r = Maximize(*set1, kRed, set1->r0 + 1, set1->r1, &cut_r, whole_r, whole_g, whole_b, whole_w);
        double max_g =
            Maximize(*set1, kGreen, set1->g0 + 1, set1->g1, &cut_g, whole_r, whole_g, whole_b, whole_w);
        double max_b =
            Maximize(*set1, kBlue, set1->b0 + 1, set1->b1, &cut_b, whole_r, whole_g, whole_b, whole_w);
        Axis axis;
        if (max_r >= max_g && max_r >= max_b) {
            axis = kRed;
            if (cut_r < 0) return false;  // cannot be split
        } else if (max_g >= max_r && max_g >= max_b) {
            axis = kGreen;
        } else {
            axis = kBlue;
        }
        *set2 = *set1;
        switch (axis) {
        case kRed:
            set2->r0 = set1->r1 = cut_r;
            break;
        case kGreen:
            set2->g0 = set1->g1 = cut_g;
            break;
        case kBlue:
            set2->b0 = set1->b1 = cut_b;
            break;
        }
        set1->volume = i64(set1->r1 - set1->r0) * (set1->g1 - set1->g0) * (set1->b1 - set1->b0);
        set2->volume = i64(set2->r1 - set2->r0) * (set2->g1 - set2->g0) * (set2->b1 - set2->b0);
        return true;
    }

    std::vector<i64> wt_, mr_, mg_, mb_;
    std::vector<double> m2_;
};


// Sorts 24-bit colour values ascending, a byte at a time from the lowest.
// Equal integers are indistinguishable, so any correct sort gives this very
// order; a photograph's million pixels sort several times faster this way
// than by comparisons.
void SortColourValues(std::vector<u32>* values) {
    std::vector<u32> spare(values->size());
    for (int shift = 0; shift < 24; shift += 8) {
        size_t starts[257] = {};
        for (u32 v : *values) ++starts[((v >> shift) & 0xFF) + 1];
        for (int i = 0; i < 256; ++i) starts[i + 1] += starts[i];
        for (u32 v : *values) spare[starts[(v >> shift) & 0xFF]++] = v;
        values->swap(spare);
    }
}

// Wu's cells are 5 bits a side, so colours that differ only in their low
// bits share a box, and a picture of a few hundred close colours can come
// out with a fraction of the entries it may have. The spare entries go one
// at a time to the colour worst served so far (its weight times its
// squared distance to the nearest entry; the first such colour on a tie).
// Returns the new count.
u32 FillSpareEntries(const std::vector<CountColorPair>& histogram, u8* palette, u32 count, u32 k) {
    const size_t n = histogram.size();
    std::vector<i32> nearest(n, 1 << 30);
    auto serve = [&](const u8* entry) {
        for (size_t i = 0; i < n; ++i) {
            const i32 dr = i32(PairRed(histogram[i])) - entry[0], dg = i32(PairGreen(histogram[i])) - entry[1],
                      db = i32(PairBlue(histogram[i])) - entry[2];
            nearest[i] = std::min(nearest[i], dr * dr + dg * dg + db * db);
        }
    };
    for (u32 e = 0; e < count; ++e) serve(palette + e * 3);
    while (count < k) {
        size_t worst = 0;
        i64 worst_cost = 0;
        for (size_t i = 0; i < n; ++i) {
            const i64 cost = i64(histogram[i].count) * nearest[i];
            if (cost > worst_cost) {
                worst_cost = cost;
                worst = i;
            }
        }
        if (worst_cost == 0) break;  // every colour is an entry already
        u8* entry = palette + count * 3;
        entry[0] = PairRed(histogram[worst]);
        entry[1] = PairGreen(histogram[worst]);
        entry[2] = PairBlue(histogram[worst]);
        serve(entry);
        ++count;
    }
    return count;
}

}  // namespace

void AddColor(ColorList* list, u32 rgba) {
    list->colors.push_back(rgba);
    list->histogram_current = false;
}

void CollectOpaqueColors(ColorList* list, const PixelImage& image) {
    PixelImage rgba;
    const PixelImage* source = &image;
    if (image.format != kFormatRgba) {
        if (!CopyImageAs(&rgba, image, kFormatRgba)) return;
        source = &rgba;
    }
    const u8* p = source->pixels.data();
    size_t count = size_t(source->width) * source->height;
    list->colors.reserve(list->colors.size() + count);
    for (size_t i = 0; i < count; ++i, p += 4) {
        if (p[3] != 0) list->colors.push_back(PackRgba(p[0], p[1], p[2], p[3]));
    }
    list->histogram_current = false;
}

const std::vector<CountColorPair>& BuildColorHistogram(ColorList* list) {
    if (list->histogram_current) return list->histogram;
    list->histogram.clear();
    // Alpha is not part of a palette colour: the same RGB at two opacities is
    // one colour.
    std::vector<u32> values(list->colors.size());
    for (size_t i = 0; i < values.size(); ++i) values[i] = list->colors[i] & 0x00FFFFFFu;
    u32 n = static_cast<u32>(values.size());
    SortColourValues(&values);
    for (u32 i = 0; i < n;) {
        u32 j = i + 1;
        while (j < n && values[j] == values[i]) ++j;
        list->histogram.push_back(CountColorPair{j - i, values[i]});
        i = j;
    }
    u32 pairs = static_cast<u32>(list->histogram.size());
    u32 state = pairs;
    SortCountColorPairs(state, list->histogram.data(), pairs);
    for (u32 i = 1; i < pairs; ++i) {
        u64 cap = (u64(list->histogram[i - 1].count) * 3) / 2 + 1;
        if (list->histogram[i].count > cap) list->histogram[i].count = static_cast<u32>(cap);
    }
    list->histogram_current = true;
    return list->histogram;
}

u32 WuQuantize(const std::vector<CountColorPair>& histogram, u8* palette, u32 k) {
    if (histogram.empty()) return 0;
    auto quantiser = std::make_unique<WuQuantiser>(histogram);
    return quantiser->Run(palette, std::min(k, kPaletteEntries));
}

void SortPaletteByHsv(u8* palette, u32 count) {
    count = std::min(count, kPaletteEntries);
    std::vector<u32> keys(count);
    std::vector<u32> order(count);
    for (u32 i = 0; i < count; ++i) {
        u8 hsv[4];
        RgbToHsv8(palette + i * 3, hsv);
        keys[i] = (u32(hsv[0]) << 16) | (u32(hsv[1]) << 8) | hsv[2];
    }
    SortIndicesByKey(keys.data(), count, order.data());
    std::vector<u8> sorted(size_t(count) * 3);
    for (u32 i = 0; i < count; ++i) std::memcpy(&sorted[i * 3], palette + order[i] * 3, 3);
    if (count) std::memcpy(palette, sorted.data(), sorted.size());
}

u32 QuantizePalette(ColorList* list, u8* palette, u32 n) {
    u32 limit = std::min(n, kPaletteEntries);
    if (limit) std::memset(palette, 0, size_t(limit) * 3);
    const std::vector<CountColorPair>& histogram = BuildColorHistogram(list);
    u32 k = std::min<u32>(static_cast<u32>(histogram.size()), limit);
    if (k == 0) return 0;
    if (histogram.size() <= limit) {
        // Few enough colours to keep them exactly; Wu's 5-bit cells would
        // otherwise merge close neighbours.
        for (u32 i = 0; i < k; ++i) {
            palette[i * 3] = PairRed(histogram[i]);
            palette[i * 3 + 1] = PairGreen(histogram[i]);
            palette[i * 3 + 2] = PairBlue(histogram[i]);
        }
        SortPaletteByHsv(palette, k);
        return k;
    }
    u8 wu[kPaletteBytes];
    u32 boxes = WuQuantize(histogram, wu, k);
    if (boxes < k) boxes = FillSpareEntries(histogram, wu, boxes, k);
    u32 count = RefinePaletteKMeans(histogram, wu, boxes, palette);
    SortPaletteByHsv(palette, count);
    return count;
}

}  // namespace pirn
