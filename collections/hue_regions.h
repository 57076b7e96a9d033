#pragma once
// Which hue change each pixel of a high-resolution picture belongs to, so
// that the game can recolour it (team colours) the way it recolours the
// standard bitmap's palette entries. Specks of a hue change smaller than a
// few pixels are dropped: they come from anti-aliasing, not from the
// picture's coloured areas.

#include <vector>

#include "collections/collection.h"
#include "platform/pixel_image.h"
#include "platform/types.h"

namespace pirn {

constexpr u8 kLabelTransparent = 254;  // alpha below 8
constexpr u8 kLabelNoHue = 255;        // opaque, in no hue change
// High-resolution pixels name a hue change in three bits (0 for none).
constexpr u32 kMaxPixelHueChanges = 7;
// Pixels a region of one label must reach for the label to stay.
constexpr int kRegionReach = 6;

// Index (from 0) of the first hue change whose saturation floor lies below
// the colour's saturation and whose hue range holds its hue, or
// kLabelNoHue.
u8 HueChangeIndex(const std::vector<CollectionHueChange>& hues, u8 r, u8 g, u8 b);

// One label a pixel of an RGBA picture, then the clean-up. `hues` holds at
// most kMaxPixelHueChanges entries.
void LabelHueRegions(const PixelImage& rgba, const std::vector<CollectionHueChange>& hues, std::vector<u8>* labels);

// The clean-up alone, rows top to bottom, pixels left to right: a pixel of
// a hue label keeps it only when a walk from it enters kRegionReach pixels
// of that label (each neighbour tried in a fixed order, no pixel twice on
// one path, the count never going down); otherwise it becomes kLabelNoHue
// at once, which later walks see.
void CleanUpHueRegions(std::vector<u8>* labels, u32 width, u32 height);

}  // namespace pirn
