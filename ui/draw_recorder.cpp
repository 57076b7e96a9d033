#include "ui/draw_recorder.h"

#include "platform/pixel_image.h"
#include "ui/texture_pack.h"

namespace pirn {

void DrawRecorder::SetColor(u32 rgba) {
    color_ = rgba;
    Call call;
    call.kind = kColor;
    call.color = rgba;
    calls_.push_back(call);
}

void DrawRecorder::FillRect(const Rect& rect) {
    Call call;
    call.kind = kFill;
    call.color = color_;
    call.rect = rect;
    calls_.push_back(call);
}

void DrawRecorder::DrawImages(const std::vector<QueuedImageDraw>& draws) {
    Call call;
    call.kind = kImages;
    call.color = color_;
    call.imageCount = draws.size();
    calls_.push_back(call);
}

void DrawRecorder::DrawPixelImage(const PixelImage& image, const Rect& rect) {
    Call call;
    call.kind = kPixelImage;
    call.color = color_;
    call.rect = rect;
    call.image = &image;
    call.imageWidth = image.width;
    call.imageHeight = image.height;
    calls_.push_back(call);
}

void DrawRecorder::DrawMirroredPixelImage(const PixelImage& image, const Rect& rect, u32 mirror) {
    DrawPixelImage(image, rect);
    calls_.back().mirror = mirror;
}

void DrawRecorder::ForgetPixelImage(const PixelImage& image) {
    Call call;
    call.kind = kForgetPixelImage;
    call.color = color_;
    call.image = &image;
    calls_.push_back(call);
}

std::vector<DrawRecorder::Call> DrawRecorder::CallsOf(Kind kind) const {
    std::vector<Call> out;
    for (const Call& call : calls_)
        if (call.kind == kind) out.push_back(call);
    return out;
}

}  // namespace pirn
