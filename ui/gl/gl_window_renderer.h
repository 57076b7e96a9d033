#pragma once
// The window system's GL side: drawing scopes (viewport, scissor,
// projection), clearing, and reading pixels back for the clipboard.

#include "ui/window_renderer.h"

namespace pirn {

class GlWindowRenderer : public WindowRenderer {
public:
    // The projection of 3D drawing scopes.
    struct Projection {
        float fieldOfView = 45.0f;  // degrees, vertical
        float nearPlane = 0.1f;
        float farPlane = 10000.0f;
    };

    void BeginScope(const Rect& r, Point size, const Rect& scissor, bool threeD) override;
    void EndScope() override;
    void ClearScreen() override;
    void SetScissorEnabled(bool on) override;
    void CopyToClipboard(const Rect& screenRect) override;

    // Looks the driver up (with the GL context current).
    void NoteVendor(const char* vendor);
    bool VendorIsIntel() const { return vendorIsIntel_; }

private:
    Projection projection_;
    // On Intel drivers every scissor rectangle would also be handed to
    // glAddSwapHintRectWIN; no GL here offers that entry point.
    bool vendorIsIntel_ = false;
};

// With the GL context current: installs the window renderer, the skin's GL
// draw target and the GL text drawer, sets the GL state the window system
// draws with (scissor on, alpha blending) and the vendor flag.
void InstallGlWindowSystem();

// Reads a screen rectangle as RGB rows, top-down.
std::vector<u8> ReadScreenPixels(const Rect& screenRect);

}  // namespace pirn
