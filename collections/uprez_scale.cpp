#include "collections/uprez_scale.h"

#include <cmath>

#include "platform/strings.h"

namespace pirn {

bool ComputeGlobalScale(const std::vector<ScalePair>& all_pairs, double tolerance, const BuildLog& log,
                        double* scale) {
    std::vector<const ScalePair*> pairs;
    for (const ScalePair& pair : all_pairs)
        if (pair.width > 0 && pair.height > 0 && pair.image_width > 0 && pair.image_height > 0) pairs.push_back(&pair);
    if (pairs.empty()) {
        log(2, "FATAL: no bitmap has a high-resolution image to measure the scale by.\n");
        return false;
    }
    double s = 0;
    for (int pass = 0; pass < 5; ++pass) {
        double sum = 0;
        u32 n = 0;
        for (const ScalePair* pair : pairs) {
            const double w = pair->width, h = pair->height;
            const double big_w = pair->image_width, big_h = pair->image_height;
            const double sx = big_w / w, sy = big_h / h;
            const double dx = std::fabs(sx / s - 1), dy = std::fabs(sy / s - 1);
            const double deviation = pass == 0 ? std::fabs((w / h) / (big_w / big_h) - 1) : std::max(dx, dy);
            if (tolerance > deviation) {
                sum += (sx + sy) / 2;
                ++n;
            } else if (pass == 4) {
                log(1, FormatString("SCALE WARNING: %s(%dx%d) vs %s(%dx%d) - dimensions differ by (%.1lf%%, %.1lf%%)\n",
                                    pair->bitmap_name.c_str(), int(pair->width), int(pair->height),
                                    pair->image_name.c_str(), int(pair->image_width), int(pair->image_height),
                                    dx * 100, dy * 100));
            }
        }
        if (n > 0) {
            s = sum / n;
            log(0, FormatString("computed global scale: %.2lf\n", s));
            continue;
        }
        tolerance += 0.1;
        if (tolerance > kScaleToleranceLimit) {
            log(2, FormatString("FATAL: no bitmaps passed with a warn_fraction up to %.2lf; the high-resolution images "
                                "do not match their bitmaps.\n",
                                kScaleToleranceLimit));
            return false;
        }
        log(1, FormatString("WARNING: no bitmaps passed; warn_fraction too low. raising warn_fraction to %.2lf\n",
                            tolerance));
        pass = -1;
    }
    *scale = s;
    return true;
}

}  // namespace pirn
