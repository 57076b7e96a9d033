#pragma once
// A draw target that keeps every call instead of drawing, for headless runs
// and tests: what a window drew, in order, with the colour in force.
//
//   DrawRecorder recorder;
//   DrawTarget* previous = SetDrawTarget(&recorder);
//   RenderFrame();
//   auto pictures = recorder.CallsOf(DrawRecorder::kPixelImage);
//   SetDrawTarget(previous);

#include <vector>

#include "ui/draw_target.h"

namespace pirn {

class DrawRecorder : public DrawTarget {
public:
    enum Kind { kColor, kFill, kImages, kPixelImage, kForgetPixelImage };
    struct Call {
        Kind kind = kColor;
        u32 color = 0;  // set (kColor) or in force
        Rect rect;      // kFill, kPixelImage
        size_t imageCount = 0;               // kImages: queued images handed over
        const PixelImage* image = nullptr;   // kPixelImage, kForgetPixelImage
        u32 imageWidth = 0, imageHeight = 0;  // kPixelImage: the size when drawn
        u32 mirror = 0;                       // kPixelImage: PixelImageMirror bits
    };

    void SetColor(u32 rgba) override;
    void FillRect(const Rect& rect) override;
    void DrawImages(const std::vector<QueuedImageDraw>& draws) override;
    void DrawPixelImage(const PixelImage& image, const Rect& rect) override;
    void DrawMirroredPixelImage(const PixelImage& image, const Rect& rect, u32 mirror) override;
    void ForgetPixelImage(const PixelImage& image) override;

    const std::vector<Call>& calls() const { return calls_; }
    std::vector<Call> CallsOf(Kind kind) const;
    void Clear() { calls_.clear(); }

private:
    u32 color_ = 0xFFFFFFFFu;
    std::vector<Call> calls_;
};

}  // namespace pirn
