#include "collections/high_res_image.h"

#include <algorithm>

#include "collections/picture_file.h"
#include "platform/file_system.h"
#include "platform/pixel_convert.h"
#include "platform/strings.h"

namespace pirn {

namespace {

bool LoadAlphaPlane(const std::string& path, const PixelImage& colour, std::vector<u8>* plane, std::string* problem) {
    for (const std::string& candidate : HighResAlphaCandidates(path)) {
        PixelImage alpha;
        if (!LoadPictureFile(candidate, &alpha)) continue;
        if (!AlphaPlaneOf(alpha, false, plane)) return false;
        if (alpha.width != colour.width || alpha.height != colour.height) {
            *problem = FormatString(
                "ERROR: the alpha bitmap file '%s' had different dimensions than its color counterpart, '%s'.\n",
                candidate.c_str(), path.c_str());
            return false;
        }
        return true;
    }
    return false;
}

}  // namespace

std::vector<std::string> HighResAlphaCandidates(const std::string& path) {
    std::vector<std::string> candidates;
    auto add = [&](const std::string& candidate) {
        if (std::find(candidates.begin(), candidates.end(), candidate) == candidates.end())
            candidates.push_back(candidate);
    };
    const size_t slash = path.find_last_of('/');
    const size_t name_start = slash == std::string::npos ? 0 : slash + 1;
    const size_t dot = path.find_last_of('.');
    if (dot != std::string::npos && dot >= name_start)
        add(path.substr(0, dot) + ".alpha" + path.substr(dot));
    else
        add(path + ".alpha");
    for (size_t i = path.find('.', name_start); i != std::string::npos; i = path.find('.', i + 1))
        add(path.substr(0, i + 1) + "alpha." + path.substr(i + 1));
    return candidates;
}

bool LoadHighResImage(const std::string& path, bool invert_alphas, PixelImage* rgba, std::string* problem) {
    PixelImage image;
    if (!LoadPictureFile(path, &image)) return false;
    if (image.format == kFormatAlpha) {
        *problem = FormatString("ERROR: the high-resolution file '%s' is grayscale; it needs color and alpha.\n",
                                path.c_str());
        return false;
    }
    if (image.format == kFormatColorIndex && !PalettedToRgb(&image)) return false;
    if (image.format == kFormatRgb) {
        std::vector<u8> plane;
        if (!LoadAlphaPlane(path, image, &plane, problem)) return false;
        if (!ToRgbaFormat(&image) || !SetImageChannel(&image, 3, plane.data())) return false;
    } else if (image.format != kFormatRgba && !ToRgbaFormat(&image)) {
        return false;
    }
    if (invert_alphas) InvertImageChannel(&image, 3);
    MovePixelImage(rgba, &image);
    return true;
}

}  // namespace pirn
