#include "models/lwo_object.h"

namespace pirn {

const LwoClip* LwoFindClip(const std::vector<LwoClip>& clips, u32 index) {
    for (const LwoClip& clip : clips) {
        if (clip.index == index) return &clip;
    }
    return nullptr;
}

const char* LwoProjectionName(u32 projection) {
    switch (projection) {
        case kLwoProjectionPlanar: return "planar";
        case kLwoProjectionCylindrical: return "cylindrical";
        case kLwoProjectionSpherical: return "spherical";
        case kLwoProjectionCubic: return "cubic";
        case kLwoProjectionFront: return "front";
        case kLwoProjectionUv: return "UV";
        default: return "an unknown";
    }
}

void LwoFreeObject(std::unique_ptr<LwoObject>& object) { object.reset(); }

}  // namespace pirn
