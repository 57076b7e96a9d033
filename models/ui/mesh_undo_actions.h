#pragma once
// The terrain editor's undo actions: one per brush stroke and one per
// flood fill, each holding the change it made (models/mesh_plane_change.h).
// They are pushed already done; Apply runs only for redo.

#include <memory>

#include "models/mesh_edit_data.h"
#include "models/mesh_plane_change.h"
#include "ui/undo_history.h"

namespace pirn {

class BrushStrokeAction : public UndoableAction {
public:
    BrushStrokeAction(MeshEditData* data, std::unique_ptr<MeshStrokeChange> change)
        : data_(data), change_(std::move(change)) {}
    bool Apply() override;
    void Undo() override;
    const MeshStrokeChange& Change() const { return *change_; }

private:
    MeshEditData* data_;
    std::unique_ptr<MeshStrokeChange> change_;
};

class FloodFillAction : public UndoableAction {
public:
    FloodFillAction(MeshEditData* data, std::unique_ptr<MeshFillChange> change)
        : data_(data), change_(std::move(change)) {}
    bool Apply() override;
    void Undo() override;
    const MeshFillChange& Change() const { return *change_; }

private:
    MeshEditData* data_;
    std::unique_ptr<MeshFillChange> change_;
};

// Ends the data's stroke and records it in the history; whether an action
// was recorded.
bool RecordBrushStroke(MeshEditData* data, UndoHistory* history);
// Fills from the point (triangle mode: its triangle; vertex mode: the
// nearest vertex) and records it; whether anything changed.
bool RecordFloodFill(MeshEditData* data, UndoHistory* history, float x, float y);

}  // namespace pirn
