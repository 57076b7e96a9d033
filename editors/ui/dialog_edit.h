#pragma once
// DialogEdit: the editor of dialog tags ('bina'). A list of the dialog's
// version, size and position, a few lines of help and one row per control,
// beside a canvas (DialogView) where the controls are drawn as rectangles.
// Controls are added under the pointer (Control+A), moved and resized by
// dragging with Control or Shift held or with the arrow keys, reordered
// (Control+'-' and Control+'='), removed (Delete in the list) and edited in
// EditControlDialog (a double click on a control or Enter on its row);
// Enter on the version, size and position rows asks for new values.
// Whatever the file cannot hold (a version past 65535, sides outside
// -32768..32767) is refused with a beep and changes nothing.

#include <string>

#include "codex/tag_group.h"
#include "codex/ui/tag_edit.h"
#include "editors/dialog_commands.h"
#include "editors/dialog_data.h"
#include "ui/list_window.h"
#include "ui/splitter_window.h"

namespace pirn {

class DialogView;

class DialogEdit : public TagEdit {
public:
    static constexpr i32 kWidth = 892;
    static constexpr i32 kHeight = 528;
    static constexpr i32 kPaneSize = 200;

    explicit DialogEdit(TagEntry* tag);
    ~DialogEdit() override;

    const char* GetClassName() const override { return "DialogEdit"; }
    // Keys with Control or Shift that reach the list go to the canvas
    // first; Shift and Control pick the resize and the move mode.
    int HandleEvent(Window* target, u32 type, InputEvent& event) override;
    void Layout() override;
    // The canvas's drag: start and pos in screen coordinates.
    void OnMouseDrag(Point start, Point pos, int phase) override;
    int ReadTag(std::FILE* stream, TagHeader* header) override;
    // Writes at the stream's position, where the new file's data starts.
    int WriteTag(std::FILE* stream, TagHeader* header) override;

    const DialogData& Dialog() const { return dialog_; }
    // Shows another dialog (not a change of the tag's: the modified flag
    // stays); the selection goes.
    void SetDialog(DialogData dialog);

    ListWindow* List() const { return list_; }
    DialogView* View() const { return view_; }
    SplitterWindow* Splitter() const { return splitter_; }

    // The selected control (-1 none), selected in the list as well.
    int Selected() const { return selected_; }
    void SelectControl(int index);
    // kDialogModeMove or kDialogModeResize.
    int Mode() const { return mode_; }
    void SetMode(int mode);

    // ---- commands; every change marks the editor modified and redraws ----

    // Rebuilds the list's rows, selecting again the row that was selected.
    void RefreshList();
    // A row was activated: its control's data, or the prompt of the
    // version (-2), size (-3) or position (-4) row.
    void ActivateRow(i32 data);
    // EditControlDialog for the control; true when OK stored its answers.
    bool EditControl(int index);
    // A new control centred on the dialog point (after EditControlDialog):
    // only inside the dialog's rectangle, else a beep.
    bool AddControlAt(i32 x, i32 y);
    // The same under the pointer, which must be over the canvas.
    bool AddControlUnderMouse();
    void RemoveSelected();
    void ReorderSelected(int direction);
    // Arrow keys: the right and bottom edges (resize) or the whole control.
    void NudgeSelected(i32 dx, i32 dy, bool resize);
    void PromptPosition();
    void PromptSize();
    void PromptVersion();

    // ---- the canvas's drag ----
    bool BeginControlDrag(int index, int part);
    // The drag distance from where it began (screen pixels).
    void DragControlBy(i32 dx, i32 dy);
    void EndControlDrag();
    bool IsDragging() const { return dragControl_ >= 0; }
    int DragPart() const { return dragPart_; }

private:
    void OnListSelection();
    void OnListActivated(void* item);
    void OnDeleteRequested();
    // Changes the selected control, redrawing both places.
    void MoveSelection(int index);
    void SetControlRect(int index, const DialogRect& rect);
    // Marks the editor modified (once: the title changes only then).
    void MarkModified();
    // A change that the list's rows show.
    void ListChanged();
    i32 RowDataOf(const ListItem* item) const;
    void SelectRow(i32 data);

    DialogData dialog_;
    SplitterWindow* splitter_ = nullptr;
    ListWindow* list_ = nullptr;
    DialogView* view_ = nullptr;
    int selected_ = -1;
    int mode_ = kDialogModeMove;
    int dragPart_ = kDialogPartNone;
    int dragControl_ = -1;
    DialogRect dragStart_;
    bool refreshing_ = false;
};

// The registry's factory, and its binding to the "DialogEdit" row.
TagEdit* NewDialogEdit(TagEntry* tag, TagGroupInfo* group, u32 group_code);
void BindDialogEdit();

}  // namespace pirn
