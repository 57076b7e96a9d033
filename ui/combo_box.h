#pragma once
// ComboBox: the drop-down choice widget. A text field (editable, or a label)
// with a 14-px drop-down button at its right and a list of text items that
// drops open below the field (above it when there is more room there).
// Picking an item puts its text in the field and emits the box's selection
// signal with the item and its user data.

#include "platform/types.h"
#include "ui/button.h"
#include "ui/list_window.h"
#include "ui/signal.h"
#include "ui/window.h"

namespace pirn {

class TextBox;

class ComboBox : public Window {
public:
    enum : u32 { kEditable = 1 };
    static constexpr u32 kStyle = kVisible | kEnabled | kDarkBackground | kTakesFocus;  // 0x8103
    static constexpr i32 kButtonWidth = 14;
    static constexpr i32 kDefaultWidth = 178;
    static constexpr i32 kMinimumHeight = 16;
    static constexpr u32 kListFlags = ListWindow::kNeverEmptySelection | ListWindow::kSingleClickActivates;

    class DropdownButton : public Button {
    public:
        explicit DropdownButton(Window* parent);
        void GetMinimumSize(Point* out, Point content) override;
        void DrawContents() override;
        FocusAnswer OnFocusGained(Window* oldFocus, int reason) override;
    };

    ComboBox(Window* parent, u32 flags);
    ~ComboBox() override;

    const char* GetClassName() const override { return "ComboBox"; }
    int HandleEvent(Window* target, u32 type, InputEvent& event) override;
    void Layout() override;
    void DrawContents() override;
    void OnMouseButton(InputEvent& event) override;
    void OnFocusLost(Window* newFocus, int reason) override;
    FocusAnswer OnFocusGained(Window* oldFocus, int reason) override;
    void OnFlagsChanged(u32 changed) override;

    ListItem* AddItem(void* data, const char* text, bool atFront);
    // Removes every item and empties the field, without notifications.
    void Clear();
    // Selects the item in the list, scrolls it into view and shows its text;
    // emits nothing.
    void SelectItem(ListItem* item);
    // Nothing changes when no item has the value.
    void SelectByData(const void* value);
    void* GetSelectedData() const;
    ListItem* GetTopItem() const;
    bool IsDropdownOpen() const { return open_; }
    void SortItems();
    void SetWidth(i32 w);
    // List height: line height x min(item rows + 1, max(rows, 1)); with
    // widen the box becomes as wide as WidthToShowText gives for the widest
    // item text.
    void FitDropdown(int rows, bool widen);
    // The box width at which the open list shows a text this wide whole,
    // beside its border and scroll bar.
    i32 WidthToShowText(i32 textWidth) const;
    void OpenDropdown(bool typed);
    void CloseDropdown();
    // Whether the list opened above the field.
    bool IsOpenAbove() const { return above_; }

    TextBox* GetField() const { return field_; }
    DropdownButton* GetButton() const { return button_; }
    ListWindow* GetList() const { return list_; }
    bool IsEditable() const { return (flags_box_ & kEditable) != 0; }

    SignalPair selectionChanged;  // list item, its user data

private:
    void OnListSelection();
    void OnListActivated(void* item);
    void OnButtonClicked();
    void PlaceChildren(bool open);
    i32 ClosedHeight() const;
    void MoveFocusByTab(bool backwards);

    u32 flags_box_ = 0;
    bool suppress_ = false;
    bool typed_ = false;
    bool itemsAdded_ = false;
    bool open_ = false;
    // Esc or Enter closed the list with its press: its release belongs to
    // the closing and goes no further.
    i32 swallowRelease_ = 0;
    bool above_ = false;
    bool fitted_ = false;  // FitDropdown has set the list height
    Rect closedFrame_;
    i32 listHeight_ = 0;
    i32 width_ = kDefaultWidth;
    TextBox* field_ = nullptr;
    DropdownButton* button_ = nullptr;
    ListWindow* list_ = nullptr;
};

}  // namespace pirn
