// Mouse tracking and drag and drop.

#include "ui/window_drag.h"

#include "ui/frame_step.h"
#include "ui/window_system_internal.h"

namespace pirn {

namespace {

void InvalidateImageAt(Point at) {
    WindowSystemState& ws = GetWindowSystem();
    if (!ws.drag.painter || !ws.layer1) return;
    ws.layer1->InvalidateRect(OffsetRect(ws.drag.imageRect, at.x, at.y), true);
}

// A window that may still receive a drop: not queued for deletion.
bool IsLiveTarget(const Window* w) { return w && !w->IsDestroyed() && !WindowInternals::IsDetached(w); }

void MoveDrag(Point to) {
    WindowSystemState& ws = GetWindowSystem();
    DragState& d = ws.drag;
    Window* window = d.captured;
    // The handlers below may close windows and run frames (a message box):
    // neither the dragging window nor the one asked is deleted under them.
    DispatchGuard keepSource(window);
    d.previous = d.current;
    d.current = to;
    if (d.callback) d.callback(window, d.start, d.current, 1);
    if (d.captured != window || d.mode != 1) return;  // cancelled meanwhile
    InvalidateImageAt(d.previous);
    InvalidateImageAt(d.current);
    int answer = 0;
    if (Window* target = ws.hoverWindow; IsLiveTarget(target)) {
        DispatchGuard keepTarget(target);
        answer = target->OnDragDrop(d.current, 1, d.payload);
    }
    if (d.captured != window) return;
    d.accepted = answer > 0 ? 1 : 0;
    ws.cursorShape = d.accepted ? 7 : 8;
    WsSetCursor(ws.cursorShape);
}

void EndDrag(Point at) {
    WindowSystemState& ws = GetWindowSystem();
    DragState& d = ws.drag;
    Window* window = d.captured;
    DispatchGuard keepSource(window);
    if (Window* target = ws.hoverWindow; d.mode == 1 && d.accepted && IsLiveTarget(target)) {
        DispatchGuard keepTarget(target);
        target->OnDragDrop(at, 0, d.payload);
        if (d.captured != window) return;  // the drag was cancelled meanwhile
    }
    const DragCallback callback = d.callback;
    Window::DragDropData* payload = d.payload;
    const Point start = d.start;
    const Point imageAt = d.current;
    RemoveEventFilter(DragEventFilter, nullptr);
    d.captured = nullptr;
    UpdateHover();
    if (callback) callback(window, start, at, 2);
    InvalidateImageAt(imageAt);
    d.payload = nullptr;
    delete payload;
    d.callback = nullptr;
    d.painter = nullptr;
    d.mode = 0;
    d.accepted = 0;
}

int Start(Window* window, Window::DragDropData* payload, DragCallback callback) {
    WindowSystemState& ws = GetWindowSystem();
    if (ws.drag.captured || !window) return 0;
    DragState& d = ws.drag;
    d.captured = window;
    d.mode = payload ? 1 : 0;
    d.payload = payload;
    d.painter = nullptr;
    d.accepted = 0;
    d.callback = callback;
    d.start = d.previous = d.current = ws.mouse;
    d.imageRect = Rect{};
    if (payload) {
        auto it = ws.dragPainters.find(payload->typeId);
        if (it != ws.dragPainters.end() && it->second) {
            d.painter = it->second;
            d.painter(payload, d.current, &d.imageRect);
            InvalidateImageAt(d.current);
        }
    }
    PushEventFilter(DragEventFilter, window);
    if (callback) {
        DispatchGuard keepSource(window);
        callback(window, d.start, d.start, 0);
    }
    return 1;
}

}  // namespace

int StartDrag(Window* window, DragCallback callback) { return Start(window, nullptr, callback); }

int StartDragDrop(Window* window, Window::DragDropData* payload, DragCallback callback) {
    return Start(window, payload, callback);
}

void RegisterDragPainter(u32 typeId, DragPainter painter) { GetWindowSystem().dragPainters[typeId] = painter; }

void ForwardMouseDrag(Window* window, Point start, Point current, int phase) {
    if (window) window->OnMouseDrag(start, current, phase);
}

int DragEventFilter(u32 type, InputEvent& e) {
    WindowSystemState& ws = GetWindowSystem();
    if (!ws.drag.captured) return 1;
    const Point at{e.X(), e.Y()};
    if (type == kEventButton && !e.ButtonAction()) EndDrag(at);
    else if (type == kEventMotion) MoveDrag(at);
    return 1;
}

bool IsDragRunning() { return GetWindowSystem().drag.captured != nullptr; }

void CancelDrag() {
    WindowSystemState& ws = GetWindowSystem();
    DragState& d = ws.drag;
    if (!d.captured) return;
    RemoveEventFilter(DragEventFilter, nullptr);
    InvalidateImageAt(d.current);
    Window::DragDropData* payload = d.payload;
    d = DragState{};
    ws.tracking.part = 0;
    delete payload;
    ws.cursorShape = 0;
    WsSetCursor(0);
}

Rect DragImageScreenRect() {
    const DragState& d = GetWindowSystem().drag;
    if (!d.painter) return Rect{};
    return OffsetRect(d.imageRect, d.current.x, d.current.y);
}

}  // namespace pirn
