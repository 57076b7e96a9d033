#include "models/ui/view_transform_button.h"

#include "ui/skin.h"
#include "ui/window_renderer.h"
#include "ui/window_system.h"

namespace pirn {

ViewTransformButton::ViewTransformButton(Window* view, ModelViewCamera* camera, CameraGesture gesture,
                                         const Looks& looks, const char* title)
    : Button(view, 0), view_(view), camera_(camera), gesture_(gesture), looks_(looks) {
    SetTitle(title);
    SetSize(kSide, kSide);
}

void ViewTransformButton::GetMinimumSize(Point* out, Point) { *out = Point{kSide, kSide}; }

int ViewTransformButton::CurrentLook() const {
    if (!IsEnabled()) return looks_.disabled;
    return GetState() == kPressedUnchecked ? looks_.pressed : looks_.normal;
}

void ViewTransformButton::DrawContents() {
    if (BeginWindowDraw(this, 0, 0)) DrawSkinImage(GetSkin(), CurrentLook(), 0, 0);
    EndWindowDraw(this);
}

void ViewTransformButton::OnMouseDrag(Point, Point pos, int phase) {
    switch (phase) {
        case 0:
            SetPointerLock(true);
            total_x_ = total_y_ = 0;
            SetState(kPressedUnchecked, true);
            break;
        case 1:
            // While the pointer is locked a motion is its step from the
            // centre of the screen.
            total_x_ += pos.x;
            total_y_ += pos.y;
            if (gesture_) gesture_(camera_, static_cast<float>(total_x_), static_cast<float>(total_y_));
            break;
        default:
            CommitCamera(camera_);
            SetPointerLock(false);
            SetState(kUp, true);
            break;
    }
    Invalidate();
    if (view_) view_->Invalidate();
}

}  // namespace pirn
