// Main loop, frame step, dirty rectangles, visibility and render order.

#include "ui/frame_step.h"

#include <cstdio>

#include "ui/frame_timer.h"
#include "ui/skin.h"
#include "ui/window.h"
#include "ui/window_drag.h"
#include "ui/window_overview.h"
#include "ui/window_renderer.h"
#include "ui/window_system.h"
#include "ui/window_system_internal.h"

namespace pirn {

namespace {

FrameState g_frame;
ScreenLayers g_layers;
std::vector<Rect> g_region;
std::vector<Rect> g_regionScratch;  // reused: the pass runs for every window of every clip
bool g_regionStarted = false;


// A scope over the whole screen, clipped to the rectangle being redrawn:
// used for dimming, shadows and the drag image (drawn "in layer1").
bool BeginClipDraw() {
    if (g_frame.currentClip.IsEmpty()) return false;
    g_frame.currentScissor = g_frame.currentClip;
    if (WindowRenderer* r = GetWindowRenderer())
        r->BeginScope(GetScreenRect(), GetScreenSize(), g_frame.currentClip, false);
    return true;
}

void EndClipDraw() {
    if (WindowRenderer* r = GetWindowRenderer()) r->EndScope();
}

void DimClip() {
    if (!BeginClipDraw()) return;
    SetDrawColor(kColorDim);
    FillRectangle(g_frame.currentClip);
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
    if (IsOverviewActive()) {
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
    for (Window* w = parent->GetLastChild(); w;) {
        Window* prev = w->GetPrevSibling();
        if (w == g_frame.dimBelowWindow) DimClip();
        if (w->IsVisible()) {
            DispatchGuard guard(w);
            const bool overview = IsOverviewActive();
            const bool collapsed = w->GetWindowState() == Window::kStateCollapsed;
            u32& state = WindowInternals::DrawState(w);
            const Rect& visible = WindowInternals::VisibleRect(w);
            if ((state & (Window::kDrawClient | Window::kDrawFrame)) || overview) {
                const bool whole = (state & Window::kDrawFrame) || overview;
                if (!collapsed && (whole || RectsOverlapArea(visible, w->GetClientScreenRect()))) {
                    w->DrawBackground();
                    w->DrawContents();
                    g_frame.contentsDrawn++;
                }
                if (whole || !RectContains(w->GetClientScreenRect(), visible)) {
                    w->DrawFrame();
                    g_frame.framesDrawn++;
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
    const DragState& d = GetDragState();
    if (!d.captured || d.mode != 1 || !d.painter) return;
    if (!RectsOverlapArea(DragImageScreenRect(), g_frame.currentClip)) return;
    if (!BeginClipDraw()) return;
    d.painter(d.payload, d.current, nullptr);
    EndClipDraw();
}

// One damaged rectangle: which windows show there, then draw them back to
// front, then what lies on top of everything.
void RedrawClip(const Rect& clip) {
    RunVisibilityPass(clip);
    Window* root = g_layers.root;
    if (root) DrawChildren(root);
    DrawDragImage();
    // Dim every redrawn rectangle, not just the last, while a native dialog
    // is open.
    if (g_frame.nativeDialogMode) DimClip();
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
    g_frame.currentClip = clip;
    ResetVisibleRegion();
    VisibleRegion(clip, nullptr, false);
    if (g_layers.root) VisitForVisibility(g_layers.root);
}

bool IsRectVisibleInPass(const Window* window, const Rect& clientRect) {
    const Point origin = window->GetClientOrigin();
    const Rect r = OffsetRect(clientRect, origin.x, origin.y);
    return RectsOverlapArea(WindowInternals::VisibleRect(window), r);
}

// ---- dirty rectangles ----

void Window::InvalidateRect(const Rect& rect, bool force) {
    if (g_frame.redrawFlags & kRedrawFull) return;
    // Already listed: nothing to do, whatever the window (asked first, as a
    // widget filled row by row asks for its client area every time).
    for (i32 i = 0; i < g_frame.dirtyCount; i++)
        if (RectContains(g_frame.dirtyRects[i], rect)) return;
    if (!force && !IsShownOnScreen()) return;
    Rect r = rect;
    const Rect screen = GetScreenRect();
    if (!RectsOverlapArea(r, screen)) return;
    r = Rect{std::max(r.left, screen.left), std::max(r.top, screen.top), std::min(r.right, screen.right),
             std::min(r.bottom, screen.bottom)};
    if (r.IsEmpty()) return;
    if (!g_frame.partialRedraw) {
        g_frame.redrawFlags |= kRedrawFull;
        return;
    }
    for (i32 i = 0; i < g_frame.dirtyCount; i++)
        if (RectContains(g_frame.dirtyRects[i], r)) return;
    i32 kept = 0;
    for (i32 i = 0; i < g_frame.dirtyCount; i++)
        if (!RectContains(r, g_frame.dirtyRects[i])) g_frame.dirtyRects[kept++] = g_frame.dirtyRects[i];
    g_frame.dirtyCount = kept;
    if (g_frame.dirtyCount >= FrameState::kMaxDirtyRects) {
        g_frame.redrawFlags |= kRedrawFull;
        g_frame.dirtyCount = 0;
        return;
    }
    g_frame.dirtyRects[g_frame.dirtyCount++] = r;
}

void InvalidateAll() {
    g_frame.redrawFlags |= kRedrawFull;
    g_frame.dirtyCount = 0;
}

void SetPartialRedraw(bool on) { g_frame.partialRedraw = on ? 1 : 0; }
bool IsFullRedrawPending() { return (g_frame.redrawFlags & kRedrawFull) != 0; }

// ---- rendering ----

std::string DebugOverlayText() {
    auto name = [](const Window* w) { return std::string(w->GetTitle() ? w->GetTitle() : "?"); };
    char head[64];
    std::snprintf(head, sizeof head, "frames rendered: %d", g_frame.framesRendered);
    std::string text = head;
    text += "\nfocus: ";
    std::vector<const Window*> path;
    for (const Window* w = GetFocusWindow(); w; w = w->GetParent()) path.push_back(w);
    for (size_t i = path.size(); i-- > 0;) {
        text += name(path[i]);
        if (i) text += " -> ";
    }
    text += "\nmodal stack: ";
    const std::vector<ModalEntry>& stack = GetModalState().modalStack;
    for (size_t i = 1; i < stack.size(); i++) {
        if (i > 1) text += " -> ";
        text += stack[i].window ? name(stack[i].window) : std::string("?");
    }
    return text;
}

int RenderFrame() {
    g_frame.dimBelowWindow = nullptr;
    const std::vector<ModalEntry>& stack = GetModalState().modalStack;
    for (size_t i = stack.size(); i-- > 1;) {
        if (stack[i].flags & kModalDimBehind) {
            g_frame.dimBelowWindow = stack[i].window;
            break;
        }
    }
    g_frame.contentsDrawn = 0;
    g_frame.framesDrawn = 0;
    // Take the damage list first: whatever drawing invalidates is kept for
    // the next frame instead of being wiped with this one.
    const bool full = (g_frame.redrawFlags & kRedrawFull) != 0;
    std::vector<Rect> rects(g_frame.dirtyRects, g_frame.dirtyRects + g_frame.dirtyCount);
    g_frame.redrawFlags &= ~kRedrawFull;
    g_frame.dirtyCount = 0;
    if (!full && rects.empty()) return 0;

    const Rect overlayStrip{4, g_layers.screenHeight - 48, g_layers.screenWidth, g_layers.screenHeight};
    WindowRenderer* renderer = GetWindowRenderer();
    if (full) {
        RedrawClip(GetScreenRect());
    } else {
        if (g_frame.debugOverlay) RedrawClip(overlayStrip);
        for (const Rect& r : rects) RedrawClip(r);
        if (g_frame.debugOutlines) {
            if (renderer) renderer->SetScissorEnabled(false);
            g_frame.currentClip = GetScreenRect();
            if (BeginClipDraw()) {
                for (const Rect& r : rects) DrawHighlight(r, kHighlightStrong | kHighlightFill);
                EndClipDraw();
            }
            if (renderer) renderer->SetScissorEnabled(true);
        }
    }
    if (g_frame.debugOverlay) {
        g_frame.framesRendered++;
        g_frame.currentClip = full ? GetScreenRect() : overlayStrip;
        if (BeginClipDraw()) {
            SetDrawColor(kColorWhite);
            InterfaceFont* f = g_layers.layer1 ? WindowInternals::OwnFont(g_layers.layer1) : nullptr;
            if (!f) f = GetDefaultFont();
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
    if (g_frame.frameAlreadyDrawn) {
        g_frame.frameAlreadyDrawn = 0;
        return 1;
    }
    if (!g_frame.running) return 0;
    ProcessDeferredDeletes();
    ModalState& modal = GetModalState();
    if (modal.closeEnding) {
        const ModalEntry top = TopModalEntry();
        if ((top.flags & kModalEndOnClose) && modal.closeEndingBudget > 0) {
            modal.closeEndingBudget--;
            EndModalEntryOf(top.window, 0, true);
        } else {
            modal.closeEnding = 0;
        }
        return 0;
    }
    DrainEventQueue();
    if (!g_frame.running || modal.closeEnding) return 0;
    ForgetFrameRequests();
    if (g_layers.root) TickWindows(g_layers.root);
    UpdateOverviewAnimation();
    return RenderFrame();
}

void RunMainLoop() {
    RunIdleHook();
    InvalidateAll();
    g_frame.running = 1;
    g_frame.nativeDialogMode = 0;
    g_frame.frameAlreadyDrawn = 1;
    RenderFrame();
    RunIdleHook();
    while (g_frame.running && RunIdleHook()) {
    }
}

void SetNativeDialogMode(bool on) {
    RunIdleHook();
    if (!on && g_frame.nativeDialogMode) ForgetHeldInput();
    g_frame.nativeDialogMode = on ? 1 : 0;
    g_frame.frameAlreadyDrawn = 1;
    InvalidateAll();
    g_frame.running = on ? 0 : 1;
    RenderFrame();
    RunIdleHook();
}

bool IsNativeDialogMode() { return g_frame.nativeDialogMode != 0; }

// ---- layers and screen ----

void InitWindowLayers(i32 width, i32 height) {
    g_layers.screenWidth = width;
    g_layers.screenHeight = height;
    std::vector<ModalEntry>& stack = GetModalState().modalStack;
    stack.clear();
    stack.push_back(ModalEntry{});
    g_layers.root = new Window(Window::kRootFlag | Window::kVisible, nullptr);
    g_layers.root->SetTitle("root");
    g_layers.layer1 = new Window(Window::kRootFlag | Window::kVisible, g_layers.root);
    g_layers.layer1->SetTitle("layer1");
    g_layers.layer0 = new Window(Window::kRootFlag | Window::kVisible | Window::kBackground, g_layers.root);
    g_layers.layer0->SetTitle("layer0");
    SetFrame(g_layers.root, Rect{0, 0, width, height});
    SetFrame(g_layers.layer1, Rect{0, 0, width, height});
    SetFrame(g_layers.layer0, Rect{0, 0, width, height});
    g_frame.redrawFlags |= kRedrawDuringResize;
    FocusState& focus = GetFocusState();
    focus.focusWindow = g_layers.layer0;
    focus.hoverWindow = g_layers.layer0;
}

void InitWindowSystem(i32 width, i32 height) {
    InitWindowLayers(width, height);
    if (WindowRenderer* r = GetWindowRenderer()) r->ClearScreen();
    InvalidateAll();
}

void HandleWindowResize(int width, int height) {
    ProcessDeferredDeletes();
    if (width < 1 || height < 1 || !g_layers.root) return;
    g_layers.screenWidth = width;
    g_layers.screenHeight = height;
    const i32 menuHeight = g_layers.menuBar ? g_layers.menuBar->GetHeight() : 0;
    SetFrame(g_layers.root, Rect{0, 0, width, height});
    SetFrame(g_layers.layer1, Rect{0, 0, width, height});
    SetFrame(g_layers.layer0, Rect{0, menuHeight, width, height});
    RequestOverviewLayout();
    if (WindowRenderer* r = GetWindowRenderer()) r->ClearScreen();
    InvalidateAll();
    for (Window* layer : {g_layers.layer0, g_layers.layer1}) {
        std::vector<Window*> children;
        for (Window* c = layer->GetFirstChild(); c; c = c->GetNextSibling()) children.push_back(c);
        for (Window* c : children) {
            if (c->GetWindowState() == Window::kStateMaximized && c->TestFlags(Window::kResizable)) c->FillParent();
            if (c->TestFlags(Window::kRecenterOnResize)) c->CenterInParent();
        }
    }
    if (g_layers.layer0->GetFirstChild()) RaiseWindow(g_layers.layer0->GetFirstChild());
    InputEvent e;
    e.type = kEventScreenResized;
    e.word[0] = static_cast<u32>(width);
    e.word[1] = static_cast<u32>(height);
    // Pre-order: a window before its children, until one takes it.
    std::vector<Window*> stack{g_layers.root};
    while (!stack.empty()) {
        Window* w = stack.back();
        stack.pop_back();
        if (w->HandleEvent(w, kEventScreenResized, e)) break;
        std::vector<Window*> kids;
        for (Window* c = w->GetFirstChild(); c; c = c->GetNextSibling()) kids.push_back(c);
        for (size_t i = kids.size(); i-- > 0;) stack.push_back(kids[i]);
    }
    if (g_frame.redrawFlags & kRedrawDuringResize) RunIdleHook();
}

void SetMenuBar(Window* window) {
    g_layers.menuBar = window;
    if (g_layers.layer0) {
        const i32 h = window ? window->GetHeight() : 0;
        SetFrame(g_layers.layer0, Rect{0, h, g_layers.screenWidth, g_layers.screenHeight});
    }
}

Point GetScreenSize() {
    return Point{g_layers.screenWidth, g_layers.screenHeight};
}

Rect GetScreenRect() {
    return Rect{0, 0, g_layers.screenWidth, g_layers.screenHeight};
}

Window* GetLayerWindow(int which) {
    switch (which) {
        case -1: return g_layers.root;
        case 0: return g_layers.layer0;
        case 1: return g_layers.layer1;
        default: return nullptr;
    }
}

void DestroyRootWindow() {
    CancelDrag();
    ProcessDeferredDeletes();
    if (g_layers.root) {
        Window* root = g_layers.root;
        delete root;
        g_layers.root = g_layers.layer0 = g_layers.layer1 = nullptr;
    }
    // Windows queued after being taken out of the tree are not under the root.
    std::vector<Window*>& queue = GetDeletionState().deferredDeletes;
    while (!queue.empty()) {
        Window* w = queue.back();
        queue.pop_back();
        delete w;
    }
    g_layers.root = g_layers.layer0 = g_layers.layer1 = nullptr;
    FocusState& focus = GetFocusState();
    focus.focusWindow = focus.hoverWindow = nullptr;
    ModalState& modal = GetModalState();
    modal.modalStack.clear();
    modal.filters.clear();
}

FrameState& GetFrameState() { return g_frame; }
ScreenLayers& GetScreenLayers() { return g_layers; }

void ResetFrameState() {
    g_frame = FrameState{};
    ForgetFrameRequests();
    g_layers = ScreenLayers{};
}

bool IsRunning() { return g_frame.running != 0; }
void SetRunning(bool on) { g_frame.running = on ? 1 : 0; }

void SetDebugOverlay(bool on) { g_frame.debugOverlay = on ? 1 : 0; }
bool IsDebugOverlayOn() { return g_frame.debugOverlay != 0; }
void SetDirtyRectOutlines(bool on) { g_frame.debugOutlines = on ? 1 : 0; }
bool AreDirtyRectOutlinesOn() { return g_frame.debugOutlines != 0; }

}  // namespace pirn
