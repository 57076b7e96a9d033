#include "models/ui/mesh_edit.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "codex/codex_catalogue.h"
#include "codex/codex_events.h"
#include "codex/ui/tag_editor_registry.h"
#include "models/mesh_brush.h"
#include "models/mesh_edit_load.h"
#include "models/mesh_highlight_palette.h"
#include "models/mesh_info_text.h"
#include "models/ui/brush_list_window.h"
#include "models/ui/mesh_renderer.h"
#include "models/ui/mesh_undo_actions.h"
#include "platform/os/key_codes.h"
#include "platform/os/os_time.h"
#include "ui/frame_timer.h"
#include "ui/message_box_window.h"
#include "ui/window_renderer.h"
#include "ui/window_system.h"

namespace pirn {

namespace {

constexpr u32 kInfoTextFlags = 0x106;  // title, multi-line, shadow
// Button held: keys and mouse outside the editor still reach it, and a
// close request of the main window ends the run.
constexpr u32 kPaintModalFlags = 11;
constexpr u32 kMaxTicksAtOnce = 10;

struct CameraKey {
    int code;
    u32 bit;
};
const CameraKey kCameraKeys[] = {
    {'X', kCameraKeyX}, {'Z', kCameraKeyZ}, {'W', kCameraKeyW}, {'S', kCameraKeyS},
    {'Q', kCameraKeyQ}, {'E', kCameraKeyE}, {'A', kCameraKeyA}, {'D', kCameraKeyD},
    {'C', kCameraKeyC}, {'V', kCameraKeyV}, {'O', kCameraKeyO}, {'P', kCameraKeyP},
};

// Function keys by number.
constexpr int FunctionKey(int n) { return kKeyF1 + n - 1; }

void ToggleFromList(Window* owner, u32 slot, bool lock) {
    auto* editor = static_cast<MeshEdit*>(owner);
    if (lock) editor->ToggleSlotLock(slot);
    else editor->ToggleSlotHighlight(slot);
}

}  // namespace

MeshEdit::MeshEdit(TagEntry* tag) : TagEdit(tag) {
    AddFlags(kTakesFocus);
    data_.hooks = this;
    LoadHighlightPaletteFile(data_.palette, kHighlightPalettePath);
    SetCodexListener(&MeshEdit::CodexEvent, this, 1);
    brush_list_ = new BrushListWindow(this);
    brush_list_->on_toggle = ToggleFromList;
    ConnectSignal<&MeshEdit::ListActivated>(brush_list_->activated, this);
    ConnectSignal<&MeshEdit::ListDeleteRequested>(brush_list_->deleteRequested, this);
    ConnectSignal<&MeshEdit::ListSelectionChanged>(brush_list_->selectionChanged, this);
    InitMeshCamera(&data_.camera);
    SetSize(kWidth, kHeight);
    ShowBrushList(true);
}

MeshEdit::~MeshEdit() {
    SetCodexListener(&MeshEdit::CodexEvent, this, 0);
    if (MeshRenderer* renderer = GetMeshRenderer()) renderer->ReleaseBlockTextures(&data_);
    // The actions point into the data: they go first.
    FreeUndoHistory(undo_);
}

ListWindow* MeshEdit::BrushList() const { return brush_list_; }

void MeshEdit::MarkModified() { SetModified(true); }

void MeshEdit::RequestRedraw() {
    redraw_requested_ = true;
    Invalidate();
}

// ---- loading and saving ----

int MeshEdit::ReadTag(std::FILE* stream, TagHeader* header) {
    MeshRenderer* renderer = GetMeshRenderer();
    const bool bordered = renderer ? renderer->AcceptsAnyTextureSize() : true;
    MeshLoadResult result;
    if (!LoadMeshEditData(&data_, stream, *header, bordered, &result)) return 0;
    pending_title_ = result.conflict_title;
    pending_text_ = result.conflict_text;
    RebuildBrushList();
    SelectCurrentTexture(&data_, 0);
    ShowBrushList(brush_list_shown_);
    SetModified(false);
    return 1;
}

int MeshEdit::Save() { return SaveDetailMap(&data_); }

void MeshEdit::ShowEditor() {
    TagEdit::ShowEditor();
    if (pending_title_.empty()) return;
    const std::string title = pending_title_, text = pending_text_;
    pending_title_.clear();
    pending_text_.clear();
    ShowMessageBox(title.c_str(), text.c_str(), "OK", nullptr);
}

// ---- layout and drawing ----

void MeshEdit::Layout() {
    if (!brush_list_) return;
    const i32 w = GetClientWidth(), h = GetClientHeight();
    SetFrame(brush_list_, Rect{std::max(w - kBrushListWidth, 0), 0, w, h});
}

void MeshEdit::ShowBrushList(bool show) {
    brush_list_shown_ = show;
    const bool visible = show && data_.tool == kMeshDetailMapTool && data_.detail_map_present;
    if (brush_list_->IsVisible() != visible) brush_list_->SetVisible(visible);
    Layout();
}

void MeshEdit::DrawContents() {
    Point pointer = GetMousePosition();
    ScreenToClientPoints(&pointer, 1);
    const bool over = GetHoverWindow() == this && pointer.x >= 0 && pointer.y >= 0 &&
                      pointer.x < GetClientWidth() && pointer.y < GetClientHeight();
    if (BeginWindowDraw(this, 1, 1)) {
        SetupMeshView(&view_, data_.camera, GetClientWidth(), GetClientHeight());
        UpdateVisibleBlocks(&data_, view_);
        MeshRenderer* renderer = GetMeshRenderer();
        if (renderer && view_.valid) {
            renderer->DrawTerrain(&data_, view_, over ? &pointer : nullptr);
        } else if (renderer) {
            data_.pick_valid = false;
            data_.pick_x = data_.pick_z = -1.0f;
        }
    }
    EndWindowDraw(this);
    if (data_.show_info && BeginWindowDraw(this, 1, 0)) {
        SetDrawColor(kColorWhite);
        Rect text_area = GetClientRect();
        text_area.left += 4;
        text_area.top += 4;
        DrawTextInRect(MeshInfoText(data_).c_str(), 0, kInfoTextFlags, text_area);
    }
    EndWindowDraw(this);
}

// ---- input ----

bool MeshEdit::IsActiveEditor() const {
    const Window* focus = GetFocusWindow();
    return focus && focus->IsDescendantOf(this);
}

void MeshEdit::ClampBrushRadius() {
    data_.brush_radius = std::min(std::max(data_.brush_radius, kMinBrushRadius), kMaxBrushRadius);
}

static u32 CameraKeyBit(int code) {
    for (const CameraKey& key : kCameraKeys)
        if (key.code == code) return key.bit;
    return 0;
}

int MeshEdit::OnKey(InputEvent& event) {
    const u32 mods = event.KeyModifiers();
    const bool control = (mods & kModControl) != 0;
    if (!event.IsPress()) shortcut_keys_ &= ~CameraKeyBit(event.Code());
    else if (control) shortcut_keys_ |= CameraKeyBit(event.Code());
    if (!event.IsPress() || data_.stroke.active) return TagEdit::OnKey(event);
    key_seen_ = true;
    const bool detail_tool = data_.tool == kMeshDetailMapTool;
    const int code = event.Code();
    bool handled = true;
    if (code == 'Y' && control) {
        if (RedoStep(undo_)) SetModified(true);
    } else if (code == 'Z' && control) {
        if (UndoStep(undo_)) SetModified(true);
    } else if (code == '`') {
        data_.show_info = !data_.show_info;
    } else if (code == kKeyF1) {
        data_.wireframe = !data_.wireframe;
    } else if (code == FunctionKey(2)) {
        if (data_.detail_map_present) data_.detail_textures = !data_.detail_textures;
    } else if (code == FunctionKey(6)) {
        data_.media_animation = !data_.media_animation;
    } else if (code == FunctionKey(7)) {
        data_.highlight_mode = (data_.highlight_mode + 1) % kHighlightModeCount;
    } else if (detail_tool && code == '-') {
        SetSlotScale(&data_, data_.current_texture, data_.slots[data_.current_texture].scale - 1);
    } else if (detail_tool && code == '=') {
        SetSlotScale(&data_, data_.current_texture, data_.slots[data_.current_texture].scale + 1);
    } else if (detail_tool && code == '[') {
        data_.brush_radius -= kRadiusStep;
    } else if (detail_tool && code == ']') {
        data_.brush_radius += kRadiusStep;
    } else if (detail_tool && code == FunctionKey(3)) {
        data_.highlighting = !data_.highlighting;
        if (mods & kModShift) {
            for (u32 slot = 0; slot < kDetailSlotCount; ++slot) {
                data_.slots[slot].highlighted = data_.highlighting;
                RefreshSlotRow(slot);
            }
        }
    } else if (detail_tool && code == FunctionKey(4)) {
        data_.square_brush = !data_.square_brush;
    } else if (detail_tool && code == FunctionKey(5)) {
        data_.triangle_mode = !data_.triangle_mode;
    } else if (detail_tool && code == kKeyTab) {
        ShowBrushList(!brush_list_shown_);
    } else {
        handled = false;
    }
    ClampBrushRadius();
    RequestRedraw();
    const int saved = TagEdit::OnKey(event);
    return handled ? 1 : saved;
}

void MeshEdit::OnMouseButton(InputEvent& event) {
    if (IsRightButtonEvent(event)) {
        if (event.ButtonAction()) ShowToolMenu(Point{event.X(), event.Y()});
        return;
    }
    if (ignore_next_button_) {
        ignore_next_button_ = false;
        return;
    }
    if (event.ButtonAction()) {
        if (IsModal(this, false)) return;
        button_modifiers_ = event.MouseModifiers();
        button_held_ = true;
        fill_pending_ = (button_modifiers_ & kModAlt) != 0;
        // A click whose release comes with the press still paints once.
        PaintStep();
        RunModal(this, kPaintModalFlags, nullptr);
        button_held_ = false;
        PaintStep();
        return;
    }
    if (button_held_ && IsModal(this, false)) {
        button_held_ = false;
        EndModal(this, 0);
    }
}

void MeshEdit::OnMouseMove(InputEvent&) {
    if (data_.tool == kMeshDetailMapTool) Invalidate();
}

void MeshEdit::OnWheel(InputEvent& event) {
    data_.brush_radius -= kRadiusStep * float(event.NewWheel() - event.OldWheel());
    ClampBrushRadius();
    Invalidate();
}

FocusAnswer MeshEdit::OnFocusGained(Window*, int reason) {
    Invalidate();
    return reason == kFocusByClick ? kFocusSwallowClick : kFocusAccept;
}

// ---- painting and ticks ----

void MeshEdit::EndStroke() {
    if (RecordBrushStroke(&data_, &undo_)) SetModified(true);
    Invalidate();
}

void MeshEdit::PaintStep() {
    if (data_.tool != kMeshDetailMapTool || !data_.planes_exist) {
        fill_pending_ = false;
        if (data_.stroke.active) EndStroke();
        return;
    }
    const bool picked = data_.pick_valid && IsActiveEditor();
    if (fill_pending_) {
        // An Alt click fills once; the pick is then used up.
        fill_pending_ = false;
        if (picked) {
            data_.modifiers = button_modifiers_;
            RecordFloodFill(&data_, &undo_, data_.pick_x, data_.pick_z);
            Invalidate();
        }
        return;
    }
    if (button_held_ && picked && !(button_modifiers_ & kModAlt)) {
        if (!data_.stroke.active) BeginBrushStroke(&data_);
        data_.modifiers = button_modifiers_;
        SetModified(true);
        PaintBrushDab(&data_, data_.pick_x, data_.pick_z);
        Invalidate();
        return;
    }
    if (data_.stroke.active) EndStroke();
}

u32 MeshEdit::HeldCameraKeys() const {
    u32 keys = 0;
    for (const CameraKey& key : kCameraKeys)
        if (IsKeyDown(key.code)) keys |= key.bit;
    return keys & ~shortcut_keys_;
}

void MeshEdit::TickMeshEditor() {
    const double now = OsGetTime();
    if (tick_base_ < 0 || now < tick_base_ || now - tick_base_ > 2.0) {
        tick_base_ = now;
        ticks_done_ = 0;
    }
    const u64 due_total = static_cast<u64>((now - tick_base_) * kTickRate);
    u64 due = due_total > ticks_done_ ? due_total - ticks_done_ : 0;
    ticks_done_ = due_total;
    // The base moves on every second so that the products stay small.
    if (now - tick_base_ >= 1.0) {
        tick_base_ += 1.0;
        ticks_done_ = ticks_done_ >= u64(kTickRate) ? ticks_done_ - u64(kTickRate) : 0;
    }
    due = std::min<u64>(due, kMaxTicksAtOnce);
    bool moved = false;
    for (u64 i = 0; i < due; ++i) {
        ++data_.frame_counter;
        if (key_seen_ && !IsKeyDown(kKeyControl)) moved = MoveMeshCamera(&data_.camera, HeldCameraKeys()) || moved;
    }
    if (due && (redraw_requested_ || moved || data_.media_animation)) {
        redraw_requested_ = data_.media_animation;
        Invalidate();
    }
}

void MeshEdit::OnIdle() {
    TickMeshEditor();
    PaintStep();
    // The camera moves and the media animate by the tick.
    if (redraw_requested_ || data_.media_animation || (key_seen_ && HeldCameraKeys()))
        RequestFrameBy(OsGetTime() + 1.0 / kTickRate);
}

// ---- Codex events ----

void MeshEdit::CodexEvent(void* context, Archive*, TagEntry* tag, u32 event) {
    static_cast<MeshEdit*>(context)->OnCodexEvent(tag, event);
}

void MeshEdit::OnCodexEvent(TagEntry* tag, u32 event) {
    if (tag && tag->group != kDtexGroup) return;
    bool changed = false;
    if (event != kCodexWorkingSetChanged) {
        if (!tag) return;
        for (u32 slot = 0; slot < kDetailSlotCount; ++slot) {
            if (data_.slots[slot].entry.tag_id != tag->tag_id) continue;
            SetSlotTexture(slot, event == kCodexTagGone);
            changed = true;
        }
    } else {
        for (u32 slot = 0; slot < kDetailSlotCount; ++slot) {
            const DetailTextureSlot& s = data_.slots[slot];
            if (!s.texture && s.entry.tag_id != kNoTagId && FindTag(kDtexGroup, s.entry.tag_id)) {
                SetSlotTexture(slot, false);
                changed = true;
            } else if (s.texture && !IsTagAvailable(s.texture->tag())) {
                SetSlotTexture(slot, true);
                changed = true;
            }
        }
    }
    if (changed) Invalidate();
}

// ---- registry ----

TagEdit* NewMeshEdit(TagEntry* tag, TagGroupInfo*, u32) { return new MeshEdit(tag); }

void BindMeshEdit() { BindTagEditor("MeshEdit", NewMeshEdit); }

}  // namespace pirn
