#include "ui/undo_history.h"

namespace pirn {

namespace {

// Deletes every entry after `keep`, which becomes the last one.
void DeleteAfter(UndoHistory& history, UndoableAction* keep) {
    UndoableAction* a = keep->next;
    while (a) {
        UndoableAction* next = a->next;
        delete a;
        --history.count;
        a = next;
    }
    keep->next = nullptr;
    history.last = keep;
}

}  // namespace

UndoHistory::UndoHistory() { InitUndoHistory(*this); }

UndoHistory::~UndoHistory() { FreeUndoHistory(*this); }

void InitUndoHistory(UndoHistory& history) {
    FreeUndoHistory(history);
    UndoableAction* sentinel = new NullAction;
    history.first = history.last = history.current = sentinel;
    history.count = 1;
    history.limit = -1;
}

bool PushUndoAction(UndoHistory& history, UndoableAction* action, bool already_applied) {
    if (!action) return false;
    if (!already_applied && !action->Apply()) {
        delete action;
        return false;
    }
    if (!history.current) InitUndoHistory(history);  // pushed onto a freed history
    DeleteAfter(history, history.current);
    action->previous = history.current;
    action->next = nullptr;
    history.current->next = action;
    history.last = history.current = action;
    ++history.count;
    return true;
}

bool UndoStep(UndoHistory& history) {
    UndoableAction* a = history.current;
    if (!a || a == history.first) return false;
    a->Undo();
    history.current = a->previous;
    return true;
}

bool RedoStep(UndoHistory& history) {
    if (!history.current || !history.current->next) return false;
    UndoableAction* a = history.current->next;
    if (!a->Apply()) return false;
    history.current = a;
    return true;
}

bool CanUndo(const UndoHistory& history) {
    return history.current && history.current != history.first;
}

bool CanRedo(const UndoHistory& history) { return history.current && history.current->next; }

void ClearUndoHistory(UndoHistory& history) {
    if (!history.first) return;
    DeleteAfter(history, history.first);
    history.current = history.first;
}

void FreeUndoHistory(UndoHistory& history) {
    UndoableAction* a = history.first;
    while (a) {
        UndoableAction* next = a->next;
        delete a;
        a = next;
    }
    history.first = history.last = history.current = nullptr;
    history.count = 0;
}

}  // namespace pirn
