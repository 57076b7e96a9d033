#pragma once
// Window: the base of everything on screen. A window has a frame (outer
// rectangle, screen coordinates), a client area inside its borders and title
// bar, a place in the window tree, style flags, an optional title and a fixed
// set of virtual operations that widgets and editors override.
//
// Geometry, the tree, hit tests and event handling are headless; drawing goes
// through the renderer installed with SetWindowRenderer (ui/window_renderer.h).

#include <cstdint>
#include <string>
#include <vector>

#include "platform/types.h"
#include "ui/rect.h"
#include "ui/signal.h"
#include "ui/window_event.h"
#include "platform/printf_format.h"

namespace pirn {

struct InterfaceFont;

// RectUnion: the bounding box of both; when a has zero width or height the
// result is b unchanged.
void RectUnion(const Rect& a, const Rect& b, Rect* out);
// a becomes the overlap of a and b. Rectangles whose edges only touch count
// as overlapping (the result then has zero width or height); no overlap at
// all gives {0, 0, 0, 0} and false.
bool RectIntersect(Rect* a, const Rect& b);
// Whether the two rectangles share a non-empty area.
bool RectsOverlapArea(const Rect& a, const Rect& b);
bool RectContains(const Rect& outer, const Rect& inner);
Rect OffsetRect(const Rect& r, i32 dx, i32 dy);

// Hit-test parts (Window::HitTest).
enum WindowPart : u32 {
    kPartNone = 0,
    kPartClient = 1,
    kPartTitle = 2,
    kPartLeft = 4,
    kPartTop = 8,
    kPartRight = 16,
    kPartBottom = 32,
    kPartEdges = 4 | 8 | 16 | 32,
    kPartButton0 = 0x400,  // close box
    kPartButton1 = 0x800,  // maximise
    kPartButton2 = 0x1000, // collapse
    kPartOtherFrame = 0x80000000u,
};

// Focus reasons.
enum FocusReason : int { kFocusByProgram = 0, kFocusByClick = 1, kFocusByTab = 2 };

// Answers of Window::OnFocusGained: 0 accept, 1 accept and swallow the click
// that activated; any other value is a Window* that should get the focus
// instead (see PassFocusTo).
using FocusAnswer = intptr_t;
constexpr FocusAnswer kFocusAccept = 0;
constexpr FocusAnswer kFocusSwallowClick = 1;
inline FocusAnswer PassFocusTo(class Window* w) { return reinterpret_cast<FocusAnswer>(w); }

class Window : public SignalListener {
public:
    // Style flags.
    enum : u32 {
        kVisible = 1,
        kEnabled = 2,
        kTitleBar = 4,
        kShadow = 8,
        kThinBorder = 16,
        kThickBorder = 32,
        kResizable = 64,
        kBackground = 0x80,
        kDarkBackground = 0x100,
        kLargeMinimum = 0x200,
        kCloseBox = 0x400,
        kTitleButton1 = 0x800,
        kTitleButton2 = 0x1000,
        kNotInOverview = 0x2000,
        kRootFlag = 0x4000,
        kTakesFocus = 0x8000,
        kRecenterOnResize = 0x10000,
        kPopup = 0x40000,
    };
    // Border edges.
    enum : u32 { kEdgeLeft = 1, kEdgeTop = 2, kEdgeRight = 4, kEdgeBottom = 8, kEdgeAll = 15 };
    // Draw-state bits.
    enum : u32 {
        kDrawClient = 1,
        kDrawFrame = 2,
        kPlacedByOverview = 4,
        kDetached = 8,
    };
    // Window states.
    enum : i32 { kStateNormal = 0, kStateCollapsed = 1, kStateMaximized = 2, kStateDestroyed = 3 };

    static constexpr i32 kCollapsedHeight = 30;
    static constexpr i32 kShadowSize = 16;

