#include "collections/ui/x256_sequence_frame_view.h"

#include <algorithm>
#include <cmath>

#include "collections/sequence_messages.h"
#include "collections/ui/background_picker.h"
#include "collections/ui/collection_bitmap_drawing.h"
#include "collections/ui/x256_edit.h"
#include "collections/ui/x256_sequence_frame_edit.h"
#include "platform/os/cursor_id.h"
#include "platform/os/key_codes.h"
#include "platform/os/os_time.h"
#include "platform/strings.h"
#include "ui/frame_timer.h"
#include "ui/skin.h"
#include "ui/window_drag.h"
#include "ui/window_renderer.h"
#include "ui/window_system.h"

namespace pirn {

namespace {

// Room around the sequence's reach, in screen pixels.
constexpr i32 kCanvasMargin = 32;
constexpr i32 kOriginArm = 8;

Rect ToRect(const CanvasRect& r) { return Rect{r.left, r.top, r.right, r.bottom}; }

i32 Round(double v) { return static_cast<i32>(std::lround(std::clamp(v, -1.0e9, 1.0e9))); }

// Whole pixels of bitmap motion for a screen motion at a zoom.
i64 BitmapPixels(double motion, double zoom) {
    return zoom > 0 ? static_cast<i64>(std::clamp(motion / zoom, -1.0e6, 1.0e6)) : 0;
}

bool IsCanvasKey(i32 code) {
    return (code >= kKeyF1 && code < kKeyF1 + 5) || (code >= kKeyUp && code <= kKeyRight) || code == kKeyShift ||
           code == kKeyControl || code == kKeyAlt;
}

}  // namespace

X256SequenceFrameView::X256SequenceFrameView(X256SequenceFrameEdit* owner, Window* parent)
    : ScrollableWindow(kVisible | kEnabled | kTakesFocus | kThinBorder, parent), owner_(owner) {}

void X256SequenceFrameView::GetMinimumSize(Point* out, Point content) {
    ScrollableWindow::GetMinimumSize(out, content);
    out->x += kMinimumExtra;
    out->y += kMinimumExtra;
}

// ---- what is shown ---------------------------------------------------------

void X256SequenceFrameView::SetShowFlags(const bool (&shows)[7]) {
    std::copy(shows, shows + 7, shows_);
    Invalidate();
}

void X256SequenceFrameView::SetBackgroundPattern(u32 pattern) {
    background_ = pattern;
    Invalidate();
}

X256SequenceFrameView::Extent X256SequenceFrameView::ContentSize() const {
    const CollectionSequence* sequence = owner_->GetSequence();
    const double reach = (sequence ? SequenceReach(*sequence) : 1) * zoom_;
    const double side = 2 * reach + 2 * kCanvasMargin;
    Extent size;
    size.width = std::max(Round(std::min(side, 1.0e8)), GetClientWidth());
    size.height = std::max(Round(std::min(side, 1.0e8)), GetClientHeight());
    return size;
}

CanvasPoint X256SequenceFrameView::Origin() const {
    // Whole pixels: the points and the cross stand on pixels, not between.
    return CanvasPoint{double(content_.width / 2 - GetScrollX()), double(content_.height / 2 - GetScrollY())};
}

void X256SequenceFrameView::UpdateCanvas() {
    // Keeps the origin where it stands (centred the first time).
    const bool first = content_.width == 0;
    const CanvasPoint before = first ? CanvasPoint{GetClientWidth() / 2.0, GetClientHeight() / 2.0} : Origin();
    content_ = ContentSize();
    SetScrollInfo(kSetRangeY | kSetPageY | kSetPosY | kSetRangeX | kSetPageX | kSetPosX, content_.height,
                  content_.height / 2 - Round(before.y), GetClientHeight(), content_.width,
                  content_.width / 2 - Round(before.x), GetClientWidth());
    Invalidate();
}

void X256SequenceFrameView::Layout() {
    ScrollableWindow::Layout();
    if (GetClientWidth() > 0 && GetClientHeight() > 0) UpdateCanvas();
}

void X256SequenceFrameView::SetZoom(double zoom) {
    if (!(zoom > 0) || zoom == zoom_) return;
    // The point under the centre, in bitmap pixels from the origin.
    const CanvasPoint origin = Origin();
    const double ux = (GetClientWidth() / 2.0 - origin.x) / zoom_;
    const double uy = (GetClientHeight() / 2.0 - origin.y) / zoom_;
    zoom_ = zoom;
    content_ = ContentSize();
    const double ox = GetClientWidth() / 2.0 - ux * zoom_;
    const double oy = GetClientHeight() / 2.0 - uy * zoom_;
    SetScrollInfo(kSetRangeY | kSetPageY | kSetPosY | kSetRangeX | kSetPageX | kSetPosX, content_.height,
                  content_.height / 2 - Round(oy), GetClientHeight(), content_.width, content_.width / 2 - Round(ox),
                  GetClientWidth());
    Invalidate();
}

BoxExtent X256SequenceFrameView::SelectionBox() const {
    const CanvasPoint origin = Origin();
    return SelectionBoxAround(*owner_->GetSequence(), owner_->CurrentInstance(), origin.x, origin.y, zoom_);
}

// ---- drawing ---------------------------------------------------------------

void X256SequenceFrameView::DrawContents() {
    if (BeginWindowDraw(this, 1, 0)) {
        const Collection& collection = owner_->GetCollection();
        const CanvasPoint origin = Origin();
        DrawCanvasPattern(background_, GetClientRect());
        if (Shows(X256SequenceFrameEdit::kShowContrail))
            if (const BitmapInstance* contrail = owner_->ContrailInstance())
                if (const CollectionBitmap* bitmap = ShownReference(*contrail).bitmap)
                    DrawTintedCollectionBitmap(collection, *bitmap, contrail->flags & 3,
                                               ToRect(InstancePictureRect(*contrail, origin, zoom_)), kContrailTint);
        const SequenceFrame* frame = owner_->CurrentFrame();
        if (Shows(X256SequenceFrameEdit::kShowShadow) && frame && frame->shadow) {
            const Rect r = ToRect(ShadowPictureRect(*frame, origin, zoom_));
            DrawCollectionBitmap(collection, *frame->shadow, ShadowMirrorFlags(*frame), r.left, r.top, r.Width(),
                                 r.Height());
        }
        const BitmapInstance* instance = owner_->CurrentInstance();
        if (Shows(X256SequenceFrameEdit::kShowBitmap) && instance)
            if (const CollectionBitmap* bitmap = ShownReference(*instance).bitmap) {
                const Rect r = ToRect(InstancePictureRect(*instance, origin, zoom_));
                DrawCollectionBitmap(collection, *bitmap, instance->flags & 3, r.left, r.top, r.Width(), r.Height());
            }
        if (Shows(X256SequenceFrameEdit::kShowSelectionBox)) {
            const BoxExtent box = SelectionBox();
            SetDrawColor(kBoxColor);
            OutlineRectangle(Rect{Round(std::min(box.left, box.right)), Round(std::min(box.top, box.bottom)),
                                  Round(std::max(box.left, box.right)) + 1, Round(std::max(box.top, box.bottom)) + 1},
                             1, false);
        }
        if (Shows(X256SequenceFrameEdit::kShowRegPoint)) DrawPoint(origin, kRegPointColor);
        if (Shows(X256SequenceFrameEdit::kShowKeyPoint) && instance)
            DrawPoint(KeyPointOnCanvas(*instance, origin, zoom_), kKeyPointColor);
        if (Shows(X256SequenceFrameEdit::kShowOrigin)) {
            const i32 x = Round(origin.x), y = Round(origin.y);
            SetDrawColor(kPointOutlineColor);
            FillRectangle(MakeRect(x - kOriginArm, y, 2 * kOriginArm + 1, 1));
            FillRectangle(MakeRect(x, y - kOriginArm, 1, 2 * kOriginArm + 1));
        }
        if (HasFocus()) {
            DrawStatus();
            SetDrawColor(kSkinFocusColor);
            OutlineRectangle(GetClientRect(), 1, false);
        }
    }
    EndWindowDraw(this);
}

void X256SequenceFrameView::DrawPoint(CanvasPoint at, u32 color) const {
    const i32 x = Round(at.x), y = Round(at.y);
    SetDrawColor(kPointOutlineColor);
    FillRectangle(MakeRect(x - kPickReach, y - kPickReach, 2 * kPickReach + 1, 2 * kPickReach + 1));
    SetDrawColor(color);
    FillRectangle(MakeRect(x - kPickReach + 1, y - kPickReach + 1, 2 * kPickReach - 1, 2 * kPickReach - 1));
}

void X256SequenceFrameView::DrawStatus() const {
    if (keyMode_ == kKeyModeNone) return;
    const std::string text = FormatString(sequence_text::kKeyModeStatus, FrameKeyModeName(keyMode_));
    const Rect area{kStatusInset, kStatusInset, GetClientWidth() - kStatusInset, GetClientHeight() - kStatusInset};
    SetDrawColor(kColorWhite);
    DrawTextInRect(text.c_str(), 0, kStatusTextFlags, area);
}

void X256SequenceFrameView::OnFocusLost(Window*, int) { Invalidate(); }

// ---- picking ---------------------------------------------------------------

bool X256SequenceFrameView::OnKeyPoint(Point client) const {
    const BitmapInstance* instance = owner_->CurrentInstance();
    if (!instance || !Shows(X256SequenceFrameEdit::kShowKeyPoint)) return false;
    const CanvasPoint key = KeyPointOnCanvas(*instance, Origin(), zoom_);
    return std::abs(client.x - Round(key.x)) <= kPickReach && std::abs(client.y - Round(key.y)) <= kPickReach;
}

BoxEdge X256SequenceFrameView::BoxEdgeAt(Point client) const {
    if (!Shows(X256SequenceFrameEdit::kShowSelectionBox)) return kNoBoxEdge;
    const BoxExtent box = SelectionBox();
    const double left = std::min(box.left, box.right), right = std::max(box.left, box.right);
    const double top = std::min(box.top, box.bottom), bottom = std::max(box.top, box.bottom);
    const bool alongY = client.y >= top - kPickReach && client.y <= bottom + kPickReach;
    const bool alongX = client.x >= left - kPickReach && client.x <= right + kPickReach;
    if (alongY && std::fabs(client.x - box.left) <= kPickReach) return kBoxLeft;
    if (alongY && std::fabs(client.x - box.right) <= kPickReach) return kBoxRight;
    if (alongX && std::fabs(client.y - box.top) <= kPickReach) return kBoxTop;
    if (alongX && std::fabs(client.y - box.bottom) <= kPickReach) return kBoxBottom;
    return kNoBoxEdge;
}

bool X256SequenceFrameView::OnShadow(Point client) const {
    const SequenceFrame* frame = owner_->CurrentFrame();
    if (!Shows(X256SequenceFrameEdit::kShowShadow) || !frame || !frame->shadow) return false;
    return PictureHit(*frame->shadow, ShadowMirrorFlags(*frame), ShadowPictureRect(*frame, Origin(), zoom_), client.x,
                      client.y);
}

bool X256SequenceFrameView::OnBitmap(Point client) const {
    const BitmapInstance* instance = owner_->CurrentInstance();
    if (!Shows(X256SequenceFrameEdit::kShowBitmap) || !instance) return false;
    const CollectionBitmap* bitmap = ShownReference(*instance).bitmap;
    return bitmap && PictureHit(*bitmap, instance->flags & 3, InstancePictureRect(*instance, Origin(), zoom_),
                                client.x, client.y);
}

X256SequenceFrameView::DragKind X256SequenceFrameView::DragKindAt(Point client, BoxEdge* edge) const {
    *edge = kNoBoxEdge;
    if (IsEnabled() && OnKeyPoint(client)) return kDragKeyPoint;
    if ((*edge = BoxEdgeAt(client)) != kNoBoxEdge) return kDragBoxEdge;
    if (!IsEnabled()) return kNoDrag;
    // The bitmap wins where it covers its own shadow.
    if (OnShadow(client) && !OnBitmap(client)) return kDragShadow;
    if (Shows(X256SequenceFrameEdit::kShowBitmap) && Shows(X256SequenceFrameEdit::kShowRegPoint)) return kDragBitmap;
    return kNoDrag;
}

u32 X256SequenceFrameView::CursorAt(Point client) const {
    if (OnKeyPoint(client)) return kCursorCross;
    switch (BoxEdgeAt(client)) {
        case kBoxLeft:
        case kBoxRight: return kCursorSizeWestEast;
        case kBoxTop:
        case kBoxBottom: return kCursorSizeNorthSouth;
        case kNoBoxEdge: break;
    }
    if (OnShadow(client) && !OnBitmap(client)) return kCursorShadowHover;
    if (Shows(X256SequenceFrameEdit::kShowBitmap) && Shows(X256SequenceFrameEdit::kShowRegPoint))
        return kCursorBitmapHover;
    return kCursorArrow;
}

// ---- mouse -----------------------------------------------------------------

void X256SequenceFrameView::OnMouseButton(InputEvent& event) {
    if (!event.ButtonAction() || event.Button() != 0 || drag_ != kNoDrag) return;
    const Point client{event.X() - GetClientScreenRect().left, event.Y() - GetClientScreenRect().top};
    BoxEdge edge = kNoBoxEdge;
    const DragKind kind = DragKindAt(client, &edge);
    if (kind == kNoDrag) return;
    if (kind == kDragBitmap) {
        keyMode_ = FrameKeyModeFor(FrameEditKeys{IsKeyDown(kKeyShift), IsKeyDown(kKeyControl), IsKeyDown(kKeyAlt),
                                                 {IsKeyDown(kKeyF1), IsKeyDown(kKeyF1 + 1), IsKeyDown(kKeyF1 + 2),
                                                  IsKeyDown(kKeyF1 + 3), IsKeyDown(kKeyF1 + 4)}});
    }
    if (!StartDrag(this, ForwardMouseDrag)) return;
    drag_ = kind;
    dragEdge_ = edge;
    dragReference_ = CanvasPoint{double(client.x), double(client.y)};
    u32 cursor = CursorAt(client);
    if (kind == kDragShadow) cursor = kCursorShadowDrag;
    if (kind == kDragBitmap) cursor = kCursorBitmapDrag;
    SetCursor(cursor, true);
}

void X256SequenceFrameView::OnMouseMove(InputEvent& event) {
    if (drag_ != kNoDrag) return;
    const Point client{event.X() - GetClientScreenRect().left, event.Y() - GetClientScreenRect().top};
    SetCursor(CursorAt(client), true);
}

void X256SequenceFrameView::OnMouseDrag(Point, Point pos, int phase) {
    if (drag_ == kNoDrag) return;
    if (phase == 2) {
        drag_ = kNoDrag;
        dragEdge_ = kNoBoxEdge;
        return;
    }
    if (phase != 1) return;
    CollectionSequence* sequence = owner_->GetSequence();
    const CanvasPoint p{double(pos.x - GetClientScreenRect().left), double(pos.y - GetClientScreenRect().top)};
    const double mx = p.x - dragReference_.x, my = p.y - dragReference_.y;
    bool changed = false;
    switch (drag_) {
        case kDragKeyPoint:
        case kDragBitmap: {
            const i64 dx = BitmapPixels(mx, zoom_), dy = BitmapPixels(my, zoom_);
            if (dx == 0 && dy == 0) break;
            // The point or the picture follows the pointer.
            const FrameKeyMode mode = drag_ == kDragKeyPoint      ? kKeyModeKeyPoint
                                      : keyMode_ == kKeyModeKeyPoint ? kKeyModeNone
                                                                     : keyMode_;
            changed = MoveOnCanvas(sequence, mode, owner_->GetFrame(), owner_->GetView(), dx, dy);
            dragReference_.x += double(dx) * zoom_;
            dragReference_.y += double(dy) * zoom_;
            break;
        }
        case kDragBoxEdge: {
            const bool sideways = dragEdge_ == kBoxLeft || dragEdge_ == kBoxRight;
            changed = DragBoxEdge(sequence, owner_->CurrentInstance(), zoom_, sideways ? mx : my, &dragEdge_);
            dragReference_ = p;
            break;
        }
        case kDragShadow: {
            SequenceFrame* frame = owner_->CurrentFrame();
            if (!frame) break;
            i32 ax = 0, ay = 0;
            changed = DragShadowOffset(&frame->record, mx, my, zoom_, &ax, &ay);
            dragReference_.x += ax * zoom_;
            dragReference_.y += ay * zoom_;
            break;
        }
        case kNoDrag: break;
    }
    if (changed) Edited();
}

void X256SequenceFrameView::Edited() {
    Invalidate();
    owner_->SequenceEdited();
}

// ---- keys ------------------------------------------------------------------

int X256SequenceFrameView::OnKey(InputEvent& event) {
    if (!event.IsPress()) return IsCanvasKey(event.Code()) ? 1 : 0;
    if (event.Code() == X256Edit::kToggleAlternatesKey && (event.KeyModifiers() & kModControl)) {
        owner_->GetEditor()->ToggleAlternates();
        return 1;
    }
    if (!(event.KeyModifiers() & kKeyRepeatBit)) KeyStep();
    return IsCanvasKey(event.Code()) ? 1 : 0;
}

void X256SequenceFrameView::OnIdle() {
    ScrollableWindow::OnIdle();
    if (!HasFocus() || drag_ != kNoDrag) return;
    if (OsGetTime() - lastKeyStep_ >= kKeyStepInterval) KeyStep();
    // Held keys step on by the clock; the mode shown follows the keys.
    bool held = keyMode_ != kKeyModeNone;
    for (int key : {kKeyLeft, kKeyRight, kKeyUp, kKeyDown, kKeyShift, kKeyControl, kKeyAlt})
        held = held || IsKeyDown(key);
    for (int i = 0; i < 5; ++i) held = held || IsKeyDown(kKeyF1 + i);
    if (held) RequestFrameBy(lastKeyStep_ + kKeyStepInterval);
}

void X256SequenceFrameView::KeyStep() {
    lastKeyStep_ = OsGetTime();
    FrameEditKeys keys;
    keys.shift = IsKeyDown(kKeyShift);
    keys.control = IsKeyDown(kKeyControl);
    keys.alt = IsKeyDown(kKeyAlt);
    for (int i = 0; i < 5; ++i) keys.function[i] = IsKeyDown(kKeyF1 + i);
    const FrameKeyMode mode = FrameKeyModeFor(keys);
    if (mode != keyMode_) {
        keyMode_ = mode;
        Invalidate();
    }
    const i64 dx = i64{IsKeyDown(kKeyRight)} - i64{IsKeyDown(kKeyLeft)};
    const i64 dy = i64{IsKeyDown(kKeyDown)} - i64{IsKeyDown(kKeyUp)};
    if (dx == 0 && dy == 0) return;
    if (mode != kKeyModeNone) {
        // An arrow moves the picture (or the key point) its way, as a drag
        // the same way does.
        if (MoveOnCanvas(owner_->GetSequence(), mode, owner_->GetFrame(), owner_->GetView(), dx, dy)) Edited();
        return;
    }
    if (dx) owner_->SetView(i64{owner_->GetView()} + dx);
    if (dy) owner_->SetFrame(i64{owner_->GetFrame()} + dy);
}

}  // namespace pirn
