#include "editors/ui/dialog_view.h"

#include <algorithm>
#include <string>

#include "editors/dialog_commands.h"
#include "editors/ui/dialog_edit.h"
#include "platform/os/key_codes.h"
#include "ui/frame_step.h"
#include "ui/text_layout.h"
#include "ui/window_drag.h"
#include "ui/window_renderer.h"
#include "ui/window_system.h"

namespace pirn {

namespace {

constexpr i32 kMinusKey = '-';
constexpr i32 kEqualsKey = '=';

// A rectangle with its sides in order, whichever way the file had them.
Rect Ordered(const Rect& r) {
    return Rect{std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
                std::max(r.top, r.bottom)};
}

Rect Union(const Rect& a, const Rect& b) {
    if (a.IsEmpty()) return b;
    if (b.IsEmpty()) return a;
    return Rect{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

u8 Channel(u32 rgba, int shift) { return static_cast<u8>(rgba >> shift); }

// A checkerboard of the two stipple colours, one pixel a square.
void MakeStipple(PixelImage* image) {
    const i32 side = DialogView::kStippleSide;
    SetImagePixels(image, side, side, kFormatRgba, nullptr);
    for (i32 y = 0; y < side; ++y)
        for (i32 x = 0; x < side; ++x) {
            const u32 c = ((x + y) & 1) ? DialogView::kStippleLight : DialogView::kStippleDark;
            u8* p = &image->pixels[(size_t(y) * side + x) * 4];
            p[0] = Channel(c, 0);
            p[1] = Channel(c, 8);
            p[2] = Channel(c, 16);
            p[3] = 255;
        }
    UpdateImageChecksum(image);
}

}  // namespace

DialogView::DialogView(DialogEdit* editor, Window* parent)
    : ScrollableWindow(kVisible | kEnabled, parent), editor_(editor) {
    MakeStipple(&stipple_);
}

DialogView::~DialogView() { ForgetDrawnPixelImage(stipple_); }

// ---- geometry ----------------------------------------------------------------

void DialogView::UpdateScrollRange() {
    const DialogRect& d = editor_->Dialog().rect;
    const i32 w = std::max(d.Width(), 0) + 2 * kMargin;
    const i32 h = std::max(d.Height(), 0) + 2 * kMargin;
    SetScrollInfo(kSetRangeY | kSetPageY | kSetRangeX | kSetPageX, h, 0, GetClientHeight(), w, 0, GetClientWidth());
}

void DialogView::Layout() {
    UpdateScrollRange();
    ScrollableWindow::Layout();
}

Point DialogView::DialogToClient(i32 x, i32 y) const {
    const DialogRect& d = editor_->Dialog().rect;
    return Point{x - d.left + kMargin - GetScrollX(), y - d.top + kMargin - GetScrollY()};
}

Point DialogView::ClientToDialog(Point client) const {
    const DialogRect& d = editor_->Dialog().rect;
    return Point{client.x + GetScrollX() - kMargin + d.left, client.y + GetScrollY() - kMargin + d.top};
}

Point DialogView::ScreenToDialog(Point screen) const {
    const Point origin = GetClientOrigin();
    return ClientToDialog(Point{screen.x - origin.x, screen.y - origin.y});
}

Rect DialogView::ClientRectOf(const DialogRect& r) const {
    const Point a = DialogToClient(r.left, r.top);
    const Point b = DialogToClient(r.right, r.bottom);
    return Ordered(Rect{a.x, a.y, b.x, b.y});
}

Rect DialogView::InfoBoxRect(int index) const {
    const DialogControl& control = editor_->Dialog().controls[static_cast<size_t>(index)];
    const std::string text = DialogControlInfoText(control, editor_->Mode());
    InterfaceFont* font = GetFont();
    const i32 width = font ? TextWidth(*font, text, 0, kTextMultiLine) : 0;
    const Rect r = ClientRectOf(control.rect);
    const i32 left = r.right + kInfoGap;
    return Rect{left, r.top, left + width + 2 * kInfoPadding, r.top + 2 * GetLineHeight() + 2 * kInfoPadding};
}

Rect DialogView::ControlFootprint(int index) const {
    const std::vector<DialogControl>& controls = editor_->Dialog().controls;
    if (index < 0 || static_cast<size_t>(index) >= controls.size()) return Rect{};
    const Rect r = ClientRectOf(controls[static_cast<size_t>(index)].rect);
    const std::string label = DialogControlLabel(controls[static_cast<size_t>(index)]);
    const Rect labelRect{r.left + kLabelInset, r.top + kLabelInset,
                         r.left + kLabelInset + GetTextWidth(label.c_str()) + 2,
                         r.top + kLabelInset + GetLineHeight() + 2};
    // One pixel around for the outline.
    Rect footprint = Union(Rect{r.left - 1, r.top - 1, r.right + 1, r.bottom + 1}, labelRect);
    if (index == editor_->Selected()) footprint = Union(footprint, InfoBoxRect(index));
    return footprint;
}

i32 DialogView::WidestAdvance() const {
    const InterfaceFont* font = GetFont();
    if (font != advanceFont_) {
        advanceFont_ = font;
        widestAdvance_ = 0;
        if (font)
            for (const FontStyle& style : font->styles)
                for (const FontGlyph& glyph : style.glyphs)
                    for (i8 advance : glyph.advance) widestAdvance_ = std::max<i32>(widestAdvance_, advance);
    }
    return widestAdvance_;
}

Rect DialogView::RoughFootprint(const DialogControl& control) const {
    const Rect r = ClientRectOf(control.rect);
    // "%d %s": at most five digits, a space and the text.
    const i64 characters = 6 + static_cast<i64>(control.text.size());
    const i64 width = std::min<i64>(characters * WidestAdvance(), 1 << 20);
    const Rect label{r.left + kLabelInset, r.top + kLabelInset, r.left + kLabelInset + static_cast<i32>(width) + 2,
                     r.top + kLabelInset + GetLineHeight() + 2};
    return Union(Rect{r.left - 1, r.top - 1, r.right + 1, r.bottom + 1}, label);
}

void DialogView::InvalidateControl(int index) {
    Rect r = ControlFootprint(index);
    if (r.IsEmpty()) return;
    const Point origin = GetClientOrigin();
    r = OffsetRect(r, origin.x, origin.y);
    // Only what lies in the client area; the rest is not shown.
    if (RectIntersect(&r, GetClientScreenRect()) && !r.IsEmpty()) InvalidateRect(r, false);
}

// ---- drawing -----------------------------------------------------------------

void DialogView::DrawStipple(const Rect& dialog) {
    Rect visible = dialog;
    if (!RectIntersect(&visible, GetClientRect()) || visible.IsEmpty()) return;
    SetDrawColor(kColorWhite);
    // Whole tiles from the dialog's corner; the last ones reach past its
    // right and bottom sides, where the background is drawn again after.
    for (i32 y = dialog.top; y < dialog.bottom; y += kStippleSide) {
        if (y + kStippleSide <= visible.top || y >= visible.bottom) continue;
        for (i32 x = dialog.left; x < dialog.right; x += kStippleSide) {
            if (x + kStippleSide <= visible.left || x >= visible.right) continue;
            const Rect tile{x, y, x + kStippleSide, y + kStippleSide};
            if (!IsRectVisibleInPass(this, tile)) continue;
            DrawPixelImage(stipple_, tile);
        }
    }
    SetDrawColor(kBackgroundColor);
    const Rect client = GetClientRect();
    const Rect right{dialog.right, dialog.top, client.right, dialog.bottom + kStippleSide};
    const Rect below{dialog.left, dialog.bottom, dialog.right + kStippleSide, client.bottom};
    if (!right.IsEmpty() && IsRectVisibleInPass(this, right)) FillRectangle(right);
    if (!below.IsEmpty() && IsRectVisibleInPass(this, below)) FillRectangle(below);
}

void DialogView::DrawControl(int index, bool selected) {
    const DialogControl& control = editor_->Dialog().controls[static_cast<size_t>(index)];
    const Rect r = ClientRectOf(control.rect);
    SetDrawColor(kControlFillColor);
    FillRectangle(r);
    const u32 color = selected ? kSelectedColor : kControlColor;
    SetDrawColor(color);
    OutlineRectangle(r, 1, false);
    const std::string label = DialogControlLabel(control);
    const Rect labelRect{r.left + kLabelInset, r.top + kLabelInset, r.left + kLabelInset + 4096,
                         r.top + kLabelInset + GetLineHeight()};
    DrawTextInRect(label.c_str(), 0, kTextShadow, labelRect);
    if (!selected) return;
    const Rect box = InfoBoxRect(index);
    SetDrawColor(kInfoBoxColor);
    FillRectangle(box);
    SetDrawColor(kColorWhite);
    const std::string info = DialogControlInfoText(control, editor_->Mode());
    DrawTextInRect(info.c_str(), 0, kTextMultiLine,
                   Rect{box.left + kInfoPadding, box.top + kInfoPadding, box.right, box.bottom});
}

void DialogView::DrawContents() {
    if (BeginWindowDraw(this, 1, 0)) {
        SetDrawColor(kBackgroundColor);
        FillRectangle(GetClientRect());
        const DialogData& dialog = editor_->Dialog();
        DrawStipple(ClientRectOf(dialog.rect));
        const int selected = editor_->Selected();
        // Only the controls in the part being redrawn: a drag redraws the
        // dragged control's old and new places, whatever the control count.
        for (size_t i = 0; i < dialog.controls.size(); ++i) {
            const int index = static_cast<int>(i);
            if (index == selected || !IsRectVisibleInPass(this, RoughFootprint(dialog.controls[i])) ||
                !IsRectVisibleInPass(this, ControlFootprint(index)))
                continue;
            SetDrawColor(kControlColor);
            DrawControl(index, false);
        }
        // The selected control on top of the others.
        if (selected >= 0 && IsRectVisibleInPass(this, ControlFootprint(selected))) DrawControl(selected, true);
    }
    EndWindowDraw(this);
}

// ---- input -------------------------------------------------------------------------

int DialogView::OnKey(InputEvent& e) {
    if (!e.IsPress()) return 0;
    const u32 mods = e.KeyModifiers();
    const bool control = (mods & kModControl) != 0;
    const bool shift = (mods & kModShift) != 0;
    const i32 code = e.Code();
    if (control && code == 'A') {
        editor_->AddControlUnderMouse();
        return 1;
    }
    if (control && (code == kMinusKey || code == kKeyPadSubtract)) {
        editor_->ReorderSelected(-1);
        return 1;
    }
    if (control && (code == kEqualsKey || code == kKeyPadAdd)) {
        editor_->ReorderSelected(1);
        return 1;
    }
    if (!(control || shift) || editor_->Selected() < 0) return 0;
    i32 dx = 0, dy = 0;
    switch (code) {
        case kKeyUp: dy = -1; break;
        case kKeyDown: dy = 1; break;
        case kKeyLeft: dx = -1; break;
        case kKeyRight: dx = 1; break;
        default: return 0;
    }
    editor_->NudgeSelected(dx, dy, shift);
    return 1;
}

int DialogView::PartAt(Point screen, u32 modifiers, int* index) const {
    const Point p = ScreenToDialog(screen);
    const int hit = FindDialogControlAt(editor_->Dialog(), p.x, p.y);
    if (index) *index = hit;
    if (hit < 0) return kDialogPartNone;
    if (modifiers & kModControl) return kDialogPartMove;
    if (modifiers & kModShift)
        return DialogResizePartAt(editor_->Dialog().controls[static_cast<size_t>(hit)].rect, p.x, p.y);
    return kDialogPartNone;
}

void DialogView::UpdatePointer(Point screen, u32 modifiers) {
    const int cursor = editor_->IsDragging() ? DialogPartCursor(editor_->DragPart(), true)
                                             : DialogPartCursor(PartAt(screen, modifiers, nullptr), false);
    if (static_cast<u32>(cursor) != GetCursor()) SetCursor(static_cast<u32>(cursor), true);
}

void DialogView::OnMouseButton(InputEvent& e) {
    if (!e.ButtonAction() || e.Button() != 0) return;
    const Point screen{e.X(), e.Y()};
    const u32 mods = e.MouseModifiers();
    int index = -1;
    const int part = PartAt(screen, mods, &index);
    editor_->SelectControl(index);
    if (mods & kModControl) editor_->SetMode(kDialogModeMove);
    else if (mods & kModShift) editor_->SetMode(kDialogModeResize);
    if (index >= 0 && part != kDialogPartNone && editor_->BeginControlDrag(index, part)) {
        if (!StartDrag(this, ForwardMouseDrag)) editor_->EndControlDrag();
    }
    UpdatePointer(screen, mods);
}

void DialogView::OnDoubleClick(InputEvent& e) {
    const Point p = ScreenToDialog(Point{e.X(), e.Y()});
    const int index = FindDialogControlAt(editor_->Dialog(), p.x, p.y);
    if (index >= 0) editor_->EditControl(index);
}

void DialogView::OnMouseMove(InputEvent& e) { UpdatePointer(Point{e.X(), e.Y()}, e.MouseModifiers()); }

void DialogView::OnMouseDrag(Point start, Point pos, int phase) {
    editor_->OnMouseDrag(start, pos, phase);
    if (phase == 2) UpdatePointer(pos, GetModifierMask());
}

}  // namespace pirn
