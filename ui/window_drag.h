#pragma once
// Mouse tracking and drag and drop: after a press, every move until the
// release goes to one window; a drag may carry a payload that windows under
// the pointer accept or refuse. Only one drag runs at a time; while it runs
// the drag filter sits on the event-filter stack and takes every event.

#include "platform/types.h"
#include "ui/window.h"
#include "ui/window_system.h"

namespace pirn {

// 1, or 0 when a drag already runs.
int StartDrag(Window* window, DragCallback callback);
// 1, or 0 when a drag already runs (the caller keeps the payload then).
int StartDragDrop(Window* window, Window::DragDropData* payload, DragCallback callback);
void RegisterDragPainter(u32 typeId, DragPainter painter);
// The usual callback: the captured window's OnMouseDrag.
void ForwardMouseDrag(Window* window, Point start, Point current, int phase);
int DragEventFilter(u32 type, InputEvent& event);
bool IsDragRunning();
// Ends a running drag without a drop (its window goes away): the filter is
// popped, the payload deleted, the callback not called.
void CancelDrag();
// Screen rectangle of the drag image at the current point (empty without a
// painter).
Rect DragImageScreenRect();

}  // namespace pirn
