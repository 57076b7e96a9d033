#pragma once
// X256Edit: the editor of a '.256' collection tag. It owns the collection,
// loads it from the tag and saves it back, and shows it on seven pages of a
// tab window ("Bitmaps", "Shadows", "Sequences", "Hue Changes", "Color
// Table", "Flags", "Optimize"). Every page edits the one collection; the
// editor passes a change on one page to the pages that show the same things
// and marks the tag modified.
//
// What a page gets from the editor:
//   GetCollection()      the collection (alive as long as the editor);
//   MarkModified()       after every change the user makes;
//   Blocks()             the record of which windows show which elements
//                        (collections/x256_element_blocks.h): a window that
//                        shows a bitmap, hue change or sequence registers
//                        there when it opens and is removed in its
//                        OnDestroy; deleting and replacing consult it, and
//                        the optimiser's gate follows it by itself;
//   ToggleAlternates()   Control+T of the editor and of its windows;
//   the signals below    what other pages did.
//
// The "Sequences" page is made by MakeX256SequencePage
// (collections/ui/x256_sequence_page.h). It learns what happened elsewhere
// from the signals collectionLoaded, bitmapsChanged and closing, and tells
// the editor what it did with SequencesChanged (a sequence changed: the
// bitmap pages recolour their rows by use, the tag is marked modified) and
// SequenceBitmapsChanged (it added bitmaps: the Bitmaps page refills).

#include <cstdio>

#include "codex/tag_group.h"
#include "codex/ui/tag_edit.h"
#include "collections/collection.h"
#include "collections/x256_element_blocks.h"
#include "ui/signal.h"

namespace pirn {

class TabWindow;
class X256BitmapBrowser;
class X256HueBrowser;
class X256ColorTableEdit;
class X256FlagsEdit;
class X256OptimizeEdit;

class X256Edit : public TagEdit {
public:
    static constexpr i32 kWidth = 575;
    static constexpr i32 kHeight = 360;
    static constexpr i32 kMinimumExtraWidth = 446;
    static constexpr i32 kMinimumExtraHeight = 195;
    // Control + this key toggles the alternates.
    static constexpr i32 kToggleAlternatesKey = 'T';
    // Tab order of the pages.
    enum Page : i32 {
        kBitmapsPage = 0,
        kShadowsPage,
        kSequencesPage,
        kHueChangesPage,
        kColorTablePage,
        kFlagsPage,
        kOptimizePage,
        kPageCount,
    };

    // tag: the tag to edit, or null for one CreateNew makes.
    explicit X256Edit(TagEntry* tag);
    ~X256Edit() override;

    const char* GetClassName() const override { return "X256Edit"; }
    void GetMinimumSize(Point* out, Point content) override;
    void Layout() override;
    int OnKey(InputEvent& event) override;
    void OnDestroy() override;
    int WriteTag(std::FILE* stream, TagHeader* header) override;
    int ReadTag(std::FILE* stream, TagHeader* header) override;
    // Shows the modified mark a load asked for (opening a tag clears the
    // flag after loading).
    void ShowEditor() override;

    // ---- for the pages and their windows ----
    Collection& GetCollection() { return collection_; }
    const Collection& GetCollection() const { return collection_; }
    ElementBlocks& Blocks() { return blocks_; }
    void MarkModified() { SetModified(true); }
    // Flips which reference instances with alternates show.
    void ToggleAlternates();
    bool ShowsAlternates() const { return showAlternates_; }

    // A page's sequences changed (recolour bitmap rows by use, mark
    // modified) / it added or replaced bitmaps (refill the Bitmaps page).
    void SequencesChanged();
    void SequenceBitmapsChanged();

    // The collection was loaded: every page fills itself.
    SignalNone collectionLoaded;
    // Bitmaps were added, changed, moved or deleted by another page: views of
    // sequences redraw (their cells may have lost a bitmap).
    SignalNone bitmapsChanged;
    // The editor is going, or reads its tag again: windows that point into
    // the collection close.
    SignalNone closing;

    // ---- pages (tests, the program's own windows) ----
    TabWindow* GetTabs() const { return tabs_; }
    Window* GetPage(Page page) const;
    X256BitmapBrowser* GetBitmapBrowser() const { return bitmaps_; }
    X256BitmapBrowser* GetShadowBrowser() const { return shadows_; }
    Window* GetSequencePage() const { return sequences_; }
    X256HueBrowser* GetHueBrowser() const { return hues_; }
    X256ColorTableEdit* GetColorTableEdit() const { return colorTable_; }
    X256FlagsEdit* GetFlagsEdit() const { return flags_; }
    X256OptimizeEdit* GetOptimizeEdit() const { return optimize_; }

private:
    void BuildPages();
    void FillPages();
    void UpdateOptimizeGate();
    // Closes every window that shows an element of the collection (and
    // tells the sequence page to close its own: `closing`).
    void CloseElementWindows();
    // Something every view of a bitmap shows changed (colours, hue
    // changes): open bitmap windows redraw.
    void RedrawBitmapWindows();
    // Slots of the page signals.
    void OnBitmapPageChanged();
    void OnColorsChanged();
    void OnOptimized();

    Collection collection_;
    ElementBlocks blocks_;
    bool showAlternates_ = true;
    bool markModifiedOnShow_ = false;
    TabWindow* tabs_ = nullptr;
    X256BitmapBrowser* bitmaps_ = nullptr;
    X256BitmapBrowser* shadows_ = nullptr;
    Window* sequences_ = nullptr;
    X256HueBrowser* hues_ = nullptr;
    X256ColorTableEdit* colorTable_ = nullptr;
    X256FlagsEdit* flags_ = nullptr;
    X256OptimizeEdit* optimize_ = nullptr;
};

// The registry's factory for '.256', and its binding to the "X256Edit" row.
TagEdit* NewX256Edit(TagEntry* tag, TagGroupInfo* group, u32 groupCode);
void BindX256Edit();

}  // namespace pirn
