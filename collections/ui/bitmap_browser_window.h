#pragma once
// BitmapWindow: one bitmap of a collection at full size, opened from the
// bitmap browser. It is registered in the editor's ElementBlocks while it is
// open, so the bitmap cannot be deleted, cropped or replaced under it.

#include "collections/collection.h"
#include "collections/x256_element_blocks.h"
#include "ui/signal.h"
#include "ui/window.h"

namespace pirn {

class BitmapWindow : public Window {
public:
    // Title bar, shadow, thick border, resizable, background, close box.
    static constexpr u32 kStyle = kVisible | kTitleBar | kShadow | kThickBorder | kResizable | kBackground | kCloseBox;
    static constexpr i32 kMinimumSide = 250;

    // Registers itself in `blocks` as showing the bitmap.
    BitmapWindow(const Collection& collection, CollectionBitmap* bitmap, ElementBlocks* blocks);

    const char* GetClassName() const override { return "BitmapWindow"; }
    void OnDestroy() override;
    void DrawContents() override;

    CollectionBitmap* GetBitmap() const { return bitmap_; }
    // The title follows the bitmap's name.
    void RefreshTitle();

    SignalNone closing;

private:
    const Collection& collection_;
    CollectionBitmap* bitmap_;
    ElementBlocks* blocks_;
};

}  // namespace pirn
