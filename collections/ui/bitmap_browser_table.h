#pragma once
// The table view of the bitmap browser: a ListWindow of one row per bitmap
// (name, bits, format, dimensions) whose rows move within the table and,
// dragged out, carry their bitmaps to the sequence editors like the grid's
// cells do.
//
// A row drag is a BitmapTableRowsDDData: a ListItemDDData (so that the table
// still takes it as a row move) holding the bitmap payload of the selected
// rows (MakeBitmapDragData: one BitmapDDData, or a BitmapGridDDData of
// several). A view that takes bitmaps looks through it:
//   Window::DragDropData* bitmaps = BitmapPayloadOf(payload);
//   if (bitmaps && bitmaps->typeId == kBitmapDragBitmap) ...

#include <memory>

#include "collections/collection.h"
#include "ui/list_window.h"

namespace pirn {

// Payload type of a table row drag (beside kBitmapDragShadow, -Bitmap and
// -Grid).
constexpr u32 kBitmapDragTableRows = 4;

// One row of the table: the texts its columns show, and its bitmap.
struct BitmapRow {
    char name[64] = {};
    char bits[16] = {};
    char format[8] = {};
    char dimensions[32] = {};
    CollectionBitmap* bitmap = nullptr;
};

struct BitmapTableRowsDDData : public ListWindow::ListItemDDData {
    BitmapTableRowsDDData(ListWindow* source, ListItem* dragged, i32 x, i32 y,
                          Window::DragDropData* bitmaps);
    std::unique_ptr<Window::DragDropData> bitmaps;  // BitmapDDData or BitmapGridDDData
};

// The bitmaps a payload carries: the payload itself, or what a table row
// drag holds (null when it holds none).
Window::DragDropData* BitmapPayloadOf(Window::DragDropData* payload);

class BitmapTableList : public ListWindow {
public:
    static constexpr u32 kListFlags = kColumnMode | kHeaderRow | kMultipleSelection | kDraggableRows;
    enum Column : int { kNameColumn = 0, kBitsColumn, kFormatColumn, kDimensionsColumn };

    BitmapTableList(Collection* collection, Window* parent);
    const char* GetClassName() const override { return "BitmapTableList"; }

    // The bitmaps of the selected rows, in row order.
    std::vector<CollectionBitmap*> SelectedBitmaps() const;

protected:
    ListItemDDData* MakeRowDragData(ListItem* item, i32 offsetX, i32 offsetY) override;

private:
    Collection* collection_;
};

}  // namespace pirn
