#include "collections/ui/x256_flags_edit.h"

#include "collections/ui/x256_edit.h"
#include "collections/x256_messages.h"
#include "ui/check_box.h"
#include "ui/text_box.h"

namespace pirn {

u32 WithUsageFlags(u32 flags, u32 usage) {
    constexpr u32 kUsageBits = (1u << X256FlagsEdit::kFlagCount) - 1;
    return (flags & ~kUsageBits) | (usage & kUsageBits);
}

X256FlagsEdit::X256FlagsEdit(X256Edit* editor, Window* parent)
    : Window(kVisible | kBackground, parent), collection_(&editor->GetCollection()) {
    SetTitle(x256_text::kFlagsTab);
    CreateLabel(this, x256_text::kUsedForLabel)->SetPosition(kLabelX, kLabelY);
    for (int bit = 0; bit < kFlagCount; ++bit) {
        boxes_[bit] = new CheckBox(this, bit);
        boxes_[bit]->SetTitle(kCollectionFlagLabels[bit]);
        boxes_[bit]->SizeToFit();
        boxes_[bit]->SetPosition(kBoxX, kFirstBoxY + bit * kBoxStep);
        ConnectSignal<&X256FlagsEdit::StoreCollectionFlags>(boxes_[bit]->clicked, this);
    }
    RefreshCollectionFlags();
}

void X256FlagsEdit::RefreshCollectionFlags() {
    for (int bit = 0; bit < kFlagCount; ++bit) boxes_[bit]->SetChecked((collection_->flags >> bit) & 1, true);
}

void X256FlagsEdit::StoreCollectionFlags() {
    u32 usage = 0;
    for (int bit = 0; bit < kFlagCount; ++bit)
        if (boxes_[bit]->IsChecked()) usage |= 1u << bit;
    collection_->flags = WithUsageFlags(collection_->flags, usage);
    changed.Emit();
}

}  // namespace pirn
