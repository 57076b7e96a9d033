#include "collections/ui/x256_sequence_frame_edit.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "collections/frame_edit_rules.h"
#include "collections/frame_view_geometry.h"
#include "collections/sequence_messages.h"
#include "collections/sequence_properties.h"
#include "collections/ui/background_picker.h"
#include "collections/ui/x256_edit.h"
#include "collections/ui/x256_sequence_frame_view.h"
#include "platform/os/os_time.h"
#include "platform/strings.h"
#include "ui/button.h"
#include "ui/check_box.h"
#include "ui/combo_box.h"
#include "ui/frame_timer.h"
#include "ui/frame_step.h"
#include "ui/text_box.h"
#include "ui/window_system.h"

namespace pirn {

namespace {

namespace st = sequence_text;

constexpr i32 kColumnInset = 8;
constexpr i32 kRowStep = 20;
constexpr i32 kComboHeight = 20;
constexpr i32 kComboWidth = X256SequenceFrameEdit::kControlColumn - 2 * kColumnInset;
constexpr i32 kStepButtonWidth = 40;
constexpr i32 kAnimateWidth = 69;
constexpr i32 kButtonHeight = 22;
// The control column's height: what the window needs beside the canvas.
constexpr i32 kColumnHeight = 400;

void* Data(u32 value) { return reinterpret_cast<void*>(static_cast<uintptr_t>(value) + 1); }
u32 FromData(intptr_t data) { return static_cast<u32>(data - 1); }

}  // namespace

constexpr i32 X256SequenceFrameEdit::kZoomPercents[6];

X256SequenceFrameEdit::X256SequenceFrameEdit(X256Edit* editor, CollectionSequence* sequence, u32 view, u32 frame)
    : Window(kStyle, nullptr),
      editor_(editor),
      collection_(&editor->GetCollection()),
      sequence_(sequence),
      view_(ClampIndex(view, sequence->view_count)),
      frame_(ClampIndex(frame, static_cast<u32>(sequence->frames.size()))) {
    contrail_ = Position{sequence_, view_, frame_};
    Build();
    SetSize(kWidth, kHeight);
    FillFrameBoxes();
    RefreshSequenceList();
    ShowPosition();
    editor_->Blocks().Add(ElementBlocks::kFrameEditor, sequence_, this);
    ActivateWindow(canvas_, kFocusByProgram);
}

// ---- building --------------------------------------------------------------

void X256SequenceFrameEdit::Build() {
    canvas_ = new X256SequenceFrameView(this, this);
    column_ = new Window(kVisible | kEnabled, this);
    const i32 x = kColumnInset;
    i32 y = kColumnInset;
    BuildShowBoxes(x, &y);
    BuildPickers(x, &y);
    BuildChoices(x, &y);
    bool shows[kShowCount];
    for (u32 i = 0; i < kShowCount; ++i) shows[i] = shows_[i]->IsChecked();
    canvas_->SetShowFlags(shows);
}

void X256SequenceFrameEdit::BuildShowBoxes(i32 x, i32* y) {
    const char* const titles[kShowCount] = {st::kShowRegPointBox, st::kShowKeyPointBox, st::kShowSelectionBox,
                                            st::kShowOriginBox,   st::kShowBitmapBox,   st::kShowShadowBox,
                                            st::kShowContrailBox};
    for (u32 i = 0; i < kShowCount; ++i) {
        auto* box = new CheckBox(column_, static_cast<i32>(i));
        box->SetTitle(titles[i]);
        box->SizeToFit();
        box->SetPosition(x, *y);
        box->SetChecked(i != kShowOrigin && i != kShowContrail, true);
        ConnectSignal<&X256SequenceFrameEdit::OnShowClicked>(box->clicked, this);
        shows_[i] = box;
        *y += kRowStep;
    }
}

void X256SequenceFrameEdit::BuildPickers(i32 x, i32* y) {
    *y += 4;
    TextBox* label = CreateLabel(column_, st::kBackgroundLabel);
    label->SetPosition(x, *y);
    *y += kRowStep;
    for (u32 i = 0; i < 3; ++i) {
        pickers_[i] = new BackgroundPicker(i + 1, canvas_, column_);
        pickers_[i]->SetPosition(x + static_cast<i32>(i) * (BackgroundPicker::kSide + 6), *y);
    }
    *y += BackgroundPicker::kSide + 8;
}

void X256SequenceFrameEdit::BuildChoices(i32 x, i32* y) {
    TextBox* label = CreateLabel(column_, st::kZoomLabel);
    label->SetPosition(x, *y);  // a combo box shows its text as high as a label
    zoom_ = new ComboBox(column_, 0);
    const i32 zoomX = x + label->GetWidth() + 6;
    zoom_->SetPosition(zoomX, *y);
    zoom_->SetWidth(kComboWidth - (zoomX - x));
    for (i32 percent : kZoomPercents)
        zoom_->AddItem(Data(static_cast<u32>(percent)), FormatString(st::kZoomEntry, percent).c_str(), false);
    zoom_->FitDropdown(6, false);
    zoom_->SelectByData(Data(100));
    *y += kComboHeight + 8;

    auto combo = [&]() {
        auto* box = new ComboBox(column_, 0);
        box->SetPosition(x, *y);
        box->SetWidth(kComboWidth);
        *y += kComboHeight + 6;
        return box;
    };
    sequenceBox_ = combo();
    frameBox_ = combo();
    viewBox_ = combo();
    *y += 2;
    previous_ = new Button(column_, 0);
    previous_->SetTitle(st::kPreviousButton);
    previous_->SetPosition(x, *y);
    previous_->SetSize(kStepButtonWidth, kButtonHeight);
    next_ = new Button(column_, 0);
    next_->SetTitle(st::kNextButton);
    next_->SetPosition(x + kStepButtonWidth + 6, *y);
    next_->SetSize(kStepButtonWidth, kButtonHeight);
    *y += kButtonHeight + 6;
    animate_ = new Button(column_, 0);
    animate_->SetTitle(st::kAnimateButton);
    animate_->SetPosition(x, *y);
    animate_->SetSize(kAnimateWidth, kButtonHeight);

    ConnectSignal<&X256SequenceFrameEdit::OnZoomChanged>(zoom_->selectionChanged, this);
    ConnectSignal<&X256SequenceFrameEdit::OnSequenceChosen>(sequenceBox_->selectionChanged, this);
    ConnectSignal<&X256SequenceFrameEdit::OnFrameChosen>(frameBox_->selectionChanged, this);
    ConnectSignal<&X256SequenceFrameEdit::OnViewChosen>(viewBox_->selectionChanged, this);
    ConnectSignal<&X256SequenceFrameEdit::OnPrevious>(previous_->clicked, this);
    ConnectSignal<&X256SequenceFrameEdit::OnNext>(next_->clicked, this);
    ConnectSignal<&X256SequenceFrameEdit::OnAnimate>(animate_->clicked, this);
}

void X256SequenceFrameEdit::OnDestroy() {
    editor_->Blocks().Remove(this);
    closed.Emit();
}

// ---- geometry --------------------------------------------------------------

void X256SequenceFrameEdit::GetMinimumSize(Point* out, Point content) {
    i32 width = 0, height = 0;
    LargestSequenceBitmap(*sequence_, &width, &height);
    const double zoom = canvas_ ? canvas_->GetZoom() : 1.0;
    Point canvas{0, 0};
    if (canvas_) canvas_->GetMinimumSize(&canvas, Point{0, 0});
    content.x = std::max({content.x, static_cast<i32>(std::min(width * zoom, 1.0e6)) + kControlColumn + kMargin,
                          canvas.x + kControlColumn});
    content.y = std::max({content.y, static_cast<i32>(std::min(height * zoom, 1.0e6)) + kMargin, canvas.y,
                          kColumnHeight});
    Window::GetMinimumSize(out, content);
    // Never more than the screen: the canvas scrolls.
    const Point screen = GetScreenSize();
    if (screen.x > 0) out->x = std::min(out->x, screen.x);
    if (screen.y > 0) out->y = std::min(out->y, screen.y);
}

void X256SequenceFrameEdit::Layout() {
    if (!canvas_) return;
    const i32 width = GetClientWidth(), height = GetClientHeight();
    const i32 left = std::max(width - kControlColumn, 0);
    pirn::SetFrame(canvas_, MakeRect(0, 0, left, height));
    pirn::SetFrame(column_, MakeRect(left, 0, kControlColumn, height));
}

// ---- position --------------------------------------------------------------

BitmapInstance* X256SequenceFrameEdit::CurrentInstance() const {
    if (frame_ >= sequence_->frames.size()) return nullptr;
    std::vector<BitmapInstance>& instances = sequence_->frames[frame_].instances;
    return view_ < instances.size() && view_ < sequence_->view_count ? &instances[view_] : nullptr;
}

SequenceFrame* X256SequenceFrameEdit::CurrentFrame() const {
    return frame_ < sequence_->frames.size() ? &sequence_->frames[frame_] : nullptr;
}

const BitmapInstance* X256SequenceFrameEdit::ContrailInstance() const {
    CollectionSequence* sequence = contrail_.sequence;
    if (!sequence || FindSequence(*collection_, sequence) == kNotFound) return nullptr;
    if (contrail_.frame >= sequence->frames.size()) return nullptr;
    const std::vector<BitmapInstance>& instances = sequence->frames[contrail_.frame].instances;
    if (contrail_.view >= instances.size()) return nullptr;
    const BitmapInstance* instance = &instances[contrail_.view];
    return instance == CurrentInstance() ? nullptr : instance;
}

void X256SequenceFrameEdit::SetFrame(i64 frame) {
    const u32 to = WrapIndex(frame, static_cast<u32>(sequence_->frames.size()));
    if (to != frame_) MoveTo(Position{sequence_, view_, to});
}

void X256SequenceFrameEdit::SetView(i64 view) {
    const u32 to = WrapIndex(view, sequence_->view_count);
    if (to != view_) MoveTo(Position{sequence_, to, frame_});
}

void X256SequenceFrameEdit::SetSequence(CollectionSequence* sequence) {
    if (!sequence || sequence == sequence_ || FindSequence(*collection_, sequence) == kNotFound) return;
    MoveTo(Position{sequence, ClampIndex(view_, sequence->view_count),
                    ClampIndex(frame_, static_cast<u32>(sequence->frames.size()))});
    editor_->Blocks().Remove(this);
    editor_->Blocks().Add(ElementBlocks::kFrameEditor, sequence_, this);
    changed.Emit();
}

void X256SequenceFrameEdit::MoveTo(const Position& to) {
    const bool otherSequence = to.sequence != sequence_;
    contrail_ = Position{sequence_, view_, frame_};
    sequence_ = to.sequence;
    view_ = to.view;
    frame_ = to.frame;
    if (otherSequence) FillFrameBoxes();
    canvas_->UpdateCanvas();
    ShowPosition();
    Invalidate();
}

void X256SequenceFrameEdit::ShowPosition() {
    settingControls_ = true;
    SetTitle(FrameEditTitle(*sequence_, frame_, view_).c_str());
    sequenceBox_->SelectByData(sequence_);
    frameBox_->SelectByData(Data(frame_));
    viewBox_->SelectByData(Data(view_));
    settingControls_ = false;
    canvas_->Invalidate();
}

void X256SequenceFrameEdit::FillFrameBoxes() {
    settingControls_ = true;
    frameBox_->Clear();
    for (u32 f = 0; f < sequence_->frames.size(); ++f)
        frameBox_->AddItem(Data(f), FormatString(st::kFrameEntry, f).c_str(), false);
    frameBox_->FitDropdown(12, false);
    viewBox_->Clear();
    for (u32 v = 0; v < sequence_->view_count; ++v)
        viewBox_->AddItem(Data(v),
                          FormatString(st::kViewEntry, ViewAngle(v, sequence_->view_count), st::kDegreeSign).c_str(),
                          false);
    viewBox_->FitDropdown(12, false);
    settingControls_ = false;
}

void X256SequenceFrameEdit::RefreshSequenceList() {
    if (FindSequence(*collection_, sequence_) == kNotFound) {
        DestroyWindow(this);
        return;
    }
    if (contrail_.sequence && FindSequence(*collection_, contrail_.sequence) == kNotFound)
        contrail_ = Position{sequence_, view_, frame_};
    settingControls_ = true;
    sequenceBox_->Clear();
    for (const auto& sequence : collection_->sequences) sequenceBox_->AddItem(sequence.get(), sequence->name, false);
    sequenceBox_->FitDropdown(12, false);
    settingControls_ = false;
    ShowPosition();
}

void X256SequenceFrameEdit::RefreshFrameEdit() {
    view_ = ClampIndex(view_, sequence_->view_count);
    frame_ = ClampIndex(frame_, static_cast<u32>(sequence_->frames.size()));
    FillFrameBoxes();
    canvas_->UpdateCanvas();
    ShowPosition();
    Invalidate();
}

void X256SequenceFrameEdit::RedrawFrameEdit() {
    canvas_->Invalidate();
    Invalidate();
}

void X256SequenceFrameEdit::SequenceEdited() {
    canvas_->Invalidate();
    sequenceChanged.Emit(sequence_);
}

// ---- animation -------------------------------------------------------------

void X256SequenceFrameEdit::ToggleAnimation() {
    playing_ = !playing_;
    if (playing_) {
        startFrame_ = frame_;
        startTime_ = OsGetTime();
    }
    animate_->SetTitle(playing_ ? st::kStopButton : st::kAnimateButton);
    for (Window* control : {static_cast<Window*>(sequenceBox_), static_cast<Window*>(frameBox_),
                            static_cast<Window*>(viewBox_), static_cast<Window*>(previous_),
                            static_cast<Window*>(next_)})
        control->SetEnabled(!playing_);
    animate_->Invalidate();
}

void X256SequenceFrameEdit::OnIdle() {
    if (!playing_) return;
    const double elapsed = OsGetTime() - startTime_;
    SetFrame(AnimationFrame(startFrame_, elapsed, sequence_->ticks_per_frame,
                            static_cast<u32>(sequence_->frames.size())));
    // The next frame of the animation is due after a whole frame's ticks.
    const double step = double(std::max<u16>(sequence_->ticks_per_frame, 1)) / kSequenceTicksPerSecond;
    RequestFrameBy(startTime_ + (std::floor(std::max(elapsed, 0.0) / step) + 1.0) * step);
}

// ---- slots -----------------------------------------------------------------

void X256SequenceFrameEdit::OnShowClicked() {
    bool shows[kShowCount];
    for (u32 i = 0; i < kShowCount; ++i) shows[i] = shows_[i]->IsChecked();
    canvas_->SetShowFlags(shows);
}

void X256SequenceFrameEdit::OnZoomChanged(intptr_t, intptr_t data) {
    if (settingControls_ || data <= 0) return;
    canvas_->SetZoom(FromData(data) / 100.0);
    ReapplyFrame();
}

void X256SequenceFrameEdit::OnSequenceChosen(intptr_t, intptr_t data) {
    if (settingControls_ || !data) return;
    SetSequence(reinterpret_cast<CollectionSequence*>(data));
}

void X256SequenceFrameEdit::OnFrameChosen(intptr_t, intptr_t data) {
    if (settingControls_ || data <= 0) return;
    SetFrame(FromData(data));
}

void X256SequenceFrameEdit::OnViewChosen(intptr_t, intptr_t data) {
    if (settingControls_ || data <= 0) return;
    SetView(FromData(data));
}

}  // namespace pirn
