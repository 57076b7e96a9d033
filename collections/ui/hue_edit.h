#pragma once
// X256HueEdit: the window that edits one hue change of a collection: its
// name, the affected hue range on a ColorBar, the minimum saturation, what
// the game uses it as, and the replacement colour. Every edit goes straight
// into the hue change and fires `changed`; the views of the collection
// recolour through it. Registered in the editor's ElementBlocks while open,
// so the hue change cannot be deleted under it.

#include "collections/collection.h"
#include "collections/x256_element_blocks.h"
#include "ui/signal.h"
#include "ui/window.h"

namespace pirn {

class CheckBox;
class ColorBar;
class ColorButton;
class ComboBox;
class TextBox;

class X256HueEdit : public Window {
public:
    static constexpr u32 kStyle = kVisible | kTitleBar | kShadow | kThickBorder | kBackground | kCloseBox;
    static constexpr i32 kClientWidth = 530;
    static constexpr i32 kClientHeight = 212;
    static constexpr i32 kNameLength = 63;
    static constexpr i32 kSaturationLength = 3;

    // Registers itself in `blocks` as editing the hue change.
    X256HueEdit(CollectionHueChange* hue, ElementBlocks* blocks);

    const char* GetClassName() const override { return "X256HueEdit"; }
    void OnDestroy() override;

    CollectionHueChange* GetHueChange() const { return hue_; }
    // Every control from the hue change.
    void RefreshHueEdit();

    // The controls (tests drive them as the user would).
    TextBox* GetNameBox() const { return name_; }
    ColorBar* GetColorBar() const { return bar_; }
    TextBox* GetSaturationBox() const { return saturation_; }
    TextBox* GetStartField() const { return start_; }
    TextBox* GetMedianField() const { return median_; }
    TextBox* GetEndField() const { return end_; }
    ComboBox* GetUseAsBox() const { return useAs_; }
    CheckBox* GetReversedBox() const { return reversed_; }
    CheckBox* GetReplacementBox() const { return replacement_; }
    CheckBox* GetSolidBox() const { return solid_; }
    ColorButton* GetColorButton() const { return color_; }

    SignalNone changed;
    SignalNone nameChanged;
    SignalNone closing;

private:
    void Build();
    void Changed();
    void OnNameChanged();
    void OnSaturationChanged();
    void OnUseAsChanged(intptr_t item, intptr_t data);
    void OnReversedClicked();
    void OnReplacementClicked();
    void OnColorChanged(void* color);
    void OnBarChanged();

    CollectionHueChange* hue_;
    ElementBlocks* blocks_;
    bool refreshing_ = false;
    TextBox* name_ = nullptr;
    ColorBar* bar_ = nullptr;
    TextBox* saturation_ = nullptr;
    TextBox* start_ = nullptr;
    TextBox* median_ = nullptr;
    TextBox* end_ = nullptr;
    ComboBox* useAs_ = nullptr;
    CheckBox* reversed_ = nullptr;
    CheckBox* replacement_ = nullptr;
    CheckBox* solid_ = nullptr;
    ColorButton* color_ = nullptr;
};

}  // namespace pirn
