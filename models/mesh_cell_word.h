#pragma once
// Cell words: what one terrain triangle shows, up to three texture layers
// over the block's colour texture.
//
//   bits 3k .. 3k + 2    layer k's opacity at the triangle's corners 1-3
//   bits 9 + 7k .. 15 + 7k  layer k's texture index (0..127)
//   bit 30               draw the colour texture alone first
// A layer exists when any of its corner bits is set; the first absent
// layer ends the list.

#include "platform/types.h"

namespace pirn {

constexpr u32 kCellWordBase = 0x40000000;
constexpr u32 kCellWordLayers = 3;

// With a non-zero triangle value (triangle mode) one opaque layer of it;
// otherwise the distinct corner values in ascending order, each a layer
// opaque where its corners carry it. Three equal corners give one opaque
// layer without the base (index 0: the base alone). Values past 127 count
// as 127.
u32 EncodeCellWord(u8 triangle, u8 corner1, u8 corner2, u8 corner3);

struct CellWordLayer {
    u32 index;    // texture index
    u32 corners;  // bit i: opaque at corner i + 1
};

// The layers of a word in order; returns their count (0..3).
u32 DecodeCellWord(u32 word, CellWordLayer layers[kCellWordLayers]);

}  // namespace pirn