    Window(u32 flags, Window* parent);
    virtual ~Window();

    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // ---- virtual operations, in slot order ----
    virtual const char* GetClassName() const;
    virtual int HandleEvent(Window* target, u32 type, InputEvent& event);
    virtual void ConstrainFrame(const Rect& old, const Rect& proposed, Rect* out);
    virtual void CalcClientRect(const Rect& frame, Rect* out);
    virtual void GetMinimumSize(Point* out, Point content);
    virtual int OnCloseRequest(int byUser);
    virtual void OnDestroy() {}
    virtual void OnIdle() {}
    virtual void OnMove(Point oldPos, Point newPos) {}
    virtual void Layout() {}
    virtual void DrawContents() {}
    virtual void DrawFrame();
    virtual void DrawBackground();
    virtual int OnKey(InputEvent& event) { return 0; }
    virtual void OnChar(InputEvent& event) {}
    virtual void OnMouseButton(InputEvent& event) {}
    virtual void OnFrameMouseButton(InputEvent& event);
    virtual void OnDoubleClick(InputEvent& event) {}
    virtual void OnFrameDoubleClick(InputEvent& event);
    virtual void OnMouseMove(InputEvent& event) {}
    virtual void OnFrameMouseMove(InputEvent& event) {}
    virtual void OnWheel(InputEvent& event) {}
    virtual void OnFrameWheel(InputEvent& event) {}
    virtual void ReservedSlot24() {}
    virtual void ReservedSlot25() {}
    virtual void OnMouseLeave() {}
    virtual void OnFrameMouseLeave() {}
    virtual void OnChildAdded(Window* child) {}
    virtual void OnChildRemoved(Window* child) {}
    virtual void OnFocusLost(Window* newFocus, int reason) {}
    virtual FocusAnswer OnFocusGained(Window* oldFocus, int reason) { return kFocusAccept; }
    virtual void OnParentChanged(Window* oldParent, Window* newParent) {}
    virtual void OnFlagsChanged(u32 changed);
    // phase 0 start, 1 move, 2 end.
    virtual void OnMouseDrag(Point start, Point pos, int phase) {}
    struct DragDropData;
    // phase 1 asks (result > 0 accepts), phase 0 drops.
    virtual int OnDragDrop(Point pos, int phase, DragDropData* data) { return 0; }
    virtual u32 HitTest(Point screenPoint);
    virtual void SetTitle(const char* text);
    virtual const char* GetTitle() const;

    // Base of every drag-and-drop payload; owned by the drag that carries it.
    struct DragDropData {
        explicit DragDropData(u32 type) : typeId(type) {}
        virtual ~DragDropData() = default;
        u32 typeId;
    };

    // ---- tree ----
    Window* GetParent() const { return parent_; }
    Window* GetFirstChild() const { return firstChild_; }
    Window* GetLastChild() const { return lastChild_; }
    Window* GetNextSibling() const { return nextSibling_; }
    Window* GetPrevSibling() const { return prevSibling_; }
    i32 GetChildCount() const { return childCount_; }
    // Outermost ancestor (or this) whose parent carries the root flag; null for
    // the layers and detached windows.
    Window* GetTopLevel();
    bool IsDescendantOf(const Window* ancestor) const;  // true for itself
    void DestroyChildren();
    // Ownership: a window that belongs to this one without being its child
    // (a nested form, a window an editor opens beside itself) is destroyed
    // with it, whatever destroys the owner or the owner's ancestors. Null
    // releases the window from its owner; a link that would make a loop is
    // refused.
    void SetOwner(Window* owner);
    Window* GetOwner() const { return owner_; }
    const std::vector<Window*>& GetOwnedWindows() const { return owned_; }
    i32 GetId() const { return id_; }
    void SetId(i32 value) { id_ = value; }
    void* GetUserData() const { return userData_; }
    void SetUserData(void* data) { userData_ = data; }
    void SetTabNext(Window* w);
    Window* GetTabNext() const { return tabNext_; }
    Window* GetTabPrev() const { return tabPrev_; }
    Window* SetFocusProxy(Window* proxy);
    Window* GetFocusProxy() const { return focusProxy_; }
    // The child through which the focus last went; ActivateWindow on this
    // window follows the chain of these down to a window that takes focus.
    Window* GetFocusChild() const { return focusChild_; }
    void SetFocusChild(Window* child) { focusChild_ = child; }
    void SetCursor(u32 cursorId, bool now);
    u32 GetCursor() const { return cursor_; }
    i32 GetWindowState() const { return windowState_; }
    bool IsDestroyed() const { return windowState_ == kStateDestroyed; }

