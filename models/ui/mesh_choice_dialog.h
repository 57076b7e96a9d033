#pragma once
// "Edit Detail Texture Attributes": one texture entry of a detail map, its
// highlight colour, its description and the 'dtex' tag it names, chosen
// from every detail texture of the Codex.

#include <string>
#include <vector>

#include "models/detail_map.h"
#include "platform/types.h"
#include "ui/dialog_window.h"

namespace pirn {

class ColorButton;
class ListWindow;
class TextBox;
struct ListItem;

class ChoiceDialog : public DialogWindow {
public:
    static constexpr i32 kAreaWidth = 384;
    static constexpr i32 kAreaHeight = 248;
    static constexpr i32 kListDrop = 56;
    static constexpr i32 kFieldGap = 32;
    static constexpr i32 kDescriptionWidth = 250;
    static constexpr i32 kDescriptionLength = 31;

    struct Row {
        u32 tag_id;
        std::string name;
    };

    ChoiceDialog();
    const char* GetClassName() const override { return "ChoiceDialog"; }
    void Layout() override;

    // Shows the entry: its colour (opaque), its description, and the list
    // with the row of its tag id selected (the "<no tag>" row otherwise).
    void ShowEntry(const DetailTextureEntry& entry);
    // What the dialog says now, written into the entry; whether it changed.
    bool TakeEntry(DetailTextureEntry* entry) const;

    ColorButton* GetColorButton() const { return colour_; }
    TextBox* GetDescription() const { return description_; }
    ListWindow* GetList() const { return list_; }
    const std::vector<Row>& Rows() const { return rows_; }

private:
    void RowActivated(void* item);

    TextBox* colour_label_ = nullptr;
    TextBox* description_label_ = nullptr;
    ColorButton* colour_ = nullptr;
    TextBox* description_ = nullptr;
    ListWindow* list_ = nullptr;
    std::vector<Row> rows_;
};

// Runs the dialog on the entry (modal flags 5); when accepted with a row
// selected, the entry takes the colour, the description and the row's tag
// id. Returns whether the entry changed.
bool EditDetailTextureAttributes(DetailTextureEntry* entry);

}  // namespace pirn
