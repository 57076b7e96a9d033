#pragma once
// X256FlagsEdit: the "Flags" page of the collection editor: what the
// collection can be used for, bits 0-5 of its flags, as six check boxes.
// The other bits (a colour map's bit 8 among them) are kept.

#include "collections/collection.h"
#include "ui/signal.h"
#include "ui/window.h"

namespace pirn {

class CheckBox;
class X256Edit;

class X256FlagsEdit : public Window {
public:
    static constexpr int kFlagCount = 6;
    static constexpr i32 kLabelX = 8;
    static constexpr i32 kLabelY = 4;
    static constexpr i32 kBoxX = 20;
    static constexpr i32 kFirstBoxY = 28;
    static constexpr i32 kBoxStep = 22;

    X256FlagsEdit(X256Edit* editor, Window* parent);

    const char* GetClassName() const override { return "X256FlagsEdit"; }

    // The boxes from the flags / the flags from the boxes.
    void RefreshCollectionFlags();
    void StoreCollectionFlags();
    CheckBox* GetBox(int bit) const { return boxes_[bit]; }

    SignalNone changed;

private:
    Collection* collection_;
    CheckBox* boxes_[kFlagCount] = {};
};

// The flags with bits 0-5 taken from `usage`, the others kept.
u32 WithUsageFlags(u32 flags, u32 usage);

}  // namespace pirn
