#include "editors/ui/struct_table.h"

#include <algorithm>

#include "ui/combo_box.h"
#include "ui/skin.h"
#include "ui/text_layout.h"
#include "ui/window_renderer.h"
#include "ui/window_system.h"

namespace pirn {

Table::Table(Window* parent, bool framed, const std::string& caption, bool stretch, u32 align)
    : Window(kVisible | kEnabled, parent), framed_(framed), caption_(caption), stretch_(stretch), align_(align) {
    SetId(kId);
}

int Table::OnCloseRequest(int) {
    EndModal(this, 0);
    return 0;
}

void Table::DrawContents() {
    if (BeginWindowDraw(this, 1, 0) && framed_) {
        const Rect client = GetClientRect();
        DrawGroupFrame(GetSkin(), MakeRect(kFrameInset, kFrameInset, client.Width() - 2 * kFrameInset,
                                           client.Height() - 2 * kFrameInset));
        if (!caption_.empty()) {
            SetSkinTextColor(false);
            DrawTextInRect(caption_.c_str(), 0, 0,
                           MakeRect(3 * kFrameInset, 2 * kFrameInset, client.Width() - 6 * kFrameInset,
                                    GetLineHeight()));
        }
    }
    EndWindowDraw(this);
}

void Table::AddCell(Window* window, bool is_group) {
    if (rows_.empty()) AddRow();
    rows_.back().push_back(Cell{window, is_group});
}

size_t Table::GetColumnCount() const {
    size_t columns = 0;
    for (const auto& row : rows_) columns = std::max(columns, row.size());
    return columns;
}

Point Table::CellOrigin() const {
    if (!framed_) return Point{0, 0};
    return caption_.empty() ? Point{24, 16} : Point{24, 40};
}

void Table::ComputeSize() {
    column_widths_.assign(GetColumnCount(), 0);
    for (const auto& row : rows_)
        for (size_t c = 0; c < row.size(); ++c)
            column_widths_[c] = std::max<u32>(column_widths_[c], static_cast<u32>(row[c].window->GetWidth() + kCellExtraWidth));
    SizeFromColumns();
}

void Table::ApplyColumnWidths(const std::vector<u32>& widths) {
    column_widths_ = widths;
    if (column_widths_.size() < GetColumnCount()) column_widths_.resize(GetColumnCount(), 0);
    SizeFromColumns();
}

void Table::SizeFromColumns() {
    if (stretch_)
        for (const auto& row : rows_)
            for (size_t c = 0; c < row.size(); ++c) {
                const i32 width = static_cast<i32>(column_widths_[c]);
                // A combo box lays out its field and button by its own width.
                if (auto* combo = dynamic_cast<ComboBox*>(row[c].window)) combo->SetWidth(width);
                else row[c].window->SetClientWidth(width);
            }
    i64 width = 0, height = 0;
    for (u32 w : column_widths_) width += w;
    for (const auto& row : rows_) {
        i32 row_height = 0;
        for (const Cell& cell : row) row_height = std::max(row_height, cell.window->GetHeight());
        height += row_height + kRowGap;
    }
    if (framed_) {
        width += kFrameExtraWidth;
        height += kFrameExtraHeight + (caption_.empty() ? 0 : kCaptionExtraHeight);
    }
    SetClientSize(static_cast<i32>(width), static_cast<i32>(height));
}

void Table::PlaceCells() {
    const Point origin = CellOrigin();
    i32 y = origin.y;
    for (const auto& row : rows_) {
        i32 x = origin.x;
        i32 row_height = 0;
        for (size_t c = 0; c < row.size(); ++c) {
            Window* cell = row[c].window;
            const i32 column = static_cast<i32>(c < column_widths_.size() ? column_widths_[c] : 0);
            const i32 spare = column - cell->GetWidth();
            const i32 offset = align_ == kAlignRight ? spare : align_ == kAlignCenter ? spare / 2 : 0;
            cell->SetPosition(x + offset, y);
            if (row[c].is_group) static_cast<Table*>(cell)->PlaceCells();
            x += column;
            row_height = std::max(row_height, cell->GetHeight());
        }
        y += row_height + kRowGap;
    }
}

}  // namespace pirn
