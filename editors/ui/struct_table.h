#pragma once
// Table: one group of a struct editor's form. Its cells stand in rows; each
// column is as wide as its widest cell plus 4 px, each row as high as its
// highest cell plus 1 px. A framed table draws the skin's group frame and
// its caption and keeps a margin for them. Cells are widgets, labels,
// buttons, or tables of sub-groups, which place their own cells.

#include <string>
#include <vector>

#include "platform/types.h"
#include "ui/window.h"

namespace pirn {

class Table : public Window {
public:
    static constexpr i32 kId = 0x7461626C;  // 'tabl'
    enum Align : u32 { kAlignLeft = 0, kAlignRight = 1, kAlignCenter = 2 };

    // Room a framed table keeps around its cells.
    static constexpr i32 kFrameExtraWidth = 48;
    static constexpr i32 kFrameExtraHeight = 36;
    static constexpr i32 kCaptionExtraHeight = 24;
    static constexpr i32 kCellExtraWidth = 4;
    static constexpr i32 kRowGap = 1;
    static constexpr i32 kFrameInset = 4;

    struct Cell {
        Window* window = nullptr;
        bool is_group = false;
    };

    Table(Window* parent, bool framed, const std::string& caption, bool stretch, u32 align);

    const char* GetClassName() const override { return "Table"; }
    // A nested form run modally: closing ends the run with 0 and keeps the form.
    int OnCloseRequest(int byUser) override;
    void DrawContents() override;

    void AddRow() { rows_.emplace_back(); }
    // Into the last row (a first row is made when there is none).
    void AddCell(Window* window, bool is_group);

    // Column widths from the cells, then the client size (see the header
    // comment); stretched cells take their column's width.
    void ComputeSize();
    // Imposes column widths (sub-groups aligned with their siblings), then
    // sizes as ComputeSize does with them.
    void ApplyColumnWidths(const std::vector<u32>& widths);
    // Places every cell, and the cells of sub-groups.
    void PlaceCells();

    bool IsFramed() const { return framed_; }
    const std::string& GetCaption() const { return caption_; }
    const std::vector<std::vector<Cell>>& GetRows() const { return rows_; }
    const std::vector<u32>& GetColumnWidths() const { return column_widths_; }
    size_t GetColumnCount() const;
    // Where the first cell goes: (24, 40) framed with a caption, (24, 16)
    // framed without, (0, 0) otherwise.
    Point CellOrigin() const;

private:
    void SizeFromColumns();

    bool framed_ = false;
    std::string caption_;
    std::vector<std::vector<Cell>> rows_;
    std::vector<u32> column_widths_;
    bool stretch_ = false;
    u32 align_ = kAlignLeft;
};

}  // namespace pirn
