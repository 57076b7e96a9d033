#pragma once
// Undo history: a list of actions with a current position. New actions are
// applied and appended, undo steps back, redo steps forward, and a new action
// cuts off whatever could still be redone.

#include "platform/types.h"

namespace pirn {

class UndoableAction {
public:
    UndoableAction() = default;
    virtual ~UndoableAction() = default;
    UndoableAction(const UndoableAction&) = delete;
    UndoableAction& operator=(const UndoableAction&) = delete;

    // Also used for redo. Returns false when the action could not be done.
    virtual bool Apply() = 0;
    virtual void Undo() = 0;

    UndoableAction* previous = nullptr;
    UndoableAction* next = nullptr;
};

// The sentinel at the start of every history: nothing before it to undo.
class NullAction : public UndoableAction {
public:
    bool Apply() override { return true; }
    void Undo() override {}
};

struct UndoHistory {
    UndoHistory();  // InitUndoHistory
    ~UndoHistory();  // FreeUndoHistory
    UndoHistory(const UndoHistory&) = delete;
    UndoHistory& operator=(const UndoHistory&) = delete;

    UndoableAction* first = nullptr;
    UndoableAction* last = nullptr;
    u32 count = 0;
    UndoableAction* current = nullptr;  // last applied action, the sentinel when none
    i32 limit = -1;                     // -1: unbounded
};

// A fresh sentinel as the only entry (frees whatever was there).
void InitUndoHistory(UndoHistory& history);
// Takes ownership of the action. Unless already applied, applies it first; a
// failed apply deletes it and leaves the history as it was (returns false).
// Otherwise the redo tail is deleted and the action becomes current.
bool PushUndoAction(UndoHistory& history, UndoableAction* action, bool already_applied);
// True when something was undone (the sentinel never is).
bool UndoStep(UndoHistory& history);
// True when something was redone. An action whose apply fails stays ahead of
// the current position, so the next undo does not undo what never happened.
bool RedoStep(UndoHistory& history);
bool CanUndo(const UndoHistory& history);
bool CanRedo(const UndoHistory& history);
// Deletes everything after the sentinel.
void ClearUndoHistory(UndoHistory& history);
// Deletes every entry, the sentinel included; the history is empty after it.
void FreeUndoHistory(UndoHistory& history);

}  // namespace pirn
