#pragma once
// "script.txt": the few settings an artist leaves beside a folder of frames
// for the collection builders. 8-bit text; a line ends at CR or LF and its
// leading blanks are skipped; a key is the line's first word, compared
// without regard to case, and its value the rest of that line. A line that
// starts with "(" is a frame list. Lines the builders do not know are
// ignored, so one script serves both builders.

#include <string>
#include <vector>

#include "collections/collection.h"
#include "platform/types.h"

namespace pirn {

// File k of a sequence folder in the two orders a renderer may write.
enum BitmapOrder : i32 {
    kOrderUnset = 0,
    kFramesThenViews = 1,  // file k is view k / frames, frame k % frames
    kViewsThenFrames = 2,  // file k is frame k / views, view k % views
};

// How the high-resolution builder lines up the alternate origins of a
// sequence: one mean over the group it names.
enum AlignType : i32 {
    kAlignUnset = -1,
    kAlignWholeSequence = 0,
    kAlignBitmapsIndividually = 1,
    kAlignViewsIndividually = 2,
    kAlignFramesIndividually = 3,
};

// Marks an empty frame ("~", or a number below 1) in a frame list.
constexpr i32 kEmptyFrame = -1;

struct BuildScript {
    i32 order = kOrderUnset;
    i32 align = kAlignUnset;
    bool reverse_views = false;
    bool has_reverse_views = false;
    bool has_frame_list = false;
    // 0-based source frames, kEmptyFrame for an empty one.
    std::vector<i32> frame_list;
    std::vector<CollectionHueChange> hue_changes;
};

// "1", "T", "True", "Y" and "Yes", in any case.
bool ParseTruthValue(const std::string& value);

// The numbers of a frame list line from just after its "(" up to ")" or
// the line's end: each number n becomes n - 1 (below 0: kEmptyFrame), each
// "~" kEmptyFrame; every other character is skipped. A '-' right before
// digits makes the number negative; numbers too long for 32 bits saturate.
std::vector<i32> ParseFrameList(const std::string& text);

// One zero-filled hue change from the value of a HueChange line: an
// optional name in double quotes (at most 63 characters kept), then four
// integers: start, median and end hue in degrees, minimum saturation in
// percent. False when the four numbers are not there.
bool ParseHueChangeLine(const std::string& value, CollectionHueChange* hue);

// Applies every line of the text; later lines win.
void ParseBuildScript(const std::string& text, BuildScript* script);
// Reads folder + "script.txt" when it exists. False when there is none
// (the script stays as it was).
bool ReadBuildScript(const std::string& folder, BuildScript* script);

}  // namespace pirn
