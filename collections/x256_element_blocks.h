#pragma once
// Which windows of a collection editor show which elements of its
// collection. Bitmaps, hue changes and sequences are freed the moment they
// are deleted or replaced, so a window that shows one blocks that: the
// commands look here first and refuse with the element's name. The same
// record tells the optimiser whether it may run (it deletes and replaces
// bitmaps wholesale) and a sequence editor whether it may change its frame
// and view counts.
//
// A window registers itself when it opens and is removed when it goes
// (Remove, from its OnDestroy). The window pointer is opaque here: the
// editor's windows pass themselves and get themselves back from
// FindWindow, so the record doubles as the list of open element windows.
//
//   blocks.Add(ElementBlocks::kBitmapWindow, bitmap, window);   // opening
//   if (void* open = blocks.FindWindow(ElementBlocks::kBitmapWindow, bitmap)) ... // raise it
//   blocks.Remove(window);                                       // closing
//
// The observer runs after every change (the editor updates the optimiser's
// gate from it).

#include <functional>
#include <vector>

#include "collections/collection.h"
#include "platform/types.h"

namespace pirn {

class ElementBlocks {
public:
    enum Kind : u32 {
        kBitmapWindow = 0,     // a bitmap shown at full size
        kHueChangeEditor = 1,  // a hue change being edited
        kSequenceEditor = 2,   // a sequence's editor
        kFrameEditor = 3,      // a frame editor of a sequence
        kKindCount = 4,
    };

    // The window shows the element. The same pair twice counts once.
    void Add(Kind kind, const void* element, void* window);
    // Every entry of the window; whether there was one.
    bool Remove(void* window);
    // Every entry that shows the element (it is going away).
    bool ForgetElement(const void* element);

    // The first window of that kind showing the element, or null.
    void* FindWindow(Kind kind, const void* element) const;
    bool Shows(Kind kind, const void* element) const { return FindWindow(kind, element) != nullptr; }
    // Windows of a kind (each once, in the order they opened).
    std::vector<void*> Windows(Kind kind) const;
    // Windows of a kind showing the element.
    std::vector<void*> WindowsOf(Kind kind, const void* element) const;
    size_t Count(Kind kind) const;
    size_t Count() const { return entries_.size(); }

    // The first of the elements that a window of the kind shows, or null.
    template <typename T>
    T* FirstShown(Kind kind, const std::vector<T*>& elements) const {
        for (T* element : elements)
            if (Shows(kind, element)) return element;
        return nullptr;
    }

    void SetObserver(std::function<void()> observer) { observer_ = std::move(observer); }

private:
    struct Entry {
        Kind kind;
        const void* element;
        void* window;
    };
    void Changed();

    std::vector<Entry> entries_;
    std::function<void()> observer_;
};

// The optimiser deletes, merges and crops bitmaps: it runs only while no
// bitmap window, sequence editor or frame editor is open.
bool MayRunOptimiser(const ElementBlocks& blocks);
// A sequence editor keeps its frame and view counts while a frame editor of
// its sequence is open.
bool MayResizeSequence(const ElementBlocks& blocks, const CollectionSequence* sequence);
// A sequence may be deleted while neither its editor nor a frame editor of
// it is open. The first of the sequences that may not, or null.
CollectionSequence* FirstOpenSequence(const ElementBlocks& blocks, const std::vector<CollectionSequence*>& sequences);

}  // namespace pirn