    // ---- flags ----
    void SetFlags(u32 word);
    void AddFlags(u32 bits);
    void RemoveFlags(u32 bits);
    void SetEnabled(bool on);
    void SetVisible(bool on);
    u32 GetFlags() const { return flags_; }
    bool TestFlags(u32 mask) const { return (flags_ & mask) != 0; }
    bool IsVisible() const { return (flags_ & kVisible) != 0; }
    bool IsEnabled() const { return (flags_ & kEnabled) != 0; }
    // The window and every ancestor visible, none collapsed (the walk stops at
    // a detached ancestor).
    bool IsShownOnScreen() const;
    void SetBorderEdges(u32 mask);
    u32 GetBorderEdges() const { return borderEdges_; }
    // Border size of this window's style: thick, thin or none.
    i32 GetBorderSize() const;

    // ---- geometry (relative = to the parent's client origin) ----
    void SetPosition(i32 x, i32 y);
    void MoveTo(Point p) { SetPosition(p.x, p.y); }
    void SetSize(i32 w, i32 h);
    void ResizeTo(Point size) { SetSize(size.x, size.y); }
    void SetWidth(i32 w) { SetSize(w, GetHeight()); }
    void SetHeight(i32 h) { SetSize(GetWidth(), h); }
    void SetClientSize(i32 w, i32 h);
    void ResizeClientTo(Point size) { SetClientSize(size.x, size.y); }
    void SetClientWidth(i32 w) { SetClientSize(w, GetClientHeight()); }
    void SetClientHeight(i32 h) { SetClientSize(GetClientWidth(), h); }
    void FillParent();
    void ReapplyFrame();
    void CenterInParent();
    void KeepOnScreen();

    Rect GetFrame() const;  // relative
    const Rect& GetFrameScreenRect() const { return frame_; }
    Point GetPosition() const;
    Point GetSize() const { return Point{frame_.Width(), frame_.Height()}; }
    i32 GetWidth() const { return frame_.Width(); }
    i32 GetHeight() const { return frame_.Height(); }
    Rect GetLocalFrameRect() const { return Rect{0, 0, frame_.Width(), frame_.Height()}; }
    Rect GetClientRect() const { return Rect{0, 0, client_.Width(), client_.Height()}; }
    const Rect& GetClientScreenRect() const { return client_; }
    Point GetClientOrigin() const { return Point{client_.left, client_.top}; }
    Point GetClientSize() const { return Point{client_.Width(), client_.Height()}; }
    i32 GetClientWidth() const { return client_.Width(); }
    i32 GetClientHeight() const { return client_.Height(); }
    void ClientToScreenPoints(Point* points, int count) const;
    void ScreenToClientPoints(Point* points, int count) const;
    void ClientToScreenRects(Rect* rects, int count) const;
    void ScreenToClientRects(Rect* rects, int count) const;
    void FrameToScreenPoints(Point* points, int count) const;
    void ScreenToFramePoints(Point* points, int count) const;

    struct Placement {
        i32 state = 0;
        Rect frame;  // relative
    };
    Placement GetPlacement() const;
    void SetPlacement(const Placement& placement);
    // 1 collapse, 0 restore, -1 toggle.
    void SetCollapsed(int how);
    void ToggleMaximized();

