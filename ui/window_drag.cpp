// Mouse tracking and drag and drop.

#include "ui/window_drag.h"

#include <map>

#include "ui/frame_step.h"
#include "ui/window_system_internal.h"

namespace pirn {

namespace {

DragState g_drag;
std::map<u32, DragPainter> g_dragPainters;

void InvalidateImageAt(Point at) {
    Window* layer1 = GetLayerWindow(1);
    if (!g_drag.painter || !layer1) return;
    layer1->InvalidateRect(OffsetRect(g_drag.imageRect, at.x, at.y), true);
}

// A window that may still receive a drop: not queued for deletion.
bool IsLiveTarget(const Window* w) { return w && !w->IsDestroyed() && !WindowInternals::IsDetached(w); }

void MoveDrag(Point to) {
    DragState& d = g_drag;
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
    if (Window* target = GetHoverWindow(); IsLiveTarget(target)) {
        DispatchGuard keepTarget(target);
        answer = target->OnDragDrop(d.current, 1, d.payload);
    }
    if (d.captured != window) return;
    d.accepted = answer > 0 ? 1 : 0;
    ShowPointerShape(d.accepted ? 7 : 8);
}

void EndDrag(Point at) {
    DragState& d = g_drag;
    Window* window = d.captured;
    DispatchGuard keepSource(window);
    if (Window* target = GetHoverWindow(); d.mode == 1 && d.accepted && IsLiveTarget(target)) {
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
    if (g_drag.captured || !window) return 0;
    DragState& d = g_drag;
    d.captured = window;
    d.mode = payload ? 1 : 0;
    d.payload = payload;
    d.painter = nullptr;
    d.accepted = 0;
    d.callback = callback;
    d.start = d.previous = d.current = GetMousePosition();
    d.imageRect = Rect{};
    if (payload) {
        auto it = g_dragPainters.find(payload->typeId);
        if (it != g_dragPainters.end() && it->second) {
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

void RegisterDragPainter(u32 typeId, DragPainter painter) { g_dragPainters[typeId] = painter; }

void ForwardMouseDrag(Window* window, Point start, Point current, int phase) {
    if (window) window->OnMouseDrag(start, current, phase);
}

int DragEventFilter(u32 type, InputEvent& e) {
    if (!g_drag.captured) return 1;
    const Point at{e.X(), e.Y()};
    if (type == kEventButton && !e.ButtonAction()) EndDrag(at);
    else if (type == kEventMotion) MoveDrag(at);
    return 1;
}

bool IsDragRunning() { return g_drag.captured != nullptr; }

void CancelDrag() {
    DragState& d = g_drag;
    if (!d.captured) return;
    RemoveEventFilter(DragEventFilter, nullptr);
    InvalidateImageAt(d.current);
    Window::DragDropData* payload = d.payload;
    d = DragState{};
    delete payload;
    ShowPointerShape(0);
}

DragState& GetDragState() { return g_drag; }

void ResetDragState() {
    g_drag = DragState{};
    g_dragPainters.clear();
}

Rect DragImageScreenRect() {
    const DragState& d = g_drag;
    if (!d.painter) return Rect{};
    return OffsetRect(d.imageRect, d.current.x, d.current.y);
}

}  // namespace pirn
