#include "models/lwo_object.h"

namespace pirn {

const LwoClip* LwoFindClip(const std::vector<LwoClip>& clips, u32 index) {
    for (const LwoClip& clip : clips) {
        if (clip.index == index) return &clip;
    }
    return nullptr;
}

void LwoFreeObject(std::unique_ptr<LwoObject>& object) { object.reset(); }

}  // namespace pirn
