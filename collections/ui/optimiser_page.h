#pragma once
// X256OptimizeEdit: the "Optimize" page of the collection editor. Five
// buttons, one per whole-collection operation (collections/optimiser.h);
// each shows its report, and one that changed the collection fires
// `changed`. While a bitmap window or a sequence or frame editor of the
// collection is open the gate is shut and the operations are refused (the
// editor keeps the gate, X256Edit::Blocks).

#include "collections/collection.h"
#include "collections/optimiser.h"
#include "ui/signal.h"
#include "ui/window.h"

namespace pirn {

class Button;
class X256Edit;

class X256OptimizeEdit : public Window {
public:
    static constexpr i32 kButtonX = 12;
    static constexpr i32 kButtonY = 12;
    static constexpr i32 kButtonWidth = 200;
    static constexpr i32 kButtonGap = 6;

    X256OptimizeEdit(X256Edit* editor, Window* parent);

    const char* GetClassName() const override { return "X256OptimizeEdit"; }

    // Operation id (0-4) on the collection, or the refusal while gated.
    void RunCollectionOptimization(i32 id);
    void SetOptimizeGate(bool open) { gate_ = open ? 1 : 0; }
    u32 GetOptimizeGate() const { return gate_; }
    Button* GetButton(u32 id) const { return id < kOptimizationCount ? buttons_[id] : nullptr; }

    SignalNone changed;

private:
    Collection* collection_;
    Button* buttons_[kOptimizationCount] = {};
    u32 gate_ = 1;
};

}  // namespace pirn
