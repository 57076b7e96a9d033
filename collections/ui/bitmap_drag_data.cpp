#include "collections/ui/bitmap_drag_data.h"

#include <algorithm>
#include <cstdio>

#include "collections/bitmap_rgba.h"
#include "collections/ui/collection_bitmap_drawing.h"
#include "ui/text_layout.h"
#include "ui/window.h"
#include "ui/window_drag.h"
#include "ui/window_renderer.h"

namespace pirn {

namespace {

// Every payload registers its painter: resetting the window system (tests
// do, between cases) forgets the painters, and registering is cheap.
void RegisterSinglePainter() {
    RegisterDragPainter(kBitmapDragShadow, PaintBitmapDrag);
    RegisterDragPainter(kBitmapDragBitmap, PaintBitmapDrag);
}

}  // namespace

// ---- one bitmap ----

BitmapDDData::BitmapDDData(u32 type, Collection* owner, CollectionBitmap* dragged, BitmapInstance* fromInstance,
                           SequenceFrame* fromShadow, i32 imageBox)
    : DragDropData(type), collection(owner), bitmap(dragged), instance(fromInstance), shadowSource(fromShadow) {
    FitImage(imageBox);
    RegisterSinglePainter();
}

void BitmapDDData::FitImage(i32 imageBox) {
    width = height = 0;
    if (bitmap) FitIntoBox(bitmap->width, bitmap->height, &width, &height, imageBox);
}

Rect BitmapDDData::ImageRect(Point pointer) const {
    return MakeRect(pointer.x - width / 2, pointer.y - height / 2, width, height);
}

void PaintBitmapDrag(Window::DragDropData* data, Point at, Rect* extent) {
    auto* payload = dynamic_cast<BitmapDDData*>(data);
    if (extent) {
        *extent = payload ? payload->ImageRect(Point{0, 0}) : Rect{};
        return;
    }
    if (!payload || !payload->collection || !payload->bitmap) return;
    const Rect r = payload->ImageRect(at);
    DrawCollectionBitmap(*payload->collection, *payload->bitmap, 0, r.left, r.top, r.Width(), r.Height());
}

// ---- several bitmaps ----

BitmapGridDDData::BitmapGridDDData(u32 type, Collection* owner, u32 from)
    : DragDropData(type), collection(owner), source(from) {
    RegisterDragPainter(type, PaintBitmapGridDrag);
}

BitmapGridDDData::~BitmapGridDDData() = default;

BitmapDDData* BitmapGridDDData::AddItem(u32 type, CollectionBitmap* bitmap, BitmapInstance* instance,
                                        SequenceFrame* shadowSource) {
    items.push_back(
        std::make_unique<BitmapDDData>(type, collection, bitmap, instance, shadowSource, kDragImageSmallBox));
    return items.back().get();
}

BitmapDDData* BitmapGridDDData::AddItemAt(u32 type, CollectionBitmap* bitmap, BitmapInstance* instance,
                                          SequenceFrame* shadowSource, Point gridPosition) {
    // Positions stay parallel to the items, earlier items without one at
    // (0, 0).
    positions.resize(items.size());
    positions.push_back(gridPosition);
    return AddItem(type, bitmap, instance, shadowSource);
}

Rect BitmapGridDDData::ItemImageRect(size_t index, Point pointer) const {
    const i32 step = kDragStackStep * static_cast<i32>(index);
    return items[index]->ImageRect(Point{pointer.x + step, pointer.y + step});
}

Rect BitmapGridDDData::StackRect(Point pointer) const {
    Rect all;
    const size_t n = std::min(items.size(), kDragStackLimit);
    for (size_t i = 0; i < n; ++i) RectUnion(all, ItemImageRect(i, pointer), &all);
    return all;
}

u32 BitmapDragTypeOf(const CollectionBitmap& bitmap) {
    return (bitmap.flags & kBitmapShadow) ? kBitmapDragShadow : kBitmapDragBitmap;
}

Window::DragDropData* MakeBitmapDragData(Collection* collection, const std::vector<CollectionBitmap*>& chosen,
                                         u32 source) {
    std::vector<CollectionBitmap*> bitmaps;
    for (CollectionBitmap* b : chosen)
        if (b) bitmaps.push_back(b);
    if (bitmaps.empty()) return nullptr;
    if (bitmaps.size() == 1)
        return new BitmapDDData(BitmapDragTypeOf(*bitmaps[0]), collection, bitmaps[0], nullptr, nullptr);
    auto* several = new BitmapGridDDData(kBitmapDragGrid, collection, source);
    for (CollectionBitmap* b : bitmaps) several->AddItem(BitmapDragTypeOf(*b), b, nullptr, nullptr);
    return several;
}

void PaintBitmapGridDrag(Window::DragDropData* data, Point at, Rect* extent) {
    auto* payload = dynamic_cast<BitmapGridDDData*>(data);
    if (extent) {
        *extent = payload ? payload->StackRect(Point{0, 0}) : Rect{};
        return;
    }
    if (!payload) return;
    const size_t n = std::min(payload->items.size(), kDragStackLimit);
    for (size_t i = 0; i < n; ++i) {
        const BitmapDDData& item = *payload->items[i];
        if (!item.collection || !item.bitmap) continue;
        const Rect r = payload->ItemImageRect(i, at);
        DrawCollectionBitmap(*item.collection, *item.bitmap, 0, r.left, r.top, r.Width(), r.Height());
    }
    char text[32];
    std::snprintf(text, sizeof text, "<%d Bitmaps>", static_cast<int>(payload->items.size()));
    const Rect all = payload->StackRect(at);
    const Rect inside{all.left + kDragCountInset, all.top + kDragCountInset, all.right - kDragCountInset,
                      all.bottom - kDragCountInset};
    // White with a black copy under it reads over any bitmap.
    SetDrawColor(kColorWhite);
    DrawWindowText(nullptr, text, 0, kTextShadow, inside);
}

}  // namespace pirn
