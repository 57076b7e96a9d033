#pragma once
// The input record that the platform callbacks post and the event filters
// route: six 32-bit words and the type last.

#include "platform/types.h"

namespace pirn {

enum EventType : u32 {
    kEventKey = 0,
    kEventChar = 1,
    kEventButton = 2,
    kEventDoubleClick = 3,
    kEventMotion = 4,
    kEventWheel = 5,
    kEventClose = 6,
    kEventScreenResized = 7,  // broadcast directly, never queued
};

// Bits of word 2 of key events beside the modifier mask.
constexpr u32 kKeyRepeatBit = 16;
// Word 3 bit of wheel events from the horizontal wheel.
constexpr u32 kWheelHorizontalBit = 32;

struct InputEvent {
    u32 word[6] = {0, 0, 0, 0, 0, 0};
    u32 type = 0;

    // Key (type 0) and character (type 1) records.
    i32 Code() const { return static_cast<i32>(word[0]); }
    u32 Action() const { return word[1]; }
    u32 KeyModifiers() const { return word[2]; }
    bool IsPress() const { return word[1] != 0; }

    // Mouse records (types 2-5).
    i32 X() const { return static_cast<i32>(word[0]); }
    i32 Y() const { return static_cast<i32>(word[1]); }
    u32 Part() const { return word[2]; }
    u32 MouseModifiers() const { return word[3]; }
    u32 Button() const { return word[4]; }
    u32 ButtonAction() const { return word[5]; }
    i32 OldWheel() const { return static_cast<i32>(word[4]); }
    i32 NewWheel() const { return static_cast<i32>(word[5]); }

    static InputEvent Key(i32 code, u32 action, u32 modifiers = 0) {
        InputEvent e;
        e.type = kEventKey;
        e.word[0] = static_cast<u32>(code);
        e.word[1] = action;
        e.word[2] = modifiers;
        return e;
    }
};

static_assert(sizeof(InputEvent) == 28, "input records are seven 32-bit words");

}  // namespace pirn
