// Main loop, frame step, dirty rectangles, visibility and render order.

#include "ui/frame_step.h"

#include <cstdio>

#include "ui/skin.h"
#include "ui/window.h"
#include "ui/window_drag.h"
#include "ui/window_overview.h"
#include "ui/window_renderer.h"
#include "ui/window_system.h"
#include "ui/window_system_internal.h"

namespace pirn {

namespace {

std::vector<Rect> g_region;
std::vector<Rect> g_regionScratch;  // reused: the pass runs for every window of every clip
bool g_regionStarted = false;

bool OverviewActive() { return (GetWindowSystem().redrawFlags & kRedrawOverview) != 0; }

// A scope over the whole screen, clipped to the rectangle being redrawn:
// used for dimming, shadows and the drag image (drawn "in layer1").
bool BeginClipDraw() {
    WindowSystemState& ws = GetWindowSystem();
    if (ws.currentClip.IsEmpty()) return false;
    ws.currentScissor = ws.currentClip;
    if (WindowRenderer* r = GetWindowRenderer())
        r->BeginScope(GetScreenRect(), GetScreenSize(), ws.currentClip, false, ws.fieldOfView, ws.nearPlane, ws.farPlane);
    return true;
}

void EndClipDraw() {
    if (WindowRenderer* r = GetWindowRenderer()) r->EndScope();
}

void DimClip() {
    if (!BeginClipDraw()) return;
    SetDrawColor(kColorDim);
    FillRectangle(GetWindowSystem().currentClip);
    EndClipDraw();
}

void VisitForVisibility(Window* w) {
    u32& state = WindowInternals::DrawState(w);
    Rect& visible = WindowInternals::VisibleRect(w);
    state &= ~(Window::kDrawClient | Window::kDrawFrame);
    visible = Rect{};
    if (!w->IsVisible()) return;
    if (w->GetWindowState() != Window::kStateCollapsed)
        for (Window* c = w->GetFirstChild(); c; c = c->GetNextSibling()) VisitForVisibility(c);
    const Rect& frame = w->GetFrameScreenRect();
    if (OverviewActive()) {
        state |= Window::kDrawClient;
        visible = frame;
        return;
    }
    const bool opaque = w->TestFlags(Window::kBackground | Window::kDarkBackground);
    if (!w->TestFlags(Window::kShadow)) {
        if (VisibleRegion(frame, &visible, opaque)) state |= Window::kDrawClient;
        return;
    }
    Rect withShadow = w->GetFrameWithShadow();
    Rect ignored;
    if (!VisibleRegion(withShadow, &ignored, false)) return;
    state |= Window::kDrawClient | Window::kDrawFrame;
    VisibleRegion(frame, &visible, opaque);
}

void DrawChildren(Window* parent) {
    WindowSystemState& ws = GetWindowSystem();
    for (Window* w = parent->GetLastChild(); w;) {
        Window* prev = w->GetPrevSibling();
        if (w == ws.dimBelowWindow) DimClip();
        if (w->IsVisible()) {
            DispatchGuard guard(w);
            const bool overview = OverviewActive();
            const bool collapsed = w->GetWindowState() == Window::kStateCollapsed;
            u32& state = WindowInternals::DrawState(w);
            const Rect& visible = WindowInternals::VisibleRect(w);
            if ((state & (Window::kDrawClient | Window::kDrawFrame)) || overview) {
                const bool whole = (state & Window::kDrawFrame) || overview;
                if (!collapsed && (whole || RectsOverlapArea(visible, w->GetClientScreenRect()))) {
                    w->DrawBackground();
                    w->DrawContents();
                    ws.contentsDrawn++;
                }
                if (whole || !RectContains(w->GetClientScreenRect(), visible)) {
                    w->DrawFrame();
                    ws.framesDrawn++;
                }
                state &= ~(Window::kDrawClient | Window::kDrawFrame);
            }
            if (!collapsed) DrawChildren(w);
            if (u32& capture = WindowInternals::CaptureRequest(w)) {
                CopyWindowImageToClipboard(w, capture == 2);
                capture = 0;
            }
        }
        w = prev;
    }
}

void DrawDragImage() {
    WindowSystemState& ws = GetWindowSystem();
    const DragState& d = ws.drag;
    if (!d.captured || d.mode != 1 || !d.painter) return;
    if (!RectsOverlapArea(DragImageScreenRect(), ws.currentClip)) return;
    if (!BeginClipDraw()) return;
    d.painter(d.payload, d.current, nullptr);
    EndClipDraw();
}

// One damaged rectangle: which windows show there, then draw them back to
// front, then what lies on top of everything.
void RedrawClip(const Rect& clip) {
    RunVisibilityPass(clip);
    Window* root = GetWindowSystem().root;
    if (root) DrawChildren(root);
    DrawDragImage();
    // Dim every redrawn rectangle, not just the last, while a native dialog
    // is open.
    if (GetWindowSystem().nativeDialogMode) DimClip();
}

void TickWindows(Window* w) {
    for (Window* c = w->GetFirstChild(); c;) {
        Window* next = c->GetNextSibling();
        {
            // A tick may run a nested frame (a message box) that deletes
            // queued windows: the next one stays until the walk has passed.
            DispatchGuard keepNext(next);
            TickWindows(c);
        }
        c = next;
    }
    DispatchGuard guard(w);
    w->OnIdle();
}

}  // namespace

// ---- visible region ----

void ResetVisibleRegion() {
    g_region.clear();
    g_regionStarted = false;
}

const std::vector<Rect>& GetVisibleRegionRects() { return g_region; }

int VisibleRegion(const Rect& rect, Rect* out, bool subtract) {
    if (!g_regionStarted) {
        g_regionStarted = true;
        g_region.clear();
        if (!rect.IsEmpty()) g_region.push_back(rect);
        if (out) *out = Rect{};
        return 1;
    }
    Rect box{};
    bool any = false;
    std::vector<Rect>& rest = g_regionScratch;
    rest.clear();
    for (const Rect& r : g_region) {
        if (!RectsOverlapArea(r, rect)) {
            if (subtract) rest.push_back(r);
            continue;
        }
        const Rect o{std::max(r.left, rect.left), std::max(r.top, rect.top), std::min(r.right, rect.right),
                     std::min(r.bottom, rect.bottom)};
        if (!any) box = o;
        else box = Rect{std::min(box.left, o.left), std::min(box.top, o.top), std::max(box.right, o.right),
                        std::max(box.bottom, o.bottom)};
        any = true;
        if (subtract) {
            if (o.top > r.top) rest.push_back(Rect{r.left, r.top, r.right, o.top});
            if (o.left > r.left) rest.push_back(Rect{r.left, o.top, o.left, o.bottom});
            if (o.right < r.right) rest.push_back(Rect{o.right, o.top, r.right, o.bottom});
            if (o.bottom < r.bottom) rest.push_back(Rect{r.left, o.bottom, r.right, r.bottom});
        }
    }
    if (subtract) g_region.swap(rest);
    if (out) *out = any ? box : Rect{};
    return any ? 1 : 0;
}

void RunVisibilityPass(const Rect& clip) {
    WindowSystemState& ws = GetWindowSystem();
    ws.currentClip = clip;
    ResetVisibleRegion();
    VisibleRegion(clip, nullptr, false);
    if (ws.root) VisitForVisibility(ws.root);
}

bool IsRectVisibleInPass(const Window* window, const Rect& clientRect) {
    const Point origin = window->GetClientOrigin();
    const Rect r = OffsetRect(clientRect, origin.x, origin.y);
    return RectsOverlapArea(WindowInternals::VisibleRect(window), r);
}

// ---- dirty rectangles ----

void Window::InvalidateRect(const Rect& rect, bool force) {
    WindowSystemState& ws = GetWindowSystem();
    if (ws.redrawFlags & kRedrawFull) return;
    if (!force && !IsShownOnScreen()) return;
    Rect r = rect;
    const Rect screen = GetScreenRect();
    if (!RectsOverlapArea(r, screen)) return;
    r = Rect{std::max(r.left, screen.left), std::max(r.top, screen.top), std::min(r.right, screen.right),
             std::min(r.bottom, screen.bottom)};
    if (r.IsEmpty()) return;
    if (!ws.partialRedraw) {
        ws.redrawFlags |= kRedrawFull;
        return;
    }
    for (i32 i = 0; i < ws.dirtyCount; i++)
        if (RectContains(ws.dirtyRects[i], r)) return;
    i32 kept = 0;
    for (i32 i = 0; i < ws.dirtyCount; i++)
        if (!RectContains(r, ws.dirtyRects[i])) ws.dirtyRects[kept++] = ws.dirtyRects[i];
    ws.dirtyCount = kept;
    if (ws.dirtyCount >= WindowSystemState::kMaxDirtyRects) {
        ws.redrawFlags |= kRedrawFull;
        ws.dirtyCount = 0;
        return;
    }
    ws.dirtyRects[ws.dirtyCount++] = r;
}

void InvalidateAll() {
    WindowSystemState& ws = GetWindowSystem();
    ws.redrawFlags |= kRedrawFull;
    ws.dirtyCount = 0;
}

void SetPartialRedraw(bool on) { GetWindowSystem().partialRedraw = on ? 1 : 0; }
bool IsFullRedrawPending() { return (GetWindowSystem().redrawFlags & kRedrawFull) != 0; }

// ---- rendering ----

std::string DebugOverlayText() {
    const WindowSystemState& ws = GetWindowSystem();
    auto name = [](const Window* w) { return std::string(w->GetTitle() ? w->GetTitle() : "?"); };
    char head[64];
    std::snprintf(head, sizeof head, "frames rendered: %d", ws.framesRendered);
    std::string text = head;
    text += "\nfocus: ";
    std::vector<const Window*> path;
    for (const Window* w = ws.focusWindow; w; w = w->GetParent()) path.push_back(w);
    for (size_t i = path.size(); i-- > 0;) {
        text += name(path[i]);
        if (i) text += " -> ";
    }
    text += "\nmodal stack: ";
    for (size_t i = 1; i < ws.modalStack.size(); i++) {
        if (i > 1) text += " -> ";
        text += ws.modalStack[i].window ? name(ws.modalStack[i].window) : std::string("?");
    }
    return text;
}

int RenderFrame() {
    WindowSystemState& ws = GetWindowSystem();
    ws.dimBelowWindow = nullptr;
    for (size_t i = ws.modalStack.size(); i-- > 1;) {
        if (ws.modalStack[i].flags & kModalDimBehind) {
            ws.dimBelowWindow = ws.modalStack[i].window;
            break;
        }
    }
    ws.contentsDrawn = 0;
    ws.framesDrawn = 0;
    // Take the damage list first: whatever drawing invalidates is kept for
    // the next frame instead of being wiped with this one.
    const bool full = (ws.redrawFlags & kRedrawFull) != 0;
    std::vector<Rect> rects(ws.dirtyRects, ws.dirtyRects + ws.dirtyCount);
    ws.redrawFlags &= ~kRedrawFull;
    ws.dirtyCount = 0;
    if (!full && rects.empty()) return 0;

    const Rect overlayStrip{4, ws.screenHeight - 48, ws.screenWidth, ws.screenHeight};
    WindowRenderer* renderer = GetWindowRenderer();
    if (full) {
        RedrawClip(GetScreenRect());
    } else {
        if (ws.debugOverlay) RedrawClip(overlayStrip);
        for (const Rect& r : rects) RedrawClip(r);
        if (ws.debugOutlines) {
            if (renderer) renderer->SetScissorEnabled(false);
            ws.currentClip = GetScreenRect();
            if (BeginClipDraw()) {
                for (const Rect& r : rects) DrawHighlight(r, kHighlightStrong | kHighlightFill);
                EndClipDraw();
            }
            if (renderer) renderer->SetScissorEnabled(true);
        }
    }
    if (ws.debugOverlay) {
        ws.framesRendered++;
        ws.currentClip = full ? GetScreenRect() : overlayStrip;
        if (BeginClipDraw()) {
            SetDrawColor(kColorWhite);
            InterfaceFont* f = ws.layer1 ? WindowInternals::OwnFont(ws.layer1) : nullptr;
            if (!f) f = ws.defaultFont;
            DrawWindowText(f, DebugOverlayText().c_str(), 0, 262, overlayStrip);
            EndClipDraw();
        }
    }
    return 1;
}

void CopyWindowImageToClipboard(Window* window, bool clientOnly) {
    WindowRenderer* r = GetWindowRenderer();
    if (!r || !window) return;
    Rect area = clientOnly ? window->GetClientScreenRect() : window->GetFrameScreenRect();
    if (!RectIntersect(&area, GetScreenRect()) || area.IsEmpty()) return;  // only what is on screen
    r->CopyToClipboard(area);
}

// ---- the frame ----

int StepFrame() {
    WindowSystemState& ws = GetWindowSystem();
    if (ws.frameAlreadyDrawn) {
        ws.frameAlreadyDrawn = 0;
        return 1;
    }
    if (!ws.running) return 0;
    ProcessDeferredDeletes();
    if (ws.closeEnding) {
        const ModalEntry top = TopModalEntry();
        if ((top.flags & kModalEndOnClose) && ws.closeEndingBudget > 0) {
            ws.closeEndingBudget--;
            EndModalEntryOf(top.window, 0, true);
        } else {
            ws.closeEnding = 0;
        }
        return 0;
    }
    DrainEventQueue();
    if (!ws.running || ws.closeEnding) return 0;
    if (ws.root) TickWindows(ws.root);
    UpdateOverviewAnimation();
    return RenderFrame();
}

void RunMainLoop() {
    WindowSystemState& ws = GetWindowSystem();
    RunIdleHook();
    InvalidateAll();
    ws.running = 1;
    ws.nativeDialogMode = 0;
    ws.frameAlreadyDrawn = 1;
    RenderFrame();
    RunIdleHook();
    while (ws.running && RunIdleHook()) {
    }
}

void SetNativeDialogMode(bool on) {
    WindowSystemState& ws = GetWindowSystem();
    RunIdleHook();
    ws.nativeDialogMode = on ? 1 : 0;
    ws.frameAlreadyDrawn = 1;
    InvalidateAll();
    ws.running = on ? 0 : 1;
    RenderFrame();
    RunIdleHook();
}

bool IsNativeDialogMode() { return GetWindowSystem().nativeDialogMode != 0; }

// ---- layers and screen ----

void InitWindowLayers(i32 width, i32 height) {
    WindowSystemState& ws = GetWindowSystem();
    ws.screenWidth = width;
    ws.screenHeight = height;
    ws.fieldOfView = 45.0f;
    ws.nearPlane = 0.1f;
    ws.farPlane = 10000.0f;
    ws.modalStack.clear();
    ws.modalStack.push_back(ModalEntry{});
    ws.root = new Window(Window::kRootFlag | Window::kVisible, nullptr);
    ws.root->SetTitle("root");
    ws.layer1 = new Window(Window::kRootFlag | Window::kVisible, ws.root);
    ws.layer1->SetTitle("layer1");
    ws.layer0 = new Window(Window::kRootFlag | Window::kVisible | Window::kBackground, ws.root);
    ws.layer0->SetTitle("layer0");
    SetFrame(ws.root, Rect{0, 0, width, height});
    SetFrame(ws.layer1, Rect{0, 0, width, height});
    SetFrame(ws.layer0, Rect{0, 0, width, height});
    ws.redrawFlags |= kRedrawDuringResize;
    ws.focusWindow = ws.layer0;
    ws.hoverWindow = ws.layer0;
}

void InitWindowSystem(i32 width, i32 height) {
    InitWindowLayers(width, height);
    if (WindowRenderer* r = GetWindowRenderer()) r->ClearScreen();
    InvalidateAll();
}

void HandleWindowResize(int width, int height) {
    WindowSystemState& ws = GetWindowSystem();
    ProcessDeferredDeletes();
    if (width < 1 || height < 1 || !ws.root) return;
    ws.screenWidth = width;
    ws.screenHeight = height;
    const i32 menuHeight = ws.menuBar ? ws.menuBar->GetHeight() : 0;
    SetFrame(ws.root, Rect{0, 0, width, height});
    SetFrame(ws.layer1, Rect{0, 0, width, height});
    SetFrame(ws.layer0, Rect{0, menuHeight, width, height});
    ws.redrawFlags |= kRedrawResized;
    if (WindowRenderer* r = GetWindowRenderer()) r->ClearScreen();
    InvalidateAll();
    for (Window* layer : {ws.layer0, ws.layer1}) {
        std::vector<Window*> children;
        for (Window* c = layer->GetFirstChild(); c; c = c->GetNextSibling()) children.push_back(c);
        for (Window* c : children) {
            if (c->GetWindowState() == Window::kStateMaximized && c->TestFlags(Window::kResizable)) c->FillParent();
            if (c->TestFlags(Window::kRecenterOnResize)) c->CenterInParent();
        }
    }
    if (ws.layer0->GetFirstChild()) RaiseWindow(ws.layer0->GetFirstChild());
    InputEvent e;
    e.type = kEventScreenResized;
    e.word[0] = static_cast<u32>(width);
    e.word[1] = static_cast<u32>(height);
    // Pre-order: a window before its children, until one takes it.
    std::vector<Window*> stack{ws.root};
    while (!stack.empty()) {
        Window* w = stack.back();
        stack.pop_back();
        if (w->HandleEvent(w, kEventScreenResized, e)) break;
        std::vector<Window*> kids;
        for (Window* c = w->GetFirstChild(); c; c = c->GetNextSibling()) kids.push_back(c);
        for (size_t i = kids.size(); i-- > 0;) stack.push_back(kids[i]);
    }
    if (ws.redrawFlags & kRedrawDuringResize) RunIdleHook();
}

void SetMenuBar(Window* window) {
    WindowSystemState& ws = GetWindowSystem();
    ws.menuBar = window;
    if (ws.layer0) {
        const i32 h = window ? window->GetHeight() : 0;
        SetFrame(ws.layer0, Rect{0, h, ws.screenWidth, ws.screenHeight});
    }
}

Point GetScreenSize() {
    const WindowSystemState& ws = GetWindowSystem();
    return Point{ws.screenWidth, ws.screenHeight};
}

Rect GetScreenRect() {
    const WindowSystemState& ws = GetWindowSystem();
    return Rect{0, 0, ws.screenWidth, ws.screenHeight};
}

Window* GetLayerWindow(int which) {
    const WindowSystemState& ws = GetWindowSystem();
    switch (which) {
        case -1: return ws.root;
        case 0: return ws.layer0;
        case 1: return ws.layer1;
        default: return nullptr;
    }
}

void DestroyRootWindow() {
    WindowSystemState& ws = GetWindowSystem();
    CancelDrag();
    ProcessDeferredDeletes();
    if (ws.root) {
        Window* root = ws.root;
        delete root;
        ws.root = ws.layer0 = ws.layer1 = nullptr;
    }
    // Windows queued after being taken out of the tree are not under the root.
    while (!ws.deferredDeletes.empty()) {
        Window* w = ws.deferredDeletes.back();
        ws.deferredDeletes.pop_back();
        delete w;
    }
    ws.root = ws.layer0 = ws.layer1 = nullptr;
    ws.focusWindow = ws.hoverWindow = nullptr;
    ws.modalStack.clear();
    ws.filters.clear();
}

}  // namespace pirn
