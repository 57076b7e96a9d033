// Window: tree, flags, geometry, hit test and lifecycle.

#include "ui/window.h"

#include <algorithm>
#include <cstring>

#include "ui/frame_step.h"
#include "ui/window_metrics.h"
#include "ui/window_overview.h"
#include "ui/window_system.h"
#include "ui/window_system_internal.h"

namespace pirn {

// ---- rectangles ----

void RectUnion(const Rect& a, const Rect& b, Rect* out) {
    if (a.Width() == 0 || a.Height() == 0) {
        *out = b;
        return;
    }
    *out = Rect{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

bool RectIntersect(Rect* a, const Rect& b) {
    if (a->left > b.right || b.left > a->right || a->top > b.bottom || b.top > a->bottom) {
        *a = Rect{};
        return false;
    }
    *a = Rect{std::max(a->left, b.left), std::max(a->top, b.top), std::min(a->right, b.right),
              std::min(a->bottom, b.bottom)};
    return true;
}

bool RectsOverlapArea(const Rect& a, const Rect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom &&
           !a.IsEmpty() && !b.IsEmpty();
}

bool RectContains(const Rect& outer, const Rect& inner) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

Rect OffsetRect(const Rect& r, i32 dx, i32 dy) {
    return Rect{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

namespace {

Point ParentClientOrigin(const Window* w) {
    const Window* p = w->GetParent();
    return p ? p->GetClientOrigin() : Point{0, 0};
}

Window* FirstVisibleNextSibling(const Window* w) {
    for (Window* s = w->GetNextSibling(); s; s = s->GetNextSibling())
        if (s->IsVisible()) return s;
    return nullptr;
}

bool TearingDown() {
    const Window* root = GetLayerWindow(-1);
    return !root || WindowInternals::IsDetached(root);
}

}  // namespace

void Window::UnlinkFromParent() {
    Window* p = parent_;
    if (!p) return;
    if (prevSibling_) prevSibling_->nextSibling_ = nextSibling_;
    else p->firstChild_ = nextSibling_;
    if (nextSibling_) nextSibling_->prevSibling_ = prevSibling_;
    else p->lastChild_ = prevSibling_;
    prevSibling_ = nextSibling_ = nullptr;
    parent_ = nullptr;
    p->childCount_--;
}

// ---- construction and destruction ----

Window::Window(u32 initialFlags, Window* parentWindow) {
    font_ = parentWindow ? parentWindow->font_ : nullptr;
    SetFlags(initialFlags);
    AddFlags(kEnabled);
    if (!(flags_ & kRootFlag)) {
        Window* p = parentWindow;
        if (!p) p = GetLayerWindow((flags_ & kPopup) ? 1 : 0);
        if (p) pirn::SetParent(this, p);
    } else if (parentWindow) {
        pirn::SetParent(this, parentWindow);
    }
    pirn::SetFrame(this, Rect{});
}

Window::~Window() {
    drawState_ |= kDetached;
    const bool tearingDown = TearingDown();
    // Nothing in the window system may point into this subtree once it goes.
    ForgetWindowSubtree(this);
    ReleaseOwnership(tearingDown);

    // Leave the tab ring (a ring of two leaves the other window on its own).
    if (tabPrev_ && tabPrev_->tabNext_ == this) tabPrev_->tabNext_ = tabNext_;
    if (tabNext_ && tabNext_->tabPrev_ == this) tabNext_->tabPrev_ = tabPrev_;
    tabNext_ = tabPrev_ = nullptr;

    const Rect oldArea = GetFrameWithShadow();
    Window* oldParent = parent_;
    if (!tearingDown && oldParent && (oldParent->flags_ & kRootFlag) && !(flags_ & kRootFlag) &&
        oldParent->firstChild_ == this) {
        if (Window* next = FirstVisibleNextSibling(this)) {
            RaiseWindow(next);
            // Only the focus this window held passes on: a box that asks
            // something while a window closes behind it keeps the keyboard.
            const Window* focused = GetFocusState().focusWindow;
            if (!focused || focused == this || focused->IsDescendantOf(this)) ActivateWindow(next, kFocusByProgram);
        }
    }

    if (oldParent) {
        if (oldParent->focusChild_ == this) oldParent->focusChild_ = nullptr;
        if (oldParent->focusProxy_ == this) oldParent->focusProxy_ = nullptr;
        const bool parentAlive = !(oldParent->drawState_ & kDetached);
        UnlinkFromParent();
        if (parentAlive) oldParent->OnChildRemoved(this);
    }

    while (firstChild_) delete firstChild_;

    FocusState& focus = GetFocusState();
    Window* root = GetLayerWindow(-1);
    if (!tearingDown && !focus.focusWindow) {
        for (Window* layer = root->firstChild_; layer; layer = layer->nextSibling_) {
            if (!layer->focusChild_) continue;
            Window* end = layer->focusChild_;
            while (end->focusChild_) end = end->focusChild_;
            focus.focusWindow = end;
            end->InvalidateFrame();
            break;
        }
    }

    hasTitle_ = false;
    title_.clear();
    if (!tearingDown) {
        // Forced: this window no longer counts as visible.
        if (root) root->InvalidateRect(oldArea, true);
        if (IsOverviewActive()) RequestOverviewLayout();
    }
    DestroySignal(focusLost);
    DisconnectAll();
}

// ---- slots with base behaviour ----

const char* Window::GetClassName() const { return "Window"; }

void Window::ConstrainFrame(const Rect& old, const Rect& proposed, Rect* out) {
    *out = proposed;
    if (windowState_ == kStateCollapsed) return;
    Point minimum;
    GetMinimumSize(&minimum, Point{0, 0});
    if (out->Width() < minimum.x) {
        if (proposed.left == old.left) out->right = out->left + minimum.x;
        else if (proposed.right == old.right) out->left = out->right - minimum.x;
        else out->right = out->left + minimum.x;
    }
    if (out->Height() < minimum.y) {
        if (proposed.top == old.top) out->bottom = out->top + minimum.y;
        else if (proposed.bottom == old.bottom) out->top = out->bottom - minimum.y;
        else out->bottom = out->top + minimum.y;
    }
}

i32 Window::GetBorderSize() const {
    const WindowMetrics m = GetWindowMetrics();
    if (flags_ & kThickBorder) return m.thickBorder;
    if (flags_ & kThinBorder) return m.thinBorder;
    return 0;
}

void Window::CalcClientRect(const Rect& f, Rect* out) {
    const WindowMetrics m = GetWindowMetrics();
    const i32 b = GetBorderSize();
    Rect c = f;
    if (borderEdges_ & kEdgeLeft) c.left += b;
    if (borderEdges_ & kEdgeTop) c.top += b;
    if (borderEdges_ & kEdgeRight) c.right -= b;
    if (borderEdges_ & kEdgeBottom) c.bottom -= b;
    if (flags_ & kTitleBar) {
        c.top += m.titleBarHeight;
        if (flags_ & kThickBorder) c.top += b;
    }
    // A frame smaller than its borders has an empty client area, never an
    // inverted one.
    if (c.right < c.left) c.right = c.left;
    if (c.bottom < c.top) c.bottom = c.top;
    *out = c;
}

void Window::GetMinimumSize(Point* out, Point content) {
    const WindowMetrics m = GetWindowMetrics();
    i32 w = content.x;
    i32 h = content.y;
    if (flags_ & kThickBorder) {
        const i32 b = m.thickBorder;
        if (borderEdges_ & kEdgeLeft) w += b;
        if (borderEdges_ & kEdgeRight) w += b;
        if (borderEdges_ & kEdgeTop) h += b;
        if (borderEdges_ & kEdgeBottom) h += b;
    }
    i32 titlePart = 0;
    if (flags_ & kTitleBar) {
        titlePart = m.titleBarHeight;
        if (!(flags_ & kThickBorder)) titlePart += 2 * m.thickBorder;
    }
    h += titlePart;
    if (flags_ & kLargeMinimum) {
        h -= titlePart;
        w += 64;
        h += 64;
    }
    *out = Point{w, h};
}

int Window::OnCloseRequest(int byUser) {
    if (IsModal(this, false)) EndModalEntryOf(this, 0, /*byClose=*/false);
    return 1;
}

void Window::OnFlagsChanged(u32 changed) {
    if (changed & kVisible) {
        if (!(flags_ & kVisible)) {
            InvalidateRect(GetFrameWithShadow(), true);
            // Hiding the front-most window hands the front to the next one.
            if (parent_ && parent_->firstChild_ == this && !TearingDown()) {
                if (Window* next = FirstVisibleNextSibling(this)) {
                    RaiseWindow(next);
                    ActivateWindow(next, kFocusByProgram);
                }
            }
            UpdateHover();
        } else {
            InvalidateFrame();
            UpdateHover();
        }
    }
    if (changed & kEnabled) InvalidateFrame();
    if ((changed & kShadow) && (flags_ & kVisible)) {
        Rect r = frame_;
        r.right += kShadowSize;
        r.bottom += kShadowSize;
        InvalidateRect(r, false);
    }
    if (changed & (kVisible | kEnabled | kTitleBar | kThinBorder | kThickBorder)) {
        const Point oldOrigin = GetClientOrigin();
        const Point oldClientSize = GetClientSize();
        ReapplyFrame();
        if (changed & (kTitleBar | kThinBorder | kThickBorder)) {
            const Point newOrigin = GetClientOrigin();
            const i32 dx = newOrigin.x - oldOrigin.x;
            const i32 dy = newOrigin.y - oldOrigin.y;
            if (dx || dy)
                for (Window* c = firstChild_; c; c = c->nextSibling_) ShiftWindowTree(c, dx, dy);
            SetClientSize(oldClientSize.x, oldClientSize.y);
        }
    }
    if ((changed & kTakesFocus) && parent_ && parent_->focusChild_ == this) parent_->focusChild_ = nullptr;
}

u32 Window::HitTest(Point p) {
    if (p.x < frame_.left || p.x > frame_.right || p.y < frame_.top || p.y > frame_.bottom) return kPartNone;
    if (p.x >= client_.left && p.x <= client_.right && p.y >= client_.top && p.y <= client_.bottom)
        return kPartClient;
    const WindowMetrics m = GetWindowMetrics();
    const i32 b = m.thickBorder;
    const i32 x = p.x - frame_.left;
    const i32 y = p.y - frame_.top;
    u32 part = 0;
    if (flags_ & kTitleBar) {
        if (x >= b && x <= client_.Width() + b && y >= b && y <= m.titleBarHeight + b) {
            part = kPartTitle;
            for (int i = 0; i < 3; i++) {
                Rect r;
                if (GetTitleButtonRect(i, &r) && x >= r.left && x < r.right && y >= r.top && y < r.bottom) {
                    part = kPartButton0 << i;
                    break;
                }
            }
        }
    }
    if (!(flags_ & kThickBorder)) return part ? part : kPartOtherFrame;
    if (part & (kPartButton0 | kPartButton1 | kPartButton2)) return part;
    if (borderEdges_ & kEdgeTop && y < b) part |= kPartTop;
    else if (borderEdges_ & kEdgeBottom && y >= frame_.Height() - b) part |= kPartBottom;
    if (borderEdges_ & kEdgeLeft && x < b) part |= kPartLeft;
    else if (borderEdges_ & kEdgeRight && x >= frame_.Width() - b) part |= kPartRight;
    return part ? part : kPartOtherFrame;
}

bool Window::GetTitleButtonRect(int button, Rect* out) const {
    if (button < 0 || button > 2 || !(flags_ & kTitleBar) || !(flags_ & (kCloseBox << button))) return false;
    const WindowMetrics m = GetWindowMetrics();
    const i32 b = m.thickBorder;
    int n = 0;
    for (int i = 0; i < button; i++)
        if (flags_ & (kCloseBox << i)) n++;
    const i32 right = client_.Width() - n * (m.titleButtonWidth + 2 * b);
    *out = Rect{right - m.titleButtonWidth, 2 * b, right, 2 * b + m.titleButtonHeight};
    return true;
}

void Window::SetTitle(const char* text) {
    if (text) {
        title_ = text;
        hasTitle_ = true;
    } else {
        title_.clear();
        hasTitle_ = false;
    }
    if (flags_ & kTitleBar) {
        const WindowMetrics m = GetWindowMetrics();
        const i32 b = GetBorderSize();
        InvalidateRect(Rect{frame_.left, frame_.top, frame_.right, frame_.top + 2 * b + m.titleBarHeight}, false);
    }
}

const char* Window::GetTitle() const { return hasTitle_ ? title_.c_str() : nullptr; }

// ---- tree ----

Window* Window::GetTopLevel() {
    if (flags_ & kRootFlag) return nullptr;
    Window* w = this;
    while (w->parent_ && !(w->parent_->flags_ & kRootFlag)) w = w->parent_;
    return w->parent_ ? w : nullptr;
}

bool Window::IsDescendantOf(const Window* ancestor) const {
    for (const Window* w = this; w; w = w->parent_)
        if (w == ancestor) return true;
    return false;
}

void Window::DestroyChildren() {
    while (Window* c = firstChild_) {
        c->OnParentChanged(this, nullptr);
        OnChildRemoved(c);
        if (focusChild_ == c) focusChild_ = nullptr;
        if (focusProxy_ == c) focusProxy_ = nullptr;
        c->UnlinkFromParent();
        DestroyWindow(c);
    }
}

void Window::SetOwner(Window* owner) {
    if (owner == owner_) return;
    for (const Window* o = owner; o; o = o->owner_)
        if (o == this) return;  // would own itself
    if (owner_) {
        auto& list = owner_->owned_;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
    owner_ = owner;
    if (owner_) owner_->owned_.push_back(this);
}

void Window::ReleaseOwnership(bool tearingDown) {
    SetOwner(nullptr);
    // Whatever deletes this window (its own destruction, a parent's, the
    // whole tree's) takes what it owns along; at teardown the tree deletes
    // them anyway.
    const std::vector<Window*> owned = std::move(owned_);
    owned_.clear();
    for (Window* w : owned) {
        w->owner_ = nullptr;
        if (!tearingDown && !(w->drawState_ & kDetached)) DestroyWindow(w);
    }
}

void Window::SetTabNext(Window* w) {
    tabNext_ = w;
    if (w) w->tabPrev_ = this;
}

Window* Window::SetFocusProxy(Window* proxy) {
    Window* old = focusProxy_;
    focusProxy_ = proxy;
    return old;
}

void Window::SetCursor(u32 cursorId, bool now) {
    cursor_ = cursorId;
    if (now) UpdateHover();
}

void SetParent(Window* w, Window* np) {
    Window* old = w->parent_;
    if (old == np) return;
    if (old) {
        if (old->focusChild_ == w) old->focusChild_ = nullptr;
        if (old->focusProxy_ == w) old->focusProxy_ = nullptr;
    }
    if (np && (w->flags_ & Window::kTakesFocus)) np->focusChild_ = w;
    w->OnParentChanged(old, np);
    if (old) old->OnChildRemoved(w);
    w->UnlinkFromParent();
    if (!np) return;
    w->parent_ = np;
    w->prevSibling_ = np->lastChild_;
    w->nextSibling_ = nullptr;
    if (np->lastChild_) np->lastChild_->nextSibling_ = w;
    else np->firstChild_ = w;
    np->lastChild_ = w;
    np->childCount_++;
    RaiseWindow(w);
    np->OnChildAdded(w);
}

void RaiseWindow(Window* w) {
    if (!w || !w->parent_ || (w->flags_ & Window::kRootFlag) || w->parent_->firstChild_ == w) return;
    Window* p = w->parent_;
    // The window that was in front loses its active title bar: drawn again
    // whole, not only where something passes over it later.
    Window* formerFront = p->firstChild_;
    w->UnlinkFromParent();
    w->parent_ = p;
    w->nextSibling_ = p->firstChild_;
    w->prevSibling_ = nullptr;
    p->firstChild_->prevSibling_ = w;
    p->firstChild_ = w;
    p->childCount_++;
    w->InvalidateFrame();
    if (formerFront) formerFront->InvalidateFrame();
}

void LowerWindow(Window* w) {
    if (!w || !w->parent_ || (w->flags_ & Window::kRootFlag) || w->parent_->lastChild_ == w) return;
    Window* p = w->parent_;
    const bool wasFront = p->firstChild_ == w;
    w->UnlinkFromParent();
    w->parent_ = p;
    w->prevSibling_ = p->lastChild_;
    w->nextSibling_ = nullptr;
    p->lastChild_->nextSibling_ = w;
    p->lastChild_ = w;
    p->childCount_++;
    w->InvalidateFrame();
    if (wasFront && p->firstChild_ != w) p->firstChild_->InvalidateFrame();  // now active
}

namespace {
bool StringsMatch(const char* a, const char* b) {
    if (!a || !b) return a == b;
    return std::strcmp(a, b) == 0;
}

Window* FindInTree(Window* w, const char* titleText, const char* className) {
    if (StringsMatch(w->GetTitle(), titleText) && StringsMatch(w->GetClassName(), className)) return w;
    for (Window* c = w->GetFirstChild(); c; c = c->GetNextSibling())
        if (Window* hit = FindInTree(c, titleText, className)) return hit;
    return nullptr;
}
}  // namespace

Window* FindWindowByTitle(const char* titleText, const char* className) {
    Window* root = GetLayerWindow(-1);
    return root ? FindInTree(root, titleText, className) : nullptr;
}

// ---- flags ----

void Window::SetFlags(u32 word) {
    const u32 changed = flags_ ^ word;
    flags_ = word;
    if (changed) OnFlagsChanged(changed);
}
void Window::AddFlags(u32 bits) { SetFlags(flags_ | bits); }
void Window::RemoveFlags(u32 bits) { SetFlags(flags_ & ~bits); }
void Window::SetEnabled(bool on) { on ? AddFlags(kEnabled) : RemoveFlags(kEnabled); }
void Window::SetVisible(bool on) { on ? AddFlags(kVisible) : RemoveFlags(kVisible); }
void SetVisible(Window* w, bool on) { w->SetVisible(on); }

bool Window::IsShownOnScreen() const {
    if (!(flags_ & kVisible)) return false;
    for (const Window* w = parent_; w; w = w->parent_) {
        if (w->drawState_ & kDetached) break;
        if (!(w->flags_ & kVisible) || w->windowState_ == kStateCollapsed) return false;
    }
    return true;
}

void Window::SetBorderEdges(u32 mask) {
    if (!(flags_ & (kThinBorder | kThickBorder))) return;
    borderEdges_ = mask & kEdgeAll;
    OnFlagsChanged(kThinBorder | kThickBorder);
}

// ---- geometry ----

void ShiftWindowTree(Window* w, i32 dx, i32 dy) {
    w->frame_ = OffsetRect(w->frame_, dx, dy);
    w->client_ = OffsetRect(w->client_, dx, dy);
    w->prevFrame_ = OffsetRect(w->prevFrame_, dx, dy);
    w->prevClient_ = OffsetRect(w->prevClient_, dx, dy);
    for (Window* c = w->firstChild_; c; c = c->nextSibling_) ShiftWindowTree(c, dx, dy);
}

Rect Window::GetFrameWithShadow() const {
    Rect r = frame_;
    if (flags_ & kShadow) {
        r.right += kShadowSize;
        r.bottom += kShadowSize;
    }
    return r;
}

void SetFrame(Window* w, const Rect& relative) {
    const Point origin = ParentClientOrigin(w);
    // Frames may come from remembered placements in a text file: keep every
    // coordinate far from where sums of them could overflow.
    constexpr i32 kLimit = 1 << 24;
    auto clamp = [](i32 v) { return v < -kLimit ? -kLimit : (v > kLimit ? kLimit : v); };
    const Rect bounded{clamp(relative.left), clamp(relative.top), clamp(relative.right), clamp(relative.bottom)};
    const Rect proposed = OffsetRect(bounded, origin.x, origin.y);
    Rect constrained;
    w->ConstrainFrame(w->frame_, proposed, &constrained);
    Rect newClient;
    w->CalcClientRect(constrained, &newClient);

    const Rect oldFrame = w->frame_;
    const Rect oldClient = w->client_;
    const Rect oldArea = w->GetFrameWithShadow();
    w->frame_ = constrained;
    w->client_ = newClient;
    if (w->windowState_ == Window::kStateNormal) w->normalFrame_ = OffsetRect(constrained, -origin.x, -origin.y);
    if (!(IsOverviewActive() && (w->drawState_ & Window::kPlacedByOverview))) {
        w->prevFrame_ = w->frame_;
        w->prevClient_ = w->client_;
    }
    const bool moved = oldFrame.left != constrained.left || oldFrame.top != constrained.top;
    if (moved) {
        const i32 dx = constrained.left - oldFrame.left;
        const i32 dy = constrained.top - oldFrame.top;
        for (Window* c = w->firstChild_; c; c = c->nextSibling_) ShiftWindowTree(c, dx, dy);
        w->OnMove(Point{oldFrame.left, oldFrame.top}, Point{constrained.left, constrained.top});
    }
    const bool resized = oldFrame.Width() != constrained.Width() || oldFrame.Height() != constrained.Height() ||
                         oldClient.Width() != newClient.Width() || oldClient.Height() != newClient.Height();
    if (resized) w->Layout();
    if ((moved || resized || oldClient != newClient) && w->IsShownOnScreen()) {
        UpdateHover();
        Rect area;
        RectUnion(oldArea, w->GetFrameWithShadow(), &area);
        w->InvalidateRect(area, false);
    }
}

void SetPosition(Window* w, i32 x, i32 y) {
    const Rect f = w->GetFrame();
    SetFrame(w, MakeRect(x, y, f.Width(), f.Height()));
}

void SetSize(Window* w, i32 width, i32 height) {
    const Rect f = w->GetFrame();
    SetFrame(w, MakeRect(f.left, f.top, width, height));
}

void Window::SetPosition(i32 x, i32 y) { pirn::SetPosition(this, x, y); }
void Window::SetSize(i32 w, i32 h) { pirn::SetSize(this, w, h); }

void Window::SetClientSize(i32 w, i32 h) {
    // The decorations are measured on a frame that surely holds them: a
    // frame smaller than its title bar and borders has no client area to
    // measure against.
    constexpr i32 kRoom = 4096;
    const Rect probe = OffsetRect(Rect{0, 0, std::max(w, 0) + kRoom, std::max(h, 0) + kRoom}, frame_.left, frame_.top);
    Rect client;
    CalcClientRect(probe, &client);
    SetSize(w + probe.Width() - client.Width(), h + probe.Height() - client.Height());
}

void Window::FillParent() {
    if (!parent_) return;
    SetFrame(this, Rect{0, 0, parent_->client_.Width(), parent_->client_.Height()});
}

void Window::ReapplyFrame() { SetFrame(this, GetFrame()); }

void Window::CenterInParent() {
    if (!parent_) return;
    const i32 x = std::max(0, (parent_->client_.Width() - frame_.Width()) / 2);
    const i32 y = std::max(0, (parent_->client_.Height() - frame_.Height()) / 2);
    SetPosition(x, y);
    RaiseWindow(this);
}

void Window::KeepOnScreen() {
    const Window* layer = GetLayerWindow(0);
    if (!layer) return;
    const Rect area = layer->client_;
    const i32 w = std::min(frame_.Width(), area.Width());
    const i32 h = std::min(frame_.Height(), area.Height());
    i32 left = frame_.left;
    i32 top = frame_.top;
    if (left + w > area.right) left = area.right - w;
    if (top + h > area.bottom) top = area.bottom - h;
    // Also never above or left of the screen, where the title bar could not
    // be grabbed again.
    if (left < area.left) left = area.left;
    if (top < area.top) top = area.top;
    const Point origin = ParentClientOrigin(this);
    SetFrame(this, MakeRect(left - origin.x, top - origin.y, w, h));
}

Point NextCascadePosition() {
    ScreenLayers& layers = GetScreenLayers();
    i32& offset = layers.cascadeOffset;
    const i32 d = offset;
    offset += 48;
    if (offset + 560 > layers.screenWidth || offset + 560 > layers.screenHeight) offset = 0;
    return Point{64 + d, 64 + d};
}

Rect Window::GetFrame() const {
    const Point o = ParentClientOrigin(this);
    return OffsetRect(frame_, -o.x, -o.y);
}

Point Window::GetPosition() const {
    const Rect f = GetFrame();
    return Point{f.left, f.top};
}

void Window::ClientToScreenPoints(Point* p, int n) const {
    for (int i = 0; i < n; i++) p[i] = Point{p[i].x + client_.left, p[i].y + client_.top};
}
void Window::ScreenToClientPoints(Point* p, int n) const {
    for (int i = 0; i < n; i++) p[i] = Point{p[i].x - client_.left, p[i].y - client_.top};
}
void Window::ClientToScreenRects(Rect* r, int n) const {
    for (int i = 0; i < n; i++) r[i] = OffsetRect(r[i], client_.left, client_.top);
}
void Window::ScreenToClientRects(Rect* r, int n) const {
    for (int i = 0; i < n; i++) r[i] = OffsetRect(r[i], -client_.left, -client_.top);
}
void Window::FrameToScreenPoints(Point* p, int n) const {
    for (int i = 0; i < n; i++) p[i] = Point{p[i].x + frame_.left, p[i].y + frame_.top};
}
void Window::ScreenToFramePoints(Point* p, int n) const {
    for (int i = 0; i < n; i++) p[i] = Point{p[i].x - frame_.left, p[i].y - frame_.top};
}

Window::Placement Window::GetPlacement() const {
    Placement p;
    p.state = windowState_;
    p.frame = (windowState_ == kStateCollapsed || windowState_ == kStateMaximized) ? normalFrame_ : GetFrame();
    return p;
}

void Window::SetPlacement(const Placement& p) {
    SetFrame(this, p.frame);
    KeepOnScreen();
    if (p.state == kStateCollapsed) {
        SetCollapsed(1);
    } else if (p.state == kStateMaximized) {
        if (windowState_ == kStateCollapsed) SetCollapsed(0);
        if (windowState_ == kStateNormal) ToggleMaximized();
    } else {
        if (windowState_ == kStateCollapsed) SetCollapsed(0);
        if (windowState_ == kStateMaximized) ToggleMaximized();
    }
}

void Window::SetCollapsed(int how) {
    if (windowState_ == kStateDestroyed) return;
    const bool collapse = how == 1 || (how == -1 && windowState_ != kStateCollapsed);
    if (collapse) {
        if (windowState_ == kStateCollapsed) return;
        if (windowState_ == kStateMaximized) {
            windowState_ = kStateNormal;
            SetFrame(this, normalFrame_);
        }
        const Rect f = GetFrame();
        windowState_ = kStateCollapsed;
        SetFrame(this, Rect{f.left, f.top, f.right, f.top + kCollapsedHeight});
    } else {
        if (windowState_ != kStateCollapsed) return;
        windowState_ = kStateNormal;
        const Rect f = GetFrame();
        SetFrame(this, MakeRect(f.left, f.top, normalFrame_.Width(), normalFrame_.Height()));
    }
    UpdateHover();
}

void Window::ToggleMaximized() {
    if (windowState_ == kStateNormal) {
        if ((flags_ & kThickBorder) && (flags_ & kResizable)) {
            windowState_ = kStateMaximized;
            FillParent();
        }
    } else if (windowState_ == kStateMaximized) {
        windowState_ = kStateNormal;
        SetFrame(this, normalFrame_);
    } else if (windowState_ == kStateCollapsed) {
        SetCollapsed(0);
    }
}

// ---- redraw helpers ----

void Window::Invalidate() { InvalidateRect(client_, false); }
void Window::InvalidateFrame() { InvalidateRect(GetFrameWithShadow(), false); }

// ---- focus and hover queries ----

bool Window::HasFocus() const {
    const Window* f = GetFocusWindow();
    return f && (f == this || (focusProxy_ && f == focusProxy_));
}

bool Window::IsHovered() const { return GetHoverWindow() == this; }

bool Window::Close(int byUser) {
    // A window already on its way out is not asked again.
    if (windowState_ == kStateDestroyed) return true;
    if (!OnCloseRequest(byUser)) return false;
    DestroyWindow(this);
    return true;
}

}  // namespace pirn
