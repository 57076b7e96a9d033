#pragma once
// Slot numbers of the skin: slot i holds the texture-pack image whose index is
// i. Shared by the skin and the texture-pack generator, so both agree on what
// each image is (tools/texturepack/SLOTS.md shows them).

namespace pirn {

enum SkinSlot : int {
    kSlotWindowBackground = 0,   // tiled pattern
    kSlotThickBorder = 1,        // top edge, outer row first; its height is the border size
    kSlotThinBorder = 2,         // top edge; its height is the thin border size
    kSlotButtonMiddle = 4,       // button face, stretched
    kSlotButtonMiddlePressed = 5,
    kSlotButtonLeft = 6,         // left cap
    kSlotButtonLeftPressed = 7,
    kSlotButtonRight = 8,        // right cap
    kSlotButtonRightPressed = 9,
    kSlotTitleBarActive = 10,    // stretched over the title strip
    kSlotTitleBarInactive = 11,
    kSlotCheckBox = 12,          // state 0, unchecked; its size is the check-box size
    kSlotCheckBoxChecked = 13,   // state 1
    kSlotCheckBoxPressedChecked = 14,    // state 2
    kSlotCheckBoxPressedUnchecked = 15,  // state 3
    kSlotFrameCornerAlt = 16,    // top-left frame corner, second set (square)
    kSlotFrameCorner = 17,       // top-left frame corner (rounded)
    kSlotGroupTopLeft = 18,
    kSlotGroupTopRight = 19,
    kSlotGroupBottomLeft = 20,
    kSlotGroupBottomRight = 21,
    kSlotGroupHorizontal = 22,   // top edge; the bottom one is mirrored
    kSlotGroupVertical = 23,     // left edge; the right one is mirrored
    kSlotDisclosure = 25,        // open (pointing down); turned when closed
    kSlotMenuBackground = 26,    // tiled pattern
    kSlotSubmenuArrow = 27,      // pointing right
    kSlotPanButton = 28,         // the 3D view's drag buttons: normal, disabled, pressed
    kSlotPanButtonDisabled = 29,
    kSlotPanButtonPressed = 30,
    kSlotRotateButton = 35,
    kSlotRotateButtonDisabled = 36,
    kSlotRotateButtonPressed = 37,
    kSlotScrollTrack = 38,       // vertical track, stretched; its width is the scrollbar width
    kSlotScrollThumb = 39,       // vertical thumb body, stretched
    kSlotComboField = 40,        // field background, tiled inside the thin frame
    kSlotComboArrowDisabled = 43,
    kSlotComboArrow = 44,
    kSlotComboArrowPressed = 45,
    kSlotShadowEdge = 46,        // bottom shadow strip, active; turned for the right edge
    kSlotShadowCorner = 47,      // bottom-right shadow corner, active
    kSlotShadowEdgeInactive = 48,
    kSlotShadowCornerInactive = 49,
    kSlotCloseButton = 52,       // also gives the title-bar button size
    kSlotCloseButtonPressed = 54,
    kSlotCollapseButton = 58,
    kSlotCollapseButtonPressed = 60,
    kSlotMaximizeButton = 61,
    kSlotMaximizeButtonPressed = 63,
    kSlotTabSelected = 64,       // tab face, stretched between the side pieces
    kSlotTabUnselected = 65,
    kSlotTabLeft = 66,           // left side piece
    kSlotTabRight = 68,          // right side piece
    kSlotScrollArrow = 71,       // up arrow; the others are turned or mirrored
    kSlotScrollArrowPressed = 74,
    kSlotScrollThumbEnd = 76,    // top end of the vertical thumb; mirrored for the bottom
    kSlotZoomButton = 78,
    kSlotZoomButtonDisabled = 79,
    kSlotZoomButtonPressed = 80,
};

constexpr int kSkinSlotCount = 81;

}  // namespace pirn
