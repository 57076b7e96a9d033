#include "collections/ui/bitmap_browser_window.h"

#include <algorithm>

#include "collections/ui/collection_bitmap_drawing.h"
#include "ui/window_renderer.h"
#include "ui/window_system.h"

namespace pirn {

BitmapWindow::BitmapWindow(const Collection& collection, CollectionBitmap* bitmap, ElementBlocks* blocks)
    : Window(kStyle, nullptr), collection_(collection), bitmap_(bitmap), blocks_(blocks) {
    RefreshTitle();
    SetClientSize(std::max<i32>(bitmap->width, kMinimumSide), std::max<i32>(bitmap->height, kMinimumSide));
    blocks_->Add(ElementBlocks::kBitmapWindow, bitmap_, this);
}

void BitmapWindow::OnDestroy() {
    if (blocks_) blocks_->Remove(this);
    blocks_ = nullptr;
    closing.Emit();
}

void BitmapWindow::RefreshTitle() { SetTitle(bitmap_->name); }

void BitmapWindow::DrawContents() {
    if (BeginWindowDraw(this, 1, 0)) {
        const i32 x = std::max(0, (GetClientWidth() - bitmap_->width) / 2);
        const i32 y = std::max(0, (GetClientHeight() - bitmap_->height) / 2);
        DrawCollectionBitmap(collection_, *bitmap_, 0, x, y, bitmap_->width, bitmap_->height);
    }
    EndWindowDraw(this);
}

}  // namespace pirn
