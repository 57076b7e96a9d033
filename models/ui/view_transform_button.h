#pragma once
// ViewTransformButton: one of the 3D view's small drag buttons (Pan,
// Rotate, Zoom). Pressing it locks the pointer, so the drag can go on past
// the screen's edges; every motion adds to the drag's total and runs the
// button's camera gesture with it; releasing commits the camera and frees
// the pointer.

#include "models/model_view_camera.h"
#include "ui/button.h"

namespace pirn {

// A camera step with the drag's total motion in pixels.
using CameraGesture = void (*)(ModelViewCamera* camera, float dx, float dy);

class ViewTransformButton : public Button {
public:
    static constexpr i32 kSide = 15;

    struct Looks {
        int normal, pressed, disabled;  // skin images
    };

    // `view` is the window redrawn with every step (the editor).
    ViewTransformButton(Window* view, ModelViewCamera* camera, CameraGesture gesture, const Looks& looks,
                        const char* title);

    const char* GetClassName() const override { return "ViewTransformButton"; }
    void GetMinimumSize(Point* out, Point content) override;
    void DrawContents() override;
    void OnMouseDrag(Point start, Point pos, int phase) override;

    Point GetDragTotal() const { return Point{total_x_, total_y_}; }
    // The skin image of the button's look now.
    int CurrentLook() const;

private:
    i32 total_x_ = 0;
    i32 total_y_ = 0;
    Window* view_;
    ModelViewCamera* camera_;
    CameraGesture gesture_;
    Looks looks_;
};

}  // namespace pirn
