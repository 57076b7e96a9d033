#include "collections/ui/x256_edit.h"

#include "codex/ui/tag_editor_registry.h"
#include "collections/collection_tag.h"
#include "collections/ui/bitmap_browser.h"
#include "collections/ui/collection_bitmap_drawing.h"
#include "collections/ui/color_table_edit.h"
#include "collections/ui/hue_browser.h"
#include "collections/ui/optimiser_page.h"
#include "collections/ui/x256_flags_edit.h"
#include "collections/ui/x256_sequence_page.h"
#include "collections/x256_messages.h"
#include "platform/os/key_codes.h"
#include "ui/message_box_window.h"
#include "ui/tab_window.h"
#include "ui/window_system.h"

namespace pirn {

namespace {

// Drops the pictures kept of the collection's bitmaps: they are about to be
// freed, and another bitmap may get the address of one.
void ForgetPictures(const Collection& collection) {
    for (const auto& bitmap : collection.bitmaps) ForgetCollectionBitmap(bitmap.get());
}

}  // namespace

X256Edit::X256Edit(TagEntry* tag) : TagEdit(tag) {
    InitCollection(&collection_);
    blocks_.SetObserver([this] { UpdateOptimizeGate(); });
    BuildPages();
    SetSize(kWidth, kHeight);
    Layout();
    Invalidate();
}

X256Edit::~X256Edit() {
    ForgetPictures(collection_);
    FreeCollection(&collection_);
}

void X256Edit::BuildPages() {
    tabs_ = new TabWindow(kVisible, this);
    tabs_->SetTitle(x256_text::kTabsTitle);
    bitmaps_ = new X256BitmapBrowser(this, X256BitmapBrowser::kBitmapMode, tabs_);
    shadows_ = new X256BitmapBrowser(this, X256BitmapBrowser::kShadowMode, tabs_);
    sequences_ = MakeX256SequencePage(this, tabs_);
    hues_ = new X256HueBrowser(this, tabs_);
    colorTable_ = new X256ColorTableEdit(this, tabs_);
    flags_ = new X256FlagsEdit(this, tabs_);
    optimize_ = new X256OptimizeEdit(this, tabs_);
    tabs_->SelectTab(kBitmapsPage);

    for (X256BitmapBrowser* page : {bitmaps_, shadows_})
        ConnectSignal<&X256Edit::OnBitmapPageChanged>(page->collectionChanged, this);
    ConnectSignal<&X256Edit::OnColorsChanged>(hues_->changed, this);
    ConnectSignal<&X256Edit::OnColorsChanged>(colorTable_->changed, this);
    ConnectSignal<&X256Edit::MarkModified>(flags_->changed, this);
    ConnectSignal<&X256Edit::OnOptimized>(optimize_->changed, this);
}

Window* X256Edit::GetPage(Page page) const {
    switch (page) {
        case kBitmapsPage: return bitmaps_;
        case kShadowsPage: return shadows_;
        case kSequencesPage: return sequences_;
        case kHueChangesPage: return hues_;
        case kColorTablePage: return colorTable_;
        case kFlagsPage: return flags_;
        case kOptimizePage: return optimize_;
        default: return nullptr;
    }
}

void X256Edit::GetMinimumSize(Point* out, Point content) {
    TagEdit::GetMinimumSize(out, Point{content.x + kMinimumExtraWidth, content.y + kMinimumExtraHeight});
}

void X256Edit::Layout() {
    if (tabs_) SetFrame(tabs_, GetClientRect());
}

int X256Edit::OnKey(InputEvent& event) {
    if (event.IsPress() && event.Code() == kToggleAlternatesKey && (event.KeyModifiers() & kModControl)) {
        ToggleAlternates();
        return 1;
    }
    return TagEdit::OnKey(event);
}

void X256Edit::CloseElementWindows() {
    closing.Emit();
    for (ElementBlocks::Kind kind : {ElementBlocks::kBitmapWindow, ElementBlocks::kHueChangeEditor,
                                     ElementBlocks::kSequenceEditor, ElementBlocks::kFrameEditor})
        for (void* window : blocks_.Windows(kind)) DestroyWindow(static_cast<Window*>(window));
}

void X256Edit::OnDestroy() {
    // Every window that points into the collection goes with the editor.
    CloseElementWindows();
    blocks_.SetObserver(nullptr);
    TagEdit::OnDestroy();
}

int X256Edit::WriteTag(std::FILE* stream, TagHeader* header) { return SaveCollection(&collection_, stream, header); }

int X256Edit::ReadTag(std::FILE* stream, TagHeader* header) {
    // A collection read again replaces every element a window could show.
    if (blocks_.Count() > 0) CloseElementWindows();
    ForgetPictures(collection_);
    if (!LoadCollection(&collection_, stream, header, true)) return 0;
    if (collection_.flags & kCollectionColorMap) {
        ShowMessageBox(x256_text::kUnsupportedCaption, x256_text::kColorMapRefused, x256_text::kCloseButton, nullptr);
        return 0;
    }
    FillPages();
    // An opened collection stands modified: loading may have put things
    // right that only a save keeps (mirrored views rebuilt, stray flags
    // cleared, bitmaps that did not decode replaced).
    SetModified(true);
    markModifiedOnShow_ = true;
    showAlternates_ = true;
    RelinkInstances(&collection_, true);
    Invalidate();
    return 1;
}

void X256Edit::ShowEditor() {
    TagEdit::ShowEditor();
    // On screen now: the page in front takes the keyboard.
    tabs_->SelectTab(tabs_->GetCurrentTab());
    if (markModifiedOnShow_) SetModified(true);
    markModifiedOnShow_ = false;
}

void X256Edit::FillPages() {
    bitmaps_->RefreshBitmapList();
    shadows_->RefreshBitmapList();
    hues_->RefreshHueList();
    flags_->RefreshCollectionFlags();
    colorTable_->Invalidate();
    collectionLoaded.Emit();
}

void X256Edit::ToggleAlternates() {
    showAlternates_ = !showAlternates_;
    RelinkInstances(&collection_, showAlternates_);
    bitmapsChanged.Emit();
    Invalidate();
}

void X256Edit::SequencesChanged() {
    bitmaps_->ShowUsageColors();
    shadows_->ShowUsageColors();
    MarkModified();
}

void X256Edit::SequenceBitmapsChanged() { bitmaps_->RefreshBitmapList(); }

void X256Edit::UpdateOptimizeGate() {
    if (optimize_) optimize_->SetOptimizeGate(MayRunOptimiser(blocks_));
}

void X256Edit::RedrawBitmapWindows() {
    for (void* window : blocks_.Windows(ElementBlocks::kBitmapWindow)) static_cast<Window*>(window)->Invalidate();
}

void X256Edit::OnBitmapPageChanged() {
    bitmapsChanged.Emit();
    MarkModified();
}

void X256Edit::OnColorsChanged() {
    RedrawBitmapWindows();
    if (Window* page = tabs_->GetPage(tabs_->GetCurrentTab())) page->Invalidate();
    MarkModified();
}

void X256Edit::OnOptimized() {
    bitmaps_->RefreshBitmapList();
    shadows_->RefreshBitmapList();
    bitmapsChanged.Emit();
    MarkModified();
}

TagEdit* NewX256Edit(TagEntry* tag, TagGroupInfo*, u32) { return new X256Edit(tag); }

void BindX256Edit() { BindTagEditor("X256Edit", NewX256Edit); }

}  // namespace pirn