    // Title-bar button i (0-2) in frame-local coordinates; false when the
    // window lacks that button.
    bool GetTitleButtonRect(int button, Rect* out) const;

    // ---- redraw ----
    void InvalidateRect(const Rect& screenRect, bool force);
    void Invalidate();        // the client area
    void InvalidateFrame();   // the frame, plus the shadow
    Rect GetFrameWithShadow() const;

    // ---- focus, hover, events ----
    bool HasFocus() const;
    bool IsHovered() const;
    bool Close(int byUser);
    static int SendEvent(Window* window, u32 type, InputEvent& event);

    // ---- text ----
    InterfaceFont* GetFont() const;
    void SetFont(InterfaceFont* f) { font_ = f; }
    i32 GetTextWidth(const char* text, int style = 0) const;
    i32 GetLineHeight() const;
    i32 DrawTextInRect(const char* text, int style, u32 textFlags, const Rect& rect) const;
    i32 MeasureTextInRect(const char* text, int style, u32 textFlags, const Rect& rect) const;
    // Formats with bounds (1,024 bytes, longer output cut) and sets the title.
    void SetTitleF(const char* format, ...) PIRN_PRINTF_FORMAT(2, 3);

    // Emitted with the reason when the window loses the focus.
    SignalInt focusLost;

private:
    // The window system's core (tree, frame step, dispatch, drag, drawing,
    // overview) reaches the record through these; widgets use the functions
    // above.
    friend struct WindowInternals;
    friend void SetParent(Window* window, Window* parent);
    friend void RaiseWindow(Window* window);
    friend void LowerWindow(Window* window);
    friend void SetFrame(Window* window, const Rect& relative);
    friend void ShiftWindowTree(Window* window, i32 dx, i32 dy);

    // Takes the window out of its parent's child list without telling anyone.
    void UnlinkFromParent();
    // The destructor's part of ownership: leaves its owner, destroys what it owns.
    void ReleaseOwnership(bool tearingDown);

    Window* prevSibling_ = nullptr;
    Window* nextSibling_ = nullptr;
    Window* parent_ = nullptr;
    Window* focusChild_ = nullptr;
    Window* focusProxy_ = nullptr;
    Window* tabNext_ = nullptr;
    Window* tabPrev_ = nullptr;
    Window* firstChild_ = nullptr;
    Window* lastChild_ = nullptr;
    Window* owner_ = nullptr;
    std::vector<Window*> owned_;
    i32 childCount_ = 0;
    u32 flags_ = 0;
    u32 borderEdges_ = kEdgeAll;
    u32 drawState_ = 0;
    i32 id_ = 0;
    void* userData_ = nullptr;
    bool hasTitle_ = false;
    std::string title_;
    i32 windowState_ = kStateNormal;
    InterfaceFont* font_ = nullptr;
    u32 pressedButtons_ = 0;
    u32 cursor_ = 0;
    u32 captureRequest_ = 0;
    Rect prevFrame_;
    Rect prevClient_;
    Rect frame_;
    Rect client_;
    Rect normalFrame_;
    Rect visibleRect_;
};

// ---- free functions of the window tree and geometry ----
void SetParent(Window* window, Window* parent);
void RaiseWindow(Window* window);
void LowerWindow(Window* window);
void SetFrame(Window* window, const Rect& relative);
void SetPosition(Window* window, i32 x, i32 y);
void SetSize(Window* window, i32 w, i32 h);
void SetVisible(Window* window, bool on);
// Depth first from the root; both strings must match, null matches only null.
Window* FindWindowByTitle(const char* title, const char* className);
// (64 + d, 64 + d) for a process-wide offset d that grows by 48 per call and
// starts again near the screen's far edges.
Point NextCascadePosition();

// Shifts the window and every descendant by (dx, dy) without notifying them.
void ShiftWindowTree(Window* window, i32 dx, i32 dy);

}  // namespace pirn
