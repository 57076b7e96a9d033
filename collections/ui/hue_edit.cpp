#include "collections/ui/hue_edit.h"

#include <cstdint>

#include "collections/hue_change_rules.h"
#include "collections/ui/hue_color_bar.h"
#include "collections/x256_messages.h"
#include "collections/x256_texts.h"
#include "ui/check_box.h"
#include "ui/color_button.h"
#include "ui/combo_box.h"
#include "ui/draw_target.h"
#include "ui/text_box.h"
#include "ui/window_system.h"

namespace pirn {

namespace {

using namespace x256_text;

constexpr i32 kMargin = 8;
constexpr i32 kFieldX = 150;  // controls right of the labels
constexpr i32 kSecondLabelX = 268;
constexpr i32 kSecondFieldX = 348;
constexpr i32 kRowStep = 28;
constexpr i32 kFieldHeight = 20;

// The "Use As:" entries carry their choice + 1 (an entry's data is never null).
void* ChoiceData(UseAsChoice choice) { return reinterpret_cast<void*>(static_cast<uintptr_t>(choice) + 1); }

}  // namespace

X256HueEdit::X256HueEdit(CollectionHueChange* hue, ElementBlocks* blocks)
    : Window(kStyle, nullptr), hue_(hue), blocks_(blocks) {
    SetClientSize(kClientWidth, kClientHeight);
    Build();
    RefreshHueEdit();
    blocks_->Add(ElementBlocks::kHueChangeEditor, hue_, this);
}

void X256HueEdit::Build() {
    auto label = [this](const char* text, i32 x, i32 row) {
        TextBox* box = CreateLabel(this, text);
        box->SetPosition(x, kMargin + row * kRowStep + 2);
        return box;
    };
    auto field = [this](i32 x, i32 row, i32 width) {
        auto* box = new TextBox(TextBox::kLabel, this);
        box->SetPosition(x, kMargin + row * kRowStep);
        box->SetSize(width, kFieldHeight);
        return box;
    };
    auto check = [this](const char* title, i32 x, i32 row) {
        auto* box = new CheckBox(this, 0);
        box->SetTitle(title);
        box->SizeToFit();
        box->SetPosition(x, kMargin + row * kRowStep + 2);
        return box;
    };

    label(kNameLabel, kMargin, 0);
    name_ = new TextBox(TextBox::kTextField, this);
    name_->SetMaxLength(kNameLength);
    name_->SetPosition(kFieldX, kMargin);
    name_->SetSize(static_cast<i32>(kColorBarWidth), kFieldHeight);

    label(kHueRangeLabel, kMargin, 1);
    bar_ = new ColorBar(hue_, this);
    bar_->SetPosition(kFieldX, kMargin + kRowStep);

    label(kSaturationLabel, kMargin, 2);
    saturation_ = new TextBox(TextBox::kIntegerField, this);
    saturation_->SetMaxLength(kSaturationLength);
    saturation_->SetPosition(kFieldX, kMargin + 2 * kRowStep);
    saturation_->SetSize(40, kFieldHeight);

    label(kStartHueLabel, kMargin, 3);
    start_ = field(kFieldX, 3, 60);
    label(kUseAsLabel, kSecondLabelX, 3);
    useAs_ = new ComboBox(this, 0);
    useAs_->SetPosition(kSecondFieldX, kMargin + 3 * kRowStep);
    useAs_->AddItem(ChoiceData(kUseNone), x256_text::kUseAsNone, false);
    useAs_->AddItem(ChoiceData(kUsePrimary), x256_text::kUseAsPrimary, false);
    useAs_->AddItem(ChoiceData(kUseSecondary), x256_text::kUseAsSecondary, false);
    useAs_->FitDropdown(3, false);

    label(kMedianHueLabel, kMargin, 4);
    median_ = field(kFieldX, 4, 60);
    reversed_ = check(kReversedBox, kSecondLabelX, 4);

    label(kEndHueLabel, kMargin, 5);
    end_ = field(kFieldX, 5, 60);
    replacement_ = check(kReplacementBox, kSecondLabelX, 5);
    color_ = new ColorButton(this);
    color_->SetPosition(replacement_->GetFrame().right + kMargin, kMargin + 5 * kRowStep);
    solid_ = check(kSolidColorBox, kSecondLabelX, 6);

    ConnectSignal<&X256HueEdit::OnNameChanged>(name_->changed, this);
    ConnectSignal<&X256HueEdit::OnSaturationChanged>(saturation_->changed, this);
    ConnectSignal<&X256HueEdit::OnUseAsChanged>(useAs_->selectionChanged, this);
    ConnectSignal<&X256HueEdit::OnReversedClicked>(reversed_->clicked, this);
    ConnectSignal<&X256HueEdit::OnReplacementClicked>(replacement_->clicked, this);
    ConnectSignal<&X256HueEdit::OnReplacementClicked>(solid_->clicked, this);
    ConnectSignal<&X256HueEdit::OnColorChanged>(color_->colorChanged, this);
    ConnectSignal<&X256HueEdit::OnBarChanged>(bar_->changed, this);
    SetTabOrder(name_, saturation_, useAs_, reversed_, replacement_, color_, solid_, nullptr);
}

void X256HueEdit::OnDestroy() {
    if (blocks_) blocks_->Remove(this);
    blocks_ = nullptr;
    closing.Emit();
}

void X256HueEdit::RefreshHueEdit() {
    refreshing_ = true;
    SetTitle(hue_->name);
    if (name_->GetText() != hue_->name) name_->SetText(hue_->name);
    start_->SetText(DegreesText(HueDegrees(hue_->start_hue)));
    median_->SetText(DegreesText(HueDegrees(hue_->median_hue)));
    end_->SetText(DegreesText(HueDegrees(hue_->end_hue)));
    saturation_->SetInteger(static_cast<i32>(SaturationPercent(hue_->minimum_saturation)));
    useAs_->SelectByData(ChoiceData(UseAsChoiceOf(hue_->use_as)));
    reversed_->SetChecked((hue_->hue_flags & 1) != 0, true);
    replacement_->SetChecked(hue_->replacement_flags != 0, true);
    solid_->SetChecked((hue_->replacement_flags & 2) != 0, true);
    u8 rgb[3];
    ReplacementColor8(*hue_, rgb);
    const u32 color = PackRgba(rgb[0], rgb[1], rgb[2], 255);
    color_->SetColor(&color);
    refreshing_ = false;
    bar_->Invalidate();
}

void X256HueEdit::Changed() {
    Invalidate();
    changed.Emit();
}

void X256HueEdit::OnNameChanged() {
    if (refreshing_) return;
    const std::string text = name_->GetText();
    if (text == hue_->name) return;
    SetElementName(hue_->name, text.c_str());
    SetTitle(hue_->name);
    changed.Emit();
    nameChanged.Emit();
}

void X256HueEdit::OnSaturationChanged() {
    if (refreshing_) return;
    const SaturationEntry entry = EnterSaturation(hue_->minimum_saturation, saturation_->GetText());
    if (entry.changed) {
        hue_->minimum_saturation = entry.stored;
        Changed();
    }
    if (entry.retype) {
        refreshing_ = true;
        saturation_->SetInteger(static_cast<i32>(entry.shown));
        refreshing_ = false;
    }
}

void X256HueEdit::OnUseAsChanged(intptr_t, intptr_t data) {
    if (refreshing_ || data == 0) return;
    const u16 bits = UseAsBitsOf(static_cast<UseAsChoice>(data - 1));
    if (bits == hue_->use_as) return;
    hue_->use_as = bits;
    changed.Emit();
}

void X256HueEdit::OnReversedClicked() {
    if (refreshing_) return;
    const u16 flags = reversed_->IsChecked() ? static_cast<u16>(hue_->hue_flags | 1) : static_cast<u16>(hue_->hue_flags & ~1u);
    if (flags == hue_->hue_flags) return;
    hue_->hue_flags = flags;
    Changed();
}

void X256HueEdit::OnReplacementClicked() {
    if (refreshing_) return;
    const u8 flags = ReplacementFlagsFor(replacement_->IsChecked(), solid_->IsChecked());
    if (flags == hue_->replacement_flags) return;
    hue_->replacement_flags = flags;
    Changed();
}

void X256HueEdit::OnColorChanged(void* color) {
    if (refreshing_ || !color) return;
    const u32 packed = *static_cast<const u32*>(color);
    const u8 rgb[3] = {static_cast<u8>(packed), static_cast<u8>(packed >> 8), static_cast<u8>(packed >> 16)};
    SetReplacementColor8(hue_, rgb);
    Changed();
}

void X256HueEdit::OnBarChanged() {
    RefreshHueEdit();
    changed.Emit();
}

}  // namespace pirn
