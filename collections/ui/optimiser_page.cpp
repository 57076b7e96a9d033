#include "collections/ui/optimiser_page.h"

#include "collections/ui/collection_bitmap_drawing.h"
#include "collections/ui/x256_edit.h"
#include "collections/x256_messages.h"
#include "ui/button.h"
#include "ui/message_box_window.h"

namespace pirn {

namespace {

const char* const kButtonTitles[kOptimizationCount] = {
    x256_text::kDeleteUnusedButton, x256_text::kMergeIdenticalButton, x256_text::kCropAllButton,
    x256_text::kAutoRenameButton,   x256_text::kRuntimeSizeButton,
};

}  // namespace

X256OptimizeEdit::X256OptimizeEdit(X256Edit* editor, Window* parent)
    : Window(kVisible | kBackground, parent), collection_(&editor->GetCollection()) {
    SetTitle(x256_text::kOptimizeTab);
    i32 y = kButtonY;
    for (u32 id = 0; id < kOptimizationCount; ++id) {
        Button* button = new Button(this, static_cast<i32>(id));
        button->SetTitle(kButtonTitles[id]);
        button->SizeToFit();
        button->SetPosition(kButtonX, y);
        button->SetWidth(kButtonWidth);
        y += button->GetHeight() + kButtonGap;
        ConnectSignal<&X256OptimizeEdit::RunCollectionOptimization>(button->clickedWithId, this);
        buttons_[id] = button;
    }
}

void X256OptimizeEdit::RunCollectionOptimization(i32 id) {
    if (id < 0 || static_cast<u32>(id) >= kOptimizationCount) return;
    if (!gate_) {
        ShowMessageBox(x256_text::kNoCaption, x256_text::kCloseWindowsFirst, x256_text::kOkButton, nullptr);
        return;
    }
    // The operations free and rewrite bitmaps: no picture of one may
    // outlive it.
    for (const auto& bitmap : collection_->bitmaps) ForgetCollectionBitmap(bitmap.get());
    OptimiserReport report;
    const u32 answer = kCollectionOptimizations[id](collection_, &report);
    if (!report.text.empty())
        ShowMessageBox(report.caption.c_str(), report.text.c_str(), x256_text::kOkButton, nullptr);
    if (answer) changed.Emit();
}

}  // namespace pirn
