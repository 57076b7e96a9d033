#pragma once
// What is carried when bitmaps are dragged between the views of a
// collection (the bitmap browser, the sequence editor's grid, the frame
// editor): one bitmap as a BitmapDDData, several as a BitmapGridDDData.
// Both are drag-and-drop payloads (Window::DragDropData) that the drag owns
// from StartDragDrop until after the drop; their images follow the pointer
// through the painters registered for their types.
//
// A view starting a drag of the bitmaps chosen in it (a grid's drag
// callback):
//   Window::DragDropData* payload = MakeBitmapDragData(collection, chosen);
//   if (payload && !StartDragDrop(grid, payload, ForwardMouseDrag)) delete payload;
// A sequence editor builds its own, keeping where each item came from:
//   auto* payload = new BitmapGridDDData(kBitmapDragGrid, collection, BitmapGridDDData::kFromSequenceEditor);
//   payload->AddItemAt(kBitmapDragBitmap, instance->standard.bitmap, instance, nullptr, Point{column, row});
// A view taking drops looks at the type and dynamic_casts the payload.
//
// The payloads point into the collection; nothing can change it while the
// drag runs (the drag takes every event).

#include <memory>
#include <vector>

#include "collections/collection.h"
#include "platform/types.h"
#include "ui/rect.h"
#include "ui/window.h"

namespace pirn {

// Payload type ids (Window::DragDropData::typeId).
enum BitmapDragType : u32 {
    kBitmapDragShadow = 1,
    kBitmapDragBitmap = 2,
    kBitmapDragGrid = 3,
};

// Sides of the square a drag image is fitted into: one bitmap dragged
// alone, and each of several.
constexpr i32 kDragImageBox = 96;
constexpr i32 kDragImageSmallBox = 48;
// A grid payload draws at most this many images, each offset by the step.
constexpr size_t kDragStackLimit = 8;
constexpr i32 kDragStackStep = 16;
constexpr i32 kDragCountInset = 6;

struct BitmapDDData : public Window::DragDropData {
    // The image is the bitmap's size fitted into a square of imageBox
    // (FitIntoBox); 0 x 0 without a bitmap.
    BitmapDDData(u32 type, Collection* collection, CollectionBitmap* bitmap, BitmapInstance* instance,
                 SequenceFrame* shadowSource, i32 imageBox = kDragImageBox);

    // Fits the drag image into another square.
    void FitImage(i32 imageBox);
    // The drag image around the pointer: centred on it.
    Rect ImageRect(Point pointer) const;

    Collection* collection;
    CollectionBitmap* bitmap;
    // The sequence cell it was dragged from (else null): the instance of a
    // view cell, or the frame of a shadow cell.
    BitmapInstance* instance;
    SequenceFrame* shadowSource;
    i32 width = 0;
    i32 height = 0;
};

struct BitmapGridDDData : public Window::DragDropData {
    enum Source : u32 {
        kFromBitmapBrowser = 0,
        kFromSequenceEditor = 1,
    };
    static constexpr i32 kUnset = 0x7FFFFFFF;

    BitmapGridDDData(u32 type, Collection* collection, u32 source);
    ~BitmapGridDDData() override;

    // Adds an item of this collection, its image fitted into 48 pixels.
    BitmapDDData* AddItem(u32 type, CollectionBitmap* bitmap, BitmapInstance* instance, SequenceFrame* shadowSource);
    // Adds an item with the place it held in a source grid (a sequence
    // editor keeps the items' layout when they land).
    BitmapDDData* AddItemAt(u32 type, CollectionBitmap* bitmap, BitmapInstance* instance,
                            SequenceFrame* shadowSource, Point gridPosition);
    size_t ItemCount() const { return items.size(); }
    // The drawn images (at most 8, each 16 px further right and down) and
    // their union, around the pointer.
    Rect ItemImageRect(size_t index, Point pointer) const;
    Rect StackRect(Point pointer) const;

    Collection* collection;
    // Where the drag started in the source's own terms (the sequence
    // editor: the pressed cell's column and row); kUnset until set.
    i32 x = kUnset;
    i32 y = kUnset;
    // The source grid's column count when the items carry grid positions,
    // else 0; positions[i] is item i's (column, row) there.
    u32 gridColumns = 0;
    std::vector<Point> positions;
    std::vector<std::unique_ptr<BitmapDDData>> items;
    u32 source;
};

// The payload of a drag of bitmaps chosen in a view of their collection
// (the bitmap browser's rule): one bitmap gives a BitmapDDData of type 1
// for a shadow or 2 for a bitmap, its image fitted into 96 pixels; several
// give a BitmapGridDDData (type 3) of one such item each, fitted into 48.
// Null for none (null entries are skipped). The caller hands it to StartDragDrop (and deletes it when
// that refuses).
Window::DragDropData* MakeBitmapDragData(Collection* collection, const std::vector<CollectionBitmap*>& bitmaps,
                                         u32 source = BitmapGridDDData::kFromBitmapBrowser);
// The type a bitmap travels as: kBitmapDragShadow or kBitmapDragBitmap.
u32 BitmapDragTypeOf(const CollectionBitmap& bitmap);

// The painters (Window system DragPainter): with a rectangle they report
// the image's extent around the pointer, without one they draw it.
// Registered for their types by every payload made.
void PaintBitmapDrag(Window::DragDropData* data, Point at, Rect* extent);
void PaintBitmapGridDrag(Window::DragDropData* data, Point at, Rect* extent);

}  // namespace pirn
