#pragma once
// TagInfoWindow: one tag's name, tag id ("subgroup"), group, data size and
// location, with the name and the id editable. One window per tag: it is
// attached to its tag under 'info' for its lifetime, and the Archive
// Browser's "Get Info" raises it instead of opening a second one.

#include "codex/tag_entry.h"
#include "codex/tag_header.h"
#include "platform/types.h"
#include "ui/window.h"

namespace pirn {

class TextBox;

class TagInfoWindow : public Window {
public:
    // Visible, enabled, title bar, shadow, thick border, background, close
    // box, the second title button.
    static constexpr u32 kStyle = 0x15AF;
    static constexpr i32 kClientWidth = 400;
    static constexpr i32 kLabelWidth = 90;
    static constexpr i32 kBoxWidth = 256;
    static constexpr i32 kGap = 4;
    static constexpr i32 kLabelGap = 12;

    explicit TagInfoWindow(TagEntry* tag);
    ~TagInfoWindow() override;

    const char* GetClassName() const override { return "TagInfoWindow"; }
    int OnCloseRequest(int byUser) override;
    // The tag is free for others as soon as the window is closed.
    void OnDestroy() override { SetInfoTag(nullptr); }
    // Control+S applies.
    int OnKey(InputEvent& event) override;

    // The checks, then the change; the user is told why a change was
    // refused. 1 when the tag now has the name and id of the boxes.
    int Apply();
    // Whether the boxes differ from the header's name (its first 32
    // characters) and tag id.
    bool IsModified(const TagHeader& header) const;
    // "Tag Info: %s", with "*" after it while modified.
    void UpdateTitle();
    // Moves the 'info' attachment to another tag.
    void SetInfoTag(TagEntry* tag);

    TagEntry* GetTag() const { return tag_; }
    TextBox* GetNameBox() const { return boxes_[0]; }
    TextBox* GetSubgroupBox() const { return boxes_[1]; }
    TextBox* GetBox(int row) const { return boxes_[row]; }

private:
    void ShowTag();
    void OnBoxChanged() { UpdateTitle(); }

    TagEntry* tag_ = nullptr;
    TextBox* boxes_[5] = {};
};

// The tag's open info window, or null.
TagInfoWindow* FindTagInfoWindow(const TagEntry* tag);

}  // namespace pirn
