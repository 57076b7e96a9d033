#include "collections/ui/bitmap_browser_table.h"

#include <algorithm>
#include <cstddef>

#include "collections/ui/bitmap_drag_data.h"
#include "collections/x256_messages.h"
#include "ui/window_drag.h"

namespace pirn {

namespace {

void PaintTableRowsDrag(Window::DragDropData* data, Point at, Rect* extent) {
    Window::DragDropData* bitmaps = BitmapPayloadOf(data);
    if (!bitmaps || bitmaps == data) {
        if (extent) *extent = Rect{};
        return;
    }
    if (bitmaps->typeId == kBitmapDragGrid) PaintBitmapGridDrag(bitmaps, at, extent);
    else PaintBitmapDrag(bitmaps, at, extent);
}

}  // namespace

BitmapTableRowsDDData::BitmapTableRowsDDData(ListWindow* source, ListItem* dragged, i32 x, i32 y,
                                             Window::DragDropData* carried)
    : ListItemDDData(source, dragged, x, y), bitmaps(carried) {
    typeId = kBitmapDragTableRows;
    RegisterDragPainter(kBitmapDragTableRows, PaintTableRowsDrag);
}

Window::DragDropData* BitmapPayloadOf(Window::DragDropData* payload) {
    if (auto* rows = dynamic_cast<BitmapTableRowsDDData*>(payload)) return rows->bitmaps.get();
    return payload;
}

BitmapTableList::BitmapTableList(Collection* collection, Window* parent)
    : ListWindow(kListFlags, kVisible | kBackground, parent), collection_(collection) {
    SetTitle(x256_text::kTableTitle);
    const struct {
        const char* title;
        size_t offset;
        u32 size;
        i32 width;
    } columns[] = {
        {x256_text::kNameColumn, offsetof(BitmapRow, name), 64, 256},
        {x256_text::kBitsColumn, offsetof(BitmapRow, bits), 16, 48},
        {x256_text::kFormatColumn, offsetof(BitmapRow, format), 8, 40},
        {x256_text::kDimensionsColumn, offsetof(BitmapRow, dimensions), 32, 128},
    };
    for (const auto& c : columns) {
        const int index = AddColumn(c.title, "%s", kColumnCharArray, c.size, c.width, 0, 0);
        SetColumnFieldOffset(index, static_cast<u32>(c.offset));
    }
}

std::vector<CollectionBitmap*> BitmapTableList::SelectedBitmaps() const {
    std::vector<std::pair<i64, CollectionBitmap*>> rows;
    for (ListItem* item : GetSelectionArray())
        if (auto* row = static_cast<BitmapRow*>(item->userData)) rows.emplace_back(RowOf(item), row->bitmap);
    std::stable_sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<CollectionBitmap*> bitmaps;
    for (const auto& row : rows) bitmaps.push_back(row.second);
    return bitmaps;
}

ListWindow::ListItemDDData* BitmapTableList::MakeRowDragData(ListItem* item, i32 offsetX, i32 offsetY) {
    std::vector<CollectionBitmap*> bitmaps = SelectedBitmaps();
    if (bitmaps.empty())
        if (auto* row = static_cast<BitmapRow*>(item->userData)) bitmaps.push_back(row->bitmap);
    return new BitmapTableRowsDDData(this, item, offsetX, offsetY, MakeBitmapDragData(collection_, bitmaps));
}

}  // namespace pirn
