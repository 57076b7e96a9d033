#pragma once
// One record of the grammar fixture's "wind" struct (112 bytes), written
// field by field from the member list of a_every_member.xml, with the values
// the suites expect to read back.

#include <cstring>
#include <vector>

#include "tests/editors/editors_test_support.h"

namespace editors_test {

inline u32 FloatBits(float f) {
    u32 bits;
    std::memcpy(&bits, &f, 4);
    return bits;
}

inline std::vector<u8> GrammarWindRecord() {
    Bytes b;
    b.U32(FloatBits(2.5f))            // strength 0
        .Code("f001")                 // collection 4
        .U32(0xFFFFFFFE)              // seed 8: -2
        .U32(0xFFFFFFFF)              // mask 12: 4294967295
        .U32(45)                      // period 16: 1.5 s
        .U32(0xFFFFFE00)              // reach 20: -512 = -1 world unit
        .U32(0x00018000)              // drag 24: 1.5
        .U16(0x8000)                  // turns 28: -32768
        .U16(0x8001)                  // flags 30: bits 0 and 15
        .U16(30)                      // gust 32: 1 s
        .U16(0xFC00)                  // height_min 34: -1024 = -2 world units
        .U16(3)                       // height_max 36: bound + 2
        .U16(2)                       // mode 38
        .U16(0xFFFF)                  // sequence 40: -1
        .U16(0xFFFF)                  // calm 42: 65535 (unsigned)
        .U16(0x0180)                  // scale 44: 1.5
        .U16(0x4000)                  // spin 46
        .U16(0x4000)                  // heading 48: a quarter turn
        .U8(0x80)                     // bias 50: -128
        .U8(3)                        // effect_count 51
        .U8(3)                        // season 52
        .U8(0x80)                     // opacity 53: 0.5
        .U16(1).U16(2).U16(3).U16(0xFFFF)  // tint 54
        .U8(0xAA).U8(0xBB)            // padding 62
        .I16(-5).I16(7);              // origin 64
    for (int i = 0; i < 4; ++i)       // effects 68, 8 bytes each
        b.Code(i == 3 ? "none" : "f001").U16(u16(10 * (i + 1))).U8(u8(i - 1)).U8(0xCC);
    b.I16(10).I16(-20).I16(30)        // levels 100
        .U16(0).U16(1).U16(5);        // level_caps 106: 10, -20, 34
    return b.data;
}

}  // namespace editors_test
