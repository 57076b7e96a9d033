#pragma once
// The window system's GL side: drawing scopes (viewport, scissor,
// projection), clearing, and reading pixels back for the clipboard.

#include "ui/window_renderer.h"

namespace pirn {

class GlWindowRenderer : public WindowRenderer {
public:
    void BeginScope(const Rect& r, Point size, const Rect& scissor, bool threeD, float fieldOfView, float nearPlane,
                    float farPlane) override;
    void EndScope() override;
    void ClearScreen() override;
    void SetScissorEnabled(bool on) override;
    void CopyToClipboard(const Rect& screenRect) override;
};

// With the GL context current: installs the window renderer, the skin's GL
// draw target and the GL text drawer, sets the GL state the window system
// draws with (scissor on, alpha blending) and the vendor flag.
void InstallGlWindowSystem();

// Reads a screen rectangle as RGB rows, top-down.
std::vector<u8> ReadScreenPixels(const Rect& screenRect);

}  // namespace pirn
