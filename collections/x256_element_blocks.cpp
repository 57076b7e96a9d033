#include "collections/x256_element_blocks.h"

#include <algorithm>

namespace pirn {

void ElementBlocks::Add(Kind kind, const void* element, void* window) {
    for (const Entry& e : entries_)
        if (e.kind == kind && e.element == element && e.window == window) return;
    entries_.push_back(Entry{kind, element, window});
    Changed();
}

bool ElementBlocks::Remove(void* window) {
    const size_t before = entries_.size();
    entries_.erase(std::remove_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.window == window; }),
                   entries_.end());
    if (entries_.size() == before) return false;
    Changed();
    return true;
}

bool ElementBlocks::ForgetElement(const void* element) {
    const size_t before = entries_.size();
    entries_.erase(
        std::remove_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.element == element; }),
        entries_.end());
    if (entries_.size() == before) return false;
    Changed();
    return true;
}

void* ElementBlocks::FindWindow(Kind kind, const void* element) const {
    for (const Entry& e : entries_)
        if (e.kind == kind && e.element == element) return e.window;
    return nullptr;
}

std::vector<void*> ElementBlocks::Windows(Kind kind) const {
    std::vector<void*> windows;
    for (const Entry& e : entries_)
        if (e.kind == kind && std::find(windows.begin(), windows.end(), e.window) == windows.end())
            windows.push_back(e.window);
    return windows;
}

std::vector<void*> ElementBlocks::WindowsOf(Kind kind, const void* element) const {
    std::vector<void*> windows;
    for (const Entry& e : entries_)
        if (e.kind == kind && e.element == element) windows.push_back(e.window);
    return windows;
}

size_t ElementBlocks::Count(Kind kind) const {
    return size_t(std::count_if(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.kind == kind; }));
}

void ElementBlocks::Changed() {
    // The observer may look at the record but not change it.
    if (observer_) observer_();
}

bool MayRunOptimiser(const ElementBlocks& blocks) {
    return blocks.Count(ElementBlocks::kBitmapWindow) == 0 && blocks.Count(ElementBlocks::kSequenceEditor) == 0 &&
           blocks.Count(ElementBlocks::kFrameEditor) == 0;
}

bool MayResizeSequence(const ElementBlocks& blocks, const CollectionSequence* sequence) {
    return !blocks.Shows(ElementBlocks::kFrameEditor, sequence);
}

CollectionSequence* FirstOpenSequence(const ElementBlocks& blocks, const std::vector<CollectionSequence*>& sequences) {
    for (CollectionSequence* sequence : sequences)
        if (blocks.Shows(ElementBlocks::kSequenceEditor, sequence) || blocks.Shows(ElementBlocks::kFrameEditor, sequence))
            return sequence;
    return nullptr;
}

}  // namespace pirn
