#pragma once
// Where each frame and view of a sequence comes from in a folder of
// rendered files: the dimensions a folder name carries, the re-ordering of
// a renderer's file order into the builders' own, reversed views, and the
// checks of a frame list against the files that are there.

#include <string>
#include <vector>

#include "platform/types.h"

namespace pirn {

// Largest views x frames a sequence holds: its instances are numbered in
// 16 bits with 0xFFFF meaning none.
constexpr u32 kMaxSequenceInstances = 0xFFFE;

struct SequenceFolderName {
    std::string name;          // the sequence name
    bool has_dimensions = false;
    i32 views = 0;
    i32 frames = 0;
};

// "walk(8,12)" is the sequence "walk" with 8 views and 12 frames; a name
// without "(" or whose "(" is not followed by two numbers is the sequence
// name as it stands.
SequenceFolderName ParseSequenceFolderName(const std::string& folder_name);

// Whether views and frames describe a sequence we can hold: each at least
// 1, and views x frames at most kMaxSequenceInstances.
bool SequenceDimensionsFit(i64 views, i64 frames);

// Puts a list written frames-then-views (file view x frames + frame) into
// views-then-frames order (file frame x views + view), over the source
// frames that are there: files / views of them. Trailing files that make up
// no whole frame keep their places.
template <typename T>
void ReorderFramesThenViews(std::vector<T>& files, u32 views) {
    if (views == 0) return;
    const size_t frames = files.size() / views;
    std::vector<T> reordered(files);
    for (size_t view = 0; view < views; ++view)
        for (size_t frame = 0; frame < frames; ++frame) reordered[frame * views + view] = files[view * frames + frame];
    files.swap(reordered);
}

// Reverses each frame's run of views in place (the trailing part run of a
// list that is not a whole number of frames is left alone).
template <typename T>
void ReverseFrameViews(std::vector<T>& files, u32 views) {
    if (views == 0) return;
    for (size_t start = 0; start + views <= files.size(); start += views) {
        for (size_t a = start, b = start + views - 1; a < b; ++a, --b) std::swap(files[a], files[b]);
    }
}

// The number of distinct entries of a frame list that are not empty.
u32 CountDistinctFrames(const std::vector<i32>& frame_list);
// The first entry e of the list whose views (e x views .. e x views +
// views - 1) pass the end of `files` files, or -1 when every one fits.
i32 FirstFrameBeyondFiles(const std::vector<i32>& frame_list, u32 views, u64 files);

// A name from tag data (a sequence or collection name, in the program's
// 8-bit text) as one folder name in UTF-8, as the builders' folders are
// named, by the rule of every name that becomes a path (safe_file_name.h).
// False when nothing is left.
bool MakeSafeFolderName(const std::string& name, std::string* out);

}  // namespace pirn
