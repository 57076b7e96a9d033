#pragma once
// The rules of the hue-change editor apart from its window: hue and
// saturation units, what its controls store, the colour bar's marks and
// their drag rules, and duplicating a hue change.
//
// A hue is a 16-bit fraction of a turn: shown as whole degrees
// (value x 360 / 65536, rounded down); a degree dragged to becomes
// degree x 65536 / 360 (rounded toward zero). Saturation is a fraction of
// 65535 shown as a whole percent (value x 100 / 65535, rounded down).

#include <string>

#include "collections/collection.h"
#include "platform/types.h"

namespace pirn {

constexpr u32 kColorBarWidth = 360;
constexpr u32 kColorBarHeight = 20;
// A mark is picked within this many pixels of its position.
constexpr u32 kHueMarkReach = 3;

u32 HueDegrees(u16 hue);
// Degrees 0-360 as a hue; 360 stays just short of the full turn (65535)
// instead of wrapping to 0.
u16 HueFromDegrees(u32 degrees);
u32 SaturationPercent(u16 saturation);
// A typed percent as stored: v x 65535 / 100 + 1 below 100, 65535 from
// 100 on; negative values count as 0.
u16 SaturationFromPercent(i32 percent);

// The "Min % Saturation:" box took a typed value: what is stored and shown.
struct SaturationEntry {
    bool changed = false;  // the stored percent differs: store and redraw
    u16 stored = 0;
    bool retype = false;   // the box must show `shown` instead of what was typed
    u32 shown = 0;
};
SaturationEntry EnterSaturation(u16 current, const std::string& typed);

// "Use As:" entries in their order in the box.
enum UseAsChoice : u32 { kUseNone = 0, kUsePrimary = 1, kUseSecondary = 2 };
UseAsChoice UseAsChoiceOf(u16 useAs);
u16 UseAsBitsOf(UseAsChoice choice);

// The replacement-flags byte the two check boxes give: bit 0 with
// "Replacement Color:", bit 1 too with "Replace with Solid Color".
u8 ReplacementFlagsFor(bool replacementColor, bool solidColor);

// Colour-bar marks and what a drag of one does.
enum HueMark : u32 { kNoMark = 0, kStartMark = 1, kMedianMark = 2, kEndMark = 3 };
// The mark within reach of bar position x, in the order start, end, median.
HueMark PickHueMark(const CollectionHueChange& hue, i32 x);
// Moves the mark to bar position x (clamped to 0-360), keeping the median
// inside the range. Whether anything changed.
bool DragHueMark(CollectionHueChange* hue, HueMark mark, i32 x);
// The RGB of bar column x: hue x x 256 / 360 at full saturation and value.
void ColorBarColumnColor(u32 x, u8 rgb[3]);

// The replacement colour as 8-bit RGB (high bytes), and stored from 8-bit
// values (x 256).
void ReplacementColor8(const CollectionHueChange& hue, u8 rgb[3]);
void SetReplacementColor8(CollectionHueChange* hue, const u8 rgb[3]);

// A copy of all 128 bytes named "%s copy", placed right after the hue change
// it copies.
CollectionHueChange* DuplicateHueChange(Collection* collection, const CollectionHueChange* hue);

}  // namespace pirn
